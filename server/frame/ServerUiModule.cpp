#include "ServerUiModule.h"

ui::Module& ServerUiModule() {
    static ui::Module module{"QBStorage", nullptr};
    return module;
}

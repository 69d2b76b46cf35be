#include "ServerUiModule.h"

#include "ServerResources.h"

ui::Module& ServerUiModule() {
    static ui::Module module{"QBStorage", &ServerResourceTable()};
    return module;
}

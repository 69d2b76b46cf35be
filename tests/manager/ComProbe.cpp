#include "ManagerFixture.h"
#include "com/Runtime.h"

namespace qbtest {

bool ComLeftInitialised() {
    const HRESULT hr = CoInitialize(nullptr);
    CoUninitialize();
    if (hr == S_FALSE) {
        CoUninitialize();  // the run's own CoInitialize
        return true;
    }
    return false;
}

}  // namespace qbtest

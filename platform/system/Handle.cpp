#include "system/Handle.h"

#include <mutex>
#include <unordered_map>

#include "system/LastError.h"

namespace sys {
namespace {

struct HandleTable {
    std::mutex mutex;
    std::unordered_map<HANDLE, std::unique_ptr<KernelObject>> objects;
};

HandleTable& Table() {
    static auto* table = new HandleTable();  // outlives static destructors that close
    return *table;
}

}  // namespace

HANDLE NewHandle(std::unique_ptr<KernelObject> object) {
    HANDLE handle = object.get();
    HandleTable& table = Table();
    std::lock_guard lock(table.mutex);
    table.objects.emplace(handle, std::move(object));
    return handle;
}

}  // namespace sys

BOOL CloseHandle(HANDLE handle) {
    std::unique_ptr<sys::KernelObject> object;
    {
        sys::HandleTable& table = sys::Table();
        std::lock_guard lock(table.mutex);
        const auto it = table.objects.find(handle);
        if (handle == nullptr || it == table.objects.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        object = std::move(it->second);
        table.objects.erase(it);
    }
    return TRUE;  // the object is released here, outside the lock
}

#include "registry/Registry.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "registry/Hive.h"
#include "text/CaseCompare.h"

// An open key: the row it names and the rights it was opened with.
struct HKEY__ {
    std::int64_t id;
    REGSAM access;
};

using registry::Hive;
using registry::Statement;

namespace {

constexpr std::uintptr_t kRootLocalMachine = 0x80000002u;
constexpr std::uintptr_t kRootClassesRoot = 0x80000000u;

// Handles handed out and not yet closed; anything else is ERROR_INVALID_HANDLE.
std::unordered_set<HKEY__*>& LiveHandles() {
    static auto* set = new std::unordered_set<HKEY__*>();
    return *set;
}

// Resolves a handle to its key row and rights. Caller holds the hive mutex and the
// hive is open. Returns ERROR_SUCCESS, ERROR_INVALID_HANDLE or ERROR_FILE_NOT_FOUND.
LSTATUS Resolve(Hive& hive, HKEY hKey, std::int64_t& id, REGSAM& access) {
    const auto raw = reinterpret_cast<std::uintptr_t>(hKey);
    if (raw == kRootLocalMachine) {
        id = 1;
        access = KEY_ALL_ACCESS;
        return ERROR_SUCCESS;
    }
    if (raw == kRootClassesRoot) {
        id = hive.ClassesRootId();
        access = KEY_ALL_ACCESS;
        return id > 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    }
    if (hKey == nullptr || LiveHandles().count(hKey) == 0) {
        return ERROR_INVALID_HANDLE;
    }
    id = hKey->id;
    access = hKey->access;
    return ERROR_SUCCESS;
}

bool Wants(REGSAM access, REGSAM right) {
    return (access & right & 0xFFFF) == (right & 0xFFFF);
}

std::string_view NameOf(const char* name) {
    return name != nullptr ? name : std::string_view();
}

HKEY NewHandle(std::int64_t id, REGSAM access) {
    auto* handle = new HKEY__{id, access};
    LiveHandles().insert(handle);
    return handle;
}

// Common prologue: lock, open the hive, resolve the handle, check the key still exists.
// On failure returns the status to give back and leaves `lock` held.
struct Call {
    std::unique_lock<std::mutex> lock;
    Hive& hive = Hive::Instance();
    std::int64_t id = 0;
    REGSAM access = 0;
    LSTATUS status = ERROR_SUCCESS;

    // `right` is the access the operation needs on the handle (0: none).
    explicit Call(HKEY hKey, REGSAM right = 0, LSTATUS hiveFailure = ERROR_BADDB)
        : lock(Hive::Instance().mutex()) {
        if (!hive.EnsureOpen()) {
            status = hiveFailure;
            return;
        }
        status = Resolve(hive, hKey, id, access);
        if (status == ERROR_SUCCESS && right != 0 && !Wants(access, right)) {
            status = ERROR_ACCESS_DENIED;
        }
    }

    // Runs fn in one transaction on the handle's key, which must still exist.
    template <typename Fn>
    long InKey(bool write, Fn&& fn) {
        return hive.Transaction(
            write, [&]() -> long { return hive.KeyExists(id) ? fn() : ERROR_KEY_DELETED; });
    }
};

LSTATUS WalkTo(Hive& hive, std::int64_t from, std::string_view path, std::int64_t& id) {
    id = from;
    for (std::string_view piece : registry::SplitKeyPath(path)) {
        auto child = hive.FindChild(id, piece);
        if (!child) {
            return ERROR_FILE_NOT_FOUND;
        }
        id = *child;
    }
    return ERROR_SUCCESS;
}

LSTATUS DeleteSubtree(Hive& hive, std::int64_t root, bool includeRoot) {
    const char* vals =
        "WITH RECURSIVE sub(id) AS (SELECT ? UNION ALL SELECT k.id FROM keys k JOIN sub"
        " ON k.parent=sub.id) DELETE FROM vals WHERE key IN sub";
    const char* keys =
        "WITH RECURSIVE sub(id) AS (SELECT ? UNION ALL SELECT k.id FROM keys k JOIN sub"
        " ON k.parent=sub.id) DELETE FROM keys WHERE id IN sub AND id<>?";
    Statement v(hive.db(), vals);
    v.Bind(1, root);
    if (v.Step() != SQLITE_DONE) {
        return ERROR_BADDB;
    }
    Statement k(hive.db(), keys);
    k.Bind(1, root).Bind(2, includeRoot ? -1 : root);
    return k.Step() == SQLITE_DONE ? ERROR_SUCCESS : ERROR_BADDB;
}

LSTATUS CopyOut(std::string_view src, char* dst, DWORD* cch) {
    if (dst == nullptr || cch == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    if (src.size() + 1 > *cch) {
        return ERROR_MORE_DATA;
    }
    std::memcpy(dst, src.data(), src.size());
    dst[src.size()] = '\0';
    *cch = static_cast<DWORD>(src.size());
    return ERROR_SUCCESS;
}

// Hands a value's type and bytes to a caller the way RegQueryValueExA does: with a
// buffer too small, only the size needed and ERROR_MORE_DATA; with no buffer, the size.
LSTATUS CopyValue(DWORD storedType, const std::string& bytes, DWORD* type, BYTE* data,
                  DWORD* cbData) {
    if (type != nullptr) {
        *type = storedType;
    }
    if (data != nullptr && bytes.size() > *cbData) {
        *cbData = static_cast<DWORD>(bytes.size());
        return ERROR_MORE_DATA;
    }
    if (data != nullptr) {
        std::memcpy(data, bytes.data(), bytes.size());
    }
    if (cbData != nullptr) {
        *cbData = static_cast<DWORD>(bytes.size());
    }
    return ERROR_SUCCESS;
}

}  // namespace

LSTATUS RegOpenKeyExA(HKEY hKey, const char* subKey, DWORD, REGSAM samDesired, HKEY* result) {
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = nullptr;
    // A hive that cannot be used behaves like one without the key.
    Call call(hKey, 0, ERROR_FILE_NOT_FOUND);
    if (call.status != ERROR_SUCCESS) {
        return call.status;
    }
    if ((samDesired & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY)) != 0 && !call.hive.writable()) {
        return ERROR_ACCESS_DENIED;
    }
    std::int64_t id = 0;
    const long status =
        call.InKey(false, [&]() -> long { return WalkTo(call.hive, call.id, NameOf(subKey), id); });
    if (status == ERROR_BADDB) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (status != ERROR_SUCCESS) {
        return status;
    }
    *result = NewHandle(id, samDesired);
    return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExA(HKEY hKey, const char* subKey, DWORD, char*, DWORD, REGSAM samDesired,
                        void*, HKEY* result, DWORD* disposition) {
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = nullptr;
    Call call(hKey, KEY_CREATE_SUB_KEY);
    if (call.status != ERROR_SUCCESS) {
        return call.status;
    }
    std::int64_t id = call.id;
    bool created = false;
    const long status = call.InKey(true, [&]() -> long {
        for (std::string_view piece : registry::SplitKeyPath(NameOf(subKey))) {
            auto child = call.hive.FindChild(id, piece);
            if (!child) {
                Statement ins(call.hive.db(), "INSERT INTO keys(parent,name,fold) VALUES(?,?,?)");
                ins.Bind(1, id).Bind(2, piece).Bind(3, text::FoldKey(piece));
                if (ins.Step() != SQLITE_DONE) {
                    return ERROR_BADDB;
                }
                child = sqlite3_last_insert_rowid(call.hive.db());
                created = true;
            }
            id = *child;
        }
        return ERROR_SUCCESS;
    });
    if (status != ERROR_SUCCESS) {
        return status;
    }
    if (disposition != nullptr) {
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    }
    *result = NewHandle(id, samDesired);
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY hKey) {
    const auto raw = reinterpret_cast<std::uintptr_t>(hKey);
    if (raw == kRootLocalMachine || raw == kRootClassesRoot) {
        return ERROR_SUCCESS;
    }
    std::lock_guard<std::mutex> lock(Hive::Instance().mutex());
    if (hKey == nullptr || LiveHandles().erase(hKey) == 0) {
        return ERROR_INVALID_HANDLE;
    }
    delete hKey;
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY hKey, const char* valueName, DWORD*, DWORD* type, BYTE* data,
                         DWORD* cbData) {
    if (data != nullptr && cbData == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    Call call(hKey, KEY_QUERY_VALUE);
    if (call.status != ERROR_SUCCESS) {
        return call.status;
    }
    return call.InKey(false, [&]() -> long {
        Statement q(call.hive.db(), "SELECT type, data FROM vals WHERE key=? AND fold=?");
        q.Bind(1, call.id).Bind(2, text::FoldKey(NameOf(valueName)));
        const int rc = q.Step();
        if (rc == SQLITE_DONE) {
            return ERROR_FILE_NOT_FOUND;
        }
        if (rc != SQLITE_ROW) {
            return ERROR_BADDB;
        }
        return CopyValue(static_cast<DWORD>(q.Int(0)), q.Blob(1), type, data, cbData);
    });
}

LSTATUS RegSetValueExA(HKEY hKey, const char* valueName, DWORD, DWORD type, const BYTE* data,
                       DWORD cbData) {
    if (data == nullptr && cbData != 0) {
        return ERROR_INVALID_PARAMETER;
    }
    Call call(hKey, KEY_SET_VALUE);
    if (call.status != ERROR_SUCCESS) {
        return call.status;
    }
    const std::string_view name = NameOf(valueName);
    const std::string_view bytes(reinterpret_cast<const char*>(data), data ? cbData : 0);
    return call.InKey(true, [&]() -> long {
        // Replacing a value keeps the spelling of its name; a new value takes the caller's.
        Statement up(call.hive.db(), "UPDATE vals SET type=?, data=? WHERE key=? AND fold=?");
        up.Bind(1, type).Bind(2, bytes).Bind(3, call.id).Bind(4, text::FoldKey(name));
        if (up.Step() != SQLITE_DONE) {
            return ERROR_BADDB;
        }
        if (sqlite3_changes(call.hive.db()) > 0) {
            return ERROR_SUCCESS;
        }
        Statement ins(call.hive.db(),
                      "INSERT INTO vals(key,name,fold,type,data) VALUES(?,?,?,?,?)");
        ins.Bind(1, call.id)
            .Bind(2, name)
            .Bind(3, text::FoldKey(name))
            .Bind(4, type)
            .Bind(5, bytes);
        return ins.Step() == SQLITE_DONE ? ERROR_SUCCESS : ERROR_BADDB;
    });
}

LSTATUS RegDeleteValueA(HKEY hKey, const char* valueName) {
    Call call(hKey, KEY_SET_VALUE);
    if (call.status != ERROR_SUCCESS) {
        return call.status;
    }
    return call.InKey(true, [&]() -> long {
        Statement del(call.hive.db(), "DELETE FROM vals WHERE key=? AND fold=?");
        del.Bind(1, call.id).Bind(2, text::FoldKey(NameOf(valueName)));
        if (del.Step() != SQLITE_DONE) {
            return ERROR_BADDB;
        }
        return sqlite3_changes(call.hive.db()) > 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LSTATUS RegDeleteKeyA(HKEY hKey, const char* subKey) {
    if (NameOf(subKey).empty()) {
        return ERROR_INVALID_PARAMETER;  // a root or the handle's own key is not deleted here
    }
    Call call(hKey);
    if (call.status != ERROR_SUCCESS) {
        return call.status;
    }
    return call.hive.Transaction(true, [&]() -> long {
        std::int64_t id = 0;
        if (const LSTATUS walk = WalkTo(call.hive, call.id, subKey, id); walk != ERROR_SUCCESS) {
            return walk;
        }
        Statement kids(call.hive.db(), "SELECT 1 FROM keys WHERE parent=? LIMIT 1");
        kids.Bind(1, id);
        if (kids.Step() == SQLITE_ROW) {
            return ERROR_ACCESS_DENIED;
        }
        return DeleteSubtree(call.hive, id, true);
    });
}

LSTATUS RegDeleteTreeA(HKEY hKey, const char* subKey) {
    Call call(hKey);
    if (call.status != ERROR_SUCCESS) {
        return call.status;
    }
    return call.InKey(true, [&]() -> long {
        std::int64_t id = 0;
        if (const LSTATUS walk = WalkTo(call.hive, call.id, NameOf(subKey), id);
            walk != ERROR_SUCCESS) {
            return walk;
        }
        const bool includeRoot =
            !NameOf(subKey).empty() && id != 1 && id != call.hive.ClassesRootId();
        return DeleteSubtree(call.hive, id, includeRoot);
    });
}

LSTATUS RegEnumKeyExA(HKEY hKey, DWORD index, char* name, DWORD* cchName, DWORD*, char*, DWORD*,
                      void*) {
    Call call(hKey, KEY_ENUMERATE_SUB_KEYS);
    if (call.status != ERROR_SUCCESS) {
        return call.status;
    }
    return call.InKey(false, [&]() -> long {
        Statement q(call.hive.db(),
                    "SELECT name FROM keys WHERE parent=? ORDER BY fold LIMIT 1 OFFSET ?");
        q.Bind(1, call.id).Bind(2, static_cast<std::int64_t>(index));
        const int rc = q.Step();
        if (rc == SQLITE_DONE) {
            return ERROR_NO_MORE_ITEMS;
        }
        return rc == SQLITE_ROW ? CopyOut(q.Blob(0), name, cchName) : ERROR_BADDB;
    });
}

LSTATUS RegEnumValueA(HKEY hKey, DWORD index, char* valueName, DWORD* cchValueName, DWORD*,
                      DWORD* type, BYTE* data, DWORD* cbData) {
    if (data != nullptr && cbData == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    Call call(hKey, KEY_QUERY_VALUE);
    if (call.status != ERROR_SUCCESS) {
        return call.status;
    }
    return call.InKey(false, [&]() -> long {
        Statement q(call.hive.db(),
                    "SELECT name, type, data FROM vals WHERE key=? ORDER BY fold LIMIT 1 OFFSET ?");
        q.Bind(1, call.id).Bind(2, static_cast<std::int64_t>(index));
        const int rc = q.Step();
        if (rc == SQLITE_DONE) {
            return ERROR_NO_MORE_ITEMS;
        }
        if (rc != SQLITE_ROW) {
            return ERROR_BADDB;
        }
        if (const LSTATUS s = CopyOut(q.Blob(0), valueName, cchValueName); s != ERROR_SUCCESS) {
            return s;
        }
        return CopyValue(static_cast<DWORD>(q.Int(1)), q.Blob(2), type, data, cbData);
    });
}

namespace registry {

std::string HivePath() {
    std::lock_guard<std::mutex> lock(Hive::Instance().mutex());
    Hive& hive = Hive::Instance();
    hive.EnsureOpen();
    return hive.path();
}

void ResetHive() {
    std::lock_guard<std::mutex> lock(Hive::Instance().mutex());
    Hive::Instance().Close();
    for (HKEY__* h : LiveHandles()) {
        delete h;
    }
    LiveHandles().clear();
}

std::string HiveProblem() {
    std::lock_guard<std::mutex> lock(Hive::Instance().mutex());
    Hive& hive = Hive::Instance();
    return hive.EnsureOpen() ? std::string() : hive.problem();
}

}  // namespace registry

// The SQLite connection behind the registry calls. Internal to platform/registry.
//
// Layout of the hive file (one SQLite database):
//   meta(k TEXT PRIMARY KEY, v TEXT)        k='format' holds "quenby-hive-1"
//   keys(id INTEGER PRIMARY KEY, parent INTEGER, name BLOB, fold BLOB,
//        UNIQUE(parent, fold))              id 1 is HKEY_LOCAL_MACHINE
//   vals(key INTEGER, name BLOB, fold BLOB, type INTEGER, data BLOB,
//        PRIMARY KEY(key, fold))
// `name` keeps the bytes a caller first used; `fold` is text::FoldKey(name), under
// which names that differ only in case coincide.
//
// Thread: Hive::Instance() is shared by the process; every use holds Hive::mutex().
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace registry {

// One prepared statement, finalised on destruction.
class Statement {
public:
    Statement(sqlite3* db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    Statement& Bind(int index, std::int64_t value);
    Statement& Bind(int index, std::string_view blob);
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step();
    std::int64_t Int(int column) const;
    std::string Blob(int column) const;
    bool IsNull(int column) const;

private:
    sqlite3_stmt* stmt_ = nullptr;
};

class Hive {
public:
    static Hive& Instance();

    std::mutex& mutex() { return mutex_; }
    // Opens the hive when it is not open yet. False when it cannot be used; problem()
    // then says why. Caller holds mutex().
    bool EnsureOpen();
    void Close();
    bool writable() const { return writable_; }
    sqlite3* db() const { return db_; }
    const std::string& path() const { return path_; }
    const std::string& problem() const { return problem_; }

    // Runs fn inside one transaction (IMMEDIATE when write is true) and commits when
    // fn returns ERROR_SUCCESS-like 0, rolls back otherwise. Returns fn's status, or
    // the error of the transaction itself (ERROR_BADDB, ERROR_ACCESS_DENIED).
    template <typename Fn>
    long Transaction(bool write, Fn&& fn);

    // Key lookup helpers (inside a transaction).
    std::optional<std::int64_t> FindChild(std::int64_t parent, std::string_view name);
    bool KeyExists(std::int64_t id);
    std::int64_t ClassesRootId();

private:
    Hive() = default;
    bool Begin(bool write);
    bool Commit();
    void Rollback();
    bool PrepareSchema();

    std::mutex mutex_;
    sqlite3* db_ = nullptr;
    bool writable_ = false;
    std::string path_;
    std::string problem_;
    std::int64_t classesRoot_ = 0;
};

template <typename Fn>
long Hive::Transaction(bool write, Fn&& fn) {
    constexpr long kBadDb = 1009;         // ERROR_BADDB
    constexpr long kAccessDenied = 5;     // ERROR_ACCESS_DENIED
    if (write && !writable_) {
        return kAccessDenied;
    }
    if (!Begin(write)) {
        return kBadDb;
    }
    const long status = fn();
    if (status != 0) {
        Rollback();
        return status;
    }
    return Commit() ? 0 : kBadDb;
}

// Splits a key path on back-slashes, skipping empty pieces.
std::vector<std::string_view> SplitKeyPath(std::string_view path);

}  // namespace registry

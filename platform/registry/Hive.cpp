#include "registry/Hive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "text/CaseCompare.h"

namespace registry {
namespace {

constexpr const char* kFormat = "quenby-hive-1";

std::string DefaultHivePath() {
    if (const char* env = std::getenv("QUENBY_REGISTRY"); env != nullptr && *env != '\0') {
        return env;
    }
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg != '\0') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        base = std::string(home) + "/.local/share";
    } else {
        base = "/tmp";
    }
    return base + "/quenby/registry.db";
}

// Another process holds the hive: wait and try again. The wait grows to 20 ms per
// round and gives up only after five minutes, which no single call of ours needs.
int BusyHandler(void*, int attempt) {
    const int ms = attempt < 20 ? 1 : 20;
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return attempt < 15000 ? 1 : 0;
}

}  // namespace

Statement::Statement(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) {
        stmt_ = nullptr;
    }
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement& Statement::Bind(int index, std::int64_t value) {
    if (stmt_ != nullptr) {
        sqlite3_bind_int64(stmt_, index, value);
    }
    return *this;
}

Statement& Statement::Bind(int index, std::string_view blob) {
    if (stmt_ != nullptr) {
        // A zero-length blob must still be a blob, not NULL.
        static const char kEmpty = 0;
        sqlite3_bind_blob64(stmt_, index, blob.empty() ? &kEmpty : blob.data(), blob.size(),
                            SQLITE_TRANSIENT);
    }
    return *this;
}

int Statement::Step() { return stmt_ != nullptr ? sqlite3_step(stmt_) : SQLITE_ERROR; }

std::int64_t Statement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string Statement::Blob(int column) const {
    const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    const int n = sqlite3_column_bytes(stmt_, column);
    return p != nullptr ? std::string(p, static_cast<std::size_t>(n)) : std::string();
}

bool Statement::IsNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

Hive& Hive::Instance() {
    static Hive* hive = new Hive();  // never destroyed: handles may outlive statics
    return *hive;
}

bool Hive::EnsureOpen() {
    if (db_ != nullptr) {
        return true;
    }
    path_ = DefaultHivePath();
    problem_.clear();
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ec);

    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0) {
        // Create it ourselves so that it is private to the user from the start.
        const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) {
            problem_ = "The registry hive " + path_ + " cannot be created: " + std::strerror(errno) + ".";
            return false;
        }
        if (fd >= 0) {
            ::close(fd);
        }
        ::stat(path_.c_str(), &st);
    }
    if (::access(path_.c_str(), R_OK) != 0) {
        problem_ = "The registry hive " + path_ + " cannot be read: " + std::strerror(errno) + ".";
        return false;
    }
    // A hive without its owner's write bit is read-only, even for root, as a
    // read-only file is on Windows.
    writable_ = (st.st_mode & S_IWUSR) != 0 && ::access(path_.c_str(), W_OK) == 0;
    const int flags = (writable_ ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) |
                      SQLITE_OPEN_FULLMUTEX;
    if (sqlite3_open_v2(path_.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        problem_ = "The registry hive " + path_ + " cannot be opened: " +
                   (db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory") + ".";
        Close();
        return false;
    }
    sqlite3_busy_handler(db_, BusyHandler, nullptr);
    if (!PrepareSchema()) {
        Close();
        return false;
    }
    return true;
}

bool Hive::PrepareSchema() {
    auto fail = [this](const std::string& why) {
        problem_ = "The registry hive " + path_ + " " + why;
        return false;
    };
    {
        Statement check(db_, "PRAGMA quick_check(1)");
        if (!check.ok()) {
            return fail(std::string("is not a registry hive: ") + sqlite3_errmsg(db_) + ".");
        }
        if (check.Step() != SQLITE_ROW || check.Blob(0) != "ok") {
            return fail("is corrupt (the database integrity check failed).");
        }
    }
    Statement tables(db_, "SELECT count(*) FROM sqlite_master");
    if (!tables.ok() || tables.Step() != SQLITE_ROW) {
        return fail(std::string("is not a registry hive: ") + sqlite3_errmsg(db_) + ".");
    }
    const bool empty = tables.Int(0) == 0;
    if (empty) {
        if (!writable_) {
            return fail("is empty and cannot be written.");
        }
        const char* schema =
            "BEGIN IMMEDIATE;"
            "CREATE TABLE IF NOT EXISTS meta(k TEXT PRIMARY KEY, v TEXT);"
            "CREATE TABLE IF NOT EXISTS keys(id INTEGER PRIMARY KEY, parent INTEGER,"
            " name BLOB NOT NULL, fold BLOB NOT NULL, UNIQUE(parent, fold));"
            "CREATE TABLE IF NOT EXISTS vals(key INTEGER NOT NULL, name BLOB NOT NULL,"
            " fold BLOB NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL,"
            " PRIMARY KEY(key, fold)) WITHOUT ROWID;"
            "INSERT OR IGNORE INTO meta VALUES('format','quenby-hive-1');"
            "INSERT OR IGNORE INTO keys(id,parent,name,fold)"
            " VALUES(1,NULL,'HKEY_LOCAL_MACHINE','HKEY_LOCAL_MACHINE');"
            "COMMIT;";
        char* err = nullptr;
        if (sqlite3_exec(db_, schema, nullptr, nullptr, &err) != SQLITE_OK) {
            std::string why = err != nullptr ? err : "unknown error";
            sqlite3_free(err);
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            return fail("cannot be initialised: " + why + ".");
        }
    }
    Statement format(db_, "SELECT v FROM meta WHERE k='format'");
    if (!format.ok() || format.Step() != SQLITE_ROW || format.Blob(0) != kFormat) {
        return fail("is an SQLite database but not a registry hive.");
    }
    // HKEY_CLASSES_ROOT is HKLM\SOFTWARE\Classes; make sure it exists.
    const std::int64_t software = [&] {
        auto id = FindChild(1, "SOFTWARE");
        return id ? *id : 0;
    }();
    std::optional<std::int64_t> classes = software ? FindChild(software, "Classes") : std::nullopt;
    if (!classes && writable_) {
        const long status = Transaction(true, [&]() -> long {
            std::int64_t parent = 1;
            for (const char* piece : {"SOFTWARE", "Classes"}) {
                auto id = FindChild(parent, piece);
                if (!id) {
                    Statement ins(db_, "INSERT INTO keys(parent,name,fold) VALUES(?,?,?)");
                    ins.Bind(1, parent).Bind(2, piece).Bind(3, text::FoldKey(piece));
                    if (ins.Step() != SQLITE_DONE) {
                        return 1009;
                    }
                    id = sqlite3_last_insert_rowid(db_);
                }
                parent = *id;
            }
            classes = parent;
            return 0;
        });
        if (status != 0) {
            classes.reset();
        }
    }
    classesRoot_ = classes ? *classes : -1;  // -1: no such key in a read-only hive
    return true;
}

void Hive::Close() {
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    classesRoot_ = 0;
}

bool Hive::Begin(bool write) {
    return sqlite3_exec(db_, write ? "BEGIN IMMEDIATE" : "BEGIN", nullptr, nullptr, nullptr) ==
           SQLITE_OK;
}

bool Hive::Commit() {
    if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK) {
        return true;
    }
    Rollback();
    return false;
}

void Hive::Rollback() {
    if (!sqlite3_get_autocommit(db_)) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

std::optional<std::int64_t> Hive::FindChild(std::int64_t parent, std::string_view name) {
    Statement q(db_, "SELECT id FROM keys WHERE parent=? AND fold=?");
    q.Bind(1, parent).Bind(2, text::FoldKey(name));
    if (q.Step() == SQLITE_ROW) {
        return q.Int(0);
    }
    return std::nullopt;
}

bool Hive::KeyExists(std::int64_t id) {
    Statement q(db_, "SELECT 1 FROM keys WHERE id=?");
    q.Bind(1, id);
    return q.Step() == SQLITE_ROW;
}

std::int64_t Hive::ClassesRootId() { return classesRoot_; }

std::vector<std::string_view> SplitKeyPath(std::string_view path) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        if (end > start) {
            pieces.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return pieces;
}

}  // namespace registry

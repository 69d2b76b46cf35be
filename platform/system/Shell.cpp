#include "system/Shell.h"

#include <signal.h>
#include <spawn.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "system/CommandLine.h"

extern char** environ;

namespace {

constexpr int kStarted = 42;

HINSTANCE Result(int value) {
    return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(value));
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::string SearchPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string list = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(':', start), list.size());
        const std::string folder = end > start ? list.substr(start, end - start) : ".";
        const std::string candidate = folder + "/" + name;
        if (IsExecutableFile(candidate)) {
            return candidate;
        }
        start = end + 1;
    }
    return {};
}

// Where `file` is, or empty with *error set.
std::string Resolve(const std::string& file, const std::string& base, int* error) {
    std::string path = file[0] == '/' ? file : base + "/" + file;
    if (Exists(path)) {
        return path;
    }
    if (file.find('/') == std::string::npos) {
        path = SearchPath(file);
        if (!path.empty()) {
            return path;
        }
    }
    const std::string full = file[0] == '/' ? file : base + "/" + file;
    const std::size_t slash = full.find_last_of('/');
    *error = slash != std::string::npos && slash > 0 && !IsFolder(full.substr(0, slash))
                 ? SE_ERR_PNF
                 : SE_ERR_FNF;
    return {};
}

int ErrorOf(int spawnError) {
    switch (spawnError) {
        case ENOENT:
            return SE_ERR_FNF;
        case EACCES:
        case EPERM:
            return SE_ERR_ACCESSDENIED;
        case ENOEXEC:
            return SE_ERR_BADFORMAT;
        case ENOMEM:
        case EAGAIN:
            return SE_ERR_OOM;
        default:
            return 0;
    }
}

// Starts argv[0] (searched along PATH when usePath) as a process of its own.
int Spawn(const std::vector<std::string>& args, const std::string& directory, bool usePath) {
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    if (!directory.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    }
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int error =
        usePath ? ::posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ)
                : ::posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        return error;
    }
    // Nobody waits for a started program; reap it so it leaves no zombie behind.
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return 0;
}

}  // namespace

HINSTANCE ShellExecuteA(HWND /*owner*/, const char* operation, const char* file,
                        const char* parameters, const char* directory, int /*showCommand*/) {
    if (operation != nullptr && *operation != '\0' && ::strcasecmp(operation, "open") != 0) {
        return Result(SE_ERR_NOASSOC);
    }
    if (file == nullptr || *file == '\0') {
        return Result(SE_ERR_FNF);
    }
    const std::string folder = directory != nullptr ? directory : "";
    if (!folder.empty() && !IsFolder(folder)) {
        return Result(SE_ERR_PNF);
    }
    std::string base = folder;
    if (base.empty()) {
        char cwd[4096];
        base = ::getcwd(cwd, sizeof(cwd)) != nullptr ? cwd : ".";
    }
    int error = 0;
    const std::string path = Resolve(file, base, &error);
    if (path.empty()) {
        return Result(error);
    }
    if (IsExecutableFile(path)) {
        std::vector<std::string> args{path};
        for (std::string& a : sys::SplitCommandLine(parameters != nullptr ? parameters : "")) {
            args.push_back(std::move(a));
        }
        error = Spawn(args, folder, false);
        return Result(error == 0 ? kStarted : ErrorOf(error));
    }
    error = Spawn({"xdg-open", path}, folder, true);
    if (error == ENOENT) {
        return Result(SE_ERR_NOASSOC);
    }
    return Result(error == 0 ? kStarted : ErrorOf(error));
}

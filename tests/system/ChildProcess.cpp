#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace qbtest {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args) {
    int toChild[2];
    int fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0 || ::pipe2(fromChild, O_CLOEXEC) != 0) {
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    if (::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(toChild[0]);
    ::close(fromChild[1]);
    in_ = toChild[1];
    out_ = fromChild[0];
}

ChildProcess::~ChildProcess() {
    CloseStdin();
    if (pid_ > 0 && !status_) {
        Kill();
    }
    if (out_ >= 0) {
        ::close(out_);
    }
}

std::optional<std::string> ChildProcess::ReadLine() {
    for (;;) {
        const std::size_t end = buffered_.find('\n');
        if (end != std::string::npos) {
            std::string line = buffered_.substr(0, end);
            buffered_.erase(0, end + 1);
            return line;
        }
        pollfd p{out_, POLLIN, 0};
        if (out_ < 0 || ::poll(&p, 1, 20000) <= 0) {
            return std::nullopt;
        }
        char chunk[4096];
        const ssize_t n = ::read(out_, chunk, sizeof(chunk));
        if (n <= 0) {
            return std::nullopt;
        }
        buffered_.append(chunk, static_cast<std::size_t>(n));
    }
}

std::string ChildProcess::ReadAll() {
    std::string all;
    while (auto line = ReadLine()) {
        all += *line + "\n";
    }
    all += buffered_;
    buffered_.clear();
    return all;
}

void ChildProcess::CloseStdin() {
    if (in_ >= 0) {
        ::close(in_);
        in_ = -1;
    }
}

int ChildProcess::Wait() {
    if (status_) {
        return *status_;
    }
    if (pid_ <= 0) {
        return -1;
    }
    int raw = 0;
    while (::waitpid(pid_, &raw, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return *status_;
}

void ChildProcess::Kill() {
    if (pid_ > 0 && !status_) {
        ::kill(pid_, SIGKILL);
        Wait();
    }
}

}  // namespace qbtest

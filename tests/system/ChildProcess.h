// A program the test starts as another process, with its stdin and stdout on pipes:
// the test reads what it prints line by line and ends it by closing stdin (or kills
// it, to play a crash).
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace qbtest {

class ChildProcess {
  public:
    // Starts program with args (argv[0] is the program). Environment is inherited.
    ChildProcess(const std::string& program, const std::vector<std::string>& args);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    // The next line without its line end; nullopt when the output ends or nothing
    // comes within a generous 20 s (a hang shows as a failure, not as a stuck test).
    std::optional<std::string> ReadLine();
    // Everything printed until the process closes its output.
    std::string ReadAll();
    void CloseStdin();
    // Exit status (or 128 + signal); waits.
    int Wait();
    void Kill();  // SIGKILL, then waits: plays a crash

  private:
    pid_t pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    std::string buffered_;
    std::optional<int> status_;
};

}  // namespace qbtest

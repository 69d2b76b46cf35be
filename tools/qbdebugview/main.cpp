// qbdebugview: listens on the debug channel of this user's runtime folder and prints
// every text it receives on a line of its own, flushed at once, until interrupted.
//
//   qbdebugview [--count N]
//
// With --count it ends after N texts. Exit status 0, or 1 when it cannot listen
// (another listener runs, or the runtime folder is unusable).
#include <poll.h>
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "system/DebugChannel.h"
#include "system/RuntimeFolder.h"

namespace {

volatile sig_atomic_t g_stop = 0;

void OnSignal(int) {
    g_stop = 1;
}

void CatchSignals() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: poll() returns so that we can leave cleanly
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

}  // namespace

int main(int argc, char** argv) {
    long remaining = -1;
    if (argc == 3 && std::strcmp(argv[1], "--count") == 0) {
        char* end = nullptr;
        remaining = std::strtol(argv[2], &end, 10);
        if (*end != '\0' || remaining < 1) {
            std::fprintf(stderr, "qbdebugview: --count needs a positive number\n");
            return 1;
        }
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: qbdebugview [--count N]\n");
        return 1;
    }
    CatchSignals();
    const auto listener = sys::DebugListener::Open();
    if (listener == nullptr) {
        const int error = errno;
        const std::string folder = sys::RuntimeFolder();
        if (error == EADDRINUSE) {
            std::fprintf(stderr, "qbdebugview: another listener runs in %s\n", folder.c_str());
        } else {
            std::fprintf(stderr, "qbdebugview: cannot listen in %s: %s\n",
                         folder.empty() ? "the runtime folder" : folder.c_str(),
                         std::strerror(error));
        }
        return 1;
    }
    while (!g_stop && remaining != 0) {
        pollfd p{listener->Descriptor(), POLLIN, 0};
        if (::poll(&p, 1, -1) <= 0) {
            continue;  // a signal: the loop condition decides
        }
        while (auto text = listener->Receive(0)) {
            std::fwrite(text->data(), 1, text->size(), stdout);
            std::fputc('\n', stdout);
            std::fflush(stdout);
            if (remaining > 0 && --remaining == 0) {
                break;
            }
        }
    }
    return 0;
}

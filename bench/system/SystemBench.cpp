// The process services against the bare kernel calls they are made of, in one run:
//   OutputDebugStringA to a listener / send+recv on a connected datagram pair  (target <= 20)
//   OutputDebugStringA with nobody listening / the same pair                   (target <= 20)
//   SendMessageA to another thread's window / a request-reply between threads  (target <= 10)
// The services pay for what the baseline does not: finding the runtime folder and a
// new connection per call, which keeps them correct when the listener or the window
// comes and goes. Run: build/bin/bench_system   (a runtime folder is made in $TMPDIR)
#include <benchmark/benchmark.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <thread>

#include "RatioReporter.h"
#include "system/DebugChannel.h"
#include "system/Window.h"

namespace {

constexpr char kText[] = "After \tcrypto.ConvertFile";

void BM_DatagramPair(benchmark::State& state) {
    int pair[2];
    ::socketpair(AF_UNIX, SOCK_DGRAM, 0, pair);
    char buffer[256];
    for (auto _ : state) {
        ::send(pair[0], kText, sizeof(kText) - 1, 0);
        benchmark::DoNotOptimize(::recv(pair[1], buffer, sizeof(buffer), 0));
    }
    ::close(pair[0]);
    ::close(pair[1]);
}

void BM_OutputDebugStringListened(benchmark::State& state) {
    auto listener = sys::DebugListener::Open();
    for (auto _ : state) {
        OutputDebugStringA(kText);
        benchmark::DoNotOptimize(listener->Receive(0));
    }
}

void BM_OutputDebugStringUnheard(benchmark::State& state) {
    for (auto _ : state) {
        OutputDebugStringA(kText);
    }
}

// The baseline of a send: one request and one reply between two threads.
void BM_RequestReplyBetweenThreads(benchmark::State& state) {
    int pair[2];
    ::socketpair(AF_UNIX, SOCK_SEQPACKET, 0, pair);
    std::thread echo([fd = pair[1]] {
        char buffer[64];
        for (ssize_t n; (n = ::recv(fd, buffer, sizeof(buffer), 0)) > 0;) {
            ::send(fd, buffer, static_cast<std::size_t>(n), 0);
        }
    });
    char buffer[64] = {};
    for (auto _ : state) {
        ::send(pair[0], buffer, 32, 0);
        benchmark::DoNotOptimize(::recv(pair[0], buffer, sizeof(buffer), 0));
    }
    ::shutdown(pair[0], SHUT_RDWR);
    echo.join();
    ::close(pair[0]);
    ::close(pair[1]);
}

void BM_SendMessageToAnotherThread(benchmark::State& state) {
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> stop{false};
    std::thread owner([&] {
        window = CreateTopLevelWindow("Bench window", [](HWND, UINT m, WPARAM w, LPARAM) {
            return static_cast<LRESULT>(m + w);
        });
        while (!stop) {
            pollfd p{sys::WindowMessageDescriptor(), POLLIN, 0};
            if (::poll(&p, 1, 50) > 0) {
                sys::DispatchWindowMessages();
            }
        }
        DestroyWindow(window);
    });
    while (window == nullptr) {
        std::this_thread::yield();
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(SendMessageA(window, WM_USER, 1, 0));
    }
    stop = true;
    owner.join();
}

BENCHMARK(BM_DatagramPair);
BENCHMARK(BM_OutputDebugStringListened);
BENCHMARK(BM_OutputDebugStringUnheard);
BENCHMARK(BM_RequestReplyBetweenThreads)->UseRealTime();
BENCHMARK(BM_SendMessageToAnotherThread)->UseRealTime();


}  // namespace

int main(int argc, char** argv) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("quenby-bench-run-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    benchmark::Initialize(&argc, argv);
    qbbench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("OutputDebugStringA heard vs datagram pair", "BM_OutputDebugStringListened",
                        "BM_DatagramPair", 20);
    reporter.PrintRatio("OutputDebugStringA unheard vs datagram pair",
                        "BM_OutputDebugStringUnheard", "BM_DatagramPair", 20);
    reporter.PrintRatio("SendMessageA vs request-reply", "BM_SendMessageToAnotherThread/real_time",
                        "BM_RequestReplyBetweenThreads/real_time", 10);
    benchmark::Shutdown();
    std::filesystem::remove_all(folder);
    return 0;
}

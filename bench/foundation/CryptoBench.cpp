// The file cipher against plain copies of the same data, measured in one run:
//   ConvertFile(256 MiB) / copy loop(256 MiB) with the same block size   (target <= 1.5)
//   ConvertBuffer / memcpy on the same buffer                            (target <= 2.0)
//   peak memory growth while converting 1 MiB and 256 MiB                (must not grow)
// Run: build/bin/bench_crypto   (files go to $TMPDIR, default /tmp)
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "Crypto.h"
#include "RatioReporter.h"
#include "files/File.h"

namespace {

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("quenby-bench-" + name)).string();
}

const std::string& SourceFile(std::size_t bytes) {
    static std::map<std::size_t, std::string> made;
    auto it = made.find(bytes);
    if (it != made.end()) {
        return it->second;
    }
    const std::string path = TempPath("src-" + std::to_string(bytes));
    std::vector<char> block(1 << 20);
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<char>(i * 131);
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    for (std::size_t left = bytes; left > 0;) {
        const std::size_t n = std::min(left, block.size());
        std::fwrite(block.data(), 1, n, f);
        left -= n;
    }
    std::fclose(f);
    return made.emplace(bytes, path).first->second;
}

long MaxRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The baseline: the same block size as ConvertFile reads, no conversion.
void CopyLoop(const std::string& from, const std::string& to) {
    CFile in;
    CFile out;
    in.Open(from, CFile::modeRead);
    out.Open(to, CFile::modeCreate | CFile::modeWrite);
    std::vector<char> buffer(64 * 1024);
    for (UINT n; (n = in.Read(buffer.data(), static_cast<UINT>(buffer.size()))) > 0;) {
        out.Write(buffer.data(), n);
    }
}

void BM_CopyLoop(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0));
    const std::string& src = SourceFile(bytes);
    for (auto _ : state) {
        CopyLoop(src, TempPath("copy"));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_ConvertFile(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0));
    const std::string& src = SourceFile(bytes);
    const long before = MaxRssKb();
    for (auto _ : state) {
        CCrypto().ConvertFile(src, TempPath("conv"));
    }
    state.counters["maxrss_growth_kb"] = static_cast<double>(MaxRssKb() - before);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_Memcpy(benchmark::State& state) {
    std::vector<unsigned char> a(32767, 7), b(32767);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), a.size());
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * a.size()));
}

void BM_ConvertBuffer(benchmark::State& state) {
    std::vector<unsigned char> a(32767, 7);
    CCrypto crypto;
    for (auto _ : state) {
        crypto.ConvertBuffer(a.data(), static_cast<short>(a.size()));
        benchmark::DoNotOptimize(a.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * a.size()));
}

constexpr int64_t kMiB = 1 << 20;
BENCHMARK(BM_CopyLoop)->Arg(kMiB)->Arg(256 * kMiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertFile)->Arg(kMiB)->Arg(256 * kMiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy);
BENCHMARK(BM_ConvertBuffer);


}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    qbbench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("ConvertFile/256MiB vs copy loop", "BM_ConvertFile/268435456",
                        "BM_CopyLoop/268435456", 1.5);
    reporter.PrintRatio("ConvertFile/1MiB vs copy loop", "BM_ConvertFile/1048576",
                        "BM_CopyLoop/1048576", 1.5);
    reporter.PrintRatio("ConvertBuffer vs memcpy", "BM_ConvertBuffer", "BM_Memcpy", 2.0);
    benchmark::Shutdown();
    for (const char* name : {"copy", "conv", "src-1048576", "src-268435456"}) {
        std::filesystem::remove(TempPath(name));
    }
    return 0;
}

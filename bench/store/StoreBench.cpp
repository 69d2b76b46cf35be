// Benchmarks of the identity store, reported as ratios against baselines measured in
// the same run:
//   ReadFromFile(N) / Baseline(N)       loading vs. reading and deciphering the file
//   ReadFromFile(100000) / (10000)      growth: linear is ~10, quadratic ~100
//   WriteToFile(N) / ReadFromFile(N)    one save (load, write, encipher, reload)
// N identities of 10 fields each. Run: build/bin/store_bench
//
// By default the allocator keeps freed memory (no trimming, no fresh mappings for big
// blocks), so that every run measures the code on a warm heap, as a long-running
// server sees it, and not the kernel's page-fault path (very slow in some VMs).
// QUENBY_BENCH_COLD=1 leaves the allocator at its defaults.
#include <benchmark/benchmark.h>

#include "RatioReporter.h"
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "Crypto.h"
#include "EntryMap.h"
#include "QBIdentityList.h"
#include "StoreFiles.h"
#include "files/File.h"
#include "registry/Registry.h"

namespace {

const std::filesystem::path& Root() {
    static const std::filesystem::path root = [] {
        std::string templ =
            (std::filesystem::temp_directory_path() / "quenby-bench-XXXXXX").string();
        if (::mkdtemp(templ.data()) == nullptr) {
            std::abort();
        }
        return std::filesystem::path(templ);
    }();
    return root;
}

// Points the install folder at a folder holding a store of n identities (made once).
void UseStoreOf(std::int64_t n) {
    const std::filesystem::path install = Root() / ("install-" + std::to_string(n));
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quenby\\AppPath", 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &key, nullptr);
    const std::string path = install.string();
    RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>(path.size() + 1));
    RegCloseKey(key);
    if (std::filesystem::exists(install / "Data" / "QbIDStorage.cfg")) {
        return;
    }
    std::filesystem::create_directories(install / "Data");
    EntryMap entries;
    for (std::int64_t i = 0; i < n; ++i) {
        auto fields = std::make_unique<CMapStringToString>();
        for (int f = 0; f < 10; ++f) {
            fields->SetAt("Field" + std::to_string(f),
                          "value " + std::to_string(f) + " of identity " + std::to_string(i));
        }
        entries.SetAt("Identity " + std::to_string(i), std::move(fields));
    }
    const std::string plain = (install / "plain.dat").string();
    store::WriteArchiveFile(plain, entries);
    CCrypto().ConvertFile(plain, (install / "Data" / "QbIDStorage.cfg").string());
    std::filesystem::remove(plain);
}

std::string StorePath() {
    return store::StorePathFor("identity");
}

void BM_Baseline(benchmark::State& state) {
    UseStoreOf(state.range(0));
    const std::string path = StorePath();
    for (auto _ : state) {
        CFile file;
        if (!file.Open(path, CFile::modeRead)) {
            state.SkipWithError("no store");
            return;
        }
        std::string bytes(file.GetLength(), '\0');
        file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
        CCrypto crypto;
        for (std::size_t at = 0; at < bytes.size(); at += CCrypto::kBlockSize) {
            crypto.ConvertBuffer(
                reinterpret_cast<unsigned char*>(bytes.data() + at),
                static_cast<short>(std::min<std::size_t>(CCrypto::kBlockSize, bytes.size() - at)));
        }
        benchmark::DoNotOptimize(bytes.data());
    }
}

void BM_ReadFromFile(benchmark::State& state) {
    UseStoreOf(state.range(0));
    for (auto _ : state) {
        auto list = std::make_unique<CQBIdentityList>();
        list->ReadFromFile("identity");
        if (list->GetCount() != static_cast<std::size_t>(state.range(0))) {
            state.SkipWithError("store not loaded whole");
        }
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
}

void BM_WriteToFile(benchmark::State& state) {
    UseStoreOf(state.range(0));
    for (auto _ : state) {
        auto list = std::make_unique<CQBIdentityList>();
        for (int f = 0; f < 10; ++f) {
            list->AddValue("Field" + std::to_string(f), "new value " + std::to_string(f));
        }
        list->WriteToFile("Identity new", "identity");
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
}

#define STORE_SIZES Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()
BENCHMARK(BM_Baseline)->STORE_SIZES;
BENCHMARK(BM_ReadFromFile)->STORE_SIZES;
BENCHMARK(BM_WriteToFile)->STORE_SIZES;


}  // namespace

int main(int argc, char** argv) {
    const char* cold = std::getenv("QUENBY_BENCH_COLD");
    const bool warm = cold == nullptr || std::string(cold) != "1";
    if (warm) {
        ::mallopt(M_TRIM_THRESHOLD, 1 << 30);
        ::mallopt(M_MMAP_THRESHOLD, 1 << 30);
    }
    ::setenv("QUENBY_REGISTRY", (Root() / "registry.db").c_str(), 1);
    registry::ResetHive();
    benchmark::Initialize(&argc, argv);
    qbbench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto name = [](const char* function, std::int64_t n) {
        return std::string(function) + "/" + std::to_string(n) + "/real_time";
    };
    auto ratio = [&](const char* a, std::int64_t na, const char* b, std::int64_t nb, double limit) {
        const std::string label = std::string(a + 3) + "/" + std::to_string(na) + " vs " +
                                  std::string(b + 3) + "/" + std::to_string(nb);
        reporter.PrintRatio(label, name(a, na), name(b, nb), limit);
    };
    std::printf("\nRatios (same run, %s heap):\n", warm ? "warm" : "cold");
    for (const std::int64_t n : {1000, 10000, 100000}) {
        ratio("BM_ReadFromFile", n, "BM_Baseline", n, 5.0);
    }
    ratio("BM_ReadFromFile", 100000, "BM_ReadFromFile", 10000, 12.0);
    for (const std::int64_t n : {1000, 10000, 100000}) {
        ratio("BM_WriteToFile", n, "BM_ReadFromFile", n, 3.5);
    }
    benchmark::Shutdown();
    std::filesystem::remove_all(Root());
    return 0;
}

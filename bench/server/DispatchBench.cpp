// Calls by name into QBStorage.so loaded through the registry, as a page makes them:
// one GetIDsOfNames + Invoke of the property get Count on an IdentityCtr. A page that
// lists 10,000 identities makes a few such calls per identity, so the dispatch layer
// must manage at least 1,000,000 of them per second.
//
// Baseline, measured in the same run: the same member called through the function
// table (early binding, no dispatch at all). The report ends with calls per second and
// the ratio of each way of calling to the baseline.
//
// Run from the build's bin folder (the module is found beside the program); the hive
// is a temporary one, removed at the end.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "QBStorage.h"
#include "RatioReporter.h"
#include "com/ModulePath.h"
#include "com/Runtime.h"
#include "registry/Registry.h"

namespace {

IDispatch* g_control = nullptr;
IIdentityCtr* g_early = nullptr;

void BM_Baseline_VtableCall(benchmark::State& state) {
    for (auto _ : state) {
        LONG count = 0;
        benchmark::DoNotOptimize(g_early->get_Count(&count));
        benchmark::DoNotOptimize(count);
    }
    state.SetItemsProcessed(state.iterations());
}

// What a script host does for `control.Count`: look the name up, then call it, with an
// EXCEPINFO ready for a failure.
void BM_GetIDsOfNamesAndInvoke_PropertyGet(benchmark::State& state) {
    std::u16string name = u"Count";
    LPOLESTR names[] = {name.data()};
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    HRESULT last = S_OK;
    for (auto _ : state) {
        DISPID id = 0;
        g_control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        VARIANT result;
        VariantInit(&result);
        EXCEPINFO excep{};
        last = g_control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                 &result, &excep, nullptr);
        VariantClear(&result);
        com::ClearExcepInfo(&excep);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(last == S_OK ? "member answered"
                                : "member not built: " + com::FormatHResult(last));
}

// The same without EXCEPINFO: a member that fails costs no description then, so this is
// the engine's own cost (name lookup, checks, call, result).
void BM_GetIDsOfNamesAndInvoke_NoExcepInfo(benchmark::State& state) {
    std::u16string name = u"Count";
    LPOLESTR names[] = {name.data()};
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    for (auto _ : state) {
        DISPID id = 0;
        g_control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        VARIANT result;
        VariantInit(&result);
        benchmark::DoNotOptimize(g_control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT,
                                                   DISPATCH_PROPERTYGET, &none, &result, nullptr,
                                                   nullptr));
        VariantClear(&result);
    }
    state.SetItemsProcessed(state.iterations());
}

// A call with a text argument converted to the declared long ("5" -> 5).
void BM_GetIDsOfNamesAndInvoke_ConvertedArgument(benchmark::State& state) {
    std::u16string name = u"SetCount";
    LPOLESTR names[] = {name.data()};
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_BSTR;
    arg.bstrVal = SysAllocString(u"5");
    DISPPARAMS params{&arg, nullptr, 1, 0};
    for (auto _ : state) {
        DISPID id = 0;
        g_control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        benchmark::DoNotOptimize(g_control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT,
                                                   DISPATCH_METHOD, &params, nullptr, nullptr,
                                                   nullptr));
    }
    VariantClear(&arg);
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_Baseline_VtableCall);
BENCHMARK(BM_GetIDsOfNamesAndInvoke_PropertyGet);
BENCHMARK(BM_GetIDsOfNamesAndInvoke_NoExcepInfo);
BENCHMARK(BM_GetIDsOfNamesAndInvoke_ConvertedArgument);


struct TemporaryHive {
    std::filesystem::path folder;
    TemporaryHive() {
        std::string templ =
            (std::filesystem::temp_directory_path() / "quenby-bench-XXXXXX").string();
        if (::mkdtemp(templ.data()) == nullptr)
            std::abort();
        folder = templ;
        ::setenv("QUENBY_REGISTRY", (folder / "registry.db").c_str(), 1);
        registry::ResetHive();
    }
    ~TemporaryHive() {
        registry::ResetHive();
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

// Registers the module beside this program into the temporary hive, as the installer
// does, and creates the control by its ProgID.
bool Prepare() {
    const std::filesystem::path self = com::RealPath("/proc/self/exe");
    const std::string module = (self.parent_path() / "QBStorage.so").string();
    void* handle = ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    auto reg = handle != nullptr
                   ? reinterpret_cast<HRESULT (*)()>(::dlsym(handle, "DllRegisterServer"))
                   : nullptr;
    if (reg == nullptr || FAILED(reg())) {
        std::fprintf(stderr, "cannot register %s\n", module.c_str());
        return false;
    }
    ::dlclose(handle);
    CoInitialize(nullptr);
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(u"QBStorage.IdentityCtr", &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&g_control))) ||
        FAILED(g_control->QueryInterface(IID_IIdentityCtr, reinterpret_cast<void**>(&g_early)))) {
        std::fprintf(stderr, "cannot create QBStorage.IdentityCtr\n");
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    TemporaryHive hive;
    if (!Prepare())
        return 1;
    benchmark::Initialize(&argc, argv);
    // CPU time per call: steadier than wall time on a shared machine.
    qbbench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const auto baseline = reporter.Find("BM_Baseline_VtableCall");
    std::printf("\ncalls per second, and time per call against the early-bound baseline:\n");
    for (const auto& [name, times] : reporter.all()) {
        std::printf("  %-48s %12.0f calls/s", name.c_str(), 1e9 / times.cpuNs);
        if (baseline && baseline->cpuNs > 0) {
            std::printf("   x%.1f", times.cpuNs / baseline->cpuNs);
        }
        std::printf("\n");
    }
    if (const auto byName = reporter.Find("BM_GetIDsOfNamesAndInvoke_PropertyGet")) {
        const double perSecond = 1e9 / byName->cpuNs;
        std::printf("\nGetIDsOfNames + Invoke of a property get: %.0f calls/s (%s 1,000,000)\n",
                    perSecond, perSecond >= 1e6 ? "at least" : "BELOW");
    }
    g_early->Release();
    g_control->Release();
    CoUninitialize();
    benchmark::Shutdown();
    return 0;
}

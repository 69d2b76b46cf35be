// qbregsvr [/u] [/s] MODULE: registers a server module (calls its DllRegisterServer)
// or, with /u, unregisters it (DllUnregisterServer), like the Windows regsvr32.
//
// Exit status: 0 done, 1 bad command line, 3 the module does not load, 4 it lacks the
// entry point, 5 the entry point failed (its HRESULT is printed).
#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "com/HResult.h"
#include "com/Runtime.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: qbregsvr [/u] [/s] MODULE\n"
                 "  registers the server module MODULE; /u unregisters it; /s prints\n"
                 "  nothing on success.\n");
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    bool unregister = false;
    bool silent = false;
    const char* module = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        // A switch is one letter after '/' or '-'; anything longer (an absolute path
        // starts with '/' too) names the module.
        const bool isSwitch = arg.size() == 2 && (arg[0] == '/' || arg[0] == '-');
        if (isSwitch && (arg[1] == 'u' || arg[1] == 'U')) {
            unregister = true;
        } else if (isSwitch && (arg[1] == 's' || arg[1] == 'S')) {
            silent = true;
        } else if (isSwitch) {
            std::fprintf(stderr, "qbregsvr: unknown switch '%s'\n", argv[i]);
            return Usage();
        } else if (module == nullptr && !arg.empty()) {
            module = argv[i];
        } else {
            std::fprintf(stderr, "qbregsvr: unexpected argument '%s'\n", argv[i]);
            return Usage();
        }
    }
    if (module == nullptr) {
        return Usage();
    }
    // A name without a slash would make dlopen search the library path; the user means
    // the file of that name here.
    std::string path = module;
    if (path.find('/') == std::string::npos) {
        path = "./" + path;
    }
    CoInitialize(nullptr);
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        std::fprintf(stderr, "qbregsvr: the module \"%s\" failed to load: %s\n", module,
                     ::dlerror());
        CoUninitialize();
        return 3;
    }
    const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    auto* call = reinterpret_cast<HRESULT (*)()>(::dlsym(handle, entry));
    int status = 0;
    if (call == nullptr) {
        std::fprintf(
            stderr,
            "qbregsvr: the module \"%s\" was loaded but the entry point %s was not found.\n",
            module, entry);
        status = 4;
    } else {
        const HRESULT hr = call();
        if (FAILED(hr)) {
            std::fprintf(stderr, "qbregsvr: %s in \"%s\" failed. Return code was: %s (%s)\n", entry,
                         module, com::FormatHResult(hr).c_str(), com::DescribeHResult(hr).c_str());
            status = 5;
        } else if (!silent) {
            std::printf("%s in \"%s\" succeeded.\n", entry, module);
        }
    }
    ::dlclose(handle);
    CoUninitialize();
    return status;
}

#include "QBStorageModule.h"

#include <cstdio>

#include "CIDentity.h"
#include "CIdentityCtr.h"
#include "CPasscards.h"
#include "ClassTable.h"
#include "Crypto.h"
#include "QBStorage.h"
#include "QBStorageTypeLib.h"

namespace {

enum DispatcherIndex { kIIDentity, kIPasscards, kIIdentityCtr, kDispatcherCount };

// The module's state, defined in this one file in the order it is built: it comes to
// life when the library is loaded and goes, in reverse order, when it is unloaded.
com::ServerModule g_module;
com::Dispatcher* g_dispatchers[kDispatcherCount] = {};
std::string g_problem;

com::Dispatcher* MakeDispatcher(const IID& iid, std::span<const com::MemberBinding> bindings,
                                const char* source) {
    com::ComPtr<ITypeInfo> info;
    if (FAILED(QBStorageModule().TypeLib()->GetTypeInfoOfGuid(iid, info.Receive()))) {
        g_problem += std::string(source) + ": interface missing from the type library; ";
        return nullptr;
    }
    auto* dispatcher = new com::Dispatcher(info.get(), bindings, source, &DescribeServerException);
    if (!dispatcher->Problems().empty()) {
        g_problem += dispatcher->Problems();
        delete dispatcher;
        return nullptr;
    }
    return dispatcher;
}

}  // namespace

com::ServerModule& QBStorageModule() {
    return g_module;
}

ITypeLib* QBStorageTypeLib() {
    return QBStorageModule().TypeLib();
}

const com::Dispatcher& IIDentityDispatcher() {
    return *g_dispatchers[kIIDentity];
}
const com::Dispatcher& IPasscardsDispatcher() {
    return *g_dispatchers[kIPasscards];
}
const com::Dispatcher& IIdentityCtrDispatcher() {
    return *g_dispatchers[kIIdentityCtr];
}

const std::string& StartupProblem() {
    return g_problem;
}

bool StartServerModule() {
    g_problem.clear();
    com::RegisterTypeLibResource(reinterpret_cast<const void*>(&StartServerModule),
                                 &QBStorageTypeLibDesc());
    const HRESULT hr = QBStorageModule().Init(
        ServerClasses(), reinterpret_cast<const void*>(&StartServerModule), QBStorageTypeLibDesc());
    if (FAILED(hr)) {
        g_problem = "the type library does not build: " + com::DescribeHResult(hr);
        return false;
    }
    g_dispatchers[kIIDentity] =
        MakeDispatcher(IID_IIDentity, CIDentity::Bindings(), "QBStorage.IDentity");
    g_dispatchers[kIPasscards] =
        MakeDispatcher(IID_IPasscards, CPasscards::Bindings(), "QBStorage.Passcards");
    g_dispatchers[kIIdentityCtr] =
        MakeDispatcher(IID_IIdentityCtr, CIdentityCtr::Bindings(), "QBStorage.IdentityCtr");
    if (!g_problem.empty()) {
        StopServerModule();
        return false;
    }
    return true;
}

void StopServerModule() {
    QBStorageModule().Term();
    for (com::Dispatcher*& dispatcher : g_dispatchers) {
        delete dispatcher;
        dispatcher = nullptr;
    }
    com::UnregisterTypeLibResource(reinterpret_cast<const void*>(&StartServerModule));
}

std::string DescribeServerException() {
    try {
        throw;
    } catch (const CryptException& e) {
        std::string text = e.m_strMessage;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        return text;
    } catch (...) {
        return com::DescribeCurrentException();
    }
}

namespace {

// Load and unload of the library. A start-up that fails cannot refuse the load on
// this platform; the module then refuses every class object and registration instead
// (E_UNEXPECTED) and says why on stderr.
struct ModuleLifetime {
    ModuleLifetime() {
        if (!StartServerModule()) {
            std::fprintf(stderr, "QBStorage: the module cannot start: %s\n",
                         StartupProblem().c_str());
        }
    }
    ~ModuleLifetime() { StopServerModule(); }
    ModuleLifetime(const ModuleLifetime&) = delete;
    ModuleLifetime& operator=(const ModuleLifetime&) = delete;
};

// Last in this file: built after the state above, destroyed before it.
const ModuleLifetime g_lifetime;

}  // namespace

#include "BridgeFixture.h"

#include <dlfcn.h>

#include <filesystem>

#include "Probe.h"
#include "com/ModulePath.h"

namespace qbtest {
namespace {

std::function<void()> g_loop;

void RunLoop() {
    if (g_loop) {
        g_loop();
    }
}

std::string ProbePath() {
    return com::RealPath(Tool("BridgeProbe.so"));
}

}  // namespace

void BridgeTest::SetUp() {
    ServerTest::SetUp();
    registry::ResetHive();  // the tool writes the hive from another process
    std::string out;
    ASSERT_EQ(qbtest::Run(Tool("qbregsvr") + " /s '" + ProbePath() + "'", &out), 0) << out;
    registry::ResetHive();
    std::filesystem::create_directories(ResourcesFolder());
}

void BridgeTest::TearDown() {
    g_loop = nullptr;
    ServerTest::TearDown();
    void* probe = ::dlopen(ProbePath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_EQ(probe, nullptr) << "the probe module is still loaded";
    if (probe != nullptr) {
        ::dlclose(probe);
    }
}

std::string BridgeTest::ResourcesFolder() const {
    return Path("My Apps/Quenby") + "/Resources/";
}

void BridgeTest::Put(const std::string& path, const std::string& text) const {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteFile(path, text);
}

std::string BridgeTest::FileUrl(const std::string& path) {
    std::string url = "file://";
    for (const char c : path) {
        url += c == ' ' ? std::string("%20") : std::string(1, c);
    }
    return url;
}

void BridgeTest::SetNestedLoop(std::function<void()> loop) {
    g_loop = std::move(loop);
    void* probe = ::dlopen(ProbePath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(probe, nullptr) << "the probe module is not loaded";
    auto set = reinterpret_cast<ProbeSetNestedLoopFn>(::dlsym(probe, "ProbeSetNestedLoop"));
    ::dlclose(probe);  // the runtime keeps its own reference
    ASSERT_NE(set, nullptr);
    set(&RunLoop);
}

bool BridgeTest::ProbeLoaded() {
    void* probe = ::dlopen(ProbePath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (probe != nullptr) {
        ::dlclose(probe);
    }
    return probe != nullptr;
}

}  // namespace qbtest

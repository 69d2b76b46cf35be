// Fixture of the object bridge's tests: the server module QBStorage.so and the test
// module BridgeProbe.so (probe/Probe.h) registered in the test's own hive, the object
// runtime initialised, and an install folder whose Resources folder may hold pages. At
// the end every object must be gone and both modules unloaded (ServerTest).
#pragma once

#include <functional>
#include <string>

#include "ServerFixture.h"

namespace qbtest {

class BridgeTest : public ServerTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // <root>/My Apps/Quenby/Resources/ (created), as the program passes it.
    std::string ResourcesFolder() const;
    // Writes a file (folders created).
    void Put(const std::string& path, const std::string& text) const;
    // "file://" + path with blanks as %20, as the browser shows such a URL.
    static std::string FileUrl(const std::string& path);

    // What the probe's Nested() runs next (the module must be loaded).
    static void SetNestedLoop(std::function<void()> loop);
    static bool ProbeLoaded();
};

}  // namespace qbtest

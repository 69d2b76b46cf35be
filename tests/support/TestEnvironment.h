// Test fixture: every test runs in a fresh temporary folder with its own registry
// hive ($QUENBY_REGISTRY) and runtime folder, and the code page read anew.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "registry/Registry.h"

namespace qbtest {

class TempEnvironment : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    const std::filesystem::path& root() const { return root_; }
    std::string Path(const std::string& relative) const { return (root_ / relative).string(); }

    // Registry set-up as the installer would do it (keys under HKLM).
    static void CreateKey(const std::string& path);
    static void SetString(const std::string& key, const std::string& name, const std::string& value);
    static void SetDword(const std::string& key, const std::string& name, DWORD value);
    // Raw bytes of a value, or nullopt-like "" with found=false.
    static std::string ReadRaw(const std::string& key, const std::string& name, bool* found = nullptr,
                               DWORD* type = nullptr);

private:
    std::filesystem::path root_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

// Runs a shell command line; returns the exit status and fills out with stdout+stderr.
int Run(const std::string& command, std::string* out = nullptr);
// Absolute path of a built program (the build's bin folder).
std::string Tool(const std::string& name);

}  // namespace qbtest

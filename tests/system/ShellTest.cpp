#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "TestEnvironment.h"
#include "system/CommandLine.h"
#include "system/Shell.h"

namespace {

// A program that writes its folder, its process id and its arguments, one a line, to
// $QB_RECORD (atomically, so the test never reads half of it).
constexpr const char* kRecorder =
    "#!/bin/sh\n"
    "{ pwd; echo $$; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$QB_RECORD.part\"\n"
    "mv \"$QB_RECORD.part\" \"$QB_RECORD\"\n";

class ShellTest : public qbtest::TempEnvironment {
  protected:
    void SetUp() override {
        TempEnvironment::SetUp();
        std::filesystem::create_directories(Path("bin"));
        std::filesystem::create_directories(Path("docs"));
        Executable("bin/record", kRecorder);
        Executable("bin/xdg-open", kRecorder);  // stands in for the desktop's opener
        ::setenv("QB_RECORD", Path("record.txt").c_str(), 1);
        savedPath_ = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
        ::setenv("PATH", (Path("bin") + ":" + savedPath_).c_str(), 1);
    }
    void TearDown() override {
        ::setenv("PATH", savedPath_.c_str(), 1);
        TempEnvironment::TearDown();
    }

    void Executable(const std::string& relative, const std::string& content) {
        qbtest::WriteFile(Path(relative), content);
        ::chmod(Path(relative).c_str(), 0755);
    }

    // The lines the started program recorded; waits for them (they come from another
    // process) and removes the record for the next case.
    std::vector<std::string> Recorded() {
        const std::string path = Path("record.txt");
        for (int i = 0; i < 2000 && !std::filesystem::exists(path); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::vector<std::string> lines;
        std::istringstream in(qbtest::ReadFile(path));
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        std::filesystem::remove(path);
        return lines;
    }

  private:
    std::string savedPath_;
};

TEST_F(ShellTest, ExecutablesStartDirectlyWithTheirParametersAndNothingElseInterpretsThem) {
    const std::string cwd = std::filesystem::current_path().string();
    struct Case {
        std::string file;
        const char* parameters;
        std::string directory;  // "" for none
        std::string folder;
        std::vector<std::string> arguments;
    } cases[] = {
        {Path("bin/record"),
         R"(one "two words" three\"quote)",
         "",
         cwd,
         {"one", "two words", "three\"quote"}},
        {"record", "", Path("bin"), Path("bin"), {}},
        {"bin/record", nullptr, root().string(), root().string(), {}},
        {"record",
         "; touch pwned $(touch pwned2)",
         Path("docs"),
         Path("docs"),
         {";", "touch", "pwned", "$(touch", "pwned2)"}},
    };
    for (const Case& c : cases) {
        const HINSTANCE result =
            ShellExecuteA(nullptr, "open", c.file.c_str(), c.parameters,
                          c.directory.empty() ? nullptr : c.directory.c_str(), SW_SHOWNORMAL);
        ASSERT_GT(ShellExecuteResult(result), 32) << c.file;
        std::vector<std::string> lines = Recorded();
        ASSERT_GE(lines.size(), 2u) << c.file;
        EXPECT_EQ(lines[0], c.folder) << c.file;
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end()), c.arguments) << c.file;

        // Nobody waits for the program, yet it leaves no zombie behind.
        const std::string stat = "/proc/" + lines[1] + "/stat";
        for (int i = 0; i < 2000 && std::filesystem::exists(stat); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_FALSE(std::filesystem::exists(stat)) << "process " << lines[1] << " not reaped";
    }
    EXPECT_FALSE(std::filesystem::exists(Path("docs/pwned")));
    EXPECT_FALSE(std::filesystem::exists(Path("docs/pwned2")));
}

TEST_F(ShellTest, OtherFilesGoToXdgOpen) {
    qbtest::WriteFile(Path("docs/Help.chm"), "help");
    const HINSTANCE result = ShellExecuteA(nullptr, nullptr, Path("docs/Help.chm").c_str(),
                                           "--ignored", nullptr, SW_SHOW);
    ASSERT_GT(ShellExecuteResult(result), 32);
    const std::vector<std::string> lines = Recorded();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], Path("docs/Help.chm")) << "only the file, no parameters";

    ASSERT_GT(ShellExecuteResult(ShellExecuteA(nullptr, "OPEN", "Help.chm", nullptr,
                                               Path("docs").c_str(), SW_SHOW)),
              32);
    EXPECT_EQ(Recorded().back(), Path("docs") + "/Help.chm");
}

TEST_F(ShellTest, FailuresGiveTheWindowsErrorNumbers) {
    qbtest::WriteFile(Path("docs/page.htm"), "<html></html>");
    Executable("bin/broken",
               "\x7f"
               "ELF but not really");
    struct Case {
        const char* operation;
        std::string file;
        std::string directory;  // "" for none
        int result;
    } cases[] = {
        {"open", Path("docs/missing.htm"), "", SE_ERR_FNF},
        {"open", "missing-program", "", SE_ERR_FNF},
        {"open", "", "", SE_ERR_FNF},
        {"open", Path("nowhere/page.htm"), "", SE_ERR_PNF},
        {"open", "page.htm", Path("nowhere"), SE_ERR_PNF},
        {"print", Path("docs/page.htm"), "", SE_ERR_NOASSOC},
        {"edit", Path("bin/record"), "", SE_ERR_NOASSOC},
        {"open", Path("bin/broken"), "", SE_ERR_BADFORMAT},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShellExecuteResult(
                      ShellExecuteA(nullptr, c.operation, c.file.c_str(), nullptr,
                                    c.directory.empty() ? nullptr : c.directory.c_str(), SW_SHOW)),
                  c.result)
            << c.operation << " " << c.file;
    }
    EXPECT_EQ(
        ShellExecuteResult(ShellExecuteA(nullptr, "open", nullptr, nullptr, nullptr, SW_SHOW)),
        SE_ERR_FNF);

    ::setenv("PATH", Path("docs").c_str(), 1);  // no xdg-open anywhere
    EXPECT_EQ(ShellExecuteResult(ShellExecuteA(nullptr, "open", Path("docs/page.htm").c_str(),
                                               nullptr, nullptr, SW_SHOW)),
              SE_ERR_NOASSOC);
    EXPECT_FALSE(std::filesystem::exists(Path("record.txt")));
}

TEST(CommandLineTest, SplitsByTheWindowsRules) {
    struct Case {
        const char* line;
        std::vector<std::string> arguments;
    } cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"a b\tc", {"a", "b", "c"}},
        {"  lead  trail  ", {"lead", "trail"}},
        {R"("two words" x)", {"two words", "x"}},
        {R"(a"b c"d)", {"ab cd"}},
        {R"("")", {""}},
        {R"(x "" y)", {"x", "", "y"}},
        {R"(C:\Program Files\x)", {R"(C:\Program)", R"(Files\x)"}},
        {R"(a\\b)", {R"(a\\b)"}},
        {R"(a\"b)", {R"(a"b)"}},
        {R"(a\\"b c")", {R"(a\b c)"}},
        {R"(a\\\"b)", {R"(a\"b)"}},
        {R"("a""b")", {R"(a"b)"}},
        {R"("unterminated quote)", {"unterminated quote"}},
        {R"(end\)", {R"(end\)"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sys::SplitCommandLine(c.line), c.arguments) << c.line;
    }
}

}  // namespace

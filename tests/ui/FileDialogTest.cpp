// The file dialog through the scripted backend: filters, the checks the dialog makes
// before it takes a name, and what the caller reads afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestEnvironment.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "ui/ScriptedBackend.h"

namespace {

using Lines = std::vector<std::string>;

constexpr const char* kFilter = "Database Files (*.cfg)|*.CFG||";

TEST(FileFilterTest, PairsOfDescriptionAndPatterns) {
    struct Case {
        const char* filter;
        std::vector<ui::FileFilter> parsed;
    } cases[] = {
        {kFilter, {{"Database Files (*.cfg)", {"*.CFG"}}}},
        {"Text|*.txt;*.TXT|All|*.*||", {{"Text", {"*.txt", "*.TXT"}}, {"All", {"*.*"}}}},
        {"Pages|*.htm", {{"Pages", {"*.htm"}}}},
        {"", {}},
        {"Lonely description||", {}},
    };
    for (const Case& c : cases) {
        const std::vector<ui::FileFilter> parsed = ui::ParseFileFilter(c.filter);
        ASSERT_EQ(parsed.size(), c.parsed.size()) << c.filter;
        for (std::size_t i = 0; i < parsed.size(); ++i) {
            EXPECT_EQ(parsed[i].description, c.parsed[i].description) << c.filter;
            EXPECT_EQ(parsed[i].patterns, c.parsed[i].patterns) << c.filter;
        }
    }
}

class FileDialogTest : public qbtest::TempEnvironment {
  protected:
    ui::ScriptedBackend backend;
    ui::ScopedBackend scope{backend};
};

TEST_F(FileDialogTest, SaveAsksBeforeReplacingAnExistingFile) {
    const std::string existing = Path("QbIDStorage.cfg");
    qbtest::WriteFile(existing, "old");
    backend.QueueFileDialogAnswer(existing);
    backend.QueueMessageBoxAnswer(IDNO);  // do not replace: the dialog stays
    backend.QueueFileDialogAnswer(existing);
    backend.QueueMessageBoxAnswer(IDYES);
    CFileDialog dialog(FALSE, nullptr, "QbIDStorage.cfg", 0x1802, kFilter);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetPathName(), existing);
    EXPECT_EQ(dialog.GetFileName(), "QbIDStorage.cfg");
    const std::string question =
        "MessageBox \"Save As\" 0x34 \"QbIDStorage.cfg already exists.\nDo you want to "
        "replace it?\"";
    EXPECT_EQ(backend.Lines(), (Lines{
                                   "FileDialog save \"QbIDStorage.cfg\" filter \"" +
                                       std::string(kFilter) + "\" flags 0x1802 shown",
                                   "User chooses \"" + existing + "\"",
                                   question + " -> No",
                                   "User chooses \"" + existing + "\"",
                                   question + " -> Yes",
                               }));
}

TEST_F(FileDialogTest, WhichNamesEachKindTakes) {
    const std::string present = Path("present.cfg");
    qbtest::WriteFile(present, "x");
    struct Case {
        const char* name;
        BOOL open;
        DWORD flags;
        std::string chosen;
        const char* refusal;  // nullptr: taken at once
    } cases[] = {
        {"save ignores must-exist", FALSE, 0x1800, Path("new.cfg"), nullptr},
        {"save without prompt replaces", FALSE, 0x1800, present, nullptr},
        {"open needs the file", TRUE, 0x1800, Path("missing.cfg"), "File not found."},
        {"open takes a file that exists", TRUE, 0x1800, present, nullptr},
        {"the folder must exist", FALSE, 0x1802, Path("nowhere/x.cfg"), "Path does not exist."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        backend.ClearTranscript();
        backend.QueueFileDialogAnswer(c.chosen);
        CFileDialog dialog(c.open, nullptr, "x.cfg", c.flags, kFilter);
        const int result = dialog.DoModal();  // a refused name leaves the script empty: Cancel
        const std::vector<std::string> boxes = backend.MessageTexts();
        if (c.refusal == nullptr) {
            EXPECT_EQ(result, IDOK);
            EXPECT_EQ(dialog.GetPathName(), c.chosen);
            EXPECT_TRUE(boxes.empty());
        } else {
            EXPECT_EQ(result, IDCANCEL);
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_NE(boxes[0].find(c.refusal), std::string::npos) << boxes[0];
            EXPECT_EQ(backend.Lines().back(), "Script ended: the file dialog is cancelled");
        }
    }
}

TEST_F(FileDialogTest, CancelReportsAnEmptyName) {
    backend.QueueFileDialogCancel();
    CFileDialog dialog(FALSE, nullptr, "QbIDStorage.cfg", 0x1800, kFilter);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.GetFileName(), "");
    EXPECT_EQ(dialog.GetPathName(), "");
    EXPECT_EQ(backend.Lines().back(), "User cancels the file dialog");
}

TEST_F(FileDialogTest, TheDefaultExtensionCompletesANameWithout) {
    backend.QueueFileDialogAnswer(Path("export"));
    backend.QueueFileDialogAnswer(Path("export.dat"));
    CFileDialog first(FALSE, "cfg", nullptr, 0, kFilter);
    ASSERT_EQ(first.DoModal(), IDOK);
    EXPECT_EQ(first.GetFileName(), "export.cfg");
    CFileDialog second(FALSE, "cfg", nullptr, 0, kFilter);
    ASSERT_EQ(second.DoModal(), IDOK);
    EXPECT_EQ(second.GetFileName(), "export.dat");
}

}  // namespace

// CDialog and the scripted backend: data exchange, the keys, notifications, module
// resources, nesting, and what happens when a script runs out.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ScriptedUi.h"
#include "ui/Dialog.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"

namespace {

using Lines = std::vector<std::string>;

constexpr int kName = 10;
constexpr int kFlag = 11;
constexpr int kShout = 12;  // a push button that rewrites the name
constexpr int kNested = 13;

ui::ResourceTable MakeTable(const char* caption) {
    ui::ResourceTable table;
    table.dialogs.push_back(ui::ModalDialog(500, caption, 200, 60,
                                            {
                                                ui::LText("&Name:", IDC_STATIC, 5, 7, 30, 8),
                                                ui::EditText(kName, 40, 5, 100, 12),
                                                ui::AutoCheckBox("&Flag", kFlag, 5, 22, 60, 10),
                                                ui::DefPushButton("OK", IDOK, 145, 5, 50, 14),
                                                ui::PushButton("Cancel", IDCANCEL, 145, 22, 50, 14),
                                                ui::PushButton("&Shout", kShout, 145, 39, 50, 14),
                                                ui::PushButton("&More", kNested, 90, 39, 50, 14),
                                            }));
    // The default button starts disabled.
    table.dialogs.push_back(
        ui::ModalDialog(501, "Disabled default", 100, 40,
                        {
                            ui::EditText(kName, 5, 5, 90, 12),
                            ui::DefPushButton("OK", IDOK, 45, 22, 50, 14, WS_DISABLED),
                        }));
    // No button at all.
    table.dialogs.push_back(
        ui::ModalDialog(502, "No buttons", 100, 20, {ui::EditText(kName, 5, 5, 90, 12)}));
    table.strings.push_back({101, "&About..."});
    return table;
}

const ui::ResourceTable& Table() {
    static const ui::ResourceTable table = MakeTable("Test");
    return table;
}

class NameDlg : public CDialog {
  public:
    explicit NameDlg(UINT id = 500) : CDialog(id) {}
    std::string name;
    int flag = BST_UNCHECKED;
    int changes = 0;

  protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, kName, name);
        DDX_Check(pDX, kFlag, flag);
    }
    BOOL OnCommand(int id, int code) override {
        if (id == kName && code == EN_CHANGE) {
            ++changes;
            return TRUE;
        }
        if (id == kShout && code == BN_CLICKED) {
            std::string text = GetDlgItemText(kName);
            std::transform(text.begin(), text.end(), text.begin(), ::toupper);
            SetDlgItemText(kName, text);
            return TRUE;
        }
        if (id == kNested && code == BN_CLICKED) {
            NameDlg inner;
            inner.DoModal();
            return TRUE;
        }
        return CDialog::OnCommand(id, code);
    }
};

// Escape and the close box do not end it.
class StubbornDlg : public NameDlg {
  protected:
    void OnCancel() override {}
};

class DialogTest : public ::testing::Test {
  protected:
    qbtest::ScriptedUi ui_{Table()};
    ui::ScriptedBackend& backend = ui_.backend;
};

TEST_F(DialogTest, DataExchangeFillsTheControlsAndReadsThemBack) {
    NameDlg dialog;
    dialog.name = "Ann";
    dialog.flag = BST_CHECKED;
    backend.QueueType(kName, "Bob");
    backend.QueueClick(kFlag);
    backend.QueueClick(IDOK);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.name, "Bob");
    EXPECT_EQ(dialog.flag, BST_UNCHECKED);
    EXPECT_EQ(dialog.changes, 2) << "the program's text and the user's each notify once";
    EXPECT_EQ(backend.Lines(), (Lines{
                                   "Dialog 500 \"Test\" shown",
                                   "SetText 10 \"Ann\"",
                                   "Check 11 checked",
                                   "Focus 10",
                                   "User types \"Bob\" into 10",
                                   "User clicks 11 (unchecked)",
                                   "User clicks 1",
                                   "Dialog 500 ended -> OK",
                               }));
}

TEST_F(DialogTest, CancelKeepsTheMembers) {
    NameDlg dialog;
    dialog.name = "Ann";
    backend.QueueType(kName, "Bob");
    backend.QueueClick(IDCANCEL);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.name, "Ann");
}

TEST_F(DialogTest, EnterPressesTheFocusedButtonElseTheDefaultOne) {
    struct Case {
        UINT dialogId;
        std::vector<int> clicksFirst;
        std::string enterLine;
        bool endsWithOk;  // else Enter leaves it open and Escape ends it
    } cases[] = {
        {500, {}, "User presses Enter (presses 1)", true},
        {500, {kShout}, "User presses Enter (presses 12)", false},
        {501, {}, "User presses Enter (default button disabled: nothing happens)", false},
        {502, {}, "User presses Enter (sends IDOK)", true},
    };
    for (const Case& c : cases) {
        backend.ClearTranscript();
        for (int id : c.clicksFirst) {
            backend.QueueClick(id);
        }
        backend.QueueEnter();
        if (!c.endsWithOk) {
            backend.QueueEscape();
        }
        NameDlg dialog(c.dialogId);
        EXPECT_EQ(dialog.DoModal(), c.endsWithOk ? IDOK : IDCANCEL) << c.enterLine;
        const Lines lines = backend.Lines();
        EXPECT_NE(std::find(lines.begin(), lines.end(), c.enterLine), lines.end()) << c.enterLine;
        EXPECT_EQ(backend.PendingSteps(), 0u);
    }
}

TEST_F(DialogTest, DisabledControlsIgnoreTheUser) {
    backend.QueueClick(IDOK);
    backend.QueueType(99, "x");
    backend.QueueCloseBox();
    NameDlg dialog(501);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(backend.Lines(), (Lines{
                                   "Dialog 501 \"Disabled default\" shown",
                                   "Focus 10",
                                   "User clicks 1 (disabled: nothing happens)",
                                   "User types \"x\" into 99 (no such edit: nothing happens)",
                                   "User closes the dialog",
                                   "Dialog 501 ended -> Cancel",
                               }));
}

TEST_F(DialogTest, ADialogThatWillNotCloseIsEndedWhenTheScriptRunsOut) {
    StubbornDlg dialog;
    backend.QueueEscape();
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    const Lines lines = backend.Lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(Lines(lines.end() - 4, lines.end()),
              (Lines{"Script ended: the close box is used", "User closes the dialog",
                     "Script ended: the dialog did not close; ended with Cancel",
                     "Dialog 500 ended -> Cancel"}));
}

TEST_F(DialogTest, ANestedDialogTakesTheStepsThatComeWhileItIsOpen) {
    NameDlg outer;
    backend.QueueClick(kNested);
    backend.QueueType(kName, "inner");
    backend.QueueClick(IDOK);
    backend.QueueType(kName, "outer");
    backend.QueueClick(IDOK);
    EXPECT_EQ(outer.DoModal(), IDOK);
    EXPECT_EQ(outer.name, "outer");
    EXPECT_EQ(backend.Lines(), (Lines{
                                   "Dialog 500 \"Test\" shown",
                                   "Focus 10",
                                   "User clicks 13",
                                   "Dialog 500 \"Test\" shown",
                                   "Focus 10",
                                   "User types \"inner\" into 10",
                                   "User clicks 1",
                                   "Dialog 500 ended -> OK",
                                   "User types \"outer\" into 10",
                                   "User clicks 1",
                                   "Dialog 500 ended -> OK",
                               }));
}

TEST_F(DialogTest, TemplatesAndStringsComeFromTheCurrentModule) {
    static const ui::ResourceTable other = MakeTable("Other module");
    static const ui::Module otherModule{"Other", &other};
    static const ui::Module bare{"Bare", nullptr};
    std::string text;
    EXPECT_TRUE(ui::LoadString(101, text));
    EXPECT_EQ(text, "&About...");
    EXPECT_FALSE(ui::LoadString(102, text));
    {
        ui::ModuleStateGuard guard(otherModule);
        backend.QueueEscape();
        EXPECT_EQ(NameDlg().DoModal(), IDCANCEL);
    }
    {
        ui::ModuleStateGuard guard(bare);
        EXPECT_EQ(NameDlg().DoModal(), -1) << "no resources at all";
        EXPECT_FALSE(ui::LoadString(101, text));
    }
    EXPECT_EQ(NameDlg(999).DoModal(), -1) << "no such template";
    EXPECT_EQ(backend.Lines().front(), "Dialog 500 \"Other module\" shown");
    EXPECT_EQ(backend.Lines().back(), "Dialog 500 ended -> Cancel");
}

TEST_F(DialogTest, ControlsDoNothingWhileNoDialogRuns) {
    NameDlg dialog;
    dialog.SetDlgItemText(kName, "x");
    dialog.CheckDlgButton(kFlag, BST_CHECKED);
    EXPECT_EQ(dialog.GetDlgItemText(kName), "");
    EXPECT_EQ(dialog.IsDlgButtonChecked(kFlag), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_FALSE(dialog.GetDlgItem(kName).IsValid());
    EXPECT_FALSE(dialog.UpdateData(TRUE));
    EXPECT_TRUE(backend.transcript().empty());
}

TEST(DefaultBackendTest, DialogsAndFileDialogsAreCancelledAndPrinted) {
    static const ui::ResourceTable table = MakeTable("Headless");
    static const ui::Module module{"Quenby", &table};
    ui::ModuleStateGuard guard(module);
    testing::internal::CaptureStderr();
    EXPECT_EQ(NameDlg().DoModal(), IDCANCEL);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_NE(printed.find("[Headless] dialog 500 not shown"), std::string::npos) << printed;
    testing::internal::CaptureStderr();
    CFileDialog save(FALSE, nullptr, "QbIDStorage.cfg", 0x1802, "Database Files (*.cfg)|*.CFG||");
    EXPECT_EQ(save.DoModal(), IDCANCEL);
    EXPECT_EQ(save.GetFileName(), "");
    const std::string printedFile = testing::internal::GetCapturedStderr();
    EXPECT_NE(printedFile.find("[Save As] file dialog for \"QbIDStorage.cfg\" not shown"),
              std::string::npos)
        << printedFile;
}

}  // namespace

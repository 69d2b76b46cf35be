// The server module's dialogs and drawing, through the scripted backend and a
// recording device context.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IdentityCtrDrawing.h"
#include "IdentityNameDlg.h"
#include "PasswordDlg.h"
#include "ScriptedUi.h"
#include "ServerResources.h"
#include "Settings.h"
#include "TestEnvironment.h"
#include "ui/MessageBox.h"

namespace {

using Lines = std::vector<std::string>;

class ServerDialogsTest : public qbtest::TempEnvironment {
  protected:
    qbtest::ScriptedUi ui_{ServerResourceTable(), "QBStorage"};
    ui::ScriptedBackend& backend = ui_.backend;
};

TEST_F(ServerDialogsTest, OkIsEnabledOnlyWhileTheNameHasMoreThanWhiteSpace) {
    struct Case {
        const char* typed;
        const char* line;  // what the OK button does after it ("" for nothing)
    } cases[] = {
        {"Home", "Enable 1"},         {"Home address", ""},  // still named: no change
        {" \t\r\n\v\f", "Disable 1"}, {"", ""},              // already disabled
        {"  x  ", "Enable 1"},        {"\t", "Disable 1"},
    };
    Lines expected = {"Dialog 201 \"IDentity\" shown", "Focus 201"};
    for (const Case& c : cases) {
        backend.QueueType(IDC_IDENTITY_NAME, c.typed);
        expected.push_back("User types \"" + std::string(c.typed) + "\" into 201");
        if (*c.line != '\0') {
            expected.push_back(c.line);
        }
    }
    backend.QueueEnter();  // OK is disabled: nothing happens
    backend.QueueEscape();
    expected.push_back("User presses Enter (default button disabled: nothing happens)");
    expected.push_back("User presses Escape");
    expected.push_back("Dialog 201 ended -> Cancel");

    CIdentityNameDlg dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_strName, "");
    EXPECT_EQ(backend.Lines(), expected);
}

TEST_F(ServerDialogsTest, TheNameComesBackExactlyAsTyped) {
    struct Case {
        void (ui::ScriptedBackend::*confirm)();
        int result;
        const char* name;
    } cases[] = {
        {&ui::ScriptedBackend::QueueEnter, IDOK, "  Home "},
        {&ui::ScriptedBackend::QueueEscape, IDCANCEL, ""},
        {&ui::ScriptedBackend::QueueCloseBox, IDCANCEL, ""},
    };
    for (const Case& c : cases) {
        backend.QueueType(IDC_IDENTITY_NAME, "  Home ");
        (backend.*c.confirm)();
        CIdentityNameDlg dialog;
        EXPECT_EQ(dialog.DoModal(), c.result);
        EXPECT_EQ(dialog.m_strName, c.name);
    }
    backend.QueueType(IDC_IDENTITY_NAME, "Work");
    backend.QueueClick(IDOK);
    CIdentityNameDlg clicked;
    EXPECT_EQ(clicked.DoModal(), IDOK);
    EXPECT_EQ(clicked.m_strName, "Work");
}

TEST_F(ServerDialogsTest, TrimmingRemovesOnlyWhiteSpaceAtTheEnds) {
    EXPECT_EQ(TrimWhiteSpace(" \t a b \r\n"), "a b");
    EXPECT_EQ(TrimWhiteSpace("\v\f"), "");
    EXPECT_EQ(TrimWhiteSpace("x"), "x");
}

TEST_F(ServerDialogsTest, TheAboutBoxEndsWithItsButtonEscapeOrTheCloseBox) {
    struct Case {
        void (ui::ScriptedBackend::*step)();
        int result;
    } cases[] = {
        {&ui::ScriptedBackend::QueueEnter, IDOK},
        {&ui::ScriptedBackend::QueueEscape, IDCANCEL},
        {&ui::ScriptedBackend::QueueCloseBox, IDCANCEL},
    };
    for (const Case& c : cases) {
        (backend.*c.step)();
        CDialog about(IDD_ABOUTBOX);
        EXPECT_EQ(about.DoModal(), c.result);
    }
    backend.QueueClick(IDOK);
    EXPECT_EQ(CDialog(IDD_ABOUTBOX).DoModal(), IDOK);
    EXPECT_EQ(backend.Lines().front(), "Dialog 100 \"About Quenby\" shown");
    EXPECT_TRUE(backend.MessageTexts().empty());
}

TEST_F(ServerDialogsTest, ThePasswordDialogOfTheServerHasNoCheckBox) {
    CreateKey("SOFTWARE\\Quenby");
    ASSERT_TRUE(SavePassword("pw", false));
    backend.QueueClick(IDC_PROMPT);
    backend.QueueType(IDC_PASSWORD, "PW");
    backend.QueueClick(IDOK);
    CPasswordDlg dialog(eENTER);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(backend.Lines(), (Lines{
                                   "Dialog 142 \"Quenby - Password\" shown",
                                   "Focus 1006",
                                   "User clicks 1008 (no such control: nothing happens)",
                                   "User types \"PW\" into 1006",
                                   "User clicks 1",
                                   "Dialog 142 ended -> OK",
                               }));
    EXPECT_EQ(ReadRaw("SOFTWARE\\Quenby", "AppValue").substr(2), std::string("=\0", 2));
}

TEST(IdentityCtrDrawingTest, TheTextIsCentredOnTheMiddleOfTheBounds) {
    struct Case {
        RECT bounds;
        const char* reference;
    } cases[] = {
        {{0, 0, 101, 51}, "50, 25"},
        {{-101, -51, 0, 0}, "-50, -25"},  // rounded toward zero
        {{10, 20, 30, 40}, "20, 30"},
    };
    for (const Case& c : cases) {
        ui::RecordingDeviceContext dc;
        DrawIdentityCtr(&dc, c.bounds);
        const std::string rect =
            "Rectangle(" + std::to_string(c.bounds.left) + ", " + std::to_string(c.bounds.top) +
            ", " + std::to_string(c.bounds.right) + ", " + std::to_string(c.bounds.bottom) + ")";
        EXPECT_EQ(dc.calls(), (Lines{
                                  rect,
                                  "SetTextAlign(0x1E)",
                                  "TextOut(" + std::string(c.reference) +
                                      ", \"ATL 3.0 : IdentityCtr\") align 0x1E",
                              }));
    }
}

}  // namespace

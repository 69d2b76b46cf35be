#include <gtest/gtest.h>

#include "ui/Backend.h"
#include "ui/MessageBox.h"
#include "ui/ModuleState.h"
#include "ui/ScriptedBackend.h"

namespace {

TEST(MessageBoxTest, DefaultButtonFollowsTheType) {
    struct Case {
        UINT type;
        int button;
    } cases[] = {
        {MB_OK | MB_ICONWARNING, IDOK},
        {MB_YESNO, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_OKCANCEL | MB_DEFBUTTON3, IDOK},  // no third button: the first
        {MB_TASKMODAL | MB_ICONINFORMATION | MB_YESNO, IDYES},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ui::DefaultButtonOf(c.type), c.button) << std::hex << c.type;
    }
}

TEST(MessageBoxTest, ScriptedBackendAnswersInOrderAndKeepsATranscript) {
    ui::ScriptedBackend backend;
    ui::ScopedBackend scope(backend);
    backend.QueueMessageBoxAnswer(IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Delete?", "Quenby", MB_YESNO | MB_ICONINFORMATION), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Done", "Quenby", MB_OK), IDOK) << "nothing queued: default";
    EXPECT_EQ(backend.Lines(), (std::vector<std::string>{
                                   "MessageBox \"Quenby\" 0x44 \"Delete?\" -> No",
                                   "MessageBox \"Quenby\" 0x0 \"Done\" -> OK",
                               }));
}

TEST(MessageBoxTest, AfxMessageBoxUsesTheCurrentModulesTitle) {
    ui::ScriptedBackend backend;
    ui::ScopedBackend scope(backend);
    static const ui::Module server{"QBStorage", nullptr};
    AfxMessageBox("from the program");
    {
        ui::ModuleStateGuard guard(server);
        AfxMessageBox("from the server", MB_OK);
    }
    ASSERT_EQ(backend.transcript().size(), 2u);
    EXPECT_EQ(backend.transcript()[0].caption, "platform_tests");
    EXPECT_EQ(backend.transcript()[1].caption, "QBStorage");
}

TEST(MessageBoxTest, WithoutABackendTheDefaultButtonAnswersAndTheBoxIsPrinted) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "Error in reading from the registry!", "Quenby", MB_ICONWARNING), IDOK);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_NE(printed.find("[Quenby] Error in reading from the registry!"), std::string::npos) << printed;
}

}  // namespace

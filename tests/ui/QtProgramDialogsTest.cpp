// The program's dialogs with the Qt backend (offscreen): every template laid out as
// it should be, and one real path through each dialog with key and mouse events.
// Screenshots land in the build tree (tests/ui/screenshots).
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "Crypto.h"
#include "PasswordDlg.h"
#include "ProgramResources.h"
#include "QtLayoutCheck.h"
#include "QtUiRobot.h"
#include "Settings.h"
#include "TestEnvironment.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "ui/ModuleState.h"
#include "ui/qt/QtBackend.h"

namespace {

using qbtest::PressKey;
using qbtest::SaveScreenshot;
using qbtest::TypeText;
using ui::qt::QtDialog;

constexpr const char* kKey = "SOFTWARE\\Quenby";

std::string Record(const std::string& password, char flag) {
    std::string s = password;
    CCrypto().ConvertBuffer(reinterpret_cast<unsigned char*>(s.data()),
                            static_cast<short>(s.size()));
    return s + flag + std::string(1, '\0');
}

QLineEdit* Edit(QtDialog& dialog, int id) {
    return qobject_cast<QLineEdit*>(dialog.Control(id));
}

// The edit has the focus and all of its text selected.
void ExpectSelectedAndFocused(QtDialog& dialog, int id) {
    QLineEdit* edit = Edit(dialog, id);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(QApplication::focusWidget(), edit) << "focus on " << id;
    EXPECT_EQ(edit->selectionStart(), 0) << id;
    EXPECT_EQ(edit->selectionLength(), edit->text().size()) << id;
    EXPECT_FALSE(edit->text().isEmpty()) << id;
}

class QtProgramDialogsTest : public qbtest::TempEnvironment {
  protected:
    void SetUp() override {
        TempEnvironment::SetUp();
        CreateKey(kKey);
    }
    std::string StoredRecord() { return ReadRaw(kKey, "AppValue"); }

    ui::qt::QtBackend backend;
    ui::ScopedBackend scope{backend};
    ui::Module module{"Quenby", &ProgramResourceTable()};
    ui::ModuleStateGuard guard{module};
    qbtest::QtUiRobot robot;
};

TEST_F(QtProgramDialogsTest, EveryTemplateHasItsSizeAndPlacesAndNothingIsCutOff) {
    qbtest::CheckEveryTemplate(ProgramResourceTable(), "program");
}

TEST_F(QtProgramDialogsTest, EnterPassword) {
    ASSERT_TRUE(SavePassword("Right", true));
    robot.OnDialog(IDD_PASSWORD, [](QtDialog& d) {
        EXPECT_TRUE(qobject_cast<QCheckBox*>(d.Control(IDC_PROMPT))->isChecked());
        EXPECT_EQ(QApplication::focusWidget(), d.Control(IDC_PASSWORD));
        EXPECT_EQ(Edit(d, IDC_PASSWORD)->echoMode(), QLineEdit::Password);
        TypeText("wrong");
        SaveScreenshot(d, "password-enter");
        PressKey(Qt::Key_Return);
    });
    robot.OnMessageBox([](QMessageBox& box) {
        EXPECT_EQ(box.windowTitle(), "Quenby");
        EXPECT_EQ(box.text(), "Invalid Password!");
        EXPECT_EQ(box.icon(), QMessageBox::Warning);
        EXPECT_EQ(box.buttons().size(), 1);
        SaveScreenshot(box, "message-invalid-password");
        PressKey(Qt::Key_Return);
    });
    robot.OnDialog(IDD_PASSWORD, [](QtDialog& d) {
        ExpectSelectedAndFocused(d, IDC_PASSWORD);
        TypeText("RIGHT");                     // replaces the selection
        PressKey(Qt::Key_F, Qt::AltModifier);  // "&Form Filling": the box toggles
        auto* box = qobject_cast<QCheckBox*>(d.Control(IDC_PROMPT));
        // A mnemonic clicks with a short animation; wait for it to land.
        EXPECT_TRUE(QTest::qWaitFor([box] { return !box->isChecked(); }));
        qbtest::Click(d.Control(IDOK));
    });
    EXPECT_EQ(CPasswordDlg(eENTER).DoModal(), IDOK);
    EXPECT_EQ(StoredRecord(), Record("Right", '='));
}

TEST_F(QtProgramDialogsTest, SetPassword) {
    robot.OnDialog(IDD_SET_PASSWORD, [](QtDialog& d) {
        EXPECT_EQ(QApplication::focusWidget(), d.Control(IDC_PASSWORD));
        TypeText("secret");
        PressKey(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), d.Control(IDC_RETYPE_PASSWORD));
        TypeText("secrets");
        qbtest::Click(d.Control(IDC_PROMPT));
        SaveScreenshot(d, "password-set");
        qbtest::Click(d.Control(IDOK));
    });
    robot.OnMessageBox([](QMessageBox& box) {
        EXPECT_EQ(box.text(), "The re-type password does not match the original password!");
        SaveScreenshot(box, "message-retype-differs");
        qbtest::Click(box.buttons().front());
    });
    robot.OnDialog(IDD_SET_PASSWORD, [](QtDialog& d) {
        ExpectSelectedAndFocused(d, IDC_RETYPE_PASSWORD);
        TypeText("SECRET");
        PressKey(Qt::Key_Return);
    });
    EXPECT_EQ(CPasswordDlg(eSET).DoModal(), IDOK);
    EXPECT_EQ(StoredRecord(), Record("secret", '?'));
}

TEST_F(QtProgramDialogsTest, ChangePasswordWithMnemonics) {
    ASSERT_TRUE(SavePassword("Right", false));
    robot.OnDialog(IDD_CHANGE_PASSWORD, [](QtDialog& d) {
        EXPECT_EQ(QApplication::focusWidget(), d.Control(IDC_OLD_PASSWORD));
        TypeText("wrong");
        PressKey(Qt::Key_N, Qt::AltModifier);  // "&New Password:"
        EXPECT_EQ(QApplication::focusWidget(), d.Control(IDC_PASSWORD));
        TypeText("Newer");
        PressKey(Qt::Key_R, Qt::AltModifier);  // "&Re-type Password:"
        EXPECT_EQ(QApplication::focusWidget(), d.Control(IDC_RETYPE_PASSWORD));
        TypeText("newer");
        SaveScreenshot(d, "password-change");
        PressKey(Qt::Key_Return);
    });
    robot.OnMessageBox([](QMessageBox& box) {
        EXPECT_EQ(box.text(), "Invalid Old Password!");
        PressKey(Qt::Key_Escape);  // a one-button box: Escape answers it
    });
    robot.OnDialog(IDD_CHANGE_PASSWORD, [](QtDialog& d) {
        ExpectSelectedAndFocused(d, IDC_OLD_PASSWORD);
        TypeText("right");
        PressKey(Qt::Key_Return);
    });
    EXPECT_EQ(CPasswordDlg(eCHANGE).DoModal(), IDOK);
    EXPECT_EQ(StoredRecord(), Record("Newer", '='));
}

TEST_F(QtProgramDialogsTest, EscapeTheCloseBoxAndCancelWriteNothing) {
    ASSERT_TRUE(SavePassword("Right", true));
    const std::string before = StoredRecord();
    robot.OnDialog(IDD_PASSWORD, [](QtDialog&) {
        TypeText("Right");
        PressKey(Qt::Key_Escape);
    });
    EXPECT_EQ(CPasswordDlg(eENTER).DoModal(), IDCANCEL);
    robot.OnDialog(IDD_SET_PASSWORD, [](QtDialog& d) {
        TypeText("x");
        d.close();  // the close box
    });
    EXPECT_EQ(CPasswordDlg(eSET).DoModal(), IDCANCEL);
    robot.OnDialog(IDD_CHANGE_PASSWORD, [](QtDialog& d) { qbtest::Click(d.Control(IDCANCEL)); });
    EXPECT_EQ(CPasswordDlg(eCHANGE).DoModal(), IDCANCEL);
    EXPECT_EQ(StoredRecord(), before);
}

TEST_F(QtProgramDialogsTest, AboutBox) {
    robot.OnDialog(IDD_ABOUTBOX, [](QtDialog& d) {
        EXPECT_EQ(QApplication::focusWidget(), d.Control(IDOK));
        qbtest::Click(d.Control(IDOK));
    });
    EXPECT_EQ(CDialog(IDD_ABOUTBOX).DoModal(), IDOK);
    robot.OnDialog(IDD_ABOUTBOX, [](QtDialog&) { PressKey(Qt::Key_Escape); });
    EXPECT_EQ(CDialog(IDD_ABOUTBOX).DoModal(), IDCANCEL);
}

TEST_F(QtProgramDialogsTest, TheBrowserControlComesFromItsFactory) {
    QWidget* made = nullptr;
    backend.RegisterControlClass(kBrowserControlClass,
                                 [&made](QWidget* parent, const ui::ControlTemplate& c) {
                                     EXPECT_EQ(c.id, IDC_BROWSER);
                                     made = new QLabel("browser", parent);
                                     return made;
                                 });
    robot.OnDialog(IDD_QUENBY_DIALOG, [&made](QtDialog& d) {
        EXPECT_EQ(d.Control(IDC_BROWSER), made);
        EXPECT_EQ(made->geometry(), QRect(QPoint(0, 0), d.size())) << "the whole client area";
        EXPECT_TRUE(d.windowFlags() & Qt::WindowMinimizeButtonHint);
        EXPECT_FALSE(d.windowFlags() & Qt::WindowMaximizeButtonHint);
        d.close();
    });
    EXPECT_EQ(CDialog(IDD_QUENBY_DIALOG).DoModal(), IDCANCEL);
}

TEST_F(QtProgramDialogsTest, MessageBoxesShowTheirFlags) {
    struct Case {
        UINT type;
        QMessageBox::Icon icon;
        std::vector<QMessageBox::StandardButton> buttons;
        Qt::Key key;  // pressed first
        bool keyAnswers;
        int result;
    } cases[] = {
        {MB_OK | MB_ICONWARNING,
         QMessageBox::Warning,
         {QMessageBox::Ok},
         Qt::Key_Escape,
         true,
         IDOK},
        {MB_YESNO | MB_ICONINFORMATION | MB_TASKMODAL,
         QMessageBox::Information,
         {QMessageBox::Yes, QMessageBox::No},
         Qt::Key_Escape,
         false,
         IDNO},
        {MB_OKCANCEL | MB_DEFBUTTON2,
         QMessageBox::NoIcon,
         {QMessageBox::Ok, QMessageBox::Cancel},
         Qt::Key_Return,
         true,
         IDCANCEL},
        {MB_YESNO | MB_DEFBUTTON2,
         QMessageBox::NoIcon,
         {QMessageBox::Yes, QMessageBox::No},
         Qt::Key_Return,
         true,
         IDNO},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        robot.OnMessageBox([&c](QMessageBox& box) {
            EXPECT_EQ(box.icon(), c.icon);
            for (QMessageBox::StandardButton b : c.buttons) {
                EXPECT_NE(box.button(b), nullptr);
            }
            EXPECT_EQ(box.buttons().size(), static_cast<qsizetype>(c.buttons.size()));
            if (c.type == (MB_YESNO | MB_ICONINFORMATION | MB_TASKMODAL)) {
                SaveScreenshot(box, "message-yes-no");
            }
            PressKey(c.key);
            QApplication::processEvents();
            if (!c.keyAnswers) {
                EXPECT_TRUE(box.isVisible()) << "a question must be answered";
                qbtest::Click(box.button(QMessageBox::No));
            }
        });
        EXPECT_EQ(MessageBoxA(nullptr, "Delete the identity \"Home\"?", "Quenby", c.type),
                  c.result);
    }
}

TEST_F(QtProgramDialogsTest, SaveFileDialogAsksBeforeReplacing) {
    const std::string existing = Path("QbIDStorage.cfg");
    qbtest::WriteFile(existing, "x");
    const QString folder = QString::fromStdString(root().string());
    robot.OnModal<QFileDialog>([folder](QFileDialog& d) {
        d.setDirectory(folder);
        auto* name = d.findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->text(), "QbIDStorage.cfg");
        EXPECT_EQ(d.findChild<QComboBox*>("fileTypeCombo")->currentText(),
                  "Database Files (*.cfg)");
        QApplication::processEvents();
        SaveScreenshot(d, "file-dialog-save");
        name->setFocus();
        PressKey(Qt::Key_Return);
    });
    robot.OnMessageBox([](QMessageBox& box) {
        EXPECT_TRUE(box.text().contains("already exists")) << box.text().toStdString();
        qbtest::Click(box.button(QMessageBox::Yes));
    });
    CFileDialog dialog(FALSE, nullptr, "QbIDStorage.cfg", 0x1802, "Database Files (*.cfg)|*.CFG||");
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetPathName(), existing);
    EXPECT_EQ(dialog.GetFileName(), "QbIDStorage.cfg");

    robot.OnModal<QFileDialog>([](QFileDialog&) { PressKey(Qt::Key_Escape); });
    CFileDialog cancelled(FALSE, nullptr, "QbIDStorage.cfg", 0x1800,
                          "Database Files (*.cfg)|*.CFG||");
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(cancelled.GetFileName(), "");
}

}  // namespace

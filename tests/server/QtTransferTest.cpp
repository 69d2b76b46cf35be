// Export and import through the control with the Qt backend (offscreen), as a user
// goes through them: the save dialogs, the name rule's message, the outcome. The
// screenshots land in the build tree (tests/server/screenshots).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <filesystem>

#include "InstalledServer.h"
#include "QtUiRobot.h"
#include "ui/qt/QtBackend.h"

namespace {

using qbtest::SaveScreenshot;

class QtTransferTest : public qbtest::InstalledControlTest {
  protected:
    void SetUp() override {
        InstalledControlTest::SetUp();
        ui::InstallBackend(&qt_);
        std::filesystem::create_directories(Path("usb"));
    }
    // The user goes to the usb folder, types name into the dialog and presses Enter.
    void ChooseFile(const std::string& name, const std::string& screenshot = {}) {
        const QString folder = QString::fromStdString(Path("usb"));
        const QString typed = QString::fromStdString(name);
        robot_.OnModal<QFileDialog>([folder, typed, screenshot](QFileDialog& d) {
            d.setDirectory(folder);
            auto* edit = d.findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(edit, nullptr);
            EXPECT_EQ(edit->text(), "QbIDStorage.cfg") << "the name it offers";
            EXPECT_EQ(d.findChild<QComboBox*>("fileTypeCombo")->currentText(),
                      "Database Files (*.cfg)");
            edit->setFocus();
            edit->selectAll();
            qbtest::TypeText(typed);
            QApplication::processEvents();
            if (!screenshot.empty())
                SaveScreenshot(d, screenshot);
            qbtest::PressKey(Qt::Key_Return);
        });
    }
    // A message box of the system's plain kind shows text; the user presses OK.
    void Expect(const std::string& text, const std::string& screenshot) {
        const QString expected = QString::fromStdString(text);
        robot_.OnMessageBox([expected, screenshot](QMessageBox& box) {
            EXPECT_EQ(box.text(), expected);
            EXPECT_EQ(box.windowTitle(), "Quenby");
            EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
            EXPECT_EQ(box.buttons().size(), 1);
            SaveScreenshot(box, screenshot);
            qbtest::Click(box.buttons().front());
        });
    }

    ui::qt::QtBackend qt_;
    qbtest::QtUiRobot robot_;
};

TEST_F(QtTransferTest, ExportTakesOnlyTheRightNameAndCopiesTheStore) {
    qbtest::WriteStore(IdentityStore(), {{"Home", true, {{"City", "Bern"}}}});
    ChooseFile("backup.cfg");
    Expect("Please Save the Identity file as QbIDStorage.cfg", "export-wrong-name");
    ChooseFile("QbIDStorage.cfg", "export-save-dialog");
    Expect("Identity databse Exported Successfully", "export-done");
    EXPECT_EQ(qbtest::Call(control_.get(), u"Export").hr, S_OK);
    EXPECT_TRUE(robot_.Done());
    EXPECT_EQ(qbtest::ReadFile(Path("usb/QbIDStorage.cfg")), qbtest::ReadFile(IdentityStore()));
    EXPECT_FALSE(std::filesystem::exists(Path("usb/backup.cfg")));
}

TEST_F(QtTransferTest, ExportOntoTheStoreItselfIsRefused) {
    qbtest::WriteStore(IdentityStore(), {{"Home", true, {{"City", "Bern"}}}});
    const std::string store = qbtest::ReadFile(IdentityStore());
    const QString data = QString::fromStdString(Path("app/Data"));
    robot_.OnModal<QFileDialog>([data](QFileDialog& d) {
        d.setDirectory(data);
        d.findChild<QLineEdit*>("fileNameEdit")->setFocus();
        qbtest::PressKey(Qt::Key_Return);
    });
    robot_.OnMessageBox([](QMessageBox& box) {
        EXPECT_TRUE(box.text().contains("already exists")) << box.text().toStdString();
        qbtest::Click(box.button(QMessageBox::Yes));
    });
    Expect("The Identity database cannot be exported onto itself. Please choose another location.",
           "export-onto-store");
    EXPECT_EQ(qbtest::Call(control_.get(), u"Export").hr, S_OK);
    EXPECT_TRUE(robot_.Done());
    EXPECT_EQ(qbtest::ReadFile(IdentityStore()), store);
}

TEST_F(QtTransferTest, ImportMergesTheChosenFile) {
    qbtest::WriteStore(IdentityStore(),
                       {{"Home", true, {{"Street", "Gasse 1"}, {"Zip", "3000"}, {"Phone", "031"}}},
                        {"Work", true, {{"City", "Zug"}}}});
    qbtest::WriteStore(Path("usb/QbIDStorage.cfg"),
                       {{"Home", true, {{"City", "Bern"}}}, {"Gym", false, {}}});
    ChooseFile("QbIDStorage.cfg", "import-save-dialog");
    Expect("Identity databse Imported Successfully", "import-done");
    EXPECT_EQ(qbtest::Call(control_.get(), u"Import").hr, S_OK);
    EXPECT_TRUE(robot_.Done());
    EXPECT_EQ(qbtest::DescribeStore(IdentityStore()), "Work{City=Zug} Gym Home{City=Bern}");
}

TEST_F(QtTransferTest, ImportOfAFileThatIsNotThere) {
    ChooseFile("QbIDStorage.cfg");
    Expect("The selected location does not contains the file to be imported", "import-no-file");
    EXPECT_EQ(qbtest::Call(control_.get(), u"Import").hr, S_OK);
    EXPECT_TRUE(robot_.Done());
    EXPECT_EQ(DataFolderFiles(), std::vector<std::string>{});
}

}  // namespace

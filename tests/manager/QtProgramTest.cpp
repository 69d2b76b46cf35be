// The program's sequence in the real window, offscreen: the set-password dialog of
// the first start, the frameset in the Qt WebEngine view, the system menu on
// Alt+Space with the About box, a second copy of the real program restoring the
// minimised window, the reload message from qbsend, and the orderly close through
// the blank page. Screenshots go to <build>/tests/manager/screenshots.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QMenu>
#include <QProcess>
#include <QTest>
#include <QWebEnginePage>

#include "ManagerFixture.h"
#include "PasswordDlg.h"
#include "ProgramHtml.h"
#include "ProgramResources.h"
#include "QtBrowserControl.h"
#include "QtTestApp.h"
#include "QtUiRobot.h"
#include "QtWindowSite.h"
#include "QuenbyApp.h"
#include "Settings.h"
#include "browser/BrowserProcess.h"
#include "browser/ResourceSchemeHandler.h"
#include "ui/Resources.h"
#include "ui/qt/QtBackend.h"

namespace {

using Lines = std::vector<std::string>;
using ui::qt::QtDialog;

const QColor kTopFrame(0x1f, 0x4e, 0x79);

browser::WebBrowser* BrowserOf(QtDialog& dialog) {
    auto* control = qobject_cast<QtBrowserControl*>(dialog.Control(IDC_BROWSER));
    return control != nullptr ? control->Browser() : nullptr;
}

// The main window, once the frameset shows: its top frame is drawn.
QtDialog* ShowingFrameset() {
    auto* dialog = qbtest::QtUiRobot::ActiveModal<QtDialog>();
    if (dialog == nullptr || dialog->dialogTemplate().id != IDD_QUENBY_DIALOG) {
        return nullptr;
    }
    browser::WebBrowser* view = BrowserOf(*dialog);
    if (view == nullptr || view->Page()->isLoading() || view->Page()->title() != "Quenby") {
        return nullptr;
    }
    const QImage shot = view->grab().toImage();
    return shot.pixelColor(shot.width() - 20, 20) == kTopFrame ? dialog : nullptr;
}

class QtProgramTest : public qbtest::ManagerFixture {
  protected:
    void SetUp() override {
        ManagerFixture::SetUp();
        std::filesystem::permissions(Path("run"), std::filesystem::perms::owner_all);
        qbtest::QtApp([] { browser::PrepareBrowserProcess(); });
        QApplication::setQuitOnLastWindowClosed(false);
        browser::SetResourceProvider(ProgramHtml);
    }
    void TearDown() override {
        browser::SetResourceProvider({});
        ManagerFixture::TearDown();
    }

    // Starts a program of the build; it inherits our hive and runtime folder.
    static void Start(QProcess& process, const std::string& tool, const QStringList& args = {}) {
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QString::fromStdString(qbtest::Tool(tool)), args);
    }

    ui::qt::QtBackend backend;
    ui::ScopedBackend backendScope{backend};
    QtWindowSite site{backend};
    ScopedWindowSite siteScope{site};
};

TEST_F(QtProgramTest, FirstStartToOrderlyCloseInTheRealWindow) {
    SetDword(kSettingsKey, "FIRSTRUN", 1);
    qbtest::QtUiRobot robot;
    QtDialog* window = nullptr;
    int reloads = 0;
    QProcess secondCopy;
    QProcess qbsend;
    std::string activeX;  // what the frameset sees of the object bridge

    robot.OnDialog(IDD_SET_PASSWORD, [](QtDialog&) {
        qbtest::TypeText("Secret");
        qbtest::PressKey(Qt::Key_Tab);
        qbtest::TypeText("secret");
        qbtest::PressKey(Qt::Key_Return);
    });
    robot.Then([&] { return (window = ShowingFrameset()) != nullptr; },
               [&] {
                   for (const auto& page : qbtest::FixturePages()) {
                       struct stat info {};
                       ASSERT_EQ(::stat(Page(page.plain).c_str(), &info), 0) << page.plain;
                       EXPECT_EQ(info.st_mode & 0777, 0600u) << page.plain;
                   }
                   EXPECT_EQ(window->windowTitle(), "Welcome to Quenby");
                   EXPECT_EQ(window->windowFlags() & Qt::WindowType_Mask, Qt::Window)
                       << "a window of its own, with a taskbar entry";
                   EXPECT_FALSE(window->windowIcon().isNull());
                   EXPECT_EQ(window->size(), window->minimumSize()) << "fixed size";
                   EXPECT_EQ(window->size(), window->maximumSize()) << "fixed size";
                   qbtest::SaveScreenshot(*window, "quenby-main-window");
                   BrowserOf(*window)->Page()->runJavaScript(
                       "typeof ActiveXObject",
                       [&](const QVariant& value) { activeX = value.toString().toStdString(); });
                   QObject::connect(BrowserOf(*window)->Page(), &QWebEnginePage::loadFinished,
                                    [&](bool) { ++reloads; });
                   qbtest::PressKey(Qt::Key_Escape);  // does nothing in the open window
                   qbtest::PressKey(Qt::Key_Return);  // the page's, not the window's
                   qbtest::PressKey(Qt::Key_Space, Qt::AltModifier);
               });
    robot.Then(
        [] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr; },
        [&] {
            EXPECT_TRUE(window->isVisible()) << "Escape and Enter left the window open";
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            Lines texts;
            Lines enabled;
            for (QAction* action : menu->actions()) {
                texts.push_back(action->isSeparator() ? "-" : action->text().toStdString());
                if (action->isEnabled() && !action->isSeparator()) {
                    enabled.push_back(action->text().toStdString());
                }
            }
            EXPECT_EQ(texts, (Lines{"&Restore", "&Move", "&Size", "Mi&nimize", "Ma&ximize", "-",
                                    "&Close\tAlt+F4", "-", "&About Quenby..."}));
            EXPECT_EQ(enabled, (Lines{"&Move", "Mi&nimize", "&Close\tAlt+F4", "&About Quenby..."}));
            EXPECT_TRUE(menu->grab().save(QStringLiteral(QUENBY_SCREENSHOT_DIR) +
                                          "/quenby-system-menu.png"));
            QTest::keyClick(menu, Qt::Key_A);  // "&About Quenby..."
        });
    robot.OnDialog(IDD_ABOUTBOX, [](QtDialog& about) {
        qbtest::SaveScreenshot(about, "quenby-about");
        qbtest::PressKey(Qt::Key_Return);
    });
    robot.Then([&] { return qbtest::QtUiRobot::ActiveModal<QtDialog>() == window; },
               [&] {
                   window->showMinimized();
                   Start(secondCopy, "Quenby");
               });
    robot.Then([&] { return secondCopy.state() == QProcess::NotRunning && !window->isMinimized(); },
               [&] {
                   EXPECT_EQ(secondCopy.exitCode(), 0) << secondCopy.readAll().toStdString();
                   Start(qbsend, "qbsend", {"Welcome to Quenby", "0x0505"});
               });
    robot.Then([&] { return qbsend.state() == QProcess::NotRunning && reloads >= 1; },
               [&] {
                   EXPECT_EQ(qbsend.readAll().toStdString(), "0\n");
                   EXPECT_EQ(qbsend.exitCode(), 0);
                   window->close();  // the close box: the blank page first
               });

    CQuenbyApp app;
    EXPECT_EQ(app.InitInstance(), FALSE);
    EXPECT_TRUE(robot.Done());
    EXPECT_EQ(activeX, "function") << "the pages of the Resources folder get the object bridge";
    EXPECT_EQ(TakeTrace(), [] {
        Lines trace = qbtest::TraceUpToMainWindow({"After PDlg.DoModal()"});
        trace.push_back("After dlg.DoModal()");
        return trace;
    }()) << "the second copy wrote nothing";
    for (const auto& page : qbtest::FixturePages()) {
        EXPECT_FALSE(PageExists(page.plain)) << page.plain;
    }
    EXPECT_TRUE(CheckPassword("SECRET"));
    EXPECT_EQ(FindWindowA(nullptr, "Welcome to Quenby"), nullptr);
}

}  // namespace

// The server module's dialogs and the control's drawing with the Qt backend
// (offscreen). Screenshots land in the build tree (tests/ui/screenshots).
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "IdentityCtrDrawing.h"
#include "IdentityNameDlg.h"
#include "PasswordDlg.h"
#include "QtLayoutCheck.h"
#include "QtUiRobot.h"
#include "ServerResources.h"
#include "Settings.h"
#include "TestEnvironment.h"
#include "ui/MessageBox.h"
#include "ui/ModuleState.h"
#include "ui/qt/DialogMetrics.h"
#include "ui/qt/PainterDeviceContext.h"
#include "ui/qt/QtBackend.h"

namespace {

using qbtest::PressKey;
using qbtest::SaveScreenshot;
using qbtest::TypeText;
using ui::qt::QtDialog;

class QtServerDialogsTest : public qbtest::TempEnvironment {
  protected:
    ui::qt::QtBackend backend;
    ui::ScopedBackend scope{backend};
    ui::Module module{"QBStorage", &ServerResourceTable()};
    ui::ModuleStateGuard guard{module};
    qbtest::QtUiRobot robot;
};

TEST_F(QtServerDialogsTest, EveryTemplateHasItsSizeAndPlacesAndNothingIsCutOff) {
    qbtest::CheckEveryTemplate(ServerResourceTable(), "server");
}

TEST_F(QtServerDialogsTest, IdentityName) {
    robot.OnDialog(IDD_IDENTITY_NAME, [](QtDialog& d) {
        QWidget* ok = d.Control(IDOK);
        EXPECT_FALSE(ok->isEnabled());
        EXPECT_EQ(QApplication::focusWidget(), d.Control(IDC_IDENTITY_NAME));
        TypeText("  ");
        EXPECT_FALSE(ok->isEnabled()) << "only blanks";
        PressKey(Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_FALSE(d.ended()) << "Enter does nothing while OK is disabled";
        TypeText("Home ");
        EXPECT_TRUE(ok->isEnabled());
        SaveScreenshot(d, "identity-name");
        qbtest::Click(ok);
    });
    CIdentityNameDlg named;
    EXPECT_EQ(named.DoModal(), IDOK);
    EXPECT_EQ(named.m_strName, "  Home ");

    robot.OnDialog(IDD_IDENTITY_NAME, [](QtDialog& d) {
        PressKey(Qt::Key_Tab);  // away from the edit, then back by its mnemonic
        PressKey(Qt::Key_D, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), d.Control(IDC_IDENTITY_NAME));
        TypeText("Work");
        PressKey(Qt::Key_Escape);
    });
    CIdentityNameDlg cancelled;
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(cancelled.m_strName, "");
}

TEST_F(QtServerDialogsTest, AboutBox) {
    robot.OnDialog(IDD_ABOUTBOX, [](QtDialog& d) {
        EXPECT_EQ(QApplication::focusWidget(), d.Control(IDOK));
        PressKey(Qt::Key_Return);
    });
    EXPECT_EQ(CDialog(IDD_ABOUTBOX).DoModal(), IDOK);
    robot.OnDialog(IDD_ABOUTBOX, [](QtDialog& d) { d.close(); });
    EXPECT_EQ(CDialog(IDD_ABOUTBOX).DoModal(), IDCANCEL);
}

TEST_F(QtServerDialogsTest, ChangeAndEnterPasswordOfTheServer) {
    CreateKey("SOFTWARE\\Quenby");
    ASSERT_TRUE(SavePassword("old", true));
    robot.OnDialog(IDD_CHANGE_PASSWORD, [](QtDialog&) {
        TypeText("OLD");
        PressKey(Qt::Key_Tab);
        TypeText("new");
        PressKey(Qt::Key_Tab);
        TypeText("NEW");
        PressKey(Qt::Key_Return);
    });
    EXPECT_EQ(CPasswordDlg(eCHANGE).DoModal(), IDOK);
    EXPECT_TRUE(CheckPassword("new"));
    EXPECT_TRUE(GetPromptFlag()) << "the flag is kept";

    robot.OnDialog(IDD_PASSWORD, [](QtDialog& d) {
        EXPECT_EQ(d.Control(IDC_PROMPT), nullptr) << "the server's template has no check box";
        TypeText("New");
        SaveScreenshot(d, "server-password-enter");
        PressKey(Qt::Key_Return);
    });
    EXPECT_EQ(CPasswordDlg(eENTER).DoModal(), IDOK);
}

TEST(DialogMetricsTest, WindowsDialogFacesBecomeTheDesktopFont) {
    const QFont desktop = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    for (const char* face : {"MS Sans Serif", "MS Shell Dlg"}) {
        const QFont eight = ui::qt::DialogFont(face, 8);
        EXPECT_EQ(eight.family(), desktop.family()) << face;
        EXPECT_DOUBLE_EQ(eight.pointSizeF(), desktop.pointSizeF()) << face;
        EXPECT_DOUBLE_EQ(ui::qt::DialogFont(face, 12).pointSizeF(), desktop.pointSizeF() * 1.5);
    }
    // Dialog units follow the font: twice the size, (about) twice the pixels.
    const ui::qt::DialogUnits small(ui::qt::DialogFont("MS Sans Serif", 8));
    const ui::qt::DialogUnits large(ui::qt::DialogFont("MS Sans Serif", 16));
    EXPECT_NEAR(large.cx() / small.cx(), 2.0, 0.15);
    EXPECT_NEAR(large.cy() / small.cy(), 2.0, 0.15);
    // Corners are converted, so controls that meet in dialog units meet in pixels.
    EXPECT_EQ(small.ToPixels(3, 3, 7, 7).right() + 1, small.ToPixels(10, 3, 5, 7).left());
}

// The bounding box of the dark pixels inside `area`.
QRect Ink(const QImage& image, const QRect& area) {
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

TEST(QtDrawingTest, TheControlsTextSitsOnTheMiddleOfItsBounds) {
    struct Case {
        RECT bounds;
        QPoint origin;     // where the image's top left lies in the bounds' coordinates
        QPoint reference;  // where the text's reference point lands in the image
    } cases[] = {
        {{0, 0, 201, 61}, {0, 0}, {100, 30}},
        {{-201, -61, 0, 0}, {-201, -61}, {101, 31}},  // (-100, -30): rounded toward zero
    };
    for (const Case& c : cases) {
        QImage image(203, 63, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.translate(-c.origin);
        const QFont font = QApplication::font();
        painter.setFont(font);
        ui::qt::PainterDeviceContext dc(painter);
        DrawIdentityCtr(&dc, c.bounds);
        painter.end();
        if (c.origin.isNull()) {
            image.save(QStringLiteral(QUENBY_SCREENSHOT_DIR "/identityctr-drawing.png"));
        }
        // The outline runs along all four edges of the bounds, which exclude their right
        // and bottom lines.
        auto dark = [&image](int x, int y) { return qGray(image.pixel(x, y)) < 128; };
        EXPECT_TRUE(dark(0, 30) && dark(200, 30) && dark(100, 0) && dark(100, 60));
        EXPECT_FALSE(dark(201, 30) || dark(100, 61));
        // The text: centred on the reference point, its base line through it (only the
        // descender of the "y" reaches below).
        const QRect text = Ink(image, QRect(2, 2, 196, 56));
        ASSERT_FALSE(text.isNull());
        EXPECT_NEAR((text.left() + text.right() + 1) / 2.0, c.reference.x(), 1.5);
        const QFontMetrics metrics(font);
        const QRect capitalA = Ink(image, QRect(text.left(), 2, 4, 56));
        EXPECT_EQ(capitalA.bottom(), c.reference.y() - 1) << "letters stand on the base line";
        EXPECT_LE(text.bottom(), c.reference.y() + metrics.descent());
        EXPECT_GE(text.top(), c.reference.y() - metrics.ascent());
    }
}

}  // namespace

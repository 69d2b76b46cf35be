// What the program carries besides its dialogs: the system-menu text, the blank page,
// the icons, the main window's template.
#include <gtest/gtest.h>

#include <QImage>

#include "PasswordDlgTemplates.h"
#include "ProgramResources.h"

namespace {

TEST(ProgramResourcesTest, StringsAndTheBlankPage) {
    const ui::ResourceTable& table = ProgramResourceTable();
    EXPECT_EQ(table.String(IDS_ABOUTBOX), "&About Quenby...");
    const ui::RawResource* page = table.Raw(ui::RT_HTML, IDR_BLANK_PAGE);
    ASSERT_NE(page, nullptr);
    const std::string bytes(page->bytes);
    EXPECT_EQ(bytes.size(), 75u);
    EXPECT_NE(bytes.find("<title>sdfsdfk</title>"), std::string::npos);
    EXPECT_NE(bytes.find("<body>\r\n</body>"), std::string::npos) << "an empty body";
    std::size_t lineFeeds = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ++lineFeeds;
            EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "every line ends in CR LF";
        }
    }
    EXPECT_GT(lineFeeds, 0u);
}

TEST(ProgramResourcesTest, IconsAreThirtyTwoPixelPictures) {
    for (int id : {IDR_MAINFRAME, IDI_QUENBY}) {
        const ui::IconResource* icon = ProgramResourceTable().Icon(id);
        ASSERT_NE(icon, nullptr) << id;
        const ui::IconImage* image = icon->ImageFor(32);
        ASSERT_NE(image, nullptr);
        const QImage decoded = QImage::fromData(reinterpret_cast<const uchar*>(image->png.data()),
                                                static_cast<int>(image->png.size()));
        EXPECT_EQ(decoded.size(), QSize(32, 32)) << id;
        EXPECT_TRUE(decoded.hasAlphaChannel()) << id;
    }
}

TEST(ProgramResourcesTest, TheMainWindowIsAFixedWindowWithTheBrowserAcrossIt) {
    const ui::DialogTemplate* main = ProgramResourceTable().Dialog(IDD_QUENBY_DIALOG);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->caption, "Welcome to Quenby");
    EXPECT_EQ(main->cx, 503);
    EXPECT_EQ(main->cy, 316);
    EXPECT_EQ(main->style, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                               DS_3DLOOK | DS_SETFONT | DS_CENTER);
    EXPECT_EQ(main->exStyle, WS_EX_APPWINDOW);
    ASSERT_EQ(main->controls.size(), 1u);
    const ui::ControlTemplate& browser = main->controls[0];
    EXPECT_EQ(browser.id, IDC_BROWSER);
    EXPECT_EQ(browser.cls, ui::ControlClass::Custom);
    EXPECT_EQ(browser.className, "{8856F961-340A-11D0-A96B-00C04FD705A2}");
    EXPECT_EQ(std::tie(browser.x, browser.y, browser.cx, browser.cy),
              std::make_tuple(0, 0, 503, 316));
}

TEST(ProgramResourcesTest, ThePasswordDialogsAreTheProgramsForm) {
    const ui::DialogTemplate* enter = ProgramResourceTable().Dialog(IDD_PASSWORD);
    ASSERT_NE(enter, nullptr);
    EXPECT_EQ(enter->cy, 36);
    ASSERT_NE(enter->Control(IDC_PROMPT), nullptr);
    EXPECT_TRUE(enter->Control(IDC_PROMPT)->IsCheckBox());
    EXPECT_TRUE(enter->Control(IDC_PASSWORD)->IsPasswordEdit());
    EXPECT_NE(ProgramResourceTable().Dialog(IDD_SET_PASSWORD), nullptr);
    EXPECT_NE(ProgramResourceTable().Dialog(IDD_CHANGE_PASSWORD), nullptr);
}

}  // namespace

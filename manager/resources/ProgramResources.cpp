#include "ProgramResources.h"

#include <cstddef>
#include <string_view>

#include "PasswordDlgTemplates.h"
#include "ui/MessageBox.h"

namespace embedded {
extern const unsigned char kAppIcon32[];
extern const std::size_t kAppIcon32Size;
}  // namespace embedded

namespace {

// The page the main window shows while it closes: 75 bytes, CR LF line ends.
constexpr std::string_view kBlankPage =
    "<html>\r\n<head>\r\n<title>sdfsdfk</title>\r\n</head>\r\n<body>\r\n</body>\r\n</html>\r\n";
static_assert(kBlankPage.size() == 75);

ui::DialogTemplate AboutBox() {
    return ui::ModalDialog(
        IDD_ABOUTBOX, "About Quenby", 235, 73,
        {
            ui::Icon(IDR_MAINFRAME, IDC_STATIC, 5, 8, 20, 20),
            ui::LText("Quenby Version 1.11", IDC_STATIC, 32, 8, 79, 8, SS_NOPREFIX),
            ui::LText("Release Date : March 2006", IDC_STATIC, 32, 21, 111, 8, SS_NOPREFIX),
            ui::DefPushButton("OK", IDOK, 178, 8, 50, 14, WS_GROUP),
            ui::LText("Your identities and passcards, kept on this computer.", IDC_STATIC, 32, 34,
                      192, 15, SS_NOPREFIX | SS_WORDELLIPSIS),
            ui::EtchedHorz(IDC_STATIC, 26, 55, 193, 1),
        });
}

ui::DialogTemplate MainWindow() {
    ui::DialogTemplate t;
    t.id = IDD_QUENBY_DIALOG;
    t.caption = "Welcome to Quenby";
    t.cx = 503;
    t.cy = 316;
    // Fixed size: no maximise box, no sizing border.
    t.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_3DLOOK |
              DS_SETFONT | DS_CENTER;
    t.exStyle = WS_EX_APPWINDOW;
    t.fontFace = ui::kDialogFontFace;
    t.fontPointSize = ui::kDialogFontSize;
    t.controls.push_back(ui::CustomControl(kBrowserControlClass, IDC_BROWSER, 0, 0, 503, 316,
                                           WS_CHILD | WS_VISIBLE | WS_TABSTOP));
    return t;
}

ui::IconResource AppIcon(int id) {
    return ui::IconResource{
        id,
        {ui::IconImage{32, std::string_view(reinterpret_cast<const char*>(embedded::kAppIcon32),
                                            embedded::kAppIcon32Size)}}};
}

ui::ResourceTable Build() {
    ui::ResourceTable table;
    table.dialogs.push_back(AboutBox());
    table.dialogs.push_back(MainWindow());
    for (ui::DialogTemplate& t : PasswordDialogTemplates()) {
        table.dialogs.push_back(std::move(t));
    }
    table.strings.push_back(ui::StringResource{IDS_ABOUTBOX, "&About Quenby..."});
    table.icons.push_back(AppIcon(IDR_MAINFRAME));
    table.icons.push_back(AppIcon(IDI_QUENBY));
    table.raw.push_back(ui::RawResource{ui::RT_HTML, IDR_BLANK_PAGE, kBlankPage});
    return table;
}

}  // namespace

const ui::ResourceTable& ProgramResourceTable() {
    static const ui::ResourceTable table = Build();
    return table;
}

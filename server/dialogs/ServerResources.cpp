#include "ServerResources.h"

#include <cstddef>
#include <string_view>

#include "PasswordDlgTemplates.h"
#include "ui/MessageBox.h"

namespace embedded {
extern const unsigned char kServerIcon32[];
extern const std::size_t kServerIcon32Size;
}  // namespace embedded

namespace {

ui::DialogTemplate AboutBox() {
    return ui::ModalDialog(
        IDD_ABOUTBOX, "About Quenby", 235, 53,
        {
            ui::Icon(IDI_SERVER_ABOUT, IDC_STATIC, 5, 8, 20, 20),
            ui::LText("Quenby Version 1.11", IDC_STATIC, 35, 8, 79, 8, SS_NOPREFIX),
            ui::LText("Release Date: March 2006", IDC_STATIC, 35, 19, 91, 8, SS_NOPREFIX),
            ui::PushButton("OK", IDOK, 178, 8, 50, 14, WS_GROUP),
            ui::LText("Form data that stays on this computer.", IDC_STATIC, 36, 31, 173, 10,
                      SS_NOPREFIX),
            ui::EtchedHorz(IDC_STATIC, 36, 43, 193, 1),
        });
}

ui::DialogTemplate IdentityName() {
    return ui::ModalDialog(IDD_IDENTITY_NAME, "IDentity", 186, 66,
                           {
                               ui::LText("I&Dentity Name:", IDC_STATIC, 16, 10, 55, 11),
                               ui::EditText(IDC_IDENTITY_NAME, 16, 26, 157, 14, ES_AUTOHSCROLL),
                               ui::DefPushButton("OK", IDOK, 67, 45, 50, 14, WS_DISABLED),
                               ui::PushButton("Cancel", IDCANCEL, 123, 45, 50, 14),
                           });
}

ui::ResourceTable Build() {
    ui::ResourceTable table;
    table.dialogs.push_back(AboutBox());
    for (ui::DialogTemplate& t : PasswordDialogTemplates()) {
        table.dialogs.push_back(std::move(t));
    }
    table.dialogs.push_back(IdentityName());
    table.icons.push_back(ui::IconResource{
        IDI_SERVER_ABOUT,
        {ui::IconImage{32, std::string_view(reinterpret_cast<const char*>(embedded::kServerIcon32),
                                            embedded::kServerIcon32Size)}}});
    return table;
}

}  // namespace

const ui::ResourceTable& ServerResourceTable() {
    static const ui::ResourceTable table = Build();
    return table;
}

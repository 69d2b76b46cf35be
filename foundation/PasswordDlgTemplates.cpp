#include "PasswordDlgTemplates.h"

#include "ui/MessageBox.h"

namespace {

// Masked, single line, scrolling sideways; EditText adds the border and the tab stop.
constexpr DWORD kPasswordEdit = ES_PASSWORD | ES_AUTOHSCROLL;
constexpr const char* kPromptText = "Always prompt for password before &Form Filling";

ui::DialogTemplate EnterTemplate() {
#if QUENBY_MANAGER_FLAVOUR
    return ui::ModalDialog(IDD_PASSWORD, "Quenby - Password", 225, 36,
                           {
                               ui::LText("&Password:", IDC_STATIC, 4, 8, 34, 8),
                               ui::EditText(IDC_PASSWORD, 39, 6, 123, 12, kPasswordEdit),
                               ui::AutoCheckBox(kPromptText, IDC_PROMPT, 4, 22, 177, 10),
                               ui::DefPushButton("OK", IDOK, 169, 5, 50, 14),
                           });
#else
    return ui::ModalDialog(IDD_PASSWORD, "Quenby - Password", 225, 26,
                           {
                               ui::EditText(IDC_PASSWORD, 39, 6, 123, 12, kPasswordEdit),
                               ui::DefPushButton("OK", IDOK, 169, 5, 50, 14),
                               ui::LText("Password:", IDC_STATIC, 4, 8, 34, 8),
                           });
#endif
}

ui::DialogTemplate SetTemplate() {
    return ui::ModalDialog(IDD_SET_PASSWORD, "Quenby - Set Password", 287, 55,
                           {
                               ui::LText("&Password:", IDC_STATIC, 5, 7, 33, 9),
                               ui::EditText(IDC_PASSWORD, 69, 5, 156, 13, kPasswordEdit),
                               ui::LText("&Re-type Password:", IDC_STATIC, 5, 23, 60, 10),
                               ui::EditText(IDC_RETYPE_PASSWORD, 69, 21, 156, 13, kPasswordEdit),
                               ui::AutoCheckBox(kPromptText, IDC_PROMPT, 5, 40, 177, 10),
                               ui::DefPushButton("OK", IDOK, 231, 4, 50, 14),
                               ui::PushButton("Cancel", IDCANCEL, 231, 21, 50, 14),
                           });
}

ui::DialogTemplate ChangeTemplate() {
    return ui::ModalDialog(IDD_CHANGE_PASSWORD, "Quenby - Change Password", 287, 55,
                           {
                               ui::LText("&Old Password:", IDC_STATIC, 5, 7, 59, 9),
                               ui::EditText(IDC_OLD_PASSWORD, 69, 5, 156, 13, kPasswordEdit),
                               ui::LText("&New Password:", IDC_STATIC, 5, 22, 60, 9),
                               ui::EditText(IDC_PASSWORD, 69, 20, 156, 13, kPasswordEdit),
                               ui::LText("&Re-type Password:", IDC_STATIC, 5, 38, 60, 10),
                               ui::EditText(IDC_RETYPE_PASSWORD, 69, 36, 156, 13, kPasswordEdit),
                               ui::DefPushButton("OK", IDOK, 231, 5, 50, 14),
                               ui::PushButton("Cancel", IDCANCEL, 231, 22, 50, 14),
                           });
}

}  // namespace

std::vector<ui::DialogTemplate> PasswordDialogTemplates() {
    return {EnterTemplate(), SetTemplate(), ChangeTemplate()};
}

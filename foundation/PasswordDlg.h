// CPasswordDlg: the three conversations about the master password.
//
//   eENTER  (template 142) checks the entry against the stored record; in the
//           program's build it also shows and stores the prompt flag (check box 1008).
//   eSET    (template 145) stores a first password, typed twice, with the state of
//           check box 1008 as prompt flag.
//   eCHANGE (template 204) checks the old password, then stores the new one (typed
//           twice), keeping the prompt flag the record had.
//
// DoModal returns IDOK only after an OK that succeeded (password accepted or stored)
// and IDCANCEL after Cancel, Escape or the close box, which never touch the registry.
// A failed OK shows why, selects the edit to correct and keeps the dialog open: a
// wrong password selects first and then tells; a re-typed text that differs tells
// first and then selects edit 205. Passwords are compared ignoring case, like the
// stored one. A password the record cannot hold (longer than 258 bytes, or one that
// leaves no substitute character) is refused by SavePassword with its own message;
// the dialog then selects edit 1006 and stays open.
//
// The templates are looked up in the module that is current at DoModal, so the
// server module's call gets its own template 142 (no check box); in the server's
// build (QUENBY_MANAGER_FLAVOUR 0) eENTER neither shows nor writes the prompt flag.
// Thread: the UI thread.
#pragma once

#include <cstdint>
#include <string>

#include "PasswordDlgTemplates.h"
#include "ui/Dialog.h"

enum ePWD_MODE : std::int32_t { eENTER = 0, eSET = 1, eCHANGE = 2 };

class CPasswordDlg : public CDialog {
  public:
    explicit CPasswordDlg(ePWD_MODE nMode, HWND parent = nullptr);
    ~CPasswordDlg() override;

    // The template each mode opens.
    static UINT TemplateFor(ePWD_MODE nMode);

    std::string m_strPassword;  // edit 1006: the password, in eCHANGE the new one
    ePWD_MODE m_nMode;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

  private:
    void OnOKEnter();
    void OnOKSet();
    void OnOKChange();
    // Stores m_strPassword with the prompt flag and ends with IDOK, once the re-typed
    // text matches it; otherwise the dialog stays open with the edit to correct.
    void SaveIfRetyped(bool prompt);
    // Tells the user about a differing re-typed text and selects it. False then.
    bool RetypeMatches();
    // Selects the whole text of an edit, scrolls it into view and focuses it.
    void SelectAndFocus(int id);
};

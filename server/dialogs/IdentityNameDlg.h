// CIdentityNameDlg: asks for the name of a new identity (template 201).
//
// OK is enabled only while the text of edit 201, without white space at either end,
// is not empty; Enter presses OK only then. After IDOK, m_strName holds the text
// exactly as typed (white space at the ends included); after IDCANCEL (Cancel,
// Escape, the close box) it stays empty.
// Thread: the UI thread. The template comes from the current module (the server's).
#pragma once

#include <string>

#include "ServerResources.h"
#include "ui/Dialog.h"

class CIdentityNameDlg : public CDialog {
  public:
    explicit CIdentityNameDlg(HWND parent = nullptr);
    ~CIdentityNameDlg() override;

    std::string m_strName;

  protected:
    void OnOK() override;
    BOOL OnCommand(int id, int notifyCode) override;

  private:
    void OnChangeName();
};

// Blank, tab, line feed, vertical tab, form feed and carriage return removed from
// both ends.
std::string TrimWhiteSpace(const std::string& text);

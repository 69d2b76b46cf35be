// CAboutDlg: the About box (template 100), opened from the main window's system menu.
// No members and no handlers of its own: OK ends it with IDOK, Escape and the close
// box with IDCANCEL.
#pragma once

#include "ProgramResources.h"
#include "ui/Dialog.h"

class CAboutDlg : public CDialog {
  public:
    CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
};

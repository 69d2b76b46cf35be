// CFileDialog: the file open and save dialogs.
//
// Construction takes what the framework's constructor takes: the kind (open or
// save), a default extension (appended to a chosen name that has none), an initial
// file name, OFN_* flags and a filter string in the "Description|*.EXT;*.X2|...||"
// form (pairs of description and patterns, closed by a double bar). DoModal returns
// IDOK when the user chose a file and IDCANCEL otherwise; GetPathName gives the full
// path and GetFileName the name with its extension and without its folder, both empty
// after a cancel.
//
// Flags the backends honour: OFN_OVERWRITEPROMPT (save: asks before a chosen file
// that exists is replaced), OFN_FILEMUSTEXIST (open: only existing files are taken;
// a save dialog ignores it, as the platform it mirrors does), OFN_PATHMUSTEXIST (the
// folder of the chosen name must exist).
// Thread: the UI thread; DoModal blocks in the backend's modal loop.
#pragma once

#include <string>
#include <vector>

#include "WinTypes.h"

constexpr DWORD OFN_READONLY = 0x00000001;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;

namespace ui {

struct FileFilter {
    std::string description;
    std::vector<std::string> patterns;  // "*.CFG"
};

// Splits "Desc|*.A;*.B|Desc2|*.C||" into its pairs. A trailing description without
// patterns is dropped; empty input gives no filters.
std::vector<FileFilter> ParseFileFilter(const std::string& filter);

struct FileDialogRequest {
    bool open = true;  // false: a save dialog
    std::string defaultExtension;
    std::string initialName;
    DWORD flags = 0;
    std::string filter;  // the raw filter string
    HWND owner = nullptr;

    bool Has(DWORD flag) const { return (flags & flag) == flag; }
};

// The name part of a path (after the last '/').
std::string FileNameOf(const std::string& path);
// `path` with ".extension" appended when its name has no extension (and extension is
// not empty). Backends apply it before they check the chosen file.
std::string WithDefaultExtension(const std::string& path, const std::string& extension);

}  // namespace ui

class CFileDialog {
  public:
    CFileDialog(BOOL openFileDialog, const char* defaultExtension = nullptr,
                const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                HWND parent = nullptr);

    int DoModal();
    std::string GetPathName() const { return path_; }
    std::string GetFileName() const { return ui::FileNameOf(path_); }

    const ui::FileDialogRequest& request() const { return request_; }

  private:
    ui::FileDialogRequest request_;
    std::string path_;
};

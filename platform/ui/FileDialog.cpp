#include "ui/FileDialog.h"

#include "ui/Backend.h"
#include "ui/MessageBox.h"

namespace ui {
namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos) {
            return parts;
        }
        start = end + 1;
    }
}

}  // namespace

std::vector<FileFilter> ParseFileFilter(const std::string& filter) {
    // The list ends at the first empty field (the double bar).
    std::vector<std::string> fields = Split(filter, '|');
    std::vector<FileFilter> filters;
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
        if (fields[i].empty() || fields[i + 1].empty()) {
            break;
        }
        FileFilter f;
        f.description = fields[i];
        for (std::string& pattern : Split(fields[i + 1], ';')) {
            if (!pattern.empty()) {
                f.patterns.push_back(std::move(pattern));
            }
        }
        filters.push_back(std::move(f));
    }
    return filters;
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string WithDefaultExtension(const std::string& path, const std::string& extension) {
    if (extension.empty() || FileNameOf(path).find('.') != std::string::npos) {
        return path;
    }
    return path + "." + extension;
}

}  // namespace ui

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defaultExtension, const char* fileName,
                         DWORD flags, const char* filter, HWND parent) {
    request_.open = openFileDialog != FALSE;
    request_.defaultExtension = defaultExtension != nullptr ? defaultExtension : "";
    request_.initialName = fileName != nullptr ? fileName : "";
    request_.flags = flags;
    request_.filter = filter != nullptr ? filter : "";
    request_.owner = parent;
}

int CFileDialog::DoModal() {
    std::string chosen;
    const int result = ui::CurrentBackend().ShowFileDialog(request_, chosen);
    if (result != IDOK) {
        path_.clear();
        return IDCANCEL;
    }
    path_ = std::move(chosen);
    return IDOK;
}

#include "ui/qt/QtFileDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "ui/MessageBox.h"
#include "ui/qt/QtText.h"

namespace ui::qt {
namespace {

// "Database Files (*.cfg)" with "*.CFG" becomes "Database Files (*.cfg) (*.CFG)"; the
// dialog hides the last parenthesis, so the description shows as written.
QStringList NameFilters(const std::string& filter) {
    QStringList list;
    for (const FileFilter& f : ParseFileFilter(filter)) {
        QStringList patterns;
        for (const std::string& p : f.patterns) {
            patterns << ToQString(p);
        }
        list << ToQString(f.description) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                    QLatin1Char(')');
    }
    return list;
}

}  // namespace

int ShowQtFileDialog(const FileDialogRequest& request, std::string& path) {
    path.clear();
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setWindowTitle(request.open ? QStringLiteral("Open") : QStringLiteral("Save As"));
    dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(request.open && request.Has(OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                                      : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.Has(OFN_OVERWRITEPROMPT));
    const QStringList filters = NameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
    }
    if (!request.defaultExtension.empty()) {
        dialog.setDefaultSuffix(ToQString(request.defaultExtension));
    }
    if (!request.initialName.empty()) {
        dialog.selectFile(ToQString(request.initialName));
    }
    while (dialog.exec() == QDialog::Accepted) {
        const QStringList chosen = dialog.selectedFiles();
        if (chosen.isEmpty()) {
            continue;
        }
        const QFileInfo file(chosen.front());
        if (request.Has(OFN_PATHMUSTEXIST) && !file.absoluteDir().exists()) {
            const std::string text = FromQString(file.filePath()) +
                                     "\nPath does not exist.\nCheck the path and try again.";
            MessageBoxA(nullptr, text.c_str(), request.open ? "Open" : "Save As",
                        MB_OK | MB_ICONWARNING);
            continue;
        }
        path = FromQString(file.absoluteFilePath());
        return IDOK;
    }
    return IDCANCEL;
}

}  // namespace ui::qt

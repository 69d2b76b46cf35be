#include "ui/qt/QtMessageBox.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <map>

#include "ui/MessageBox.h"
#include "ui/qt/QtText.h"

namespace ui::qt {
namespace {

QMessageBox::Icon IconOf(UINT type) {
    switch (type & 0xF0) {
        case MB_ICONERROR:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONWARNING:
            return QMessageBox::Warning;
        case MB_ICONINFORMATION:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButton StandardButtonOf(int id) {
    switch (id) {
        case IDCANCEL:
            return QMessageBox::Cancel;
        case IDABORT:
            return QMessageBox::Abort;
        case IDRETRY:
            return QMessageBox::Retry;
        case IDIGNORE:
            return QMessageBox::Ignore;
        case IDYES:
            return QMessageBox::Yes;
        case IDNO:
            return QMessageBox::No;
        default:
            return QMessageBox::Ok;
    }
}

// A box whose Escape key and close box do nothing when it has no escape button.
class Box : public QMessageBox {
  public:
    bool escapable = true;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (!escapable && event->key() == Qt::Key_Escape) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (!escapable) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }
};

}  // namespace

int ShowQtMessageBox(const MessageBoxRequest& request) {
    Box box;
    box.setWindowTitle(ToQString(request.caption));
    box.setText(ToQString(request.text));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(IconOf(request.type));

    const std::vector<int> ids = ButtonsOf(request.type);
    std::map<QAbstractButton*, int> idOf;
    QPushButton* escape = nullptr;
    for (int id : ids) {
        QPushButton* button = box.addButton(StandardButtonOf(id));
        idOf[button] = id;
        if (id == IDCANCEL || ids.size() == 1) {
            escape = button;
        }
        if (id == DefaultButtonOf(request.type)) {
            box.setDefaultButton(button);
        }
    }
    box.escapable = escape != nullptr;
    if (escape != nullptr) {
        box.setEscapeButton(escape);
    }
    box.exec();
    const auto pressed = idOf.find(box.clickedButton());
    return pressed != idOf.end() ? pressed->second : DefaultButtonOf(request.type);
}

}  // namespace ui::qt

#include "ui/qt/QtDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>

#include "ui/MessageBox.h"
#include "ui/Resources.h"
#include "ui/qt/QtIcons.h"
#include "ui/qt/QtText.h"

namespace ui::qt {
namespace {

// A static with SS_WORDELLIPSIS: one line, cut at the end with "..." when too long.
class EllipsisLabel : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, width());
        style()->drawItemText(&painter, rect(), static_cast<int>(alignment()), palette(),
                              isEnabled(), shown, foregroundRole());
    }
};

bool IsLabel(const ControlTemplate& c) {
    return c.cls == ControlClass::Static && !c.IsIcon() && !c.IsEtchedLine();
}

QWidget* MakeStatic(QWidget* parent, const ControlTemplate& c, const DialogUnits& units) {
    if (c.IsEtchedLine()) {
        auto* line = new QFrame(parent);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        QRect place = units.ToPixels(c.x, c.y, c.cx, c.cy);
        place.setHeight(2);  // an etched line is two pixels, dark over light
        line->setGeometry(place);
        return line;
    }
    if (c.IsIcon()) {
        // An icon static takes the size of the icon, at its top left corner.
        auto* label = new QLabel(parent);
        constexpr int kIconSize = 32;
        if (const IconResource* icon = FindIcon(c.iconId)) {
            label->setPixmap(IconPixmap(*icon, kIconSize, parent->devicePixelRatioF()));
        }
        const QRect place = units.ToPixels(c.x, c.y, c.cx, c.cy);
        label->setGeometry(QRect(place.topLeft(), QSize(kIconSize, kIconSize)));
        return label;
    }
    QLabel* label =
        (c.style & SS_ELLIPSISMASK) != 0 ? new EllipsisLabel(parent) : new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap((c.style & SS_ELLIPSISMASK) == 0);
    return label;
}

QWidget* MakeEdit(QWidget* parent, const ControlTemplate& c) {
    auto* edit = new QLineEdit(parent);
    if (c.IsPasswordEdit()) {
        edit->setEchoMode(QLineEdit::Password);
    }
    edit->setText(ToQString(c.text));
    return edit;
}

QWidget* MakeButton(QWidget* parent, const ControlTemplate& c) {
    if (c.IsCheckBox()) {
        return new QCheckBox(ToQString(c.text), parent);
    }
    auto* button = new QPushButton(ToQString(c.text), parent);
    // A focused push button takes Enter, as it does on the platform we mirror.
    button->setAutoDefault(true);
    button->setDefault(c.IsDefaultButton());
    return button;
}

}  // namespace

QtDialog::QtDialog(const DialogTemplate& dialogTemplate, DialogClient& client,
                   const ControlFactories& factories)
    : QDialog(nullptr),
      template_(dialogTemplate),
      client_(client),
      units_(DialogFont(dialogTemplate)) {
    setFont(DialogFont(template_));
    setWindowTitle(ToQString(template_.caption));
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (template_.style & WS_SYSMENU) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if (template_.style & WS_MINIMIZEBOX) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    setWindowFlags(flags);
    setFixedSize(units_.ToPixels(template_.cx, template_.cy));

    QWidget* previousTabStop = nullptr;
    for (const ControlTemplate& control : template_.controls) {
        QWidget* widget = MakeControl(control, factories);
        widget->setObjectName(QString::number(control.id));
        widget->setProperty("controlId", control.id);
        if (!control.IsIcon() && !control.IsEtchedLine()) {
            widget->setGeometry(units_.ToPixels(control.x, control.y, control.cx, control.cy));
        }
        widget->setEnabled(!control.IsDisabled());
        widget->setVisible(control.HasStyle(WS_VISIBLE));
        if (IsLabel(control)) {
            widget->setFocusPolicy(Qt::NoFocus);
        } else if (control.IsTabStop()) {
            widget->setFocusPolicy(Qt::StrongFocus);
            if (previousTabStop != nullptr) {
                setTabOrder(previousTabStop, widget);
            }
            previousTabStop = widget;
        } else if (control.cls != ControlClass::Static) {
            widget->setFocusPolicy(Qt::ClickFocus);
        }
        widgets_.push_back(widget);
    }
    // Labels point at the controls that follow them, so they are set when all exist.
    for (std::size_t i = 0; i < template_.controls.size(); ++i) {
        if (IsLabel(template_.controls[i])) {
            SetLabelText(i, template_.controls[i].text);
        }
    }
    for (std::size_t i = 0; i < template_.controls.size(); ++i) {
        ConnectNotifications(widgets_[i], template_.controls[i]);
    }
    building_ = false;
}

QtDialog::~QtDialog() = default;

QWidget* QtDialog::MakeControl(const ControlTemplate& control, const ControlFactories& factories) {
    switch (control.cls) {
        case ControlClass::Static:
            return MakeStatic(this, control, units_);
        case ControlClass::Edit:
            return MakeEdit(this, control);
        case ControlClass::Button:
            return MakeButton(this, control);
        case ControlClass::Custom:
            break;
    }
    const auto factory = factories.find(control.className);
    if (factory != factories.end()) {
        if (QWidget* widget = factory->second(this, control)) {
            return widget;
        }
    }
    // A class nobody provides: an empty area of the window's colour.
    return new QWidget(this);
}

void QtDialog::ConnectNotifications(QWidget* widget, const ControlTemplate& control) {
    const int id = control.id;
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        connect(edit, &QLineEdit::textChanged, this, [this, id] {
            if (!building_ && !ended_) {
                client_.HandleCommand(id, EN_CHANGE);
            }
        });
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        connect(button, &QAbstractButton::clicked, this, [this, id] {
            if (!ended_) {
                client_.HandleCommand(id, BN_CLICKED);
            }
        });
    }
}

// A label's & mnemonic moves the focus to the next tab stop after it; without such a
// control, or with SS_NOPREFIX, the text shows as it is.
void QtDialog::SetLabelText(std::size_t index, const std::string& text) {
    auto* label = qobject_cast<QLabel*>(widgets_[index]);
    if (label == nullptr) {
        return;
    }
    const ControlTemplate& control = template_.controls[index];
    QWidget* buddy = control.HasStyle(SS_NOPREFIX) ? nullptr : BuddyAfter(index);
    if (buddy != nullptr) {
        label->setText(ToQString(text));
        label->setBuddy(buddy);
    } else {
        label->setText(ToQString(control.HasStyle(SS_NOPREFIX) ? text : StripMnemonic(text)));
    }
}

QWidget* QtDialog::BuddyAfter(std::size_t index) const {
    for (std::size_t i = index + 1; i < template_.controls.size(); ++i) {
        if (template_.controls[i].IsTabStop()) {
            return widgets_[i];
        }
    }
    return nullptr;
}

QWidget* QtDialog::Control(int id) const {
    if (id == IDC_STATIC) {
        return nullptr;
    }
    for (std::size_t i = 0; i < template_.controls.size(); ++i) {
        if (template_.controls[i].id == id) {
            return widgets_[i];
        }
    }
    return nullptr;
}

int QtDialog::IdOf(const QWidget* widget) const {
    for (std::size_t i = 0; i < widgets_.size(); ++i) {
        if (widgets_[i] == widget) {
            return template_.controls[i].id;
        }
    }
    return 0;
}

int QtDialog::FirstTabStop() const {
    for (std::size_t i = 0; i < template_.controls.size(); ++i) {
        const ControlTemplate& c = template_.controls[i];
        if (c.IsTabStop() && c.id != IDC_STATIC && widgets_[i]->isEnabled()) {
            return c.id;
        }
    }
    return 0;
}

int QtDialog::Run() {
    client_.AttachWindow(this);
    const bool focusFirst = client_.HandleInitDialog();
    if (!ended_) {
        if (focusFirst) {
            SetFocus(FirstTabStop());
        }
        running_ = true;
        exec();
        running_ = false;
    }
    client_.AttachWindow(nullptr);
    return ended_ ? result_ : IDCANCEL;
}

std::string QtDialog::GetItemText(int id) const {
    QWidget* widget = Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        return FromQString(edit->text());
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return FromQString(button->text());
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return FromQString(label->text());
    }
    return {};
}

void QtDialog::SetItemText(int id, std::string_view text) {
    QWidget* widget = Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(ToQString(text));  // textChanged sends EN_CHANGE
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(ToQString(text));
    } else if (qobject_cast<QLabel*>(widget) != nullptr) {
        for (std::size_t i = 0; i < widgets_.size(); ++i) {
            if (widgets_[i] == widget) {
                SetLabelText(i, std::string(text));
            }
        }
    }
}

int QtDialog::GetCheck(int id) const {
    auto* box = qobject_cast<QCheckBox*>(Control(id));
    return box != nullptr && box->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void QtDialog::SetCheck(int id, int state) {
    if (auto* box = qobject_cast<QCheckBox*>(Control(id))) {
        box->setChecked(state == BST_CHECKED);
    }
}

bool QtDialog::IsItemEnabled(int id) const {
    QWidget* widget = Control(id);
    return widget != nullptr && widget->isEnabled();
}

void QtDialog::EnableItem(int id, bool enable) {
    if (QWidget* widget = Control(id)) {
        widget->setEnabled(enable);
    }
}

void QtDialog::SetSel(int id, int start, int end) {
    auto* edit = qobject_cast<QLineEdit*>(Control(id));
    if (edit == nullptr) {
        return;
    }
    if (start < 0) {
        edit->deselect();
        return;
    }
    const int length = static_cast<int>(edit->text().size());
    const int last = end < 0 || end > length ? length : end;
    edit->setSelection(start, last - start);  // also scrolls the caret into view
}

void QtDialog::SetFocus(int id) {
    QWidget* widget = Control(id);
    if (widget == nullptr) {
        return;
    }
    pendingFocus_ = isVisible() ? 0 : id;
    widget->setFocus(Qt::OtherFocusReason);
}

int QtDialog::GetFocus() const {
    return IdOf(focusWidget());
}

void QtDialog::End(int result) {
    if (ended_) {
        return;
    }
    ended_ = true;
    result_ = result;
    if (running_) {
        QDialog::done(result);
    }
}

void QtDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        const bool onButton = qobject_cast<QPushButton*>(focusWidget()) != nullptr;
        bool hasDefault = false;
        for (const ControlTemplate& c : template_.controls) {
            hasDefault = hasDefault || c.IsDefaultButton();
        }
        if (!onButton && !hasDefault) {
            client_.HandleCommand(IDOK, BN_CLICKED);
            return;
        }
    }
    QDialog::keyPressEvent(event);  // Enter: the default button; Escape: reject()
}

void QtDialog::closeEvent(QCloseEvent* event) {
    if (ended_) {
        event->accept();
        return;
    }
    event->ignore();  // the client decides whether the dialog ends
    client_.HandleClose();
}

void QtDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (pendingFocus_ != 0) {
        if (QWidget* widget = Control(pendingFocus_)) {
            widget->setFocus(Qt::OtherFocusReason);
        }
        pendingFocus_ = 0;
    }
}

void QtDialog::reject() {
    if (!ended_) {
        client_.HandleCommand(IDCANCEL, BN_CLICKED);
    }
}

void QtDialog::accept() {
    if (!ended_) {
        client_.HandleCommand(IDOK, BN_CLICKED);
    }
}

}  // namespace ui::qt

#include "PassMintWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QString StrengthText(int bits) {
    if (bits == 0) {
        return PassMintWindow::tr("Choose at least one kind of character.");
    }
    const char* word = bits < 50    ? "weak"
                       : bits < 80  ? "fair"
                       : bits < 110 ? "strong"
                                    : "very strong";
    return PassMintWindow::tr("Strength: %1 (about %2 bits)")
        .arg(QString::fromLatin1(word))
        .arg(bits);
}

}  // namespace

PassMintWindow::PassMintWindow(passmint::RandomSource& random, QWidget* parent)
    : QDialog(parent), random_(random) {
    setWindowTitle(tr("PassMint Password Generator"));

    auto* options = new QGroupBox(tr("Options"), this);
    auto* form = new QFormLayout(options);
    length_ = new QSpinBox(options);
    length_->setRange(passmint::kMinLength, passmint::kMaxLength);
    length_->setValue(passmint::Options{}.length);
    form->addRow(tr("&Length:"), length_);
    upper_ = AddKind(tr("&Upper-case letters (A-Z)"));
    lower_ = AddKind(tr("L&ower-case letters (a-z)"));
    digits_ = AddKind(tr("&Digits (0-9)"));
    symbols_ = AddKind(tr("&Symbols (!#$%...)"));
    lookAlikes_ = new QCheckBox(tr("&Avoid look-alike characters (0 O 1 l I)"), options);
    for (QCheckBox* box : {upper_, lower_, digits_, symbols_, lookAlikes_}) {
        form->addRow(box);
    }

    password_ = new QLineEdit(this);
    password_->setReadOnly(true);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSizeF(mono.pointSizeF() * 1.25);
    password_->setFont(mono);
    password_->setMinimumWidth(password_->fontMetrics().horizontalAdvance(QString(32, 'W')));
    password_->setAccessibleName(tr("Generated password"));
    strength_ = new QLabel(this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    generate_ = buttons->addButton(tr("&Generate"), QDialogButtonBox::ActionRole);
    copy_ = buttons->addButton(tr("&Copy"), QDialogButtonBox::ActionRole);
    generate_->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(generate_, &QPushButton::clicked, this, &PassMintWindow::Regenerate);
    connect(copy_, &QPushButton::clicked, this, &PassMintWindow::CopyToClipboard);
    connect(length_, &QSpinBox::valueChanged, this, &PassMintWindow::Regenerate);
    connect(lookAlikes_, &QCheckBox::toggled, this, &PassMintWindow::Regenerate);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(options);
    layout->addWidget(new QLabel(tr("Password:"), this));
    layout->addWidget(password_);
    layout->addWidget(strength_);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    Regenerate();
}

QCheckBox* PassMintWindow::AddKind(const QString& text) {
    auto* box = new QCheckBox(text, this);
    box->setChecked(true);
    connect(box, &QCheckBox::toggled, this, &PassMintWindow::Regenerate);
    return box;
}

passmint::Options PassMintWindow::CurrentOptions() const {
    passmint::Options options;
    options.length = length_->value();
    options.upper = upper_->isChecked();
    options.lower = lower_->isChecked();
    options.digits = digits_->isChecked();
    options.symbols = symbols_->isChecked();
    options.avoidLookAlikes = lookAlikes_->isChecked();
    return options;
}

QString PassMintWindow::Password() const {
    return password_->text();
}

void PassMintWindow::Regenerate() {
    const passmint::Options options = CurrentOptions();
    password_->setText(QString::fromStdString(passmint::Generate(options, random_)));
    strength_->setText(StrengthText(passmint::EntropyBits(options)));
    copy_->setEnabled(!password_->text().isEmpty());
    generate_->setEnabled(!password_->text().isEmpty());
}

void PassMintWindow::CopyToClipboard() {
    if (!password_->text().isEmpty()) {
        QApplication::clipboard()->setText(password_->text());
        strength_->setText(tr("Copied to the clipboard."));
    }
}

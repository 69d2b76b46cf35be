#pragma once
// PassMint's one window: the options, the password they give, and buttons to draw a
// new one and to copy it. Lives on the GUI thread; owns its widgets through Qt.

#include <QDialog>

#include "PasswordGenerator.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class PassMintWindow final : public QDialog {
    Q_OBJECT
  public:
    // random must outlive the window.
    explicit PassMintWindow(passmint::RandomSource& random, QWidget* parent = nullptr);

    passmint::Options CurrentOptions() const;
    QString Password() const;

  public slots:
    void Regenerate();
    void CopyToClipboard();

  private:
    QCheckBox* AddKind(const QString& text);

    passmint::RandomSource& random_;
    QSpinBox* length_ = nullptr;
    QCheckBox* upper_ = nullptr;
    QCheckBox* lower_ = nullptr;
    QCheckBox* digits_ = nullptr;
    QCheckBox* symbols_ = nullptr;
    QCheckBox* lookAlikes_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLabel* strength_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* generate_ = nullptr;
};

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QPushButton>
#include <QSpinBox>

#include "PassMintWindow.h"

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "passmint_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

QPushButton* Button(PassMintWindow& window, const QString& text) {
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
}

TEST(PassMintWindowTest, OptionsDrawNewPasswordsAndCopyPutsOneOnTheClipboard) {
    App();
    passmint::SystemRandom random;
    PassMintWindow window(random);
    EXPECT_EQ(window.Password().size(), 20);

    window.findChild<QSpinBox*>()->setValue(32);
    EXPECT_EQ(window.Password().size(), 32);

    const QString before = window.Password();
    Button(window, "&Generate")->click();
    EXPECT_NE(window.Password(), before);

    Button(window, "&Copy")->click();
    EXPECT_EQ(QApplication::clipboard()->text(), window.Password());
}

TEST(PassMintWindowTest, NoKindChosenLeavesNothingToCopy) {
    App();
    passmint::SystemRandom random;
    PassMintWindow window(random);
    for (QCheckBox* box : window.findChildren<QCheckBox*>()) {
        if (!box->text().contains("look-alike")) {
            box->setChecked(false);
        }
    }
    EXPECT_TRUE(window.Password().isEmpty());
    EXPECT_FALSE(Button(window, "&Copy")->isEnabled());
    EXPECT_FALSE(Button(window, "&Generate")->isEnabled());
    for (QCheckBox* box : window.findChildren<QCheckBox*>()) {
        if (box->text().startsWith("&Digits")) {
            box->setChecked(true);
        }
    }
    EXPECT_EQ(window.Password().size(), 20);
    EXPECT_EQ(window.Password().toStdString().find_first_not_of("0123456789"), std::string::npos);
    EXPECT_TRUE(Button(window, "&Copy")->isEnabled());
}

}  // namespace

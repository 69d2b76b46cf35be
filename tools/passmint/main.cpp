// PassMint: draws strong passwords for the user to copy into a form or a passcard.
// Started by the manager's pages through the shell; takes no arguments.

#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "PassMintWindow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PassMint"));
    try {
        passmint::SystemRandom random;
        PassMintWindow window(random);
        window.show();
        return app.exec();
    } catch (const std::exception& error) {
        QMessageBox::warning(nullptr, QStringLiteral("PassMint"), QString::fromUtf8(error.what()));
        return 1;
    }
}

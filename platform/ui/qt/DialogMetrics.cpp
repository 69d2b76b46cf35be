#include "ui/qt/DialogMetrics.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <cmath>

namespace ui::qt {
namespace {

bool IsWindowsDialogFace(const std::string& face) {
    return face.empty() || face == "MS Sans Serif" || face == "MS Shell Dlg" ||
           face == "MS Shell Dlg 2" || face == "Microsoft Sans Serif";
}

}  // namespace

QFont DialogFont(const std::string& face, int pointSize) {
    const double scale = pointSize > 0 ? pointSize / 8.0 : 1.0;
    if (!IsWindowsDialogFace(face)) {
        return QFont(QString::fromStdString(face), pointSize > 0 ? pointSize : 8);
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() * scale);
    } else if (font.pixelSize() > 0) {
        font.setPixelSize(static_cast<int>(std::lround(font.pixelSize() * scale)));
    }
    return font;
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetricsF metrics(font);
    cx_ = metrics.horizontalAdvance(
              QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
          52.0;
    cy_ = metrics.height();
}

int DialogUnits::X(int units) const {
    return static_cast<int>(std::lround(units * cx_ / 4.0));
}

int DialogUnits::Y(int units) const {
    return static_cast<int>(std::lround(units * cy_ / 8.0));
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
    const int left = X(x);
    const int top = Y(y);
    return QRect(left, top, X(x + width) - left, Y(y + height) - top);
}

}  // namespace ui::qt

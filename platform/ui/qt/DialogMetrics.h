// Fonts and dialog units for the Qt backend.
//
// Our templates name "MS Sans Serif" at 8 points, which a Linux desktop does not
// have. It (and the other Windows dialog faces) maps to the desktop's general UI
// font, at the desktop's size scaled by size / 8: a template's 8 points means "the
// size the desktop uses for dialogs", so the dialogs follow the user's settings.
// Any other face is asked for by name.
//
// Dialog units are converted as Windows converts them, with the metrics of the font
// really used: horizontal x * cx / 4, vertical y * cy / 8, where cx is the average
// width of the 52 letters A-Z a-z and cy the font's height. We keep cx and cy
// unrounded, so that proportions do not drift with small fonts, and convert the
// corners of a rectangle (not its size), so that controls that meet in dialog units
// meet in pixels.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <string>

#include "ui/DialogTemplate.h"

namespace ui::qt {

QFont DialogFont(const std::string& face, int pointSize);
inline QFont DialogFont(const DialogTemplate& t) {
    return DialogFont(t.fontFace, t.fontPointSize);
}

class DialogUnits {
  public:
    explicit DialogUnits(const QFont& font);

    double cx() const { return cx_; }
    double cy() const { return cy_; }
    int X(int units) const;
    int Y(int units) const;
    QRect ToPixels(int x, int y, int width, int height) const;
    QSize ToPixels(int width, int height) const { return QSize(X(width), Y(height)); }

  private:
    double cx_;
    double cy_;
};

}  // namespace ui::qt

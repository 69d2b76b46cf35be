// A device context that paints with a QPainter.
//
// Like a fresh device context of the platform we mirror, it draws outlines with the
// painter's pen and fills with its brush, and writes text in the painter's font,
// black on an opaque white background. Text alignment starts at TA_LEFT | TA_TOP.
// Lifetime: the painter must stay active while the context is used.
#pragma once

#include <QColor>
#include <QPainter>

#include "ui/DeviceContext.h"

namespace ui::qt {

class PainterDeviceContext : public DeviceContext {
  public:
    explicit PainterDeviceContext(QPainter& painter) : painter_(painter) {}

    bool Rectangle(int left, int top, int right, int bottom) override;
    UINT SetTextAlign(UINT align) override;
    bool TextOut(int x, int y, std::string_view text) override;

    void SetTextColor(const QColor& color) { textColor_ = color; }
    void SetBkColor(const QColor& color) { bkColor_ = color; }
    void SetBkOpaque(bool opaque) { opaque_ = opaque; }

  private:
    QPainter& painter_;
    UINT align_ = TA_LEFT | TA_TOP;
    QColor textColor_ = Qt::black;
    QColor bkColor_ = Qt::white;
    bool opaque_ = true;
};

}  // namespace ui::qt

#include "ui/qt/PainterDeviceContext.h"

#include <QFontMetrics>
#include <algorithm>

#include "ui/qt/QtText.h"

namespace ui::qt {

bool PainterDeviceContext::Rectangle(int left, int top, int right, int bottom) {
    if (left > right) {
        std::swap(left, right);
    }
    if (top > bottom) {
        std::swap(top, bottom);
    }
    if (right - left < 2 || bottom - top < 2) {
        return true;  // nothing inside the excluded right and bottom edges
    }
    // The outline covers left..right-1 and top..bottom-1, as it does there.
    painter_.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
    return true;
}

UINT PainterDeviceContext::SetTextAlign(UINT align) {
    const UINT previous = align_;
    align_ = align;
    return previous;
}

bool PainterDeviceContext::TextOut(int x, int y, std::string_view text) {
    const QString s = ToQString(text);
    const QFontMetrics metrics(painter_.font());
    const int width = metrics.horizontalAdvance(s);
    int left = x;
    if ((align_ & TA_CENTER) == TA_CENTER) {
        left = x - width / 2;
    } else if (align_ & TA_RIGHT) {
        left = x - width;
    }
    int baseline = y + metrics.ascent();
    if ((align_ & TA_BASELINE) == TA_BASELINE) {
        baseline = y;
    } else if (align_ & TA_BOTTOM) {
        baseline = y - metrics.descent();
    }
    if (opaque_) {
        painter_.fillRect(QRect(left, baseline - metrics.ascent(), width, metrics.height()),
                          bkColor_);
    }
    painter_.save();
    painter_.setPen(textColor_);
    painter_.drawText(QPoint(left, baseline), s);
    painter_.restore();
    return true;
}

}  // namespace ui::qt

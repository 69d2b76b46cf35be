#include "IdentityCtrDrawing.h"

void DrawIdentityCtr(HDC hdc, const RECT& bounds) {
    static constexpr char kText[] = "ATL 3.0 : IdentityCtr";
    Rectangle(hdc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    SetTextAlign(hdc, TA_CENTER | TA_BASELINE);
    // Integer division rounds toward zero, also for bounds left of or above the origin.
    TextOutA(hdc, (bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2, kText,
             static_cast<int>(sizeof(kText) - 1));
}

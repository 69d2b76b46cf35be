#include "ui/DeviceContext.h"

#include <cstdio>

namespace ui {

bool RecordingDeviceContext::Rectangle(int left, int top, int right, int bottom) {
    char line[96];
    std::snprintf(line, sizeof(line), "Rectangle(%d, %d, %d, %d)", left, top, right, bottom);
    calls_.emplace_back(line);
    return true;
}

UINT RecordingDeviceContext::SetTextAlign(UINT align) {
    char line[48];
    std::snprintf(line, sizeof(line), "SetTextAlign(0x%X)", align);
    calls_.emplace_back(line);
    const UINT previous = align_;
    align_ = align;
    return previous;
}

bool RecordingDeviceContext::TextOut(int x, int y, std::string_view text) {
    char head[48];
    char tail[32];
    std::snprintf(head, sizeof(head), "TextOut(%d, %d, \"", x, y);
    std::snprintf(tail, sizeof(tail), "\") align 0x%X", align_);
    calls_.push_back(std::string(head) + std::string(text) + tail);
    return true;
}

}  // namespace ui

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    return hdc != nullptr && hdc->Rectangle(left, top, right, bottom) ? TRUE : FALSE;
}

UINT SetTextAlign(HDC hdc, UINT align) {
    return hdc != nullptr ? hdc->SetTextAlign(align) : GDI_ERROR;
}

BOOL TextOutA(HDC hdc, int x, int y, const char* text, int count) {
    if (hdc == nullptr || (text == nullptr && count != 0) || count < 0) {
        return FALSE;
    }
    return hdc->TextOut(
               x, y, std::string_view(text != nullptr ? text : "", static_cast<std::size_t>(count)))
               ? TRUE
               : FALSE;
}

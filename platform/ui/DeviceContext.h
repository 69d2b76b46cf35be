// Device contexts: where a control draws itself (a window, a printer, a picture).
//
// Drawing code uses the GDI-style calls below on an HDC; what they do is up to the
// device context behind it: the Qt backend paints with a QPainter, tests record the
// calls. Coordinates are logical units of the context (pixels for a window).
// Only the operations our controls use are here.
//
// Ownership: whoever paints creates the context for one painting and keeps it alive
// for its length; an HDC does not own it. Thread: the painting thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "WinTypes.h"

struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};

// Text alignment: horizontal position of the reference point...
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
// ...and vertical.
constexpr UINT TA_TOP = 0;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;
constexpr UINT GDI_ERROR = 0xFFFFFFFF;

namespace ui {

class DeviceContext {
  public:
    virtual ~DeviceContext() = default;
    // Outlines left..right-1 x top..bottom-1 with the current pen and fills the
    // inside with the current brush.
    virtual bool Rectangle(int left, int top, int right, int bottom) = 0;
    // Returns the previous alignment.
    virtual UINT SetTextAlign(UINT align) = 0;
    // Writes text in the current font and colours; (x, y) is the reference point
    // that the alignment places.
    virtual bool TextOut(int x, int y, std::string_view text) = 0;
};

// Records every call as one line, for tests:
//   Rectangle(0, 0, 101, 51)
//   SetTextAlign(0x1E)
//   TextOut(50, 25, "text") align 0x1E
class RecordingDeviceContext : public DeviceContext {
  public:
    bool Rectangle(int left, int top, int right, int bottom) override;
    UINT SetTextAlign(UINT align) override;
    bool TextOut(int x, int y, std::string_view text) override;

    const std::vector<std::string>& calls() const { return calls_; }

  private:
    UINT align_ = TA_LEFT | TA_TOP;
    std::vector<std::string> calls_;
};

}  // namespace ui

using HDC = ui::DeviceContext*;

// The GDI calls; a null context fails (FALSE, GDI_ERROR).
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
UINT SetTextAlign(HDC hdc, UINT align);
// Writes `count` bytes of `text` (8-bit, the process's code page).
BOOL TextOutA(HDC hdc, int x, int y, const char* text, int count);

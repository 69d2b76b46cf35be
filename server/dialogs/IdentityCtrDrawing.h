// How the IdentityCtr control looks: a rectangle over its bounds in the current pen
// and brush, and the text "ATL 3.0 : IdentityCtr" centred on the middle of the
// bounds, its base line through the middle ((left + right) / 2, (top + bottom) / 2,
// each rounded toward zero), in the current font and colours.
//
// Leaves the context's text alignment at TA_CENTER | TA_BASELINE. Keeps no state.
#pragma once

#include "ui/DeviceContext.h"

void DrawIdentityCtr(HDC hdc, const RECT& bounds);

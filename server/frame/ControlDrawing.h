// How the IdentityCtr control draws itself into a device context within bounds
// (left, top, right, bottom). The one place that connects the control to the drawing
// routine of the server's UI.
#pragma once

#include "com/ComTypes.h"
#include "com/HResult.h"

HRESULT DrawIdentityCtr(HDC dc, const RECTL& bounds);

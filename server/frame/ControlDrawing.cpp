#include "ControlDrawing.h"

// The server's device-context drawing is not built yet; until it is, the control
// says it cannot draw rather than pretending it did.
HRESULT DrawIdentityCtr(HDC /*dc*/, const RECTL& /*bounds*/) {
    return E_NOTIMPL;
}

#include "ControlDrawing.h"

#include "IdentityCtrDrawing.h"

HRESULT DrawIdentityCtr(HDC dc, const RECTL& bounds) {
    if (dc == nullptr) {
        return E_INVALIDARG;
    }
    const RECT rect{bounds.left, bounds.top, bounds.right, bounds.bottom};
    DrawIdentityCtr(dc, rect);
    return S_OK;
}

// Icon resources as Qt pictures.
#pragma once

#include <QIcon>
#include <QPixmap>

#include "ui/Resources.h"

namespace ui::qt {

// The icon's image closest to `size` device-independent pixels, scaled to it and
// sharp on screens with more pixels per point (devicePixelRatio). Null when the
// icon has no image or its bytes do not decode.
QPixmap IconPixmap(const IconResource& icon, int size, double devicePixelRatio = 1.0);
// All images of the icon, for window icons.
QIcon ToQIcon(const IconResource& icon);

}  // namespace ui::qt

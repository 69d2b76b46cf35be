#include "ui/qt/QtIcons.h"

#include <QImage>
#include <cmath>

namespace ui::qt {
namespace {

QImage Decode(const IconImage& image) {
    return QImage::fromData(reinterpret_cast<const uchar*>(image.png.data()),
                            static_cast<int>(image.png.size()), "PNG");
}

}  // namespace

QPixmap IconPixmap(const IconResource& icon, int size, double devicePixelRatio) {
    const int pixels = static_cast<int>(std::lround(size * devicePixelRatio));
    const IconImage* image = icon.ImageFor(pixels);
    if (image == nullptr) {
        return {};
    }
    QImage decoded = Decode(*image);
    if (decoded.isNull()) {
        return {};
    }
    if (decoded.width() != pixels) {
        decoded = decoded.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    QPixmap pixmap = QPixmap::fromImage(decoded);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QIcon ToQIcon(const IconResource& icon) {
    QIcon result;
    for (const IconImage& image : icon.images) {
        const QImage decoded = Decode(image);
        if (!decoded.isNull()) {
            result.addPixmap(QPixmap::fromImage(decoded));
        }
    }
    return result;
}

}  // namespace ui::qt

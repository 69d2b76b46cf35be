// Our 8-bit strings (the process's code page) to and from QString.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "text/CodePage.h"

namespace ui::qt {

inline QString ToQString(std::string_view text) {
    return QString::fromStdU16String(text::ToWide(text));
}

inline std::string FromQString(const QString& text) {
    return text::ToNarrow(text.toStdU16String());
}

}  // namespace ui::qt

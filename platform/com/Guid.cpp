#include "com/Guid.h"

#include <cstdio>

namespace com {

bool ParseGuid(std::string_view text, GUID* out) {
    if (out == nullptr || text.size() != 38 || text.front() != '{' || text.back() != '}') {
        return false;
    }
    GUID g{};
    if (!detail::ParseBare(text.substr(1, 36), g)) {
        return false;
    }
    *out = g;
    return true;
}

std::string FormatGuid(REFGUID g) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

}  // namespace com

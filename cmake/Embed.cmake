# quenby_embed_file(<output.cpp> <symbol> <input>)
#
# Writes a C++ source that holds the bytes of <input> as
#   extern const unsigned char <symbol>[];  extern const std::size_t <symbol>Size;
# (namespace embedded). The build is reconfigured when <input> changes. Used for the
# pictures and pages that a module carries as resources.
function(quenby_embed_file output symbol input)
    file(READ ${input} hex HEX)
    string(LENGTH "${hex}" digits)
    math(EXPR size "${digits} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n    "
           bytes "${bytes}")
    file(CONFIGURE OUTPUT ${output} CONTENT
"// Generated from ${input}; do not edit.
#include <cstddef>

namespace embedded {
extern const unsigned char ${symbol}[] = {
    ${bytes}
};
extern const std::size_t ${symbol}Size = ${size};
}  // namespace embedded
" @ONLY)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${input})
endfunction()

# Writes the bytes of a .res file (INPUT) as a C++ source (OUTPUT) that
# defines the symbols the layer's resource lookup reads.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR byte_count "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT}
"// Generated from ${INPUT}; do not edit.
#include <cstddef>

extern \"C\" {
extern const unsigned char hp_resource_data[];
extern const size_t hp_resource_size;
alignas(4) const unsigned char hp_resource_data[] = {
${bytes}
};
const size_t hp_resource_size = ${byte_count};
}
")

// UTF-8, the host's text encoding, one scalar value at a time. Strict:
// overlong forms, surrogates and values past U+10FFFF are not well formed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hp::utf8 {

// Length (1 to 4) of the well-formed sequence that starts text at `index`,
// with its scalar value; 0 when the bytes there are not well formed.
size_t sequenceAt(std::string_view text, size_t index, char32_t &scalar);

// Appends the encoding of a scalar value (one that is not a surrogate).
void append(char32_t scalar, std::string &out);

// The scalar value of the first character of text, or `otherwise` when the
// text is empty or does not start with a well-formed sequence.
char32_t firstScalar(std::string_view text, char32_t otherwise);

}  // namespace hp::utf8

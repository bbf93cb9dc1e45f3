// Menu and button texts with the platform's mnemonic marks ("&N" underlines
// N, "&&" is a literal "&") in the form GTK labels take ("_N", "__").
#pragma once

#include <string>
#include <string_view>

namespace hp::host {

// UTF-8 in, UTF-8 out. A lone "&" at the end is dropped, as the platform
// shows nothing for it.
std::string underscoreMnemonics(std::string_view text);

}  // namespace hp::host

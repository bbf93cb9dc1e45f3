#include "platform/host/mnemonic_label.h"

namespace hp::host {

std::string underscoreMnemonics(std::string_view text)
{
    std::string label;
    label.reserve(text.size() + 4);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '_') {
            label += "__";
        } else if (c == '&') {
            if (i + 1 >= text.size())
                break;
            if (text[i + 1] == '&') {
                label += '&';
                ++i;
            } else {
                label += '_';
            }
        } else {
            label += c;
        }
    }
    return label;
}

}  // namespace hp::host

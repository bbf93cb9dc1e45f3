#include "platform/kernel32/wildcard_mask.h"

namespace hp::kernel32 {
namespace {

char32_t upperAscii(char32_t c) { return (c >= U'a' && c <= U'z') ? c - U'a' + U'A' : c; }

bool sameCharacter(char32_t first, char32_t second) { return upperAscii(first) == upperAscii(second); }

bool isWildcard(char32_t c) { return c == U'*' || c == U'?' || c == U'<' || c == U'>'; }

}  // namespace

WildcardMask::WildcardMask(std::u32string_view mask) : mask_(mask)
{
    if (mask_.empty())
        return;
    bool noExtension = mask_.back() == U'.';
    size_t length = mask_.size();
    while (length > 0 && (mask_[length - 1] == U'.' || mask_[length - 1] == U' '))
        --length;
    mask_.resize(length);
    for (size_t i = 0; i < length; ++i) {
        if (mask_[i] == U'.' && i + 1 < length && (mask_[i + 1] == U'*' || mask_[i + 1] == U'?'))
            mask_[i] = dosDot;
        else if (mask_[i] == U'?')
            mask_[i] = dosQuestionMark;
    }
    if (noExtension && length > 0 && mask_[length - 1] == U'*')
        mask_[length - 1] = dosStar;
}

bool WildcardMask::matches(std::u32string_view name) const
{
    // ".." is matched as "." would be, so "*." and "*" list both dot entries.
    if (name == U"..")
        name = name.substr(0, 1);
    return matchPart(name, mask_);
}

bool WildcardMask::matchPart(std::u32string_view name, std::u32string_view mask)
{
    size_t n = 0;
    size_t m = 0;
    while (n < name.size() && m < mask.size()) {
        char32_t c = mask[m];
        if (c == U'*') {
            while (m < mask.size() && mask[m] == U'*')
                ++m;
            if (m == mask.size())
                return true;
            char32_t next = mask[m] == dosDot ? U'.' : mask[m];
            for (; n < name.size(); ++n) {
                if (!isWildcard(next)) {
                    while (n < name.size() && !sameCharacter(name[n], next))
                        ++n;
                }
                if (matchPart(name.substr(n), mask.substr(m)))
                    return true;
            }
            // The name is used up; only wildcards that match nothing may
            // remain.
            n = name.size();
            continue;
        }
        if (c == dosStar) {
            ++m;
            bool hadDot = false;
            while (n < name.size()) {
                size_t nextDot = n;
                while (nextDot < name.size() && name[nextDot] != U'.')
                    ++nextDot;
                if (nextDot == name.size() && hadDot)
                    break;
                if (nextDot < name.size()) {
                    hadDot = true;
                    ++nextDot;
                }
                if (m < mask.size()) {
                    char32_t next = mask[m] == dosDot ? U'.' : mask[m];
                    for (; n < nextDot; ++n) {
                        if (!isWildcard(next)) {
                            while (n < nextDot && !sameCharacter(name[n], next))
                                ++n;
                        }
                        if (matchPart(name.substr(n), mask.substr(m)))
                            return true;
                    }
                }
                n = nextDot;
            }
            continue;
        }
        if (c == U'?') {
            ++m;
            ++n;
            continue;
        }
        if (c == dosQuestionMark) {
            ++m;
            if (name[n] == U'.') {
                while (m < mask.size() && mask[m] == dosQuestionMark)
                    ++m;
                if (m == mask.size())
                    ++n;
            } else {
                ++n;
            }
            continue;
        }
        char32_t literal = c == dosDot ? U'.' : c;
        if (!sameCharacter(literal, name[n]))
            return false;
        ++m;
        ++n;
    }
    while (m < mask.size() &&
           (mask[m] == U'*' || mask[m] == dosStar || mask[m] == dosDot || mask[m] == dosQuestionMark))
        ++m;
    return n == name.size() && m == mask.size();
}

}  // namespace hp::kernel32

// A FindFirstFileA mask with the platform's wildcard rules. The mask is
// first rewritten as the platform does: "?" becomes DOS_QM (one character,
// or none before a period or the end), a period before "*" or "?" becomes
// DOS_DOT (a period, or nothing at the end of the name), and a final "*"
// of a mask that ended in a period becomes DOS_STAR (anything up to the
// last period). So "*.*" matches every name, with or without a period, and
// "*." only names without one. Letters match without regard to ASCII case.
#pragma once

#include <string>
#include <string_view>

namespace hp::kernel32 {

class WildcardMask {
public:
    // mask: the host form of the mask's characters (see host_name_text.h).
    explicit WildcardMask(std::u32string_view mask);

    bool matches(std::u32string_view name) const;

private:
    static constexpr char32_t dosStar = U'<';
    static constexpr char32_t dosQuestionMark = U'>';
    static constexpr char32_t dosDot = U'"';

    static bool matchPart(std::u32string_view name, std::u32string_view mask);

    std::u32string mask_;
};

}  // namespace hp::kernel32

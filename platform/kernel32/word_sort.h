// The order lstrcmpA and lstrcmpiA give CP932 strings: an approximation of
// the platform's word sort (CompareStringA with the user's locale), in
// three passes.
//  1. Characters by their sort weight, letters without regard to case:
//     punctuation and symbols first (space ! " # $ % & ( ) * , . / : ; ? @
//     [ \ ] ^ _ ` { | } ~, then + < = >), then digits, then letters, then
//     other single bytes and double-byte characters by their code. The
//     hyphen and the apostrophe are skipped in this pass, so "co-op" sorts
//     next to "coop".
//  2. The first difference in case: a lower-case letter before its upper
//     case (skipped by the case-insensitive comparison).
//  3. Hyphens and apostrophes: fewer first; then the bytes themselves, so
//     that only equal strings compare equal.
// The platform's tables also weigh diacritics and the kana of CP932 in
// ways this does not reproduce.
#pragma once

#include <string_view>

namespace hp::kernel32 {

enum class LetterCase { Significant, Ignored };

// Negative, zero or positive as first sorts before, with or after second.
int compareWordSort(std::string_view first, std::string_view second, LetterCase letterCase);

}  // namespace hp::kernel32

// The exact length of an MPEG audio file (MP3, MP2), from its frames.
//
// Decoders estimate the length of a variable-bit-rate file without a Xing
// or VBRI header from the bit rate of its first frames, which can be wrong
// by minutes. Counting the frames is exact and cheap (a few milliseconds
// for a long file).
#pragma once

#include <chrono>
#include <string>

namespace hp::host {

// Length of the chain of MPEG audio frames that starts the file (after an
// ID3v2 tag, if any), or 0 when the file does not start with at least two
// consecutive valid frames.
std::chrono::microseconds mpegAudioLength(const std::string &hostPath);

}  // namespace hp::host

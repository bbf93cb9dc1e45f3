// What the user's programs on this layer ask each other about their
// windows (window_peers.h), and the bytes that carry it: one request from
// the asking process, one reply from the window's process.
//
// Request, integers little-endian:
//   "HPW1", kind (1 byte): 1 find, 2 send, 3 raise
//   find:   class, title: each a length (2 bytes; 0xFFFF: none) and that
//           many CP932 bytes, at most maximumNameBytes
//   send:   window (8), message (4), wParam (8), then for WM_COPYDATA
//           dwData (8), a length (4, at most maximumCopyDataBytes) and the
//           data, for any other message lParam (8)
//   raise:  window (8)
// Reply: "HPW1", done (1 byte: 0 or 1), value (8): the window found, the
// message's result.
// A request or reply with anything else, or with bytes after its end, is
// refused whole.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win32.h"

namespace hp::user32 {

constexpr size_t maximumNameBytes = 1024;
constexpr size_t maximumCopyDataBytes = 16u << 20;
// No request is longer.
constexpr size_t maximumPeerRequestBytes = 64 + maximumCopyDataBytes;
constexpr size_t peerReplyBytes = 13;

struct PeerRequest {
    enum class Kind : uint8_t { Find = 1, Send = 2, Raise = 3 };
    Kind kind = Kind::Find;
    // Find.
    std::optional<std::string> className;
    std::optional<std::string> title;
    // Send and raise: the window's handle in the answering process.
    uint64_t window = 0;
    // Send.
    UINT message = 0;
    uint64_t wParam = 0;
    int64_t lParam = 0;       // other than WM_COPYDATA
    uint64_t copyTag = 0;     // WM_COPYDATA: dwData
    std::string copyData;     // WM_COPYDATA: the data
};

struct PeerReply {
    bool done = false;
    int64_t value = 0;
};

std::string encodePeerRequest(const PeerRequest &request);
std::optional<PeerRequest> decodePeerRequest(std::string_view bytes);

std::string encodePeerReply(const PeerReply &reply);
std::optional<PeerReply> decodePeerReply(std::string_view bytes);

}  // namespace hp::user32

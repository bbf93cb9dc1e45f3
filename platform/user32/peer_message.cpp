#include "platform/user32/peer_message.h"

namespace hp::user32 {
namespace {

constexpr std::string_view magic = "HPW1";
constexpr uint16_t noName = 0xFFFF;

void putInteger(std::string &out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void putName(std::string &out, const std::optional<std::string> &name)
{
    if (!name) {
        putInteger(out, noName, 2);
        return;
    }
    putInteger(out, name->size(), 2);
    out += *name;
}

// Reads from the front of the bytes; any read past the end fails the
// whole reader.
class Reader {
public:
    explicit Reader(std::string_view bytes) : rest_(bytes) {}

    bool ok() const { return ok_; }
    bool atEnd() const { return ok_ && rest_.empty(); }

    uint64_t integer(int bytes)
    {
        if (!ok_ || rest_.size() < static_cast<size_t>(bytes)) {
            ok_ = false;
            return 0;
        }
        uint64_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= static_cast<uint64_t>(static_cast<unsigned char>(rest_[i])) << (8 * i);
        rest_.remove_prefix(static_cast<size_t>(bytes));
        return value;
    }

    std::string text(size_t size, size_t limit)
    {
        if (!ok_ || size > limit || rest_.size() < size) {
            ok_ = false;
            return {};
        }
        std::string taken(rest_.substr(0, size));
        rest_.remove_prefix(size);
        return taken;
    }

    std::optional<std::string> name()
    {
        const uint64_t size = integer(2);
        if (size == noName)
            return std::nullopt;
        return text(size, maximumNameBytes);
    }

    bool magicMatches() { return text(magic.size(), magic.size()) == magic; }

private:
    std::string_view rest_;
    bool ok_ = true;
};

}  // namespace

std::string encodePeerRequest(const PeerRequest &request)
{
    std::string out(magic);
    out += static_cast<char>(request.kind);
    switch (request.kind) {
    case PeerRequest::Kind::Find:
        putName(out, request.className);
        putName(out, request.title);
        break;
    case PeerRequest::Kind::Send:
        putInteger(out, request.window, 8);
        putInteger(out, request.message, 4);
        putInteger(out, request.wParam, 8);
        if (request.message == WM_COPYDATA) {
            putInteger(out, request.copyTag, 8);
            putInteger(out, request.copyData.size(), 4);
            out += request.copyData;
        } else {
            putInteger(out, static_cast<uint64_t>(request.lParam), 8);
        }
        break;
    case PeerRequest::Kind::Raise:
        putInteger(out, request.window, 8);
        break;
    }
    return out;
}

std::optional<PeerRequest> decodePeerRequest(std::string_view bytes)
{
    Reader reader(bytes);
    if (!reader.magicMatches())
        return std::nullopt;
    PeerRequest request;
    const uint64_t kind = reader.integer(1);
    switch (kind) {
    case static_cast<uint8_t>(PeerRequest::Kind::Find):
        request.kind = PeerRequest::Kind::Find;
        request.className = reader.name();
        request.title = reader.name();
        break;
    case static_cast<uint8_t>(PeerRequest::Kind::Send):
        request.kind = PeerRequest::Kind::Send;
        request.window = reader.integer(8);
        request.message = static_cast<UINT>(reader.integer(4));
        request.wParam = reader.integer(8);
        if (request.message == WM_COPYDATA) {
            request.copyTag = reader.integer(8);
            const uint64_t size = reader.integer(4);
            request.copyData = reader.text(size, maximumCopyDataBytes);
        } else {
            request.lParam = static_cast<int64_t>(reader.integer(8));
        }
        break;
    case static_cast<uint8_t>(PeerRequest::Kind::Raise):
        request.kind = PeerRequest::Kind::Raise;
        request.window = reader.integer(8);
        break;
    default:
        return std::nullopt;
    }
    if (!reader.atEnd())
        return std::nullopt;
    return request;
}

std::string encodePeerReply(const PeerReply &reply)
{
    std::string out(magic);
    out += static_cast<char>(reply.done ? 1 : 0);
    putInteger(out, static_cast<uint64_t>(reply.value), 8);
    return out;
}

std::optional<PeerReply> decodePeerReply(std::string_view bytes)
{
    Reader reader(bytes);
    if (!reader.magicMatches())
        return std::nullopt;
    const uint64_t done = reader.integer(1);
    PeerReply reply;
    reply.value = static_cast<int64_t>(reader.integer(8));
    if (!reader.atEnd() || done > 1)
        return std::nullopt;
    reply.done = done == 1;
    return reply;
}

}  // namespace hp::user32

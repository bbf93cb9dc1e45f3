// How the user's programs on this layer reach each other's windows: the
// bytes of a request and a reply, refused whole when anything is off, and
// two peers meeting through a session folder, the socket of an ended
// process cleared away.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>

#include "platform/user32/peer_message.h"
#include "platform/user32/window_peers.h"

namespace {

using hp::user32::decodePeerReply;
using hp::user32::decodePeerRequest;
using hp::user32::encodePeerReply;
using hp::user32::encodePeerRequest;
using hp::user32::PeerReply;
using hp::user32::PeerRequest;
using hp::user32::WindowPeers;

PeerRequest copyDataRequest()
{
    PeerRequest request;
    request.kind = PeerRequest::Kind::Send;
    request.window = 0x10024;
    request.message = WM_COPYDATA;
    request.wParam = 7;
    request.copyTag = 0x4C465048;
    request.copyData = std::string("C:\\a.mp3\0\0", 10);
    return request;
}

class SessionFolder {
public:
    SessionFolder()
    {
        char pattern[] = "/tmp/hp-peers-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~SessionFolder() { std::filesystem::remove_all(path_); }
    const std::string &path() const { return path_; }

private:
    std::string path_;
};

// A process id that is gone.
long endedProcess()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

}  // namespace

TEST(PeerMessage, RequestsAndRepliesComeBackWholeAndAnythingOffIsRefused)
{
    PeerRequest find;
    find.className = "Hoollyphone";
    const std::string copy = encodePeerRequest(copyDataRequest());
    for (const std::string &bytes : {encodePeerRequest(find), copy}) {
        ASSERT_TRUE(decodePeerRequest(bytes));
        EXPECT_EQ(encodePeerRequest(*decodePeerRequest(bytes)), bytes);
        for (size_t cut = 0; cut < bytes.size(); ++cut)
            EXPECT_FALSE(decodePeerRequest(bytes.substr(0, cut))) << "cut at " << cut;
        EXPECT_FALSE(decodePeerRequest(bytes + '\0')) << "a byte after the end";
    }
    const PeerRequest decoded = *decodePeerRequest(copy);
    EXPECT_EQ(decoded.copyData, copyDataRequest().copyData);
    EXPECT_EQ(decoded.copyTag, 0x4C465048u);
    EXPECT_FALSE(decoded.className);

    std::string unknownKind = copy;
    unknownKind[4] = 9;
    EXPECT_FALSE(decodePeerRequest(unknownKind));
    EXPECT_FALSE(decodePeerRequest("HPW0" + copy.substr(4)));
    find.title = std::string(hp::user32::maximumNameBytes + 1, 'x');
    EXPECT_FALSE(decodePeerRequest(encodePeerRequest(find))) << "a name too long";

    const std::string reply = encodePeerReply(PeerReply{true, -2});
    ASSERT_TRUE(decodePeerReply(reply));
    EXPECT_EQ(decodePeerReply(reply)->value, -2);
    std::string notABool = reply;
    notABool[4] = 2;
    EXPECT_FALSE(decodePeerReply(notABool));
    EXPECT_FALSE(decodePeerReply(reply.substr(0, 12)));
}

TEST(WindowPeers, PeersFindEachOthersWindowsAndMessagesArriveWhole)
{
    SessionFolder folder;
    std::mutex lock;
    PeerRequest received;
    WindowPeers player(folder.path(), 4000001);
    ASSERT_TRUE(player.serve([&](const PeerRequest &request) {
        std::lock_guard<std::mutex> guard(lock);
        received = request;
        if (request.kind == PeerRequest::Kind::Find)
            return PeerReply{request.className == std::string("Hoollyphone"), 0x10024};
        return PeerReply{true, static_cast<int64_t>(request.copyData.size())};
    }));
    WindowPeers second(folder.path(), 4000002);

    // The socket of a player that crashed is cleared by the first caller.
    const std::string stale = folder.path() + "/windows." + std::to_string(endedProcess());
    {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, stale.c_str());
        ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        close(fd);
    }

    const auto found = second.find(std::string("Hoollyphone"), std::nullopt);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->process, 4000001);
    EXPECT_EQ(found->handle, 0x10024u);
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_FALSE(second.find(std::string("Other"), std::nullopt));

    const auto sent = second.ask(found->process, copyDataRequest());
    ASSERT_TRUE(sent);
    EXPECT_TRUE(sent->done);
    EXPECT_EQ(sent->value, 10);
    {
        std::lock_guard<std::mutex> guard(lock);
        EXPECT_EQ(encodePeerRequest(received), encodePeerRequest(copyDataRequest()));
    }

    player.withdraw();
    EXPECT_FALSE(second.find(std::nullopt, std::nullopt)) << "a withdrawn player is not found";
}

// The order in which a window hears of its creation, its end and the
// messages sent and posted to it.
#include <gtest/gtest.h>

#include <cstring>

#include "user_test_support.h"

namespace {

using user_test::firstIndexOf;
using user_test::logged;
using user_test::messageLog;

constexpr UINT appMessageA = WM_USER + 1;
constexpr UINT appMessageB = WM_USER + 2;
constexpr UINT appMessageC = WM_USER + 3;

class MessageOrder : public ::testing::Test {
protected:
    void SetUp() override
    {
        messageLog().clear();
        user_test::clearAnswers();
    }
    void TearDown() override { user_test::clearAnswers(); }
};

TEST_F(MessageOrder, CreationMessagesArriveInsideCreateWindowWithTheCreateStruct)
{
    static CREATESTRUCTA seenAtNcCreate;
    static CREATESTRUCTA seenAtCreate;
    static char nameAtCreate[64];
    std::memset(&seenAtNcCreate, 0xCC, sizeof seenAtNcCreate);
    std::memset(&seenAtCreate, 0xCC, sizeof seenAtCreate);
    user_test::answer(WM_NCCREATE, [](HWND window, WPARAM wParam, LPARAM lParam) {
        seenAtNcCreate = *reinterpret_cast<CREATESTRUCTA *>(lParam);
        return DefWindowProcA(window, WM_NCCREATE, wParam, lParam);
    });
    user_test::answer(WM_CREATE, [](HWND window, WPARAM, LPARAM lParam) -> LRESULT {
        seenAtCreate = *reinterpret_cast<CREATESTRUCTA *>(lParam);
        // The default WM_NCCREATE processing has set the window text by now.
        GetWindowTextA(window, nameAtCreate, sizeof nameAtCreate);
        return 0;
    });
    int marker = 42;
    HWND window = CreateWindowExA(0, user_test::loggingClass(), "created", WS_POPUP, 12, 34, 160,
                                  90, nullptr, nullptr, GetModuleHandleA(nullptr), &marker);
    ASSERT_NE(window, nullptr);

    const int ncCreate = firstIndexOf(WM_NCCREATE);
    const int create = firstIndexOf(WM_CREATE);
    ASSERT_GE(ncCreate, 0) << "WM_NCCREATE must arrive before CreateWindowExA returns";
    ASSERT_GE(create, 0) << "WM_CREATE must arrive before CreateWindowExA returns";
    EXPECT_LT(ncCreate, create);
    EXPECT_EQ(messageLog()[ncCreate].window, window);
    for (const CREATESTRUCTA *create : {&seenAtNcCreate, &seenAtCreate}) {
        EXPECT_EQ(create->lpCreateParams, &marker);
        EXPECT_EQ(create->x, 12);
        EXPECT_EQ(create->y, 34);
        EXPECT_EQ(create->cx, 160);
        EXPECT_EQ(create->cy, 90);
        EXPECT_EQ(create->hwndParent, nullptr);
        EXPECT_EQ(static_cast<DWORD>(create->style) & WS_POPUP, static_cast<DWORD>(WS_POPUP));
        EXPECT_EQ(create->dwExStyle & WS_EX_ACCEPTFILES, 0u);
        EXPECT_STREQ(create->lpszName, "created");
    }
    EXPECT_STREQ(nameAtCreate, "created");
    DestroyWindow(window);
}

TEST_F(MessageOrder, CreateReturningMinusOneFailsCreationAndDestroysTheWindow)
{
    user_test::answer(WM_CREATE, [](HWND, WPARAM, LPARAM) -> LRESULT { return -1; });
    HWND window = user_test::createPopup(0, 0, 50, 50);
    EXPECT_EQ(window, nullptr);
    ASSERT_FALSE(logged(WM_NCDESTROY).empty());
    EXPECT_FALSE(IsWindow(logged(WM_NCDESTROY).front().window));
}

TEST_F(MessageOrder, CloseDestroysThroughDefaultProcessingAndTheLoopEndsWithQuit)
{
    user_test::answer(WM_DESTROY, [](HWND, WPARAM, LPARAM) -> LRESULT {
        PostQuitMessage(7);
        return 0;
    });
    HWND window = user_test::createPopup(0, 0, 50, 50);
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);

    MSG message;
    BOOL got;
    int rounds = 0;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0 && ++rounds < 100)
        DispatchMessageA(&message);
    EXPECT_EQ(got, FALSE);
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_FALSE(IsWindow(window));

    const int close = firstIndexOf(WM_CLOSE);
    const int destroy = firstIndexOf(WM_DESTROY);
    const int ncDestroy = firstIndexOf(WM_NCDESTROY);
    ASSERT_GE(close, 0);
    EXPECT_LT(close, destroy);
    EXPECT_LT(destroy, ncDestroy);
}

TEST_F(MessageOrder, SentMessagesAreHandledAtOncePostedOnesInOrderLater)
{
    HWND window = user_test::createPopup(0, 0, 50, 50);
    ASSERT_NE(window, nullptr);
    user_test::pumpPending();
    messageLog().clear();

    EXPECT_TRUE(PostMessageA(window, appMessageA, 1, 0));
    EXPECT_TRUE(PostMessageA(window, appMessageB, 2, 0));
    user_test::answer(appMessageC, [](HWND, WPARAM, LPARAM) -> LRESULT { return 1234; });
    EXPECT_EQ(SendMessageA(window, appMessageC, 3, 0), 1234);
    // The sent message ran inside SendMessageA; the posted ones wait.
    ASSERT_EQ(messageLog().size(), 1u);
    EXPECT_EQ(messageLog()[0].message, appMessageC);

    user_test::pumpPending();
    const int a = firstIndexOf(appMessageA);
    const int b = firstIndexOf(appMessageB);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    EXPECT_LT(a, b);
    DestroyWindow(window);
}

TEST_F(MessageOrder, PaintComesAfterPostedMessagesAndTimersLast)
{
    HWND window = user_test::createPopup(0, 0, 40, 40);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOW);
    user_test::pumpPending();
    messageLog().clear();

    SetTimer(window, 5, 10, nullptr);
    InvalidateRect(window, nullptr, FALSE);
    PostMessageA(window, appMessageA, 0, 0);

    std::vector<UINT> order;
    MSG message;
    while (order.size() < 3 && GetMessageA(&message, window, 0, 0) > 0) {
        order.push_back(message.message);
        DispatchMessageA(&message);
    }
    KillTimer(window, 5);
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(order[0], appMessageA);
    EXPECT_EQ(order[1], static_cast<UINT>(WM_PAINT));
    EXPECT_EQ(order[2], static_cast<UINT>(WM_TIMER));
    DestroyWindow(window);
}

TEST_F(MessageOrder, PostingToAMissingWindowFails)
{
    HWND window = user_test::createPopup(0, 0, 10, 10);
    ASSERT_NE(window, nullptr);
    DestroyWindow(window);
    SetLastError(0);
    EXPECT_FALSE(PostMessageA(window, appMessageA, 0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(SendMessageA(window, appMessageA, 0, 0), 0);
}

TEST_F(MessageOrder, MessagesForADestroyedWindowAreDropped)
{
    HWND window = user_test::createPopup(0, 0, 10, 10);
    ASSERT_NE(window, nullptr);
    PostMessageA(window, appMessageA, 0, 0);
    DestroyWindow(window);
    messageLog().clear();
    PostMessageA(nullptr, appMessageB, 0, 0);  // a thread message marks the end
    MSG message;
    bool sawA = false;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == appMessageA)
            sawA = true;
        if (message.message == appMessageB)
            break;
    }
    EXPECT_FALSE(sawA);
    EXPECT_EQ(message.hwnd, nullptr);
}

TEST_F(MessageOrder, WindowFilterOfGetMessageLeavesOtherWindowsMessagesQueued)
{
    HWND first = user_test::createPopup(0, 0, 10, 10);
    HWND second = user_test::createPopup(0, 0, 10, 10);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    PostMessageA(first, appMessageA, 0, 0);
    PostMessageA(second, appMessageB, 0, 0);
    MSG message;
    ASSERT_GT(GetMessageA(&message, second, 0, 0), 0);
    EXPECT_EQ(message.message, appMessageB);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, appMessageA, appMessageA, PM_REMOVE));
    EXPECT_EQ(message.hwnd, first);
    DestroyWindow(first);
    DestroyWindow(second);
}

TEST_F(MessageOrder, DestroyReachesChildrenAfterTheParentAndNcDestroyBeforeIt)
{
    HWND parent = user_test::createPopup(0, 0, 100, 100);
    HWND child = CreateWindowExA(0, user_test::loggingClass(), "child", WS_CHILD, 5, 5, 20, 20,
                                 parent, reinterpret_cast<HMENU>(77), GetModuleHandleA(nullptr),
                                 nullptr);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetParent(child), parent);
    messageLog().clear();
    DestroyWindow(parent);
    EXPECT_FALSE(IsWindow(child));

    std::vector<HWND> destroyOrder, ncDestroyOrder;
    for (const auto &entry : logged(WM_DESTROY))
        destroyOrder.push_back(entry.window);
    for (const auto &entry : logged(WM_NCDESTROY))
        ncDestroyOrder.push_back(entry.window);
    EXPECT_EQ(destroyOrder, (std::vector<HWND>{parent, child}));
    EXPECT_EQ(ncDestroyOrder, (std::vector<HWND>{child, parent}));
}

}  // namespace

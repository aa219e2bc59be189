// Work handed to the GUI thread: whole calls, and window calls made on other threads.

#include "uitest.h"

#include "platform/ui/guithread.h"
#include "platform/ui/listctrl.h"
#include "platform/ui/messagebox.h"
#include "probeprocess.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace {

TEST(GuiThread, CallsRunOnTheGuiThreadWithOrWithoutWaiting) {
    const std::thread::id gui = std::this_thread::get_id();
    EXPECT_TRUE(IsGuiThread());

    // On the GUI thread: a waiting call runs at once, the other when events are handled.
    std::vector<int> order;
    EXPECT_TRUE(RunOnGuiThread([&order] { order.push_back(1); }, false));
    EXPECT_TRUE(RunOnGuiThread([&order] { order.push_back(2); }, true));
    EXPECT_EQ(order, std::vector<int>{2});
    Pump();
    EXPECT_EQ(order, (std::vector<int>{2, 1}));

    // From a worker: both run on the GUI thread, in the order handed over, and the waiting one
    // has run when the worker goes on.
    std::vector<std::thread::id> threads;
    std::vector<int> seen;
    std::atomic<bool> done{false};
    bool ranBeforeReturn = false;
    std::thread worker([&] {
        EXPECT_FALSE(IsGuiThread());
        RunOnGuiThread(
            [&] {
                threads.push_back(std::this_thread::get_id());
                seen.push_back(1);
            },
            false);
        RunOnGuiThread(
            [&] {
                threads.push_back(std::this_thread::get_id());
                seen.push_back(2);
            },
            true);
        ranBeforeReturn = seen.size() == 2;
        done = true;
    });
    ASSERT_TRUE(WaitFor([&] { return done.load(); }));
    worker.join();
    EXPECT_TRUE(ranBeforeReturn);
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));
    EXPECT_EQ(threads, (std::vector<std::thread::id>{gui, gui}));
}

TEST(GuiThread, WindowCallsFromAWorkerAreDoneOnTheGuiThread) {
    TestWindow window;
    ASSERT_TRUE(window.CreateTop(CRect(0, 0, 100, 80), WS_POPUP));
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 80, 60), &window, 3));
    ASSERT_EQ(list.InsertColumn(0, L"File", LVCFMT_LEFT, 60), 0);
    const std::thread::id gui = std::this_thread::get_id();
    std::mutex mutex;
    std::set<UINT> handled;
    bool offThread = false;
    window.handler = [&](UINT message, WPARAM, LPARAM, LRESULT&) {
        std::lock_guard<std::mutex> lock(mutex);
        handled.insert(message);
        offThread = offThread || std::this_thread::get_id() != gui;
        return false;
    };

    struct Results {
        BOOL shown = FALSE;
        CRect windowRect;
        CRect clientRect;
        CString title;
        BOOL wasDisabled = TRUE;
        BOOL enabled = TRUE;
        int rows = 0;
        CString row;
    } results;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        window.ShowWindow(SW_SHOW);
        results.shown = window.IsWindowVisible();
        window.MoveWindow(20, 30, 240, 160);
        window.GetWindowRect(&results.windowRect);
        window.GetClientRect(&results.clientRect);
        window.SetWindowText(L"from a worker");
        window.GetWindowText(results.title);
        results.wasDisabled = window.EnableWindow(FALSE);
        results.enabled = window.IsWindowEnabled();
        list.InsertItem(0, L"A.avi");
        list.InsertItem(1, L"B.avi");
        results.rows = list.GetItemCount();
        results.row = list.GetItemText(1, 0);
        done = true;
    });
    ASSERT_TRUE(WaitFor([&] { return done.load(); }));
    worker.join();

    EXPECT_TRUE(results.shown);
    EXPECT_EQ(results.windowRect, CRect(20, 30, 260, 190));
    EXPECT_EQ(results.clientRect, CRect(0, 0, 240, 160));
    EXPECT_EQ(std::wstring(results.title), L"from a worker");
    EXPECT_FALSE(results.wasDisabled);
    EXPECT_FALSE(results.enabled);
    EXPECT_EQ(results.rows, 2);
    EXPECT_EQ(std::wstring(results.row), L"B.avi");
    std::lock_guard<std::mutex> lock(mutex);
    for (UINT message : {WM_SHOWWINDOW, WM_SIZE, WM_MOVE, WM_SETTEXT, WM_ENABLE}) {
        EXPECT_EQ(handled.count(message), 1u) << message;
    }
    EXPECT_FALSE(offThread);
}

TEST(GuiThread, WhileTheGuiThreadWaitsForAWorkerTheWorkersCallsFailInsteadOfWaiting) {
    TestWindow window;
    ASSERT_TRUE(window.CreateTop(CRect(0, 0, 50, 50)));
    std::atomic<bool> started{false};
    std::atomic<bool> ran{false};
    bool handedOver = true;
    LRESULT sent = -1;
    int answer = 0;
    std::thread worker([&] {
        started = true;
        handedOver = RunOnGuiThread([&ran] { ran = true; }, true);
        sent = SendMessageW(window.m_hWnd, WM_APP, 0, 0);
        answer = MessageBoxW(nullptr, L"Asked while the GUI thread waits", L"", MB_YESNO);
    });
    while (!started) {
        std::this_thread::yield();
    }
    // Whether the worker's call was already waiting or comes after, the join ends.
    JoinFromGuiThread(worker);
    EXPECT_FALSE(handedOver);
    EXPECT_EQ(sent, 0);
    EXPECT_EQ(answer, IDCANCEL);
    Pump();
    EXPECT_FALSE(ran.load()) << "a refused call never runs";
    EXPECT_TRUE(window.Only({WM_APP}).empty());

    // Afterwards the GUI thread takes calls again.
    std::atomic<bool> later{false};
    std::thread next([&later] { RunOnGuiThread([&later] { later = true; }, true); });
    ASSERT_TRUE(WaitFor([&later] { return later.load(); }));
    next.join();
}

TEST(GuiThread, AfterTheApplicationsLoopNothingWaitsForTheGuiThread) {
    // The end of the loop lasts for the process: seen in a process of its own.
    EXPECT_EQ(RunProbe({"afterloop"}).exitCode, 0);
}

} // namespace

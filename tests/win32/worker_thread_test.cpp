// Work on a thread of its own, and the wait for it on a thread with windows.
#include "ui/worker_thread_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <stdexcept>

#include "base/error.h"

namespace zub {
namespace {

TEST(WorkerThread, RunsTheWorkElsewhereAndWaitsForIt) {
    DWORD workThread = 0;
    std::atomic<bool> done{false};
    {
        TWorkerThread worker([&] {
            Sleep(30);
            workThread = GetCurrentThreadId();
            done = true;
        });
        worker.Wait();
        EXPECT_TRUE(done);
        EXPECT_NE(workThread, GetCurrentThreadId());
        worker.Wait();  // once waited for, a second wait returns at once
    }
    // Without a wait, the object's end waits.
    done = false;
    { TWorkerThread worker([&] { Sleep(30); done = true; }); }
    EXPECT_TRUE(done);
}

// The failure reaches the waiter as an error with its message, once; a
// failure nobody waits for is dropped with the object.
TEST(WorkerThread, WaitRaisesWhatTheWorkRaised) {
    TWorkerThread failing([] { throw Error("Unable to open file (x)"); });
    try {
        failing.Wait();
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Unable to open file (x)");
    }
    EXPECT_NO_THROW(failing.Wait());

    TWorkerThread odd([] { throw 42; });
    EXPECT_THROW(odd.Wait(), Error);
    { TWorkerThread dropped([] { throw std::runtime_error("nobody asks"); }); }
}

LRESULT CALLBACK Answer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) return LRESULT(wParam * 2);
    return DefWindowProcA(window, message, wParam, lParam);
}

// A window the work makes may send messages to the waiting thread's windows
// (activation does): the wait answers them, and leaves posted ones queued.
TEST(WorkerThread, WaitAnswersSentMessagesAndKeepsPostedOnes) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Answer;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "WorkerThreadTest";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "WorkerThreadTest", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(window);
    LRESULT answer = 0;
    TWorkerThread worker([&] {
        PostMessageA(window, WM_APP + 1, 7, 0);
        answer = SendMessageA(window, WM_APP, 21, 0);
    });
    worker.Wait();
    EXPECT_EQ(answer, 42);
    // The object's end without a Wait answers too.
    { TWorkerThread unasked([&] { answer = SendMessageA(window, WM_APP, 5, 0); }); }
    EXPECT_EQ(answer, 10);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, window, WM_APP + 1, WM_APP + 1, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    DestroyWindow(window);
}

}  // namespace
}  // namespace zub

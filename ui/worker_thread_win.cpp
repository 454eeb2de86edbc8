#include "ui/worker_thread_win.h"

#include <process.h>

#include <exception>

#include "base/error.h"

namespace zub {

TWorkerThread::TWorkerThread(std::function<void()> work) : work_(std::move(work)) {
    // _beginthreadex rather than CreateThread: the C runtime then sets the thread up for itself.
    const uintptr_t thread = _beginthreadex(nullptr, 0, ThreadMain, this, 0, nullptr);
    if (thread != 0)
        thread_.reset(reinterpret_cast<HANDLE>(thread));
    else
        Run();
}

TWorkerThread::~TWorkerThread() { Join(); }

unsigned __stdcall TWorkerThread::ThreadMain(void* self) {
    static_cast<TWorkerThread*>(self)->Run();
    return 0;
}

// The message travels, not the exception: what the waiter does with a
// failure is to report it.
void TWorkerThread::Run() noexcept {
    try {
        work_();
    } catch (const std::exception& e) {
        failed_ = true;
        failure_ = e.what();
    } catch (...) {
        failed_ = true;
        failure_ = "Unknown error";
    }
}

// The work may wait for an answer from this thread's windows, also when the
// object ends without a Wait: every wait answers what is sent meanwhile.
void TWorkerThread::Join() {
    if (!thread_.valid()) return;
    const HANDLE thread = thread_.get();
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // delivers what was sent
    }
    WaitForSingleObject(thread, INFINITE);
    thread_.reset();
}

void TWorkerThread::Wait() {
    Join();
    if (failed_) {
        failed_ = false;
        throw Error(failure_);
    }
}

}  // namespace zub

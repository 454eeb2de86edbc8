// A function run on a thread of its own while the caller goes on.
#pragma once

#include <functional>
#include <string>

#include "base/handles_win.h"

namespace zub {

class TWorkerThread {
public:
    // Starts `work`. Where no thread can be made, it runs here and now.
    explicit TWorkerThread(std::function<void()> work);
    // Waits for the work as Wait does; a failure nobody asked for is dropped.
    ~TWorkerThread();
    TWorkerThread(const TWorkerThread&) = delete;
    TWorkerThread& operator=(const TWorkerThread&) = delete;

    // Waits for the work, then raises a zub::Error with the message of what
    // it raised, if anything. Meanwhile messages that other threads send to
    // this thread's windows are answered (a window the work makes sends
    // some), while posted messages and input stay in the queue.
    void Wait();

private:
    static unsigned __stdcall ThreadMain(void* self);
    void Run() noexcept;
    void Join();

    std::function<void()> work_;
    bool failed_ = false;
    std::string failure_;
    UniqueHandle thread_;
};

}  // namespace zub

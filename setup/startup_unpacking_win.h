// The wizard's work folder and payload, made on a thread of their own: the
// work folder is made and the payload unpacked into it (with the unpacking
// progress window, should that take a while) while the program's thread
// makes the wizard's window and controls, and then takes the folder over.
// What lands in the work folder, and in which order, is as before.
#pragma once

#include <string>

#include "archive/zlb_archive.h"
#include "setup/work_folder.h"
#include "ui/worker_thread_win.h"

namespace zub {

class TStartupUnpacking {
public:
    // Starts the work.
    TStartupUnpacking();
    // Waits for the work; a work folder nobody took is removed.
    ~TStartupUnpacking();
    TStartupUnpacking(const TStartupUnpacking&) = delete;
    TStartupUnpacking& operator=(const TStartupUnpacking&) = delete;

    // Waits for the work and hands the work folder (if one was made) to
    // `guard`, also when the work failed; returns the folder's path with a
    // trailing backslash. Raises, as a zub::Error, what the work raised.
    std::string Take(TWorkFolderGuard& guard);
    // Waits for the work and removes its work folder: the start-up failed
    // before the folder was taken.
    void Abandon();

private:
    void Run();

    TZLBArchive Archiver;  // the reader of the payload and the archives nested in it
    TWorkFolderGuard folder_;
    std::string path_;
    TWorkerThread thread_;  // last: it starts once the rest is made, and is waited for first
};

}  // namespace zub

// The application: common controls, the main form and the message loop.
// Every loop of the program (the main one, a modal form's, a test's) hands
// its messages to ProcessMessage, so dialog keys reach the active form.
#pragma once

#include <functional>

#include "ui/form_win.h"

namespace zub {

class TApplication {
public:
    TApplication() = default;
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Shows the main form, calls `whenShown` (if any), then runs the message
    // loop until the main form is closed.
    int Run(TForm& mainForm, const std::function<void()>& whenShown = {});
};

// Loads and registers the common controls (progress bar, tree view) once,
// before the first of them is made; throws where they cannot be loaded.
void UseCommonControls();

// Dispatches one message, after letting the form it belongs to handle
// dialog keys (Tab, Enter, Esc).
void ProcessMessage(const MSG& msg);
// Handles every message waiting now and returns; a quit message is left in
// the queue for the loop that waits for it. False when a quit is pending.
bool ProcessMessages();

// COM and OLE for the GUI thread, for the lifetime of this object.
class TOleSession {
public:
    TOleSession();
    ~TOleSession();
    TOleSession(const TOleSession&) = delete;
    TOleSession& operator=(const TOleSession&) = delete;

private:
    bool initialized_ = false;
};

}  // namespace zub

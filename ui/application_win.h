// The application: common controls, the main form and the message loop.
#pragma once

#include "ui/form_win.h"

namespace zub {

class TApplication {
public:
    TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Shows the main form and runs the message loop until the main form is closed.
    int Run(TForm& mainForm);
};

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

// The start-up timeline: when the environment variable SKINSETUP_TIMELINE
// names a file, the setup records when each start-up step begins and ends
// (on the system's monotonic high-resolution clock, in milliseconds, the
// same clock in every process) and writes the records there at program end,
// for a benchmark to read beside its own clock. When the variable is unset
// a mark costs one test of a flag.
#pragma once

#include <cstddef>
#include <string>

namespace zub::timeline {

// Records that `event` happened now (kept as a pointer: a string literal).
void Mark(const char* event);

// The begin and the end of step NAME, for a step that is no scope.
void Begin(const char* name);
void End(const char* name);

// Records the begin of step NAME when made and its end when gone, also by an exception.
class TStep {
public:
    explicit TStep(const char* name);
    ~TStep();
    TStep(const TStep&) = delete;
    TStep& operator=(const TStep&) = delete;

private:
    const char* name_;
};

// Writes what was recorded to the file, one "MILLISECONDS KIND NAME" a line
// (KIND: "at" for a mark, "begin" or "end" for a step) in the order of the
// records; nothing when the timeline is off.
void Write();

// The records as Write puts them in the file (for the tests).
std::string Format();

// Turns the timeline on into `path`, or off when empty; it starts empty.
// The program's first mark reads the environment variable instead.
void Enable(const std::string& path);

// The clock and the environment, one per platform.
double NowMs();
std::string PathFromEnvironment();

}  // namespace zub::timeline

#include "base/timeline.h"

#include <algorithm>
#include <atomic>

#include "base/file.h"
#include "base/strings.h"

namespace zub::timeline {
namespace {

enum class TKind : char { kMark, kBegin, kEnd };

struct TRecord {
    double ms;
    const char* event;
    TKind kind;
};

const char* const kKindWords[] = {"at", "begin", "end"};

// A start makes a few dozen marks; more than this are dropped, not grown.
constexpr size_t kMaxRecords = 256;

// Steps may be recorded on two threads at once (the start-up unpacks on one
// of its own): each record takes its own slot. The file is written once the
// other thread is done.
struct TState {
    bool known = false;  // whether the environment has been read
    std::string path;
    TRecord records[kMaxRecords];
    std::atomic<size_t> taken{0};
    size_t Count() const { return std::min(taken.load(), kMaxRecords); }
};

TState& State() {
    static TState state;
    return state;
}

}  // namespace

void Enable(const std::string& path) {
    TState& s = State();
    s.known = true;
    s.path = path;
    s.taken = 0;
}

namespace {

// Whether marks are recorded; the environment is read at the first question.
bool On() {
    TState& s = State();
    if (!s.known) Enable(PathFromEnvironment());
    return !s.path.empty();
}

void Record(const char* event, TKind kind) {
    TState& s = State();
    const double ms = NowMs();
    const size_t slot = s.taken.fetch_add(1);
    if (slot < kMaxRecords) s.records[slot] = {ms, event, kind};
}

}  // namespace

void Mark(const char* event) {
    if (On()) Record(event, TKind::kMark);
}

void Begin(const char* name) {
    if (On()) Record(name, TKind::kBegin);
}

void End(const char* name) {
    if (On()) Record(name, TKind::kEnd);
}

TStep::TStep(const char* name) : name_(On() ? name : nullptr) {
    if (name_) Record(name_, TKind::kBegin);
}

TStep::~TStep() {
    if (name_) Record(name_, TKind::kEnd);
}

std::string Format() {
    const TState& s = State();
    std::string text;
    for (size_t i = 0; i < s.Count(); ++i) {
        const TRecord& r = s.records[i];
        text += zub::Format("%.3f %s ", r.ms, kKindWords[int(r.kind)]);
        text += r.event;
        text += '\n';
    }
    return text;
}

void Write() {
    const TState& s = State();
    if (s.path.empty()) return;
    try {
        fs::File file = fs::File::Create(s.path);
        const std::string text = Format();
        file.Write(text.data(), text.size());
        file.Close();
    } catch (...) {
        // A benchmark's file that cannot be written costs the setup nothing.
    }
}

}  // namespace zub::timeline

// Event types of the framework's controls. Handlers are plain function
// objects; an empty one is simply not called.
#pragma once

#include <functional>

namespace zub {

// Something happened to the control that holds the event.
using TNotifyEvent = std::function<void()>;

}  // namespace zub

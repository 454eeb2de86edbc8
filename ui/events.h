// Event types of the framework's controls. Handlers are plain function
// objects; an empty one is simply not called.
#pragma once

#include <functional>

namespace zub {

// Something happened to the control that holds the event.
using TNotifyEvent = std::function<void()>;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
// A mouse button went down or up at (x, y) of the control's client area.
using TMouseEvent = std::function<void(TMouseButton button, int x, int y)>;

}  // namespace zub

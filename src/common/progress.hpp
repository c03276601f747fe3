// The progress tick the scanners call once per tag and once per action record.
#pragma once

#include <functional>

namespace framestow {

// Front ends turn the tick into an animation step; with no listener it costs one test.
using ProgressTick = std::function<void()>;

}  // namespace framestow

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Monotonic time for the animations' waits, as the game sees it. The real clock is
// ui/SteadyClock.h; quillet-tool and the tests use a virtual one.

namespace quillet {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds on a monotonic clock (any origin).
    virtual double now() = 0;
    // Blocks for about the given number of seconds without handling window events.
    virtual void sleep(double seconds) = 0;
};

}  // namespace quillet

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop game's real clock: its sleep is cut into short slices, and between them the window
// answers the window system (HeldInput.h), so a wait never makes the window look hung.

#include "seam/Clock.h"

namespace quillet {

// What the window does while the game waits: nothing the game sees.
class WaitPump {
public:
    virtual ~WaitPump() = default;
    virtual void beginWait() = 0;
    // Handles the window system's traffic that has arrived; returns at once.
    virtual void pump() = 0;
    virtual void endWait() = 0;
};

// Where the clock reads the time and how it sleeps one slice, unless a test steps time of its own.
class TimeSource {
public:
    virtual ~TimeSource() = default;
    virtual double now();  // std::chrono::steady_clock
    virtual void sleepFor(double seconds);
};

TimeSource& systemTime();

class SteadyClock : public Clock {
public:
    // The longest slice of a wait without the window system's traffic handled.
    static constexpr double slice_seconds = 0.05;

    explicit SteadyClock(WaitPump* pump = nullptr, TimeSource& time = systemTime())
        : pump_(pump), time_(time) {}
    double now() override { return time_.now(); }
    void sleep(double seconds) override;

private:
    WaitPump* pump_;
    TimeSource& time_;
};

}  // namespace quillet

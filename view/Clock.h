#pragma once
// Monotonic time for the animations' waits.

namespace quillet {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds on a monotonic clock (any origin).
    virtual double now() = 0;
    // Blocks for about the given number of seconds without handling window events.
    virtual void sleep(double seconds) = 0;
};

// The real clock: std::chrono::steady_clock and std::this_thread::sleep_for.
class SteadyClock : public Clock {
public:
    double now() override;
    void sleep(double seconds) override;
};

}  // namespace quillet

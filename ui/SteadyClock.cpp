// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SteadyClock.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace quillet {

double TimeSource::now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void TimeSource::sleepFor(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

TimeSource& systemTime() {
    static TimeSource time;
    return time;
}

void SteadyClock::sleep(double seconds) {
    if (!(seconds > 0)) return;
    if (!pump_) {
        time_.sleepFor(seconds);
        return;
    }
    // Fixed before the first slice: handling traffic shortens the slices, never the wait.
    const double deadline = now() + seconds;
    pump_->beginWait();
    for (double left = seconds; left > 0; left = deadline - now()) {
        pump_->pump();
        left = deadline - now();
        if (left <= 0) break;
        time_.sleepFor(std::min(left, slice_seconds));
    }
    pump_->endWait();
}

}  // namespace quillet

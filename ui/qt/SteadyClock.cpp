// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/SteadyClock.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace quillet {

double SteadyClock::now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void SteadyClock::sleep(double seconds) {
    if (!(seconds > 0)) return;
    if (!pump_) {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        return;
    }
    // The deadline is fixed before the first slice: handling the window system's traffic
    // shortens the slices after it, never lengthens the wait.
    const double deadline = now() + seconds;
    pump_->beginWait();
    for (double left = seconds; left > 0; left = deadline - now()) {
        pump_->pump();
        left = deadline - now();
        if (left <= 0) break;
        std::this_thread::sleep_for(std::chrono::duration<double>(std::min(left, slice_seconds)));
    }
    pump_->endWait();
}

}  // namespace quillet

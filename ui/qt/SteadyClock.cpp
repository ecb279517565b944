// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/SteadyClock.h"

#include <chrono>
#include <thread>

namespace quillet {

double SteadyClock::now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void SteadyClock::sleep(double seconds) {
    if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

}  // namespace quillet

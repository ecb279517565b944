// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The real clock of the desktop game: std::chrono::steady_clock and std::this_thread::sleep_for.

#include "ui/Clock.h"

namespace quillet {

class SteadyClock : public Clock {
public:
    double now() override;
    void sleep(double seconds) override;
};

}  // namespace quillet

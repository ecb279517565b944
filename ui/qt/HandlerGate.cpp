// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/HandlerGate.h"

namespace quillet::ui {

void HandlerGate::deliver(std::function<void()> handler) {
    queue_.push_back(std::move(handler));
    if (running_) return;
    running_ = true;
    // Reset the flag even if a handler throws, so the window does not go deaf afterwards.
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{running_};
    while (!queue_.empty()) {
        std::function<void()> next = std::move(queue_.front());
        queue_.pop_front();
        if (next) next();
    }
}

}  // namespace quillet::ui

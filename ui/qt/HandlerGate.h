// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One handler at a time: the game's handlers never expect another to start inside them, but a
// message box's loop delivers input; what arrives while one runs waits here, in order.

#include <cstddef>
#include <deque>
#include <functional>

namespace quillet::ui {

class HandlerGate {
public:
    // Runs the handler now, or after the running handler (and those queued before it) returned.
    void deliver(std::function<void()> handler);
    bool running() const { return running_; }
    std::size_t pending() const { return queue_.size(); }

private:
    bool running_ = false;
    std::deque<std::function<void()>> queue_;
};

}  // namespace quillet::ui

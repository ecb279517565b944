// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game's handlers are written for a single-threaded window that never starts one handler
// while another is still running. Qt can deliver input inside a running handler (any nested
// event loop, such as a modal message box, dispatches events), so every handler is started
// through this gate: input that arrives while one runs waits, in order, until it has returned.

#include <cstddef>
#include <deque>
#include <functional>

namespace quillet::ui {

class HandlerGate {
public:
    // Runs the handler now, or after the running handler (and those queued before it) returned.
    void deliver(std::function<void()> handler);
    bool running() const { return running_; }
    // Called each time the last waiting handler has returned.
    void whenIdle(std::function<void()> idle) { idle_ = std::move(idle); }
    std::size_t pending() const { return queue_.size(); }

private:
    bool running_ = false;
    std::deque<std::function<void()>> queue_;
    std::function<void()> idle_;
};

}  // namespace quillet::ui

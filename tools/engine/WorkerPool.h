// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one worker pool of the tools: independent searches over a list of positions, shared out
// index by index to a few threads.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

namespace quillet::engine {

// True at most once an interval; the first interval starts at construction.
class Throttle {
public:
    explicit Throttle(std::chrono::steady_clock::duration interval)
        : interval_(interval), last_(std::chrono::steady_clock::now()) {}
    bool due() {
        const auto now = std::chrono::steady_clock::now();
        if (now - last_ <= interval_) return false;
        last_ = now;
        return true;
    }

private:
    std::chrono::steady_clock::duration interval_;
    std::chrono::steady_clock::time_point last_;
};

// Calls a worker on every index in [0, count), each once, on up to `threads` threads (the
// calling one among them). Each thread makes its own worker with makeWorker(), so what one
// search needs for itself (a transposition table, a game) is never shared. After an index is
// done, and when `throttle` is due, report(done so far) runs under a lock.
template <class MakeWorker, class Report>
void forEachIndex(std::size_t count, int threads, MakeWorker&& makeWorker, Throttle& throttle,
                  Report&& report) {
    if (count == 0) return;
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> done{0};
    std::mutex reportMutex;
    auto run = [&] {
        auto worker = makeWorker();
        for (std::size_t i = next++; i < count; i = next++) {
            worker(i);
            ++done;
            std::lock_guard<std::mutex> lock(reportMutex);
            if (throttle.due()) report(done.load());
        }
    };
    std::vector<std::thread> pool;
    const int used =
        static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(std::max(1, threads)), count));
    for (int t = 1; t < used; ++t) pool.emplace_back(run);
    run();
    for (auto& t : pool) t.join();
}

}  // namespace quillet::engine

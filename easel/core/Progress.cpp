#include "Progress.h"

#include <chrono>
#include <cstdio>
#include <limits>

namespace easel {

namespace {
double steadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

Progress::Progress() : clock_(steadySeconds) {}

void Progress::setClock(Clock clock) { clock_ = clock ? std::move(clock) : Clock(steadySeconds); }

void Progress::setReporter(Reporter reporter) { reporter_ = std::move(reporter); }

void Progress::setThreshold(double seconds) { threshold_ = seconds; }

void Progress::setInterval(double seconds) { interval_ = seconds; }

void Progress::begin(std::string what) {
    if (depth_++ > 0) return;
    const double now = clock_();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        what_ = std::move(what);
        start_ = now;
        objects_.store(0, std::memory_order_relaxed);
        busy_.store(true, std::memory_order_release);
    }
    lastReport_ = -std::numeric_limits<double>::infinity();  // the first report waits for the threshold alone
}

void Progress::end() {
    if (depth_ == 0 || --depth_ > 0) return;
    std::lock_guard<std::mutex> lock(mutex_);
    busy_.store(false, std::memory_order_release);
    what_.clear();
}

void Progress::tick(uint64_t made) {
    if (!busy_.load(std::memory_order_relaxed)) return;
    // tick(0) (an edit) only looks: no atomic add for it.
    const uint64_t objects = made ? objects_.fetch_add(made, std::memory_order_relaxed) + made
                                  : objects_.load(std::memory_order_relaxed);
    if (!reporter_) return;
    const double now = clock_();
    // start_ and what_ change only on this thread, so reading them here
    // without the lock races with nothing.
    if (now - start_ < threshold_ || now - lastReport_ < interval_) return;
    lastReport_ = now;
    reports_.fetch_add(1, std::memory_order_relaxed);
    reporter_(what_, objects, now - start_);
}

ProgressSnapshot Progress::snapshot() const {
    ProgressSnapshot s;
    double start = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        s.busy = busy_.load(std::memory_order_acquire);
        if (!s.busy) return s;
        s.what = what_;
        start = start_;
        s.objects = objects_.load(std::memory_order_relaxed);
    }
    s.elapsedSeconds = clock_() - start;
    return s;
}

std::string progressLine(const std::string& what, uint64_t objects, double seconds) {
    std::string count = std::to_string(objects);
    for (size_t i = count.size(); i > 3; i -= 3) count.insert(i - 3, ",");
    char time[32];
    std::snprintf(time, sizeof time, "%.1f", seconds);
    return what + ": " + count + (objects == 1 ? " object" : " objects") + " made, " + time + " s";
}

Progress& progress() {
    static Progress monitor;
    return monitor;
}

}  // namespace easel

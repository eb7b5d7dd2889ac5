// Progress of the plug-in event the host is running. The plug-ins have no way
// to report progress themselves, so the host does it for them: the loader
// marks the start and end of every tool message, the document model ticks the
// monitor for every art node it makes, and while one event runs longer than a
// threshold a reporter is called now and then with what is running, how many
// objects it has made and for how long. Other threads (a server answering
// requests while the host thread is busy) read it through snapshot().
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

namespace easel {

struct ProgressSnapshot {
    bool busy = false;
    std::string what;           // e.g. "ZR5 Rows Columns drag event 12"; empty when idle
    uint64_t objects = 0;       // art nodes made since the event began
    double elapsedSeconds = 0;  // since the event began
};

class Progress {
public:
    // Monotonic seconds; must be safe to call from any thread.
    using Clock = std::function<double()>;
    // Called on the host thread from within tick().
    using Reporter = std::function<void(const std::string& what, uint64_t objects, double seconds)>;

    Progress();

    // Set these on the host thread while no event runs.
    void setClock(Clock clock);              // nullptr: the steady clock
    void setReporter(Reporter reporter);     // nullptr: no reports
    void setThreshold(double seconds);       // first report once an event is this old
    void setInterval(double seconds);        // at least this long between two reports
    double threshold() const { return threshold_; }
    double interval() const { return interval_; }

    // Host thread. A nested begin() (a message sent from within a message)
    // belongs to the outer event: only the outermost pair counts.
    void begin(std::string what);
    void end();
    // `made` more art nodes exist; reports when the event is slow enough and
    // the last report is old enough. Does nothing while idle.
    void tick(uint64_t made = 1);

    // Any thread.
    ProgressSnapshot snapshot() const;
    // Reports made since the process started (for tests and summaries).
    uint64_t reports() const { return reports_.load(std::memory_order_relaxed); }

    // begin() on construction, end() on destruction.
    class Event {
    public:
        Event(Progress& p, std::string what) : p_(p) { p_.begin(std::move(what)); }
        ~Event() { p_.end(); }
        Event(const Event&) = delete;
        Event& operator=(const Event&) = delete;

    private:
        Progress& p_;
    };

private:
    Clock clock_;
    Reporter reporter_;
    double threshold_ = 0.5;
    double interval_ = 0.5;
    int depth_ = 0;                 // host thread only
    double lastReport_ = 0;         // host thread only
    mutable std::mutex mutex_;      // guards what_ and start_ against readers
    std::string what_;
    double start_ = 0;
    std::atomic<bool> busy_{false};
    std::atomic<uint64_t> objects_{0};
    std::atomic<uint64_t> reports_{0};
};

// The host's one monitor.
Progress& progress();

// One report as a line of text: "<what>: 412,000 objects made, 1.5 s".
std::string progressLine(const std::string& what, uint64_t objects, double seconds);

}  // namespace easel

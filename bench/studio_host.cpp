// The studio host's share of a pointer move: Rows Columns following the
// mouse over 10,000 objects (10 x 10 copies of 100 selected squares) and
// 90,000 (300 x 300 copies of one), as the page drives it, without the
// transfer and the page's painting.
//   BM_StudioMove          the move command as the host thread runs it, the
//                          answer made into the text the page is sent
//   BM_StudioMoveSteps     the same move in its steps, each a counter (ms):
//                          undo (taking back the previous event's copies),
//                          event (the plug-in's drag event without that undo),
//                          state (the answer's JSON) and picture (the changes
//                          since the page's picture, in binary), each in the
//                          host thread's CPU time, which other work on the
//                          machine does not lengthen
#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>

#include "BenchHost.h"
#include "studio/StudioHost.h"

namespace {

using namespace easel;
using studio::json;

// This thread's CPU time in milliseconds.
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// A studio host on `paths` selected squares with Rows Columns set to
// rows x rows, its drag started: what the page has after mouse down.
struct Studio {
    studio::Host m;
    std::string error;
    uint64_t have = 0;
    int moves = 0;

    Studio(int paths, int rows) {
        if (!bench::host().ok()) {
            error = bench::host().error();
            return;
        }
        if (!bench::host().options("Rows Columns", {{20, static_cast<double>(rows), {}}, {21, static_cast<double>(rows), {}}},
                                   error))
            return;
        m.doc = newDocument(1000, 800);
        const int side = static_cast<int>(std::ceil(std::sqrt(paths)));
        for (int i = 0; i < paths; ++i) {
            const auto x = static_cast<float>(20 + (i % side) * 12), y = static_cast<float>(20 + (i / side) * 12);
            Art* a = nullptr;
            m.doc->newRect(y + 8, x, y, x + 8, false, &a);
            m.doc->setSelected(a, true);
        }
        m.doc->clearHistory();
        hostState().document = m.doc.get();
        hostState().random.reseed(1);
        m.rec.start(*m.doc, {"Brivane", "Kestova"}, 1);
        // The studio's session is the benchmarks' own: the plug-ins start once.
        m.session.reset(&bench::host().session());
        json r = studio::runCommand(m, {{"op", "down"}, {"tool", "Rows Columns"}, {"x", 40}, {"y", 40}});
        if (!r.value("ok", false)) error = r.dump();
        have = m.stream.write(*m.doc, 0).empty() ? 0 : m.stream.version();
    }
    ~Studio() {
        if (m.drag) studio::runCommand(m, {{"op", "up"}});
        (void)m.session.release();
        hostState().document = nullptr;
    }
    AIRealPoint next() {
        const double t = moves++;
        return {static_cast<float>(300 + 250 * std::cos(t / 15)), static_cast<float>(350 + 200 * std::sin(t / 11))};
    }
};

void BM_StudioMove(benchmark::State& state) {
    Studio s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    if (!s.error.empty()) {
        state.SkipWithError(s.error.c_str());
        return;
    }
    size_t bytes = 0;
    for (auto _ : state) {
        const AIRealPoint p = s.next();
        s.m.pictureHave = s.have;
        json r = studio::runCommand(s.m, {{"op", "move"}, {"x", p.h}, {"y", p.v}, {"picture", s.have}});
        const std::string text = r.dump(-1, ' ', false, json::error_handler_t::replace);
        bytes = text.size() + s.m.picture.size();
        s.have = s.m.stream.version();
    }
    state.counters["objects"] = static_cast<double>(s.m.doc->artNodes());
    state.counters["answerKB"] = static_cast<double>(bytes) / 1e3;
}
BENCHMARK(BM_StudioMove)->Args({100, 10})->Args({1, 300})->Unit(benchmark::kMillisecond)->Iterations(40);

void BM_StudioMoveSteps(benchmark::State& state) {
    Studio s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    if (!s.error.empty()) {
        state.SkipWithError(s.error.c_str());
        return;
    }
    double undo = 0, event = 0, answer = 0, picture = 0;
    for (auto _ : state) {
        const AIRealPoint p = s.next();
        double t = cpuMs();
        s.m.doc->undoChanges();  // what the plug-in's event does first
        undo += cpuMs() - t;
        t = cpuMs();
        s.m.drag->run->move(p, 0, 0);
        event += cpuMs() - t;
        t = cpuMs();
        benchmark::DoNotOptimize(s.m.state(false).dump());
        answer += cpuMs() - t;
        t = cpuMs();
        benchmark::DoNotOptimize(s.m.stream.write(*s.m.doc, s.have));
        picture += cpuMs() - t;
        s.have = s.m.stream.version();
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["undo_ms"] = undo / n;
    state.counters["event_ms"] = event / n;
    state.counters["state_ms"] = answer / n;
    state.counters["picture_ms"] = picture / n;
}
BENCHMARK(BM_StudioMoveSteps)->Args({100, 10})->Args({1, 300})->Unit(benchmark::kMillisecond)->Iterations(40);

}  // namespace

BENCHMARK_MAIN();

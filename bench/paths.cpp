// Path booleans at scale: a 10 x 10 grid of overlapping five-pointed stars
// (the copies Rows Columns lays out, made here by duplicates at the grid's
// steps) united into one shape; the result's anchor count is reported.
#include <benchmark/benchmark.h>

#include <string>

#include "edit/Edit.h"

namespace {

using namespace easel;
using edit::json;

size_t anchorsOf(const Art& a) {
    size_t n = a.segmentCount();
    for (const Art* m = a.firstChild(); m; m = m->next()) n += anchorsOf(*m);
    return n;
}

void BM_UniteStarGrid(benchmark::State& state) {
    auto doc = newDocument(1000, 1000);
    edit::Clipboard clip;
    auto run = [&](const json& e) {
        edit::Outcome r = edit::run(*doc, clip, e);
        if (!r.error.empty()) state.SkipWithError(r.error.c_str());
        return r.made;
    };
    run({{"op", "create"}, {"shape", "star"}, {"center", {100, 100}}, {"radius", 30}, {"inner", 14}, {"points", 5}});
    // Each duplicate copies the last copies made (they are the selection).
    for (int col = 1; col < 10; ++col) run({{"op", "duplicate"}, {"by", {45, 0}}});
    run({{"op", "selectAll"}});
    for (int row = 1; row < 10; ++row) run({{"op", "duplicate"}, {"by", {0, 45}}});
    run({{"op", "selectAll"}});
    size_t anchors = 0;
    for (auto _ : state) {
        const std::vector<int64_t> made = run({{"op", "union"}});
        if (made.empty()) return;
        anchors = anchorsOf(*doc->findById(made[0]));
        state.PauseTiming();
        doc->undo();
        run({{"op", "selectAll"}});
        state.ResumeTiming();
    }
    state.counters["anchors"] = static_cast<double>(anchors);
    state.counters["stars"] = 100;
}
BENCHMARK(BM_UniteStarGrid)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

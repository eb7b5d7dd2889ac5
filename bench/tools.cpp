// Each of the fourteen tools with its counts at the largest its dialog
// allows: one drag event on the first path of examples/grid-shapes.json
// (selected), the time it takes and the objects it makes.
#include <benchmark/benchmark.h>

#include "BenchHost.h"

namespace {

using namespace easel;

struct ToolRun {
    const char* tool;
    std::vector<int32_t> counts;  // dialog items set to their maximum
};

const ToolRun kTools[] = {
    {"Rows Columns", {20, 21}}, {"Drag", {38}},        {"Soft center", {50}},       {"Framed", {70, 71}},
    {"Rim random", {90}},       {"Windmill", {110}},   {"Scaledown", {140}},        {"Bouncealong", {180}},
    {"Spiraled", {200, 207}},   {"Checkerboard", {230, 231}}, {"Paint", {}},       {"Tile", {}},
    {"Background", {290}},      {"KestovaTool", {}},
};

void BM_ToolDragEvent(benchmark::State& state) {
    const ToolRun& run = kTools[state.range(0)];
    state.SetLabel(run.tool);
    if (!bench::host().ok()) {
        state.SkipWithError(bench::host().error().c_str());
        return;
    }
    std::vector<adm::SetAction> sets;
    for (int32_t id : run.counts) sets.push_back({id, 1e9, {}});  // clamped to the item's maximum
    std::string error;
    if (!run.counts.empty() && !bench::host().options(run.tool, sets, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    double made = 0;
    for (auto _ : state) {
        auto doc = bench::gridShapes();
        doc->deselectAll();
        doc->selectById(1);
        const size_t before = bench::artCount(*doc);
        const double seconds = bench::host().drag(*doc, run.tool, {58, 378}, {540, 60});
        made = static_cast<double>(bench::artCount(*doc)) - static_cast<double>(before);
        hostState().document = nullptr;
        state.SetIterationTime(seconds);
    }
    state.counters["objects"] = made;
}
BENCHMARK(BM_ToolDragEvent)->DenseRange(0, 13)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();

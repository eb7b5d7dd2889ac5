// Large documents in and out: the 90,000-object grid (Rows Columns 300 x 300
// of one path of examples/grid-shapes.json) written and read as JSON, drawn
// to a 1000 px PNG, and its SVG read. Targets, on the machine the README
// names: write < 0.5 s with peak memory under twice the file, read < 0.5 s,
// render < 1 s, SVG read < 1.5 s. Each row prints its time and figures.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "BenchHost.h"
#include "io/render/Render.h"
#include "io/svg/SvgExport.h"
#include "io/svg/SvgImport.h"

namespace {

using namespace easel;

// Resident and peak resident memory in bytes (VmRSS, VmHWM).
size_t procStatus(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0) return std::stoull(line.substr(std::string(key).size() + 1)) * 1024;
    }
    return 0;
}
// Starts a fresh peak: VmHWM falls back to the current resident size.
void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

struct Big {
    std::unique_ptr<Document> doc;
    std::string json;
    std::string svg;
    std::string error;
};

const Big& big() {
    static Big b = [] {
        Big r;
        r.doc = bench::gridShapes();
        if (!r.doc || !bench::host().ok()) {
            r.error = "cannot start: " + bench::host().error();
            return r;
        }
        r.doc->deselectAll();
        r.doc->selectById(1);
        std::string error;
        if (!bench::host().options("Rows Columns", {{20, 300, {}}, {21, 300, {}}}, error)) {
            r.error = "options: " + error;
            return r;
        }
        bench::host().drag(*r.doc, "Rows Columns", {58, 378}, {540, 60});
        hostState().document = nullptr;
        r.json = writeDocumentJson(*r.doc);
        r.svg = writeSvg(*r.doc);
        return r;
    }();
    return b;
}

bool ready(benchmark::State& state) {
    if (!big().error.empty()) state.SkipWithError(big().error.c_str());
    return big().error.empty();
}

void BM_WriteJson(benchmark::State& state) {
    if (!ready(state)) return;
    const std::string path = (std::filesystem::temp_directory_path() / "easel-bench-write.json").string();
    size_t peak = 0;
    const size_t before = procStatus("VmRSS:");
    for (auto _ : state) {
        resetPeak();
        std::string error;
        if (!run::writeDocumentFile(path, *big().doc, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        peak = std::max(peak, procStatus("VmHWM:"));
    }
    const double file = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
    state.counters["objects"] = static_cast<double>(bench::artCount(*big().doc));
    state.counters["fileMB"] = file / 1e6;
    state.counters["peakMB"] = static_cast<double>(peak) / 1e6;
    state.counters["addedMB"] = static_cast<double>(peak > before ? peak - before : 0) / 1e6;
}
BENCHMARK(BM_WriteJson)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadJson(benchmark::State& state) {
    if (!ready(state)) return;
    for (auto _ : state) {
        std::unique_ptr<Document> doc;
        std::string error;
        if (!readDocumentJson(big().json, doc, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(doc.get());
    }
    state.counters["fileMB"] = static_cast<double>(big().json.size()) / 1e6;
}
BENCHMARK(BM_ReadJson)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RenderPng(benchmark::State& state) {
    if (!ready(state)) return;
    Image image;
    std::string png;
    for (auto _ : state) {
        std::string error;
        if (!renderDocument(*big().doc, RenderSize{1000, 0}, image, error) || !encodePng(image, png, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
    }
    state.counters["width"] = image.width;
    state.counters["height"] = image.height;
    state.counters["pngKB"] = static_cast<double>(png.size()) / 1e3;
}
BENCHMARK(BM_RenderPng)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadSvg(benchmark::State& state) {
    if (!ready(state)) return;
    size_t peak = 0;
    for (auto _ : state) {
        resetPeak();
        std::unique_ptr<Document> doc;
        SvgReport report;
        std::string error;
        if (!readSvg(big().svg, doc, report, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        peak = std::max(peak, procStatus("VmHWM:"));
    }
    state.counters["fileMB"] = static_cast<double>(big().svg.size()) / 1e6;
    state.counters["peakMB"] = static_cast<double>(peak) / 1e6;
}
BENCHMARK(BM_ReadSvg)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();

// Large documents in and out: the 90,000-object grid (Rows Columns 300 x 300
// of one path of examples/grid-shapes.json) written and read as JSON, drawn
// to a 1000 px PNG, and its SVG read; the drawing and the SVG read also for
// the 10,000-object grid (100 x 100), each with its steps as counters (ms);
// the render also from the grids' JSON, as `easel render` reads it.
// Targets, on the machine the README names: write < 0.5 s with peak memory
// under twice the file, read < 0.5 s, render < 1 s, SVG read < 1.5 s. Each
// row prints its time and figures. Rows that draw in threads are timed by
// the clock.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "BenchHost.h"
#include "io/render/Render.h"
#include "io/svg/SvgExport.h"
#include "io/svg/SvgImport.h"
#include "io/svg/SvgStreamParser.h"

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

// The grid of rows x rows copies.
const Big& big(int rows = 300) {
    static std::map<int, Big> made;
    if (auto it = made.find(rows); it != made.end()) return it->second;
    Big& r = made[rows];
    r.doc = bench::gridShapes();
    if (!r.doc || !bench::host().ok()) {
        r.error = "cannot start: " + bench::host().error();
        return r;
    }
    r.doc->deselectAll();
    r.doc->selectById(1);
    std::string error;
    if (!bench::host().options("Rows Columns", {{20, static_cast<double>(rows), {}}, {21, static_cast<double>(rows), {}}},
                               error)) {
        r.error = "options: " + error;
        return r;
    }
    bench::host().drag(*r.doc, "Rows Columns", {58, 378}, {540, 60});
    hostState().document = nullptr;
    r.json = writeDocumentJson(*r.doc);
    r.svg = writeSvg(*r.doc);
    return r;
}

using Clock = std::chrono::steady_clock;
double msSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

bool ready(benchmark::State& state, int rows = 300) {
    if (!big(rows).error.empty()) state.SkipWithError(big(rows).error.c_str());
    return big(rows).error.empty();
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

// Draws `doc` 1000 px wide and writes the PNG, adding the times of each
// step; false (the benchmark told why) when either fails.
bool drawAndEncode(benchmark::State& state, const Document* doc, std::string& png, double& draw, double& encode) {
    Image image;
    std::string error;
    auto t = Clock::now();
    const bool drawn = doc && renderDocument(*doc, RenderSize{1000, 0}, image, error);
    draw += msSince(t);
    t = Clock::now();
    if (!drawn || !encodePng(image, png, error)) {
        state.SkipWithError(error.c_str());
        return false;
    }
    encode += msSince(t);
    return true;
}

void BM_RenderPng(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    if (!ready(state, rows)) return;
    std::string png;
    double draw = 0, encode = 0;
    for (auto _ : state) {
        if (!drawAndEncode(state, big(rows).doc.get(), png, draw, encode)) return;
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["objects"] = static_cast<double>(bench::artCount(*big(rows).doc));
    state.counters["draw_ms"] = draw / n;
    state.counters["png_ms"] = encode / n;
    state.counters["pngKB"] = static_cast<double>(png.size()) / 1e3;
}
BENCHMARK(BM_RenderPng)->Arg(300)->Arg(100)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// What `easel render DOC.json` does: the document read from its JSON (each
// path with a geometry of its own), drawn and written as PNG.
void BM_RenderJson(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    if (!ready(state, rows)) return;
    std::string png;
    double read = 0, draw = 0, encode = 0;
    for (auto _ : state) {
        std::unique_ptr<Document> doc;
        std::string error;
        const auto t = Clock::now();
        if (!readDocumentJson(big(rows).json, doc, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        read += msSince(t);
        if (!drawAndEncode(state, doc.get(), png, draw, encode)) return;
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["read_ms"] = read / n;
    state.counters["draw_ms"] = draw / n;
    state.counters["png_ms"] = encode / n;
}
BENCHMARK(BM_RenderJson)->Arg(300)->Arg(100)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// The SVG read, and its steps: the XML parse alone (the stream's parser
// read through, each element given in turn, the blocks of those read used
// again) and the whole read, in which a large file's parse runs on a thread
// of its own beside the walk that builds the document, so that the read
// takes about the longer of the two; whole_ms: the same file read whole, its
// XML tree built first, as files with references are read.
void BM_ReadSvg(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    if (!ready(state, rows)) return;
    const std::string& svg = big(rows).svg;
    size_t peak = 0;
    double total = 0, parse = 0, whole = 0;
    for (auto _ : state) {
        resetPeak();
        std::unique_ptr<Document> doc;
        SvgReport report;
        std::string error;
        auto t = Clock::now();
        if (!readSvg(svg, doc, report, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        total += msSince(t);
        peak = std::max(peak, procStatus("VmHWM:"));
        state.PauseTiming();
        doc.reset();
        t = Clock::now();
        {
            svg::StreamParser parser(svg);
            xmlNodePtr root = parser.next().node;
            for (svg::StreamParser::Item it = parser.next();
                 it.kind != svg::StreamParser::Kind::End || it.node != root; it = parser.next()) {
            }
            parser.finish();
        }
        parse += msSince(t);
        SvgLimits wholeTree;
        wholeTree.stream = false;
        t = Clock::now();
        readSvg(svg, doc, report, error, wholeTree);
        whole += msSince(t);
        doc.reset();
        state.ResumeTiming();
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["fileMB"] = static_cast<double>(svg.size()) / 1e6;
    state.counters["peakMB"] = static_cast<double>(peak) / 1e6;
    state.counters["xml_ms"] = parse / n;
    state.counters["read_ms"] = total / n;
    state.counters["whole_ms"] = whole / n;
}
BENCHMARK(BM_ReadSvg)->Arg(300)->Arg(100)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();

// Copies at scale: one drag event of a tool duplicates and transforms many
// copies of a path, and the next event takes them all back with UndoChanges.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "model/Document.h"

namespace {

using namespace easel;

Art* bigPath(Document& doc, size_t segments) {
    Art* a = nullptr;
    doc.newArt(kPathArt, kPlaceAboveAll, nullptr, &a);
    std::vector<AIPathSegment> segs(segments);
    for (size_t i = 0; i < segments; ++i) {
        const float t = static_cast<float>(i) * 0.01f;
        const AIRealPoint p{100 * std::cos(t) + t, 100 * std::sin(t)};
        segs[i] = AIPathSegment{p, {p.h - 1, p.v}, {p.h + 1, p.v}, 0};
    }
    doc.setSegmentCount(a, segments);
    doc.setSegments(a, 0, segments, segs.data());
    doc.setClosed(a, true);
    return a;
}

// Duplicate, transform (translate + rotate + scale, line scale), undo all.
void BM_CopiesCycle(benchmark::State& state) {
    const auto copies = static_cast<int>(state.range(0));
    auto doc = newDocument();
    Art* src = bigPath(*doc, 1000);
    doc->clearHistory();
    doc->beginUndoContext();
    for (auto _ : state) {
        for (int i = 0; i < copies; ++i) {
            Art* copy = nullptr;
            if (doc->duplicateArt(src, i % 2 ? kPlaceAboveAll : kPlaceBelowAll, src, &copy) != kNoErr) {
                state.SkipWithError("duplicate failed");
                return;
            }
            const float angle = static_cast<float>(i) * 0.001f;
            const float c = std::cos(angle), s = std::sin(angle), k = 0.5f + static_cast<float>(i % 7) * 0.1f;
            // Translate, then rotate, then scale.
            const AIRealMatrix m{c * k, s * k, -s * k, c * k, static_cast<float>(i % 100) * c * k,
                                 static_cast<float>(i % 100) * s * k};
            doc->transformArt(copy, m, k, kTransformObjects | kTransformFillGradients | kScaleLines);
        }
        doc->undoChanges();
    }
    state.SetItemsProcessed(state.iterations() * copies);
}
BENCHMARK(BM_CopiesCycle)->Arg(10000)->Unit(benchmark::kMillisecond);

// The same copies kept in the document: what they cost in memory, reported
// as bytes per copy next to the bytes of the path's own points.
void BM_CopiesKept(benchmark::State& state) {
    const auto copies = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto doc = newDocument();
        Art* src = bigPath(*doc, 1000);
        doc->beginUndoContext();
        for (int i = 0; i < copies; ++i) {
            Art* copy = nullptr;
            doc->duplicateArt(src, kPlaceAboveAll, src, &copy);
            doc->transformArt(copy, AIRealMatrix{1, 0, 0, 1, static_cast<float>(i), 0}, 1, kTransformObjects);
        }
        doc->commitUndoContext();
        benchmark::DoNotOptimize(doc.get());
    }
    state.counters["pathBytes"] = static_cast<double>(1000 * sizeof(AIPathSegment));
    state.counters["artNodeBytes"] = static_cast<double>(sizeof(Art));
}
BENCHMARK(BM_CopiesKept)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// Real files no one here wrote import, the import written back as SVG draws
// like the original under librsvg, and what is written once reads back and
// writes the same again. Every file drawn differently says why in its import
// report.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <set>

#include "CorpusSample.h"
#include "io/json/DocumentJson.h"
#include "io/render/Render.h"
#include "tests/support/PictureDifference.h"
#include "io/svg/SvgExport.h"
#include "io/svg/SvgImport.h"

// librsvg draws the files' text (fontconfig's caches live as long as the
// process) and parses their DTDs itself (libxml2 keeps entity values of some
// it refuses): neither is this program's to free.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:xmlParseEntityValue\n";
}

namespace easel {
namespace {

using corpus::File;

constexpr int kSide = 48;              // both pictures, pixels a side
constexpr double kThreshold = 0.01;    // mean absolute difference, share of full scale


// An import note without what names one file's values: the quoted parts and
// the count ("gradientTransform "…" is singular; gradient drawn approximately").
std::string causeOf(std::string note) {
    if (const size_t times = note.rfind(", "); times != std::string::npos && note.find(" time", times) != std::string::npos)
        note.erase(times);
    for (size_t open = note.find('"'); open != std::string::npos; open = note.find('"', open + 3)) {
        const size_t close = note.find('"', open + 1);
        if (close == std::string::npos) break;
        note.replace(open, close - open + 1, "\"…\"");
    }
    return note;
}

struct Outcome {
    const File* file = nullptr;
    std::string refused;      // why the file, or what was written of it, did not read
    std::string undrawn;      // why what was written is not drawn like the original is
    bool compared = false;    // librsvg draws the original
    double diff = 0;
    bool settled = false;     // written, read and written again: the same text
    size_t settleAt = 0;      // where the two writes part
    std::vector<std::string> notes;
    bool same() const { return compared && diff < kThreshold; }
};

Outcome roundTrip(const File& f) {
    Outcome o;
    o.file = &f;
    std::unique_ptr<Document> doc, again;
    SvgReport report, reportAgain;
    if (!readSvg(f.text, doc, report, o.refused)) return o;
    o.notes = report.notes;
    const std::string written = writeSvg(*doc);
    std::string error;
    if (!readSvg(written, again, reportAgain, error)) {
        o.refused = "its SVG as written does not read back: " + error;
        return o;
    }
    // What easel writes is mostly read as it streams in: read whole, it gives
    // the same document and notes.
    SvgLimits whole;
    whole.stream = false;
    std::unique_ptr<Document> wholeRead;
    SvgReport reportWhole;
    if (!readSvg(written, wholeRead, reportWhole, error, whole) ||
        writeDocumentJson(*wholeRead) != writeDocumentJson(*again) || reportWhole.notes != reportAgain.notes) {
        o.refused = "its SVG as written reads otherwise as a stream than whole";
        return o;
    }
    const std::string rewritten = writeSvg(*again);
    o.settled = rewritten == written;
    o.settleAt = std::mismatch(written.begin(), written.end(), rewritten.begin(), rewritten.end()).first - written.begin();
    // Both drawn kSide pixels wide at their own size, as viewers show them (a
    // file whose viewBox has another aspect than its width and height is drawn
    // centred in them), or else (no size of its own) fitted into a square.
    Image original, roundTripped;
    if (!(renderSvg(f.text, RenderSize{kSide, 0}, original, error) &&
          renderSvg(written, RenderSize{kSide, 0}, roundTripped, error) && original.height == roundTripped.height)) {
        if (!renderSvgFitted(f.text, kSide, kSide, original, error)) return o;  // librsvg cannot draw it either
        if (!renderSvgFitted(written, kSide, kSide, roundTripped, error)) {
            o.compared = true, o.diff = 1;
            o.undrawn = "librsvg does not draw the SVG written: " + error;
            return o;
        }
    }
    o.compared = true;
    o.diff = test::pictureDifference(original, roundTripped);
    return o;
}

double share(size_t n, size_t of) { return of ? 100.0 * static_cast<double>(n) / static_cast<double>(of) : 0.0; }

// Per source: files, what they hold, and how they fared.
void printSources(const std::vector<Outcome>& outcomes, const std::map<std::string, size_t>& found) {
    struct Tally {
        size_t files = 0, imported = 0, compared = 0, same = 0, settled = 0;
        std::array<size_t, corpus::kFeatureCount> features{};
    };
    std::map<std::string, Tally> bySource;
    Tally all;
    for (const Outcome& o : outcomes) {
        for (Tally* t : {&bySource[o.file->source], &all}) {
            ++t->files;
            t->imported += o.refused.empty();
            t->compared += o.compared;
            t->same += o.same();
            t->settled += o.settled;
            for (size_t i = 0; i < corpus::kFeatureCount; ++i) t->features[i] += o.file->features[i];
        }
    }
    std::printf("\n%-20s %6s %6s %9s %8s %7s %8s |", "source", "found", "files", "imported", "compared", "same",
                "settled");
    for (size_t i = 0; i < corpus::kFeatureCount; ++i) std::printf(" %s |", corpus::featureName(i));
    std::printf("\n");
    auto row = [&](const std::string& name, const Tally& t, size_t had) {
        std::printf("%-20s %6zu %6zu %8.1f%% %8zu %6.1f%% %7.1f%% |", name.c_str(), had, t.files,
                    share(t.imported, t.files), t.compared, share(t.same, t.compared), share(t.settled, t.imported));
        for (size_t i = 0; i < corpus::kFeatureCount; ++i)
            std::printf(" %*zu |", static_cast<int>(std::string(corpus::featureName(i)).size()), t.features[i]);
        std::printf("\n");
    };
    size_t total = 0;
    for (const auto& [name, t] : bySource) row(name, t, found.at(name)), total += found.at(name);
    row("all", all, total);
    std::printf("(same: mean difference under %.0f%% at %d px; settled: written, read, written again alike)\n",
                kThreshold * 100, kSide);
}

// The files drawn differently, under each cause their import report gives.
void printFailures(const std::vector<Outcome>& outcomes) {
    std::map<std::string, std::vector<const Outcome*>> byCause;
    size_t count = 0;
    for (const Outcome& o : outcomes) {
        if (!o.compared || o.same()) continue;
        ++count;
        std::set<std::string> causes;
        for (const std::string& n : o.notes) causes.insert(causeOf(n));
        if (causes.empty()) causes.insert("NO IMPORT NOTE (a silent loss)");
        for (const std::string& c : causes) byCause[c].push_back(&o);
    }
    std::printf("\ndrawn differently (%zu), by the cause the import report gives:\n", count);
    for (const auto& [cause, list] : byCause) {
        std::printf("  %s (%zu)\n", cause.c_str(), list.size());
        for (const Outcome* o : list)
            std::printf("      %.4f %s (%s)\n", o->diff, o->file->path.c_str(), o->file->source.c_str());
    }
}

TEST(SvgCorpus, RealFilesImportDrawTheSameAndSettleAfterTheRoundTrip) {
    std::vector<File> files;
    std::map<std::string, size_t> found;
    for (const corpus::Source& src : corpus::sources()) {
        std::vector<File> taken = corpus::sample(src, found[src.name]);
        if (taken.empty()) {
            std::printf("%s: skipped, no SVG files under %s (scripts/setup --test installs it)\n", src.name.c_str(),
                        src.dir.c_str());
            found.erase(src.name);
        }
        std::move(taken.begin(), taken.end(), std::back_inserter(files));
    }
    if (files.empty()) {
        GTEST_SKIP() << "no SVG files (scripts/setup --test installs them)";
    }

    std::vector<Outcome> outcomes;
    for (const File& f : files) outcomes.push_back(roundTrip(f));
    printSources(outcomes, found);
    printFailures(outcomes);

    size_t compared = 0, same = 0;
    for (const Outcome& o : outcomes) {
        EXPECT_EQ(o.refused, "") << o.file->path;
        EXPECT_EQ(o.undrawn, "") << o.file->path;
        if (o.refused.empty()) {
            EXPECT_TRUE(o.settled) << o.file->path << " changes when its SVG as written is read and written again,"
                                   << " from character " << o.settleAt;
        }
        if (o.compared && !o.same()) {
            EXPECT_FALSE(o.notes.empty()) << o.file->path << " is drawn differently and its import report is empty";
        }
        compared += o.compared, same += o.same();
    }
    RecordProperty("files", static_cast<int>(files.size()));
    RecordProperty("compared", static_cast<int>(compared));
    RecordProperty("same", static_cast<int>(same));
    // The share that draws the same; what falls short is listed above.
    EXPECT_GE(share(same, compared), 99.0);
}

}  // namespace
}  // namespace easel

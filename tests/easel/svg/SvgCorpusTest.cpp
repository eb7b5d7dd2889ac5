// Real files no one here wrote import, and the import written back as SVG
// draws like the original under librsvg.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "io/render/Render.h"
#include "io/svg/SvgExport.h"
#include "io/svg/SvgImport.h"

namespace easel {
namespace {

namespace fs = std::filesystem;

constexpr int kSide = 48;              // both pictures, pixels a side
constexpr double kThreshold = 0.01;    // mean absolute difference, share of full scale

// A source of real files: a folder, and how many of its files to take
// (every k-th in name order, so the sample is the same on every machine).
struct Source {
    std::string name;
    std::string dir;
    size_t sample;
};

std::vector<Source> sources() {
    if (const char* env = std::getenv("EASEL_SVG_CORPUS")) return {{"EASEL_SVG_CORPUS", env, 0}};
    const std::string npm = std::string(EASEL_SOURCE_DIR) + "/tests/easel/svg/corpus/sample/";
    // Debian's adwaita-icon-theme (symbolic icons), and from npm (sampled by
    // corpus/extract.mjs): Noto emoji, SVG logos and Fluent emoji, rich in
    // gradients, clip paths, masks, filters and opacity.
    return {{"adwaita-icon-theme", "/usr/share/icons/Adwaita/scalable", 160},
            {"noto emoji", npm + "noto", 0},
            {"svg logos", npm + "logos", 0},
            {"fluent emoji", npm + "fluent-emoji", 0}};
}

// Mean absolute difference of premultiplied RGBA, 0 (same) to 1.
double difference(const Image& a, const Image& b) {
    double sum = 0;
    for (size_t i = 0; i + 3 < a.rgba.size(); i += 4) {
        const double aa = a.rgba[i + 3] / 255.0, ba = b.rgba[i + 3] / 255.0;
        for (size_t c = 0; c < 3; ++c) sum += std::abs(a.rgba[i + c] * aa - b.rgba[i + c] * ba);
        sum += std::abs(a.rgba[i + 3] - b.rgba[i + 3]);
    }
    return sum / (255.0 * static_cast<double>(a.rgba.size()));
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

TEST(SvgCorpus, RealFilesImportAndDrawTheSameAfterTheRoundTrip) {
    std::vector<std::pair<std::string, fs::path>> files;  // source, file
    for (const Source& src : sources()) {
        std::vector<fs::path> found;
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(src.dir, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec)) {
            if (it->is_regular_file() && it->path().extension() == ".svg") found.push_back(it->path());
        }
        std::sort(found.begin(), found.end());
        const size_t step = src.sample && found.size() > src.sample ? found.size() / src.sample : 1;
        size_t taken = 0;
        for (size_t i = 0; i < found.size() && (!src.sample || taken < src.sample); i += step, ++taken)
            files.emplace_back(src.name, found[i]);
        std::printf("%s: %zu of %zu files under %s\n", src.name.c_str(), taken, found.size(), src.dir.c_str());
    }
    if (files.empty()) GTEST_SKIP() << "no SVG files (install adwaita-icon-theme; scripts/setup fetches the rest)";

    struct Tally {
        size_t files = 0, imported = 0, compared = 0, passed = 0;
    };
    std::map<std::string, Tally> bySource;
    Tally all;
    std::vector<std::pair<double, std::string>> diffs;
    std::map<std::string, int> notes;
    for (const auto& [source, f] : files) {
        Tally& t = bySource[source];
        ++t.files, ++all.files;
        const std::string text = readFile(f);
        std::unique_ptr<Document> doc;
        SvgReport report;
        std::string error;
        if (!readSvg(text, doc, report, error)) {
            ADD_FAILURE() << f << " refused: " << error;
            continue;
        }
        ++t.imported, ++all.imported;
        for (const std::string& n : report.notes) ++notes[n.substr(0, n.find(", "))];
        Image original, roundTrip;
        if (!renderSvgFitted(text, kSide, kSide, original, error)) continue;  // librsvg cannot draw it either
        ASSERT_TRUE(renderSvgFitted(writeSvg(*doc), kSide, kSide, roundTrip, error)) << f << ": " << error;
        const double d = difference(original, roundTrip);
        ++t.compared, ++all.compared;
        if (d < kThreshold) {
            ++t.passed, ++all.passed;
        } else {
            // The reason: what the import report says about the file.
            std::string why = report.notes.empty() ? "no import note" : report.text();
            std::replace(why.begin(), why.end(), '\n', ';');
            diffs.emplace_back(d, f.filename().string() + " (" + source + "): " + why);
        }
    }
    auto share = [](size_t n, size_t of) { return of ? 100.0 * static_cast<double>(n) / static_cast<double>(of) : 0.0; };
    std::printf("\n%-20s %6s %9s %9s %8s\n", "source", "files", "imported", "compared", "same");
    for (const auto& [name, t] : bySource) {
        std::printf("%-20s %6zu %8.1f%% %9zu %7.1f%%\n", name.c_str(), t.files, share(t.imported, t.files), t.compared,
                    share(t.passed, t.compared));
    }
    std::printf("%-20s %6zu %8.1f%% %9zu %7.1f%%  (same: mean difference under %.0f%%)\n", "all", all.files,
                share(all.imported, all.files), all.compared, share(all.passed, all.compared), kThreshold * 100);
    std::sort(diffs.rbegin(), diffs.rend());
    std::printf("drawn differently (%zu):\n", diffs.size());
    for (const auto& [d, what] : diffs) std::printf("  %.4f %s\n", d, what.c_str());
    std::printf("import report, by kind (files):\n");
    for (const auto& [n, c] : notes) std::printf("  %4d  %s\n", c, n.c_str());
    RecordProperty("files", static_cast<int>(all.files));
    RecordProperty("passed", static_cast<int>(all.passed));
    RecordProperty("compared", static_cast<int>(all.compared));

    EXPECT_EQ(all.imported, all.files);
    // The share that draws the same; what falls short is listed above.
    EXPECT_GE(share(all.passed, all.compared), 98.0);
}

}  // namespace
}  // namespace easel

// Every scalable icon of adwaita-icon-theme imports (or is refused with a
// message), and the import written back as SVG draws like the original under
// librsvg.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "Render.h"
#include "SvgExport.h"
#include "SvgImport.h"

namespace easel {
namespace {

namespace fs = std::filesystem;

constexpr int kSide = 48;              // both pictures, pixels a side
constexpr double kThreshold = 0.01;    // mean absolute difference, share of full scale

std::string corpusDir() {
    const char* env = std::getenv("EASEL_SVG_CORPUS");
    return env ? env : "/usr/share/icons/Adwaita/scalable";
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

TEST(AdwaitaCorpus, EveryIconImportsAndDrawsTheSameAfterTheRoundTrip) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(corpusDir(), ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it->is_regular_file() && it->path().extension() == ".svg") files.push_back(it->path());
    }
    if (files.empty()) GTEST_SKIP() << "no SVG files under " << corpusDir() << " (install adwaita-icon-theme)";
    std::sort(files.begin(), files.end());

    size_t imported = 0, refused = 0, compared = 0, passed = 0, unreadable = 0;
    std::vector<std::pair<double, std::string>> diffs;
    std::map<std::string, int> notes;
    for (const fs::path& f : files) {
        const std::string text = readFile(f);
        std::unique_ptr<Document> doc;
        SvgReport report;
        std::string error;
        if (!readSvg(text, doc, report, error)) {
            ++refused;
            EXPECT_FALSE(error.empty()) << f << " refused without a message";
            std::printf("refused %s: %s\n", f.c_str(), error.c_str());
            continue;
        }
        ++imported;
        for (const std::string& n : report.notes) ++notes[n.substr(0, n.find(", "))];
        const std::string out = writeSvg(*doc);
        Image original, roundTrip;
        if (!renderSvgFitted(text, kSide, kSide, original, error)) {
            ++unreadable;  // librsvg cannot draw the original either
            continue;
        }
        ASSERT_TRUE(renderSvgFitted(out, kSide, kSide, roundTrip, error)) << f << ": " << error;
        const double d = difference(original, roundTrip);
        ++compared;
        if (d < kThreshold) ++passed;
        diffs.emplace_back(d, f.string());
    }
    std::sort(diffs.rbegin(), diffs.rend());
    std::printf("\nfiles %zu: imported %zu, refused %zu; compared %zu (librsvg could not draw %zu originals)\n",
                files.size(), imported, refused, compared, unreadable);
    std::printf("round trip within %.1f%% mean difference: %zu of %zu (%.1f%%)\n", kThreshold * 100, passed, compared,
                compared ? 100.0 * static_cast<double>(passed) / static_cast<double>(compared) : 0.0);
    std::vector<double> sorted;
    for (const auto& [d, name] : diffs) sorted.push_back(d);
    std::sort(sorted.begin(), sorted.end());
    if (!sorted.empty()) {
        std::printf("difference: median %.5f, 95th percentile %.5f, worst %.5f\n", sorted[sorted.size() / 2],
                    sorted[sorted.size() * 95 / 100], sorted.back());
    }
    std::printf("largest differences:\n");
    for (size_t i = 0; i < diffs.size() && i < 10; ++i) std::printf("  %.5f %s\n", diffs[i].first, diffs[i].second.c_str());
    std::printf("import report, by kind (files):\n");
    for (const auto& [n, c] : notes) std::printf("  %4d  %s\n", c, n.c_str());
    RecordProperty("files", static_cast<int>(files.size()));
    RecordProperty("passed", static_cast<int>(passed));
    RecordProperty("compared", static_cast<int>(compared));

    EXPECT_EQ(imported + refused, files.size());
    // The share that draws the same; what falls short is listed above.
    EXPECT_GE(static_cast<double>(passed), 0.95 * static_cast<double>(compared));
}

}  // namespace
}  // namespace easel

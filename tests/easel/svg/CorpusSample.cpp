#include "CorpusSample.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

namespace easel::corpus {

namespace fs = std::filesystem;

namespace {

constexpr std::array<const char*, kFeatureCount> kNames = {"markers", "masks", "filters", "style sheets",
                                                           "clip paths", "text", "gradients"};

bool hasElement(const std::string& text, const std::string& name) {
    return text.find("<" + name) != std::string::npos || text.find("<svg:" + name) != std::string::npos;
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool skipped(const fs::path& p, const std::vector<std::string>& skip) {
    for (const auto& part : p)
        if (std::find(skip.begin(), skip.end(), part.string()) != skip.end()) return true;
    return false;
}

// `count` of the indices in `from`, spread evenly (the first always taken).
std::vector<size_t> spread(const std::vector<size_t>& from, size_t count) {
    std::vector<size_t> out;
    if (from.empty() || count == 0) return out;
    count = std::min(count, from.size());
    for (size_t i = 0; i < count; ++i) out.push_back(from[i * from.size() / count]);
    return out;
}

}  // namespace

const char* featureName(size_t feature) { return feature < kFeatureCount ? kNames[feature] : "?"; }

Features featuresOf(const std::string& svgText) {
    Features f{};
    f[kMarker] = hasElement(svgText, "marker");
    f[kMask] = hasElement(svgText, "mask");
    f[kFilter] = hasElement(svgText, "filter");
    f[kStyleSheet] = hasElement(svgText, "style");
    f[kClip] = hasElement(svgText, "clipPath");
    f[kText] = hasElement(svgText, "text");
    f[kGradient] = hasElement(svgText, "linearGradient") || hasElement(svgText, "radialGradient");
    return f;
}

std::vector<Source> sources() {
    if (const char* env = std::getenv("EASEL_SVG_CORPUS")) return {{"EASEL_SVG_CORPUS", env, 0, "?"}};
    const std::string npm = std::string(EASEL_SOURCE_DIR) + "/tests/easel/svg/corpus/sample/";
    return {
        // Debian's packages, read where they are installed.
        {"adwaita-icon-theme", "/usr/share/icons/Adwaita/scalable", 160, "LGPL-3 / CC-BY-SA-3.0"},
        {"breeze-icon-theme", "/usr/share/icons/breeze", 100, "LGPL-3+"},
        {"tango-icon-theme", "/usr/share/icons/Tango/scalable", 80, "public domain"},
        {"openclipart-svg", "/usr/share/openclipart/svg", 200, "public domain"},
        {"inkscape-tutorials", "/usr/share/inkscape/tutorials", 20, "GPL-2+"},
        {"iso-flags-svg", "/usr/share/iso-flags-svg", 60, "public domain"},
        // librsvg's own reference tests (the SVG 1.1 ones from the W3C suite);
        // its copies of Adwaita icons are left to the theme above.
        {"librsvg2-tests", "/usr/libexec/installed-tests/RSVG/fixtures/reftests", 150,
         "LGPL-2+ / W3C BSD-3-clause", {"adwaita"}},
        // npm's Iconify sets, sampled by corpus/extract.mjs.
        {"noto emoji", npm + "noto", 0, "Apache-2.0"},
        {"svg logos", npm + "logos", 0, "CC0-1.0"},
        {"fluent emoji", npm + "fluent-emoji", 0, "MIT"},
        {"twemoji", npm + "twemoji", 0, "CC-BY-4.0"},
        {"openmoji", npm + "openmoji", 0, "CC-BY-SA-4.0"},
        {"vscode icons", npm + "vscode-icons", 0, "MIT"},
    };
}

std::vector<File> sample(const Source& source, size_t& found) {
    std::vector<File> all;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(source.dir, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const fs::path rel = it->path().lexically_relative(source.dir);
        if (it->is_symlink() || !it->is_regular_file() || it->path().extension() != ".svg" ||
            skipped(rel.parent_path(), source.skip))
            continue;
        all.push_back({source.name, it->path(), {}, {}});
    }
    std::sort(all.begin(), all.end(), [](const File& a, const File& b) { return a.path < b.path; });
    found = all.size();
    for (File& f : all) {
        f.text = readFile(f.path);
        f.features = featuresOf(f.text);
    }
    if (source.sample == 0 || all.size() <= source.sample) return all;

    std::set<size_t> taken;
    const size_t perFeature = source.sample / 10;
    for (size_t feature = 0; feature < kFeatureCount; ++feature) {
        size_t have = 0;
        std::vector<size_t> with;
        for (size_t i = 0; i < all.size(); ++i) {
            if (!all[i].features[feature]) continue;
            if (taken.count(i)) ++have;
            else with.push_back(i);
        }
        if (have < perFeature)
            for (size_t i : spread(with, perFeature - have)) taken.insert(i);
    }
    std::vector<size_t> rest;
    for (size_t i = 0; i < all.size(); ++i)
        if (!taken.count(i)) rest.push_back(i);
    for (size_t i : spread(rest, source.sample - std::min(source.sample, taken.size()))) taken.insert(i);

    std::vector<File> out;
    for (size_t i : taken) out.push_back(std::move(all[i]));
    return out;
}

}  // namespace easel::corpus

// Which real SVG files the corpus test reads: the sources installed on this
// machine and a sample of each that is the same on every run and takes the
// files holding the rarer features (markers, masks, filters, style sheets,
// clip paths, text, gradients) before the rest.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace easel::corpus {

// What a file holds, found by its elements (declared, not necessarily used).
enum Feature : size_t { kMarker, kMask, kFilter, kStyleSheet, kClip, kText, kGradient, kFeatureCount };
const char* featureName(size_t feature);
using Features = std::array<bool, kFeatureCount>;
Features featuresOf(const std::string& svgText);

// A source of real files: a folder (read recursively, symbolic links left
// out, folders whose name is in `skip` too) and how many of its files to take
// (0: all).
struct Source {
    std::string name;
    std::string dir;
    size_t sample = 0;
    std::string license;
    std::vector<std::string> skip = {};
};

// The sources on a fresh machine after scripts/setup --test: Debian's packages
// in place, and the npm sets sampled into tests/easel/svg/corpus/sample. With
// EASEL_SVG_CORPUS set, that folder alone, every file.
std::vector<Source> sources();

struct File {
    std::string source;
    std::filesystem::path path;
    std::string text;
    Features features{};
};

// The files of one source (none when its folder is missing), in path order.
// A sample takes up to a tenth of its count among the files with each feature,
// rarest feature first, spread evenly over them, then fills up evenly from the
// rest.
std::vector<File> sample(const Source& source, size_t& found);

}  // namespace easel::corpus

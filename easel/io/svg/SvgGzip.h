// Compressed SVG (.svgz): gzip data inflated before it is read.
#pragma once

#include <cstddef>
#include <string>

namespace easel::svg {

// The data starts with gzip's magic bytes.
bool isGzip(const std::string& data);

// Inflates gzip data (one member or several, as gzip writes them) into `out`.
// false and a message when it is damaged or inflates past `maxBytes`.
bool inflateGzip(const std::string& data, size_t maxBytes, std::string& out, std::string& error);

}  // namespace easel::svg

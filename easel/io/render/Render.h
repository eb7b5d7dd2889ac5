// Pictures of documents and SVG text, drawn with cairo (SVG by librsvg).
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <string>
#include <vector>

#include "io/FileWrite.h"  // writeFileAtomically, for the callers that write pictures

namespace easel {

class Document;

// RGBA pixels, 8 bits each, not premultiplied, rows top to bottom.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

// The size of the picture: a width in pixels (height to scale), or a scale
// of the SVG's own size in pixels. Zero means the SVG's own size.
struct RenderSize {
    int width = 0;
    double scale = 0;
};

constexpr int kMaxRenderPixels = 16384;  // on either side

// Draws SVG text onto a transparent image. false and a message when librsvg
// cannot read it or the size is out of range.
bool renderSvg(const std::string& svg, const RenderSize& size, Image& out, std::string& error);
// Draws SVG text fitted (aspect kept, centred) into a width x height image.
bool renderSvgFitted(const std::string& svg, int width, int height, Image& out, std::string& error);

// Draws a document as its SVG would be drawn by renderSvg, at the same size,
// without writing and reading SVG text where the document allows it.
bool renderDocument(const Document& doc, const RenderSize& size, Image& out, std::string& error);

// The image as PNG file contents.
bool encodePng(const Image& image, std::string& png, std::string& error);

}  // namespace easel

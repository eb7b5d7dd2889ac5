// A PNG written a row at a time, with libpng as cairo's PNG writer writes it
// (the same chunks and settings, so the same bytes), for the units that
// write pictures.
#pragma once

#include <png.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace easel {

// The filter libpng's adaptive choice gives a row (0 None, 1 Sub, 2 Up,
// 3 Average, 4 Paeth), from the row and the one before it as written.
int rowFilter(const uint8_t* row, const uint8_t* prev, size_t n, size_t bpp);

// `width` straight RGBA pixels as the file holds them: RGB when `alpha` is
// false; else RGBA, translucent colours rounded as cairo's premultiplied
// pixels hold them.
void packRow(const uint8_t* rgba, int width, bool alpha, uint8_t* out);

class PngRows {
public:
    PngRows() = default;
    ~PngRows();
    PngRows(const PngRows&) = delete;
    PngRows& operator=(const PngRows&) = delete;

    // The header: 8-bit RGB or RGBA, a white background chunk; the file
    // goes to `out`, which must outlive the writer.
    bool begin(int width, int height, bool alpha, std::string& out);
    // The next row (packRow's bytes), with the filter rowFilter() gives, or
    // -1 for libpng's own choice: the first row, and every row of a picture
    // one pixel high or wide, take libpng's choice.
    bool row(const uint8_t* bytes, int filter);
    bool end();
    // Why a step failed.
    std::string error() const;

private:
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    const char* message_ = nullptr;
    bool failed_ = false;
};

}  // namespace easel

// Pictures as PNG files, written with libpng as cairo's PNG writer writes
// them (the same chunks and settings, so the same bytes), straight from the
// image's rows.
#include <png.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <csetjmp>
#include <cstdlib>
#include <system_error>
#include <thread>
#include <vector>

#include "Render.h"

namespace easel {

namespace {

// A colour component as it comes back from cairo's premultiplied pixels:
// premultiplied by alpha and divided again, rounding both ways. Indexed
// [alpha][component]; fully transparent pixels are all zero.
const std::array<std::array<uint8_t, 256>, 256>& roundTrip() {
    static const auto table = [] {
        std::array<std::array<uint8_t, 256>, 256> t{};
        for (unsigned a = 1; a < 256; ++a) {
            for (unsigned c = 0; c < 256; ++c) {
                const unsigned pre = (c * a + 127) / 255;
                t[a][c] = static_cast<uint8_t>((pre * 255 + a / 2) / a);
            }
        }
        return t;
    }();
    return table;
}

// The filter libpng's adaptive choice gives a row: of None, Sub, Up,
// Average and Paeth, the first whose filtered bytes, read as signed, have
// the least sum of magnitudes. Worked out here (on a thread of its own), the
// filter is then set for each row, so that libpng filters each row once
// instead of trying all five: the bytes written are the same.
int rowFilter(const uint8_t* row, const uint8_t* prev, size_t n, size_t bpp) {
    // A byte read as signed, its magnitude (128 for 0x80).
    auto mag = [](int v) {
        const int s = static_cast<int8_t>(v);
        return static_cast<uint32_t>(s < 0 ? -s : s);
    };
    uint64_t sums[5] = {};
    // The first pixel has no left neighbour (taken as 0).
    for (size_t i = 0; i < bpp && i < n; ++i) {
        const int r = row[i], b = prev[i];
        sums[0] += mag(r), sums[1] += mag(r), sums[2] += mag(r - b), sums[3] += mag(r - (b >> 1)),
            sums[4] += mag(r - b);
    }
    // Branch-free from there on, 32-bit sums over stretches short enough not
    // to overflow, so that the compiler does many bytes at once.
    constexpr size_t kStretch = size_t{1} << 24;
    for (size_t from = bpp; from < n; from += kStretch) {
        const size_t to = std::min(n, from + kStretch);
        uint32_t none = 0, sub = 0, up = 0, avg = 0, paeth = 0;
        for (size_t i = from; i < to; ++i) {
            const int r = row[i], b = prev[i], a = row[i - bpp], c = prev[i - bpp];
            none += mag(r);
            sub += mag(r - a);
            up += mag(r - b);
            avg += mag(r - ((a + b) >> 1));
            const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
            paeth += mag(r - (pa <= pb && pa <= pc ? a : pb <= pc ? b : c));
        }
        sums[0] += none, sums[1] += sub, sums[2] += up, sums[3] += avg, sums[4] += paeth;
    }
    int best = 0;
    for (int f = 1; f < 5; ++f)
        if (sums[f] < sums[best]) best = f;
    return best;
}

void appendBytes(png_structp png, png_bytep data, size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}
void noFlush(png_structp) {}
void noWarning(png_structp, png_const_charp) {}
void fail(png_structp png, png_const_charp message) {
    *static_cast<const char**>(png_get_error_ptr(png)) = message;
    longjmp(png_jmpbuf(png), 1);
}

// The filters of rows 1 and on (row 0 is left to libpng, which has no
// previous row set up before it), each known once `known` is past its row.
struct RowFilters {
    std::vector<int> filters;
    std::atomic<int> known{1};
};

// Writes 8-bit RGB or RGBA rows with a white background chunk, each row
// with its filter from `filters` when given (waiting for it to be known).
// libpng leaves by longjmp on an error: nothing here needs destroying but
// its own.
bool writeRows(int width, int height, bool alpha, png_bytep* rows, const RowFilters* filters, std::string& out,
               const char*& message) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &message, fail, noWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, appendBytes, noFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color_16 white{};
    white.red = white.green = white.blue = white.gray = 255;
    png_set_bKGD(png, info, &white);
    png_write_info(png, info);
    if (!filters) {
        png_write_image(png, rows);
    } else {
        static constexpr int kFlag[] = {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG,
                                        PNG_FILTER_PAETH};
        for (int y = 0; y < height; ++y) {
            if (y > 0) {
                while (filters->known.load(std::memory_order_acquire) <= y) std::this_thread::yield();
                png_set_filter(png, PNG_FILTER_TYPE_BASE, kFlag[filters->filters[static_cast<size_t>(y)]]);
            }
            png_write_row(png, rows[y]);
        }
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool encodePng(const Image& image, std::string& png, std::string& error) {
    if (image.width <= 0 || image.height <= 0 ||
        image.rgba.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 4) {
        error = "no picture to write";
        return false;
    }
    // An opaque picture is written as RGB, any other as RGBA.
    bool opaque = true;
    for (size_t i = 3; i < image.rgba.size() && opaque; i += 4) opaque = image.rgba[i] == 255;
    const size_t pixels = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
    std::vector<uint8_t> bytes(pixels * (opaque ? 3 : 4));
    const auto& trip = roundTrip();
    const uint8_t* in = image.rgba.data();
    uint8_t* o = bytes.data();
    for (size_t i = 0; i < pixels; ++i, in += 4) {
        if (opaque) {
            *o++ = in[0], *o++ = in[1], *o++ = in[2];
            continue;
        }
        const auto& t = trip[in[3]];
        *o++ = t[in[0]], *o++ = t[in[1]], *o++ = t[in[2]], *o++ = in[3];
    }
    std::vector<png_bytep> rows(static_cast<size_t>(image.height));
    const size_t rowBytes = static_cast<size_t>(image.width) * (opaque ? 3 : 4);
    for (size_t y = 0; y < rows.size(); ++y) rows[y] = bytes.data() + y * rowBytes;
    // A picture one pixel high or wide has fewer filters to choose from:
    // libpng chooses them. For a large one the filters are worked out on a
    // thread of their own, ahead of the rows written.
    const size_t bpp = opaque ? 3 : 4;
    const bool choose = image.width >= 2 && image.height >= 2;
    RowFilters filters;
    std::thread ahead;
    if (choose) {
        filters.filters.assign(static_cast<size_t>(image.height), 0);
        auto work = [&filters, &rows, rowBytes, bpp, height = image.height] {
            for (int y = 1; y < height; ++y) {
                const auto i = static_cast<size_t>(y);
                filters.filters[i] = rowFilter(rows[i], rows[i - 1], rowBytes, bpp);
                filters.known.store(y + 1, std::memory_order_release);
            }
        };
        if (bytes.size() < (size_t{1} << 20)) {
            work();
        } else {
            try {
                ahead = std::thread(work);
            } catch (const std::system_error&) {
                work();  // no thread to be had: done here
            }
        }
    }
    png.clear();
    const char* message = nullptr;
    const bool written = writeRows(image.width, image.height, !opaque, rows.data(), choose ? &filters : nullptr, png,
                                   message);
    if (ahead.joinable()) ahead.join();
    if (!written) {
        error = std::string("cannot encode PNG: ") + (message ? message : "libpng failed");
        return false;
    }
    return true;
}

}  // namespace easel

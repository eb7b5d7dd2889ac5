// Pictures as PNG files, written with libpng as cairo's PNG writer writes
// them (the same chunks and settings, so the same bytes), straight from the
// image's rows.
#include <png.h>

#include <array>
#include <csetjmp>

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

void appendBytes(png_structp png, png_bytep data, size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}
void noFlush(png_structp) {}
void noWarning(png_structp, png_const_charp) {}
void fail(png_structp png, png_const_charp message) {
    *static_cast<const char**>(png_get_error_ptr(png)) = message;
    longjmp(png_jmpbuf(png), 1);
}

// Writes 8-bit RGB or RGBA rows with a white background chunk. libpng
// leaves by longjmp on an error: nothing here needs destroying but its own.
bool writeRows(int width, int height, bool alpha, png_bytep* rows, std::string& out, const char*& message) {
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
    png_write_image(png, rows);
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
    png.clear();
    const char* message = nullptr;
    if (!writeRows(image.width, image.height, !opaque, rows.data(), png, message)) {
        error = std::string("cannot encode PNG: ") + (message ? message : "libpng failed");
        return false;
    }
    return true;
}

}  // namespace easel

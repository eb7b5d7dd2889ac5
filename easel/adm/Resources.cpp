#include "Resources.h"

#include <zlib.h>

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

namespace easel::adm {

namespace {

BundleResolver& resolver() {
    static BundleResolver r;
    return r;
}

std::optional<std::string> readText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void setError(std::string* error, std::string message) {
    if (error) *error = std::move(message);
}

int32_t toInt32(const nlohmann::json& j) {
    if (j.is_number_integer()) return static_cast<int32_t>(j.get<int64_t>());
    if (j.is_number()) return static_cast<int32_t>(j.get<double>());
    throw nlohmann::json::type_error::create(302, "expected a number", &j);
}

uint16_t le16(const std::vector<uint8_t>& d, size_t at) {
    return static_cast<uint16_t>(d[at] | (d[at + 1] << 8));
}

uint32_t le32(const std::vector<uint8_t>& d, size_t at) {
    return static_cast<uint32_t>(d[at]) | (static_cast<uint32_t>(d[at + 1]) << 8) |
           (static_cast<uint32_t>(d[at + 2]) << 16) | (static_cast<uint32_t>(d[at + 3]) << 24);
}

}  // namespace

void setBundleResolver(BundleResolver r) { resolver() = std::move(r); }

std::optional<std::filesystem::path> bundleOf(SPPluginRef plugin) {
    if (!resolver()) return std::nullopt;
    return resolver()(plugin);
}

std::optional<std::vector<std::string>> readStringList(const std::filesystem::path& bundle, int32_t id,
                                                       std::string* error) {
    if (isDllBundle(bundle)) return stringListFrom(dllResources(bundle, error), id, bundle.string(), error);
    auto file = bundle / "STR#" / (std::to_string(id) + ".json");
    auto text = readText(file);
    if (!text) {
        setError(error, "no string list " + file.string());
        return std::nullopt;
    }
    auto j = nlohmann::json::parse(*text, nullptr, false);
    if (j.is_discarded() || !j.is_array()) {
        setError(error, file.string() + ": not a JSON array of strings");
        return std::nullopt;
    }
    std::vector<std::string> out;
    for (const auto& e : j) {
        if (!e.is_string()) {
            setError(error, file.string() + ": entry " + std::to_string(out.size()) + " is not a string");
            return std::nullopt;
        }
        out.push_back(e.get<std::string>());
    }
    return out;
}

std::optional<DialogTemplate> readDialogTemplate(const std::filesystem::path& bundle, int32_t id,
                                                 std::string* error) {
    if (isDllBundle(bundle)) return dialogTemplateFrom(dllResources(bundle, error), id, bundle.string(), error);
    auto file = bundle / "DLOG" / (std::to_string(id) + ".json");
    auto text = readText(file);
    if (!text) return std::nullopt;
    auto j = nlohmann::json::parse(*text, nullptr, false);
    if (j.is_discarded() || !j.is_object()) {
        setError(error, file.string() + ": not a JSON object");
        return std::nullopt;
    }
    try {
        DialogTemplate t;
        bool dialogUnits = j.value("units", std::string("pixels")) == "dialog";
        auto sx = [&](int32_t v) { return dialogUnits ? v * 6 / 4 : v; };
        auto sy = [&](int32_t v) { return dialogUnits ? v * 13 / 8 : v; };
        t.caption = j.value("caption", std::string());
        t.font = j.value("font", std::string());
        if (j.contains("fontSize")) t.fontSize = toInt32(j["fontSize"]);
        if (j.contains("width")) t.width = sx(toInt32(j["width"]));
        if (j.contains("height")) t.height = sy(toInt32(j["height"]));
        if (j.contains("items")) {
            for (const auto& ji : j.at("items")) {
                TemplateItem item;
                item.id = toInt32(ji.at("id"));
                item.kind = ji.at("kind").get<std::string>();
                const auto& r = ji.at("rect");
                if (!r.is_array() || r.size() != 4) {
                    setError(error, file.string() + ": item " + std::to_string(item.id) +
                                        ": rect must be [left, top, right, bottom]");
                    return std::nullopt;
                }
                item.rect = ASRect{sx(toInt32(r[0])), sy(toInt32(r[1])), sx(toInt32(r[2])), sy(toInt32(r[3]))};
                item.text = ji.value("text", std::string());
                t.items.push_back(std::move(item));
            }
        }
        return t;
    } catch (const nlohmann::json::exception& e) {
        setError(error, file.string() + ": " + e.what());
        return std::nullopt;
    }
}

namespace {

// Where the parts of an icon's bitmap lie: the palette, the colour rows (XOR
// image) and the mask rows (AND image), each row padded to 32 bits.
struct IconBitmap {
    int32_t width = 0, height = 0;
    uint16_t bpp = 0;
    uint32_t colorsUsed = 0;
    size_t palette = 0, xorStart = 0, xorStride = 0, andStart = 0, andStride = 0;

    bool masked(const std::vector<uint8_t>& d, int32_t y, size_t x) const {
        const size_t maskRow = andStart + andStride * size_t(height - 1 - y);  // rows are stored bottom first
        return (d[maskRow + x / 8] >> (7 - x % 8)) & 1u;
    }
};

// Reads the bitmap header at `offset`; the height it gives counts the colour image and the mask.
std::optional<IconBitmap> readIconBitmap(const std::vector<uint8_t>& d, size_t offset, uint32_t size, std::string* error) {
    const size_t h = offset;
    const uint32_t headerSize = le32(d, h);
    const auto bw = static_cast<int32_t>(le32(d, h + 4));
    const auto bh2 = static_cast<int32_t>(le32(d, h + 8));
    const uint16_t bpp = le16(d, h + 14);
    const uint32_t compression = le32(d, h + 16);
    uint32_t colorsUsed = le32(d, h + 32);
    if (headerSize < 40 || compression != 0 || bw <= 0 || bw > 256 || bh2 <= 0 || bh2 > 512 ||
        (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)) {
        setError(error, "unsupported icon bitmap (" + std::to_string(bpp) + " bits per pixel)");
        return std::nullopt;
    }
    if (bpp <= 8 && colorsUsed == 0) colorsUsed = 1u << bpp;
    if (bpp > 8) colorsUsed = 0;
    IconBitmap b;
    b.width = bw;
    b.height = bh2 / 2;
    b.bpp = bpp;
    b.colorsUsed = colorsUsed;
    b.palette = h + headerSize;
    b.xorStart = b.palette + 4 * size_t{colorsUsed};
    b.xorStride = ((size_t(bw) * bpp + 31) / 32) * 4;
    b.andStride = ((size_t(bw) + 31) / 32) * 4;
    b.andStart = b.xorStart + b.xorStride * size_t(b.height);
    const size_t end = b.andStart + b.andStride * size_t(b.height);
    if (end > offset + size) {
        setError(error, "icon bitmap is truncated");
        return std::nullopt;
    }
    return b;
}

// Fills img.rgba from the bitmap; true when a 32-bit image has any alpha.
bool readIconPixels(const std::vector<uint8_t>& d, const IconBitmap& bmp, Image& img) {
    const int32_t bw = bmp.width;
    const uint16_t bpp = bmp.bpp;
    img.rgba.assign(size_t(bw) * size_t(img.height) * 4, 0);
    bool anyAlpha = false;
    for (int32_t y = 0; y < img.height; ++y) {
        const size_t row = bmp.xorStart + bmp.xorStride * size_t(img.height - 1 - y);  // rows are stored bottom first
        for (int32_t x = 0; x < bw; ++x) {
            uint8_t r = 0, g = 0, b = 0, a = 255;
            auto fromPalette = [&](uint32_t index) {
                if (index >= bmp.colorsUsed) return;
                const size_t p = bmp.palette + 4 * size_t{index};
                b = d[p];
                g = d[p + 1];
                r = d[p + 2];
            };
            const auto ux = static_cast<size_t>(x);
            switch (bpp) {
            case 1: fromPalette((d[row + ux / 8] >> (7 - ux % 8)) & 1u); break;
            case 4: fromPalette(ux % 2 == 0 ? d[row + ux / 2] >> 4 : d[row + ux / 2] & 0x0Fu); break;
            case 8: fromPalette(d[row + ux]); break;
            case 24:
                b = d[row + 3 * ux];
                g = d[row + 3 * ux + 1];
                r = d[row + 3 * ux + 2];
                break;
            default:
                b = d[row + 4 * ux];
                g = d[row + 4 * ux + 1];
                r = d[row + 4 * ux + 2];
                a = d[row + 4 * ux + 3];
                if (a != 0) anyAlpha = true;
                break;
            }
            // Mask set: transparent where the colour is black; where it is
            // not, the screen is inverted, shown here as opaque colour.
            if (bpp != 32 && bmp.masked(d, y, ux) && r == 0 && g == 0 && b == 0) a = 0;
            uint8_t* px = &img.rgba[(size_t(y) * size_t(bw) + ux) * 4];
            px[0] = r;
            px[1] = g;
            px[2] = b;
            px[3] = a;
        }
    }
    return anyAlpha;
}

}  // namespace

std::optional<Image> decodeIcon(const std::vector<uint8_t>& d, std::string* error) {
    // Icon directory: reserved 0, type 1 (icon) or 2 (cursor), image count.
    if (d.size() < 6 + 16 || le16(d, 0) != 0 || (le16(d, 2) != 1 && le16(d, 2) != 2) || le16(d, 4) == 0) {
        setError(error, "not an icon or cursor file");
        return std::nullopt;
    }
    const bool cursor = le16(d, 2) == 2;
    const size_t dirEntry = 6;
    Image img;
    if (cursor) {
        img.hotX = le16(d, dirEntry + 4);
        img.hotY = le16(d, dirEntry + 6);
    }
    const uint32_t size = le32(d, dirEntry + 8);
    const uint32_t offset = le32(d, dirEntry + 12);
    if (offset > d.size() || size > d.size() - offset || size < 40) {
        setError(error, "image data lies outside the file");
        return std::nullopt;
    }
    if (d[offset] == 0x89 && d[offset + 1] == 'P') {
        setError(error, "PNG-compressed icon images are not supported");
        return std::nullopt;
    }
    const std::optional<IconBitmap> bmp = readIconBitmap(d, offset, size, error);
    if (!bmp) return std::nullopt;
    img.width = bmp->width;
    img.height = bmp->height;
    img.bitCount = bmp->bpp;
    if (!readIconPixels(d, *bmp, img) && bmp->bpp == 32) {
        // A 32-bit image without alpha relies on the mask alone.
        for (int32_t y = 0; y < img.height; ++y)
            for (int32_t x = 0; x < img.width; ++x)
                img.rgba[(size_t(y) * size_t(img.width) + size_t(x)) * 4 + 3] = bmp->masked(d, y, size_t(x)) ? 0 : 255;
    }
    return img;
}

std::optional<Image> readIconFile(const std::filesystem::path& file, std::string* error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        setError(error, "cannot read " + file.string());
        return std::nullopt;
    }
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string why;
    auto img = decodeIcon(data, &why);
    if (!img) setError(error, file.string() + ": " + why);
    return img;
}

namespace {

void put32be(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    put32be(out, static_cast<uint32_t>(data.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, out.data() + typeAt, static_cast<uInt>(data.size() + 4));
    put32be(out, static_cast<uint32_t>(crc));
}

}  // namespace

std::vector<uint8_t> encodePng(const Image& image) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    put32be(ihdr, static_cast<uint32_t>(image.width));
    put32be(ihdr, static_cast<uint32_t>(image.height));
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
    chunk(out, "IHDR", ihdr);
    // Each row starts with filter type 0.
    std::vector<uint8_t> raw;
    const size_t stride = size_t(image.width) * 4;
    for (int32_t y = 0; y < image.height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), image.rgba.begin() + static_cast<std::ptrdiff_t>(stride * size_t(y)),
                   image.rgba.begin() + static_cast<std::ptrdiff_t>(stride * size_t(y + 1)));
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9);
    packed.resize(packedSize);
    chunk(out, "IDAT", packed);
    chunk(out, "IEND", {});
    return out;
}

}  // namespace easel::adm

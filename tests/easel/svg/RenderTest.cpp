#include <cairo.h>
#include <gtest/gtest.h>

#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>

#include "io/json/DocumentJson.h"
#include "io/render/Render.h"
#include "io/svg/SvgExport.h"
#include "io/svg/SvgImport.h"

namespace easel {
namespace {

const uint8_t* pixel(const Image& im, int x, int y) {
    return &im.rgba[(static_cast<size_t>(y) * static_cast<size_t>(im.width) + static_cast<size_t>(x)) * 4];
}

TEST(Render, DrawsAtTheAskedSize) {
    const std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"10\">"
                            "<rect x=\"10\" width=\"10\" height=\"10\" fill=\"#ff0000\"/></svg>";
    Image im;
    std::string error;
    ASSERT_TRUE(renderSvg(svg, RenderSize{40, 0}, im, error)) << error;
    EXPECT_EQ(im.width, 40);
    EXPECT_EQ(im.height, 20);
    EXPECT_EQ(pixel(im, 5, 5)[3], 0);  // left half transparent
    const uint8_t* p = pixel(im, 30, 10);
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[1], 0);
    EXPECT_EQ(p[3], 255);
    ASSERT_TRUE(renderSvg(svg, RenderSize{0, 0.5}, im, error)) << error;
    EXPECT_EQ(im.width, 10);
    EXPECT_EQ(im.height, 5);
}

TEST(Render, RefusesBadInputAndSizes) {
    Image im;
    std::string error;
    EXPECT_FALSE(renderSvg("not svg", RenderSize{}, im, error));
    EXPECT_FALSE(error.empty());
    const std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"10\"/>";
    EXPECT_FALSE(renderSvg(svg, RenderSize{100000, 0}, im, error));
    EXPECT_NE(error.find("out of range"), std::string::npos);
}

TEST(Render, ExportedDocumentDrawsWhereTheModelSaysUpsideUp) {
    // A red square at the model's bottom left: drawn at the picture's bottom left.
    std::unique_ptr<Document> doc;
    std::string error;
    ASSERT_TRUE(readDocumentJson(R"({"format": "easel-document", "version": 1, "page": {"width": 100, "height": 100},
      "layers": [{"name": "L", "art": [{"type": "path", "closed": true,
        "segments": [[0,0,0,0,0,0,1],[50,0,50,0,50,0,1],[50,50,50,50,50,50,1],[0,50,0,50,0,50,1]],
        "fill": {"paint": true, "color": {"kind": "cmyk", "values": [0, 1, 1, 0]}},
        "stroke": {"paint": false, "color": {"kind": "none"}, "width": 1}}]}]})",
                                 doc, error))
        << error;
    Image im;
    ASSERT_TRUE(renderSvgFitted(writeSvg(*doc), 100, 100, im, error)) << error;
    const uint8_t* bottomLeft = pixel(im, 25, 75);
    EXPECT_EQ(bottomLeft[0], 255);
    EXPECT_EQ(bottomLeft[1], 0);
    EXPECT_EQ(bottomLeft[3], 255);
    EXPECT_EQ(pixel(im, 25, 25)[3], 0);
}

TEST(Render, PngAndAtomicWrite) {
    Image im;
    im.width = 2;
    im.height = 1;
    im.rgba = {255, 0, 0, 255, 0, 0, 255, 128};
    std::string png, error;
    ASSERT_TRUE(encodePng(im, png, error)) << error;
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));

    char dirTemplate[] = "/tmp/easel-render-XXXXXX";
    ASSERT_NE(mkdtemp(dirTemplate), nullptr);
    const std::string dir = dirTemplate;
    const std::string path = dir + "/out.png";
    ASSERT_TRUE(writeFileAtomically(path, png, error)) << error;
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    EXPECT_EQ(ss.str(), png);
    // Nothing else is left in the folder.
    int entries = 0;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") ++entries;
        }
        closedir(d);
    }
    EXPECT_EQ(entries, 1);
    // A folder that does not exist: an error and no file.
    EXPECT_FALSE(writeFileAtomically(dir + "/missing/out.png", png, error));
    EXPECT_NE(error.find("cannot write"), std::string::npos);
    std::remove(path.c_str());
    rmdir(dir.c_str());
}

// The bytes cairo's own PNG writer gives for the same pixels, which the
// examples' pictures are compared by: opaque pictures as RGB, others as RGBA
// with translucent colours rounded as cairo's premultiplied pixels hold them.
TEST(Render, PngIsWhatCairosWriterWrites) {
    auto cairoPng = [](const Image& im) {
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, im.width, im.height);
        auto* data = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s));
        const int stride = cairo_image_surface_get_stride(s) / 4;
        for (int y = 0; y < im.height; ++y) {
            for (int x = 0; x < im.width; ++x) {
                const uint8_t* p = pixel(im, x, y);
                auto pre = [a = p[3]](uint32_t c) { return (c * a + 127) / 255; };
                data[y * stride + x] = (uint32_t{p[3]} << 24) | (pre(p[0]) << 16) | (pre(p[1]) << 8) | pre(p[2]);
            }
        }
        cairo_surface_mark_dirty(s);
        std::string out;
        cairo_surface_write_to_png_stream(
            s,
            [](void* closure, const unsigned char* bytes, unsigned int n) {
                static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(bytes), n);
                return CAIRO_STATUS_SUCCESS;
            },
            &out);
        cairo_surface_destroy(s);
        return out;
    };
    uint32_t noise = 12345;
    // Rows whose best filters differ (all five come up), and pictures one
    // pixel high or wide, which have fewer filters to choose from.
    for (const auto& [width, height, opaque] :
         {std::tuple{300, 200, true}, std::tuple{300, 200, false}, std::tuple{1, 40, false}, std::tuple{40, 1, true}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + (opaque ? " opaque" : " translucent"));
        Image im;
        im.width = width;
        im.height = height;
        im.rgba.resize(static_cast<size_t>(width * height * 4));
        for (size_t i = 0; i < im.rgba.size(); i += 4) {
            noise = noise * 1103515245u + 12345u;
            const auto x = static_cast<uint32_t>(i / 4 % static_cast<size_t>(width)),
                       y = static_cast<uint32_t>(i / 4 / static_cast<size_t>(width));
            im.rgba[i] = static_cast<uint8_t>(x);
            im.rgba[i + 1] = static_cast<uint8_t>(y + (x / 30 % 2 ? noise >> 24 : 0));
            im.rgba[i + 2] = static_cast<uint8_t>(noise >> 16);
            im.rgba[i + 3] = opaque ? 255 : static_cast<uint8_t>(y < 20 ? 0 : x + y);
        }
        std::string png, error;
        ASSERT_TRUE(encodePng(im, png, error)) << error;
        if (width > 1 && height > 1) {
            EXPECT_GT(png.size(), 8192u * 2);  // more than one data chunk
        }
        EXPECT_TRUE(png == cairoPng(im));
    }
}

}  // namespace
}  // namespace easel

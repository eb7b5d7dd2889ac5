// `easel render DOC -o OUT.pdf`: one page of the document's size, drawn in
// vectors (text kept as text with its fonts embedded, gradients as
// shadings, no page-sized picture), the same picture as the PNG.
#include <gtest/gtest.h>

#include <cairo.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "model/Document.h"
#include "cli/Program.h"
#include "run/DocumentFiles.h"

namespace fs = std::filesystem;

// fontconfig keeps what it reads of the fonts for the life of the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

const fs::path kBadge = fs::path(EASEL_EXAMPLES_DIR) / "badge.svg";  // gradients and text

std::string readText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool have(const char* tool) { return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0; }

std::string run(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

class PdfTest : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("easel-pdf-" + std::to_string(::getpid()));
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }

    int render(const fs::path& out, std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"easel", "render", kBadge.string(), "-o", out.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<const char*> argv;
        for (const auto& a : args) argv.push_back(a.c_str());
        std::ostringstream said, err;
        const int rc = easel::cli::easelMain(static_cast<int>(argv.size()), argv.data(), said, err);
        EXPECT_TRUE(err.str().empty() || rc != 0) << err.str();
        return rc;
    }
};

TEST_F(PdfTest, APageOfTheDocumentsSizeInVectorsWithTextKept) {
    std::unique_ptr<easel::Document> doc;
    std::string error;
    std::ostringstream notes;
    ASSERT_TRUE(easel::run::readDocumentFile(kBadge, doc, error, notes)) << error;
    const fs::path pdf = dir / "badge.pdf";
    ASSERT_EQ(render(pdf), 0);
    const std::string bytes = readText(pdf);
    ASSERT_EQ(bytes.rfind("%PDF-", 0), 0u);

    const size_t box = bytes.find("/MediaBox [");
    ASSERT_NE(box, std::string::npos);
    double x0 = -1, y0 = -1, width = 0, height = 0;
    ASSERT_EQ(std::sscanf(bytes.c_str() + box, "/MediaBox [ %lf %lf %lf %lf", &x0, &y0, &width, &height), 4);
    EXPECT_EQ(x0, 0.0);
    EXPECT_EQ(y0, 0.0);
    EXPECT_NEAR(width, static_cast<double>(doc->width()), 0.01);
    EXPECT_NEAR(height, static_cast<double>(doc->height()), 0.01);
    EXPECT_NE(bytes.find("/Count 1"), std::string::npos) << "one page";

    EXPECT_NE(bytes.find("/FontFile"), std::string::npos) << "the text's fonts are embedded";
    EXPECT_NE(bytes.find("/ShadingType"), std::string::npos) << "the gradients stay gradients";
    EXPECT_EQ(bytes.find("/Subtype /Image"), std::string::npos) << "nothing is drawn as a picture";
    if (have("pdftotext")) {
        const std::string text = run("pdftotext -q " + pdf.string() + " -");
        EXPECT_NE(text.find("easel"), std::string::npos) << text;
        EXPECT_NE(text.find("gradients and text"), std::string::npos) << text;
    }
    // A PDF takes the page's size: a picture size is refused, and nothing is written.
    EXPECT_EQ(render(dir / "sized.pdf", {"--width", "100"}), 2);
    EXPECT_FALSE(fs::exists(dir / "sized.pdf"));
}

// The PDF drawn back at 96 pixels an inch is the PNG at scale 1, but for
// the edges of glyphs and shapes.
TEST_F(PdfTest, DrawnBackItIsThePngsPicture) {
    if (!have("pdftocairo")) GTEST_SKIP() << "pdftocairo (poppler-utils) is not installed";
    ASSERT_EQ(render(dir / "badge.pdf"), 0);
    ASSERT_EQ(render(dir / "badge.png", {"--scale", "1"}), 0);
    ASSERT_EQ(std::system(("pdftocairo -q -png -transp -singlefile -r 96 " + (dir / "badge.pdf").string() + " " +
                           (dir / "back").string())
                              .c_str()),
              0);
    auto load = [](const fs::path& p) { return cairo_image_surface_create_from_png(p.c_str()); };
    cairo_surface_t* a = load(dir / "badge.png");
    cairo_surface_t* b = load(dir / "back.png");
    ASSERT_EQ(cairo_surface_status(a), CAIRO_STATUS_SUCCESS);
    ASSERT_EQ(cairo_surface_status(b), CAIRO_STATUS_SUCCESS);
    const int w = cairo_image_surface_get_width(a), h = cairo_image_surface_get_height(a);
    ASSERT_EQ(cairo_image_surface_get_width(b), w);
    ASSERT_EQ(cairo_image_surface_get_height(b), h);
    // Premultiplied ARGB, channel by channel: the mean difference, and the
    // share of pixels that differ by more than a quarter.
    double total = 0;
    long far = 0;
    for (int y = 0; y < h; ++y) {
        const auto* ra = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(a) + y * cairo_image_surface_get_stride(a));
        const auto* rb = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(b) + y * cairo_image_surface_get_stride(b));
        for (int x = 0; x < w; ++x) {
            int most = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const int d = std::abs(static_cast<int>((ra[x] >> shift) & 255u) - static_cast<int>((rb[x] >> shift) & 255u));
                total += d;
                most = std::max(most, d);
            }
            if (most > 64) ++far;
        }
    }
    const double pixels = static_cast<double>(w) * h;
    EXPECT_LT(total / (pixels * 4), 2.0);
    EXPECT_LT(static_cast<double>(far) / pixels, 0.01);
    cairo_surface_destroy(a);
    cairo_surface_destroy(b);
}

}  // namespace

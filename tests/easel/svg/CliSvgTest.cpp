#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/Program.h"
#include "io/json/DocumentJson.h"
#include "io/render/Render.h"
#include "io/svg/SvgExport.h"

namespace easel {
namespace {

namespace fs = std::filesystem;

class CliSvg : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/easel-cli-svg-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        write("in.svg",
              "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"20\">"
              "<rect width=\"20\" height=\"20\" fill=\"#00ff00\"/><filter id=\"f\"/>"
              "<circle cx=\"30\" cy=\"10\" r=\"5\" filter=\"url(#f)\"/><unknown/></svg>");
    }
    void TearDown() override { fs::remove_all(dir_); }
    void write(const std::string& name, const std::string& text) { std::ofstream(dir_ / name) << text; }
    std::string read(const std::string& name) {
        std::ifstream in(dir_ / name, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    int run(std::vector<std::string> args) {
        args.insert(args.begin(), "easel");
        std::vector<const char*> argv;
        for (const std::string& a : args) argv.push_back(a.c_str());
        out_.str("");
        err_.str("");
        return cli::easelMain(static_cast<int>(argv.size()), argv.data(), out_, err_);
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    size_t files() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }

    fs::path dir_;
    std::ostringstream out_, err_;
};

TEST_F(CliSvg, ConvertBetweenSvgAndJsonByExtension) {
    ASSERT_EQ(run({"convert", path("in.svg"), path("doc.json")}), 0) << err_.str();
    // The import report goes to standard error.
    EXPECT_NE(err_.str().find("<unknown>"), std::string::npos);
    std::unique_ptr<Document> doc;
    std::string error;
    ASSERT_TRUE(readDocumentJson(read("doc.json"), doc, error)) << error;
    EXPECT_EQ(doc->width(), 30.0f);  // 40 px
    ASSERT_EQ(run({"convert", path("doc.json"), path("out.svg")}), 0) << err_.str();
    EXPECT_NE(read("out.svg").find("width=\"30pt\""), std::string::npos);
    // The filter and the art it acts on, both kept.
    EXPECT_NE(read("out.svg").find("filter=\"url(#f)\""), std::string::npos);
    EXPECT_NE(read("out.svg").find("<filter id=\"f\""), std::string::npos);
}

TEST_F(CliSvg, ABadInputWritesNothing) {
    write("bad.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"><path d=\"M0 0\"");
    const size_t before = files();
    EXPECT_EQ(run({"convert", path("bad.svg"), path("out.json")}), 1);
    EXPECT_NE(err_.str().find("well-formed"), std::string::npos);
    EXPECT_EQ(run({"render", path("bad.svg"), "-o", path("out.png")}), 1);
    EXPECT_EQ(run({"convert", path("in.svg"), path("out.txt")}), 2);
    EXPECT_EQ(files(), before);
}

TEST_F(CliSvg, RenderAtAWidthOrAScale) {
    ASSERT_EQ(run({"render", path("in.svg"), "-o", path("a.png"), "--width", "80"}), 0) << err_.str();
    const std::string png = read("a.png");
    ASSERT_GT(png.size(), 24u);
    auto be32 = [&](size_t at) {
        return (static_cast<unsigned>(static_cast<unsigned char>(png[at])) << 24) |
               (static_cast<unsigned>(static_cast<unsigned char>(png[at + 1])) << 16) |
               (static_cast<unsigned>(static_cast<unsigned char>(png[at + 2])) << 8) |
               static_cast<unsigned>(static_cast<unsigned char>(png[at + 3]));
    };
    EXPECT_EQ(be32(16), 80u);  // IHDR width
    EXPECT_EQ(be32(20), 40u);  // height to scale
    ASSERT_EQ(run({"render", path("in.svg"), "-o", path("b.png"), "--scale", "0.5"}), 0) << err_.str();
    EXPECT_NE(out_.str().find("20 x 10"), std::string::npos);
    EXPECT_EQ(run({"render", path("in.svg"), "-o", path("c.png"), "--scale", "2", "--width", "9"}), 2);
}

TEST_F(CliSvg, PlayReadsSvgAndWritesByTheOutputExtension) {
    write("script.json", R"({"document": "in.svg", "plugins": [], "steps": [{"select": "all"}]})");
    ASSERT_EQ(run({"play", path("script.json"), "-o", path("played.svg")}), 0) << err_.str();
    const std::string svg = read("played.svg");
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("data-easel-selected=\"true\""), std::string::npos);
    ASSERT_EQ(run({"play", path("script.json"), "-o", path("played.json")}), 0) << err_.str();
    EXPECT_NE(read("played.json").find("\"easel-document\""), std::string::npos);
}

#ifdef EASEL_TEST_PLUGIN_DIR
// The picture of one art of a document alone, moved by (dx, dy) with its
// gradients.
Image pictureOf(const std::string& json, int64_t id, float dx, float dy) {
    std::unique_ptr<Document> doc;
    std::string error;
    EXPECT_TRUE(readDocumentJson(json, doc, error)) << error;
    std::vector<Art*> others;
    doc->forEachArt([&](Art* a) {
        if (a->id() != id && !a->parent()) others.push_back(a);
    });
    for (Art* a : others) doc->disposeArt(a);
    EXPECT_EQ(doc->transformArt(doc->findById(id), AIRealMatrix{1, 0, 0, 1, dx, dy}, 1,
                                kTransformObjects | kTransformFillGradients),
              kNoErr);
    Image image;
    EXPECT_TRUE(renderSvg(writeSvg(*doc), RenderSize{}, image, error)) << error;
    return image;
}

TEST_F(CliSvg, DragCopiesOfGradientArtLookLikeTheOriginal) {
    write("grad.svg",
          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"160\" height=\"160\" viewBox=\"0 0 160 160\">"
          "<linearGradient id=\"g\" x2=\"0.4\" y2=\"1\" spreadMethod=\"reflect\"><stop offset=\"0\" stop-color=\"red\"/>"
          "<stop offset=\"0.6\" stop-color=\"#00f\" stop-opacity=\"0.6\"/></linearGradient>"
          "<radialGradient id=\"r\" fx=\"0.2\"><stop offset=\"0\" stop-color=\"#fff\"/><stop offset=\"1\" stop-color=\"#080\"/>"
          "</radialGradient>"
          "<rect x=\"10\" y=\"10\" width=\"40\" height=\"30\" fill=\"url(#g)\" stroke=\"url(#r)\" stroke-width=\"4\"/></svg>");
    write("drag.json", R"({"document": "grad.svg", "plugins": ["Brivane"], "steps": [{"select": "all"},
        {"drag": {"tool": "Drag", "from": [30, 95], "to": [90, 25], "steps": 3}}]})");
    ASSERT_EQ(run({"play", path("drag.json"), "--plugins", EASEL_TEST_PLUGIN_DIR, "-o", path("out.json")}), 0)
        << err_.str();
    const std::string json = read("out.json");
    std::unique_ptr<Document> doc;
    std::string error;
    ASSERT_TRUE(readDocumentJson(json, doc, error)) << error;
    std::vector<Art*> art;
    doc->forEachArt([&](Art* a) { art.push_back(a); });
    ASSERT_GT(art.size(), 2u);
    Art* original = doc->findById(1);
    ASSERT_TRUE(original);
    AIRealRect from{}, to{};
    doc->bounds(original, &from);
    int compared = 0;
    for (Art* copy : art) {
        if (copy == original) continue;
        doc->bounds(copy, &to);
        ASSERT_NEAR(to.right - to.left, from.right - from.left, 1e-3f);
        ASSERT_NEAR(to.top - to.bottom, from.top - from.bottom, 1e-3f);
        const float dx = to.left - from.left, dy = to.bottom - from.bottom;
        if (std::abs(dx) + std::abs(dy) < 20) continue;
        // Moved back onto the original, the copy draws the same picture.
        const Image a = pictureOf(json, original->id(), 0, 0), b = pictureOf(json, copy->id(), -dx, -dy);
        ASSERT_EQ(a.rgba.size(), b.rgba.size());
        double diff = 0;
        for (size_t i = 0; i < a.rgba.size(); ++i) diff += std::abs(a.rgba[i] - b.rgba[i]);
        EXPECT_LT(diff / (255.0 * static_cast<double>(a.rgba.size())), 0.002) << "copy " << copy->id();
        ++compared;
    }
    EXPECT_GT(compared, 0);
}
#endif

}  // namespace
}  // namespace easel

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/Commands.h"
#include "DocumentJson.h"

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
              "<circle cx=\"30\" cy=\"10\" r=\"5\" filter=\"url(#f)\"/></svg>");
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
    EXPECT_NE(err_.str().find("filter not supported"), std::string::npos);
    std::unique_ptr<Document> doc;
    std::string error;
    ASSERT_TRUE(readDocumentJson(read("doc.json"), doc, error)) << error;
    EXPECT_EQ(doc->width(), 30.0f);  // 40 px
    ASSERT_EQ(run({"convert", path("doc.json"), path("out.svg")}), 0) << err_.str();
    EXPECT_NE(read("out.svg").find("width=\"30pt\""), std::string::npos);
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

}  // namespace
}  // namespace easel

// A compound path restyled by the tools looks like the same shape drawn as a
// simple path: in the SVG and its PNG and in the studio's picture.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "io/json/DocumentJson.h"
#include "io/render/Render.h"
#include "studio/Studio.h"
#include "io/svg/SvgExport.h"
#include "cli/Program.h"

using namespace easel;
namespace fs = std::filesystem;
using json = nlohmann::json;

namespace {

// One closed square, drawn as a simple path or as a compound path of one
// member, both with the same style.
const char* kStyle = R"("fill": {"paint": true, "color": {"kind": "rgb", "values": [0.4, 0.2, 0.6]}},
  "stroke": {"paint": true, "color": {"kind": "rgb", "values": [0, 0, 1]}, "width": 4})";
const char* kSquare = R"("closed": true,
  "segments": [[40, 40, 40, 40, 40, 40, 1], [100, 40, 100, 40, 100, 40, 1],
               [100, 100, 100, 100, 100, 100, 1], [40, 100, 40, 100, 40, 100, 1]])";

std::string document(bool compound) {
    const std::string path = std::string(kSquare) + ", " + kStyle;
    const std::string art = compound ? R"({"id": 1, "type": "compound", )" + std::string(kStyle) +
                                           R"(, "children": [{"id": 2, "type": "path", )" + path + "}]}"
                                     : R"({"id": 1, "type": "path", )" + path + "}";
    return R"({"format": "easel-document", "version": 1, "seed": 1, "page": {"width": 200, "height": 200},
      "layers": [{"name": "Layer 1", "visible": true, "locked": false, "art": [)" +
           art + "]}]}";
}

struct Route {
    const char* name;
    const char* plugin;
    const char* steps;  // after selecting everything
};
void PrintTo(const Route& r, std::ostream* os) { *os << r.name; }

const Route kRoutes[] = {
    {"DragToWhiteToBlack", "Brivane",
     R"({"options": {"tool": "Drag", "set": {"38": 3, "10": " To white", "11": " To black"}, "press": "OK"}},
        {"drag": {"tool": "Drag", "from": [70, 70], "to": [150, 150], "steps": 4}})"},
    {"DragWidthRandom", "Brivane",
     R"({"options": {"tool": "Drag", "set": {"38": 3, "14": true}, "press": "OK"}},
        {"drag": {"tool": "Drag", "from": [70, 70], "to": [150, 150], "steps": 4}})"},
    {"ScaledownLineScaling", "Brivane",
     R"({"options": {"tool": "Scaledown", "set": {"140": 4, "142": 60, "143": 60, "18": 1}, "press": "OK"}},
        {"drag": {"tool": "Scaledown", "from": [70, 70], "to": [160, 160], "steps": 4}})"},
    {"PaintIntensity", "Brivane",
     R"({"options": {"tool": "Paint", "set": {"254": 60}, "press": "OK"}},
        {"drag": {"tool": "Paint", "from": [70, 70], "to": [160, 120], "steps": 6}})"},
    {"KestovaFillStrokeWidthOpacity", "Kestova",
     R"({"options": {"tool": "KestovaTool", "set": {"29": true, "31": true, "33": true, "34": true}, "press": "OK"}},
        {"drag": {"tool": "KestovaTool", "from": [100, 100], "to": [120, 110], "steps": 4}})"},
};

class CompoundStyle : public ::testing::TestWithParam<Route> {
protected:
    fs::path dir = fs::temp_directory_path() / ("easel-compound-" + std::string(GetParam().name));
    void SetUp() override {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // The document the route leaves, starting from the square drawn either way.
    std::unique_ptr<Document> play(bool compound) {
        const Route& r = GetParam();
        std::ofstream(dir / "script.json") << R"({"document": )" << document(compound) << R"(, "plugins": [")"
                                           << r.plugin << R"("], "seed": 1, "steps": [{"select": "all"}, )"
                                           << r.steps << R"(], "output": "out.json"})";
        const std::string script = (dir / "script.json").string();
        const char* argv[] = {"easel", "play", script.c_str(), "--strict", "--plugins", EASEL_PLUGIN_DIR};
        std::ostringstream out, err;
        EXPECT_EQ(cli::easelMain(6, argv, out, err), 0) << err.str();
        std::ifstream in(dir / "out.json");
        std::stringstream text;
        text << in.rdbuf();
        std::unique_ptr<Document> doc;
        std::string error;
        EXPECT_TRUE(readDocumentJson(text.str(), doc, error)) << error;
        return doc;
    }
};

// The document's PNG as `easel render` draws it, or its SVG drawn by librsvg.
Image picture(const Document& doc, bool fromSvg) {
    Image image;
    std::string error;
    EXPECT_TRUE(fromSvg ? renderSvg(writeSvg(doc), RenderSize{}, image, error)
                        : renderDocument(doc, RenderSize{}, image, error))
        << error;
    return image;
}

// The studio's picture without the art ids, which differ between the two.
json scene(const Document& doc) {
    json s = json::parse(studio::sceneText(doc));
    for (auto& layer : s["layers"])
        for (auto& art : layer["art"]) art.erase("id");
    return s;
}

// Whether some compound's first member no longer has the compound's own
// style, opacity and blend mode: the route styled the members.
bool membersRestyled(const Document& doc) {
    for (const Art* a = doc.layerFromBottom(0)->firstArt(); a; a = a->next()) {
        const Art* m = a->firstChild();
        if (a->type() == kCompoundPathArt && m &&
            (!sameStyle(m->style(), a->style()) || m->opacity() != 1 || m->blendMode() != 0))
            return true;
    }
    return false;
}

TEST_P(CompoundStyle, LooksLikeTheSimplePath) {
    auto simple = play(false);
    auto compound = play(true);
    ASSERT_TRUE(simple && compound);
    EXPECT_TRUE(membersRestyled(*compound));
    EXPECT_EQ(scene(*compound), scene(*simple));
    for (bool fromSvg : {false, true}) {
        const Image a = picture(*compound, fromSvg), b = picture(*simple, fromSvg);
        EXPECT_TRUE(a.width == b.width && a.height == b.height && a.rgba == b.rgba)
            << (fromSvg ? "the SVGs draw differently" : "the PNGs differ");
    }
}

INSTANTIATE_TEST_SUITE_P(Routes, CompoundStyle, ::testing::ValuesIn(kRoutes),
                         [](const auto& route) { return std::string(route.param.name); });

}  // namespace

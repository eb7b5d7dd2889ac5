// Typed text: the text, editText and textStyle edits, and text set line by
// line as the SVG writer and the studio's picture both take it.
#include <gtest/gtest.h>

#include <algorithm>

#include "edit/Edit.h"
#include "io/json/DocumentJson.h"
#include "io/svg/SvgExport.h"
#include "io/svg/SvgImport.h"
#include "io/svg/TextLayout.h"

using namespace easel;
using edit::json;

// fontconfig keeps what it reads of the fonts for the life of the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

struct TextFixture {
    std::unique_ptr<Document> doc = newDocument(400, 400);
    edit::Clipboard clipboard;

    edit::Outcome run(const json& e) { return edit::run(*doc, clipboard, e); }
    int64_t type(const json& e) {
        edit::Outcome r = run(e);
        EXPECT_EQ(r.error, "") << e.dump();
        return r.made.empty() ? 0 : r.made[0];
    }
    const Art& art(int64_t id) { return *doc->findById(id); }
    // The art as the document file has it.
    json member(int64_t id) {
        const json file = json::parse(writeDocumentJson(*doc));
        for (const json& a : file["layers"][0]["art"])
            if (a["id"] == id) return a;
        return nullptr;
    }
};

std::vector<std::string> lineTexts(const Art& a) {
    std::vector<std::string> out;
    const std::string& text = a.object().text;
    for (const TextLine& l : layoutText(text, static_cast<double>(a.object().fontSize), textFontOf(a)))
        out.push_back(text.substr(l.begin, l.end - l.begin));
    return out;
}

}  // namespace

TEST(TextEdit, TypingEditingAndStylingAreEachOneUndoStep) {
    TextFixture f;
    const int64_t id = f.type({{"op", "text"}, {"text", "Hello"}, {"at", {50, 300}}, {"fontSize", 30},
                               {"family", "DejaVu Serif"}, {"weight", "bold"}, {"align", "center"}, {"letterSpacing", 2}});
    json a = f.member(id);
    EXPECT_EQ(a["type"], "text");
    EXPECT_EQ(a["text"], "Hello");
    EXPECT_EQ(a["fontSize"], 30);
    EXPECT_EQ(a["matrix"], json::parse("[1, 0, 0, 1, 50, 300]"));
    EXPECT_EQ(a["svg"], json::parse(R"({"font-family": "DejaVu Serif", "font-weight": "bold", "text-anchor": "middle",
                                        "letter-spacing": "2"})"));
    EXPECT_TRUE(a["selected"].get<bool>());
    EXPECT_EQ(f.doc->undoText(), "Undo Type");

    EXPECT_EQ(f.run({{"op", "editText"}, {"text", "Hello\nworld"}}).undoName, "Type");
    EXPECT_EQ(f.run({{"op", "textStyle"}, {"fontSize", 40}}).undoName, "Font Size");
    EXPECT_EQ(f.run({{"op", "textStyle"}, {"id", id}, {"align", "right"}, {"lineSpacing", 2}}).undoName, "Text Style");
    a = f.member(id);
    EXPECT_EQ(a["text"], "Hello\nworld");
    EXPECT_EQ(a["fontSize"], 40);
    EXPECT_EQ(a["lineSpacing"], 2);
    EXPECT_EQ(a["svg"]["text-anchor"], "end");
    EXPECT_EQ(a["svg"]["font-weight"], "bold");  // the other settings stay

    // Undo takes back one step at a time.
    ASSERT_TRUE(f.doc->undo());
    EXPECT_EQ(f.member(id)["svg"]["text-anchor"], "middle");
    EXPECT_FALSE(f.member(id).contains("lineSpacing"));
    ASSERT_TRUE(f.doc->undo());
    EXPECT_EQ(f.member(id)["fontSize"], 30);
    ASSERT_TRUE(f.doc->undo());
    EXPECT_EQ(f.member(id)["text"], "Hello");
    ASSERT_TRUE(f.doc->undo());
    EXPECT_EQ(f.member(id), nullptr);
}

TEST(TextEdit, RefusedEditsChangeNothing) {
    TextFixture f;
    const int64_t text = f.type({{"op", "text"}, {"text", "Kept"}, {"at", {10, 10}}});
    const int64_t square = f.type({{"op", "create"}, {"shape", "rectangle"}, {"from", {0, 0}}, {"to", {5, 5}}});
    const std::string before = writeDocumentJson(*f.doc);
    const std::pair<json, const char*> cases[] = {
        {{{"op", "text"}, {"text", ""}, {"at", {0, 0}}}, "\"text\" is empty"},
        {{{"op", "text"}, {"text", "a"}, {"at", {0, 0}}, {"fontSize", 2000}}, "must be from 0.1 to 1296"},
        {{{"op", "text"}, {"text", "a"}, {"from", {0, 0}}, {"to", {100, 0.5}}}, "at least 1 point wide and high"},
        {{{"op", "text"}, {"text", "a"}, {"at", {0, 0}}, {"family", "x'; y"}}, "may not hold quotes"},
        {{{"op", "editText"}, {"id", text}, {"text", ""}}, "\"text\" is empty"},
        {{{"op", "editText"}, {"id", square}, {"text", "b"}}, "is not text"},
        {{{"op", "textStyle"}, {"id", text}, {"fontSize", 0}}, "must be from 0.1 to 1296"},
        {{{"op", "textStyle"}, {"id", text}, {"align", "justify"}}, "align"},
        {{{"op", "textStyle"}, {"fontSize", 20}}, "no text is selected"},  // the square is selected
    };
    for (const auto& [e, message] : cases) {
        const std::string error = f.run(e).error;
        EXPECT_NE(error.find(message), std::string::npos) << e.dump() << ": " << error;
    }
    EXPECT_EQ(writeDocumentJson(*f.doc), before);

    f.type({{"op", "layerLocked"}, {"layer", "Layer 1"}, {"locked", true}});
    EXPECT_NE(f.run({{"op", "text"}, {"text", "a"}, {"at", {0, 0}}}).error.find("is locked"), std::string::npos);
    EXPECT_NE(f.run({{"op", "editText"}, {"id", text}, {"text", "b"}}).error.find("is locked"), std::string::npos);
}

TEST(TextLines, AreaTextWrapsToItsBoxAndReadsBackFromItsSvg) {
    TextFixture f;
    const std::string words = "the quick brown fox jumps over the lazy dog";
    const int64_t wide = f.type({{"op", "text"}, {"text", words}, {"from", {0, 400}}, {"to", {300, 300}}, {"fontSize", 20}});
    const int64_t narrow = f.type({{"op", "text"}, {"text", words + "\nsupercalifragilistic"}, {"from", {0, 200}},
                                   {"to", {80, 100}}, {"fontSize", 20}, {"align", "center"}, {"lineSpacing", 1.5}});
    const std::vector<std::string> wideLines = lineTexts(f.art(wide)), narrowLines = lineTexts(f.art(narrow));
    EXPECT_LT(wideLines.size(), narrowLines.size());
    ASSERT_GE(wideLines.size(), 2u);
    // Breaks fall between words, whose spaces are left out; a word wider
    // than the box is broken inside; '\n' always breaks.
    std::string joined;
    for (const std::string& l : wideLines) joined += (joined.empty() ? "" : " ") + l;
    EXPECT_EQ(joined, words);
    EXPECT_NE(narrowLines.back(), "supercalifragilistic");
    const std::vector<TextLine> placed = layoutText(f.art(narrow).object().text, 20, textFontOf(f.art(narrow)));
    for (size_t i = 0; i < placed.size(); ++i) {
        EXPECT_DOUBLE_EQ(placed[i].x, 40);  // centred in the box
        if (i) {
            EXPECT_NEAR(placed[i].y - placed[i - 1].y, 30, 1e-9);
        }
    }

    std::unique_ptr<Document> back;
    SvgReport report;
    std::string error;
    const std::string svg = writeSvg(*f.doc);
    EXPECT_NE(svg.find("<tspan x=\"40\""), std::string::npos);
    ASSERT_TRUE(readSvg(svg, back, report, error)) << error;
    EXPECT_TRUE(report.empty()) << report.text();
    f.doc = std::move(back);
    for (int64_t id : {wide, narrow}) {
        const Art* a = f.doc->findById(id);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->extra().find("svgText"), std::string::npos);  // its spans are the layout's, not kept
    }
    EXPECT_EQ(f.art(narrow).object().text, words + "\nsupercalifragilistic");
    const TextFont font = textFontOf(f.art(narrow));
    EXPECT_EQ(font.boxWidth, 80);
    EXPECT_EQ(font.boxHeight, 100);
    EXPECT_EQ(font.lineSpacing, 1.5);
    EXPECT_EQ(font.anchor, 1);
    EXPECT_EQ(lineTexts(f.art(narrow)), narrowLines);
}

TEST(TextLines, DocumentFilesKeepTheBoxWhichBoundsTheTextAndRefuseABadOne) {
    TextFixture f;
    const int64_t id = f.type({{"op", "text"}, {"text", "a b"}, {"from", {0, 100}}, {"to", {50, 60}}, {"lineSpacing", 2}});
    json doc = json::parse(writeDocumentJson(*f.doc));
    EXPECT_EQ(f.member(id)["box"], json::parse("[50, 40]"));
    std::unique_ptr<Document> back;
    std::string error;
    ASSERT_TRUE(readDocumentJson(doc.dump(), back, error)) << error;
    EXPECT_EQ(writeDocumentJson(*back), writeDocumentJson(*f.doc));
    // Area text is measured by its box, for the tools and the edits alike.
    AIRealRect bounds{};
    ASSERT_EQ(back->bounds(back->findById(id), &bounds), kNoErr);
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.top, 100);
    EXPECT_EQ(bounds.right, 50);
    EXPECT_EQ(bounds.bottom, 60);
    doc["layers"][0]["art"][0]["box"] = json::parse("[50, -1]");
    EXPECT_FALSE(readDocumentJson(doc.dump(), back, error));
    EXPECT_NE(error.find("art[0].box: expected [width, height]"), std::string::npos) << error;
}

// Plain drawings are read as the XML streams in: which files stream, and
// that a file read so gives what reading it whole gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "io/json/DocumentJson.h"
#include "io/svg/SvgExport.h"
#include "io/svg/SvgImport.h"
#include "io/svg/SvgStream.h"
#include "io/svg/SvgStreamParser.h"

namespace easel {
namespace {

std::string page(const std::string& body, const std::string& rootExtra = "") {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100pt\" height=\"100pt\" viewBox=\"0 0 100 100\"" +
           rootExtra + ">" + body + "</svg>";
}

// The elements the stream gives, in order (a streamed layer's before its
// members), or "declined".
std::string streamed(const std::string& text, size_t maxElements = 1000) {
    std::string seen;
    try {
        svg::ElementStream s(text, maxElements);
        const std::function<void(xmlNodePtr)> visit = [&](xmlNodePtr c) {
            seen += std::string(reinterpret_cast<const char*>(c->name)) + " ";
            if (s.at(c)) s.children(c, visit);
            else if (c->children && c->children->type == XML_ELEMENT_NODE) seen += "(whole) ";
        };
        s.children(s.root(), visit);
        s.finish();
    } catch (const svg::StreamDeclined&) {
        return "declined";
    }
    return seen;
}

TEST(SvgStream, PlainDrawingsStreamAndWhatNeedsTheWholeFileDeclines) {
    const std::string layer = "<g data-easel-layer=\"A\">"
                              "<path d=\"M0 0 L10 10\" data-easel-tags=\"{&quot;k&quot;:&quot;v&quot;}\"/>"
                              "<!-- a note --><?editor keep?>\n  <rect width=\"5\" height=\"5\" style=\"fill:red\"/>"
                              "<g transform=\"translate(1 2)\"><circle r=\"3\"/></g></g>";
    EXPECT_EQ(streamed("<?xml version=\"1.0\"?>\n" + page(layer + "<ellipse rx=\"1\" ry=\"2\"/>") + "\n<!-- end -->"),
              "g path rect g (whole) ellipse ");
    EXPECT_EQ(streamed(page("")), "");
    EXPECT_EQ(streamed("<svg xmlns=\"http://www.w3.org/2000/svg\"/>"), "");

    // Anything that names, reaches or defines another part of the file, or
    // that the file's own grammar may turn into elements, and what is not
    // well-formed (the whole-tree reading words the error).
    for (const std::string& text : std::vector<std::string>{
             page(layer + "<path id=\"late\" d=\"M0 0\"/>"),
             page(layer + "<path class=\"c\" d=\"M0 0\"/>"),
             page(layer + "<path d=\"M0 0\" fill=\"url(#g)\"/>"),
             page(layer + "<g><path d=\"M0 0\" style=\"stroke: URL(#g)\"/></g>"),
             page(layer + "<style>path { fill: blue }</style>"),
             page(layer + "<defs/>"),
             page("<g><path d=\"M0 0\"><title>t</title></path></g>"),
             page("<svg width=\"5\"/>"),
             page("<g xmlns:x=\"urn:x\"><x:shape/></g>"),
             page("<path d=\"M0 0\"/>", " id=\"root\""),
             "<!DOCTYPE svg [<!ENTITY e \"<rect/>\">]>" + page("<g>&e;</g>"),
             page(layer) + "<tail/>",
             page(layer).substr(0, 120),
             std::string("<html xmlns=\"http://www.w3.org/1999/xhtml\"/>"),
         })
        EXPECT_EQ(streamed(text), "declined") << text;
    EXPECT_EQ(streamed(page(layer), 4), "declined");  // more elements than allowed
}

TEST(SvgStream, TextWithinAnElementIsJoinedAsTheTreeJoinsIt) {
    // Text comes from the parser in pieces (at every entity, and at most a
    // few hundred bytes each): pieces next to each other are one text, a
    // CDATA section another.
    std::string longText;
    for (int i = 0; i < 20000; ++i) longText += "ab&amp;";
    const std::string text = page("<path d=\"M0 0\">x&lt;y<![CDATA[<c>]]>" + longText + "</path>");
    svg::StreamParser parser(text);
    EXPECT_EQ(parser.next().kind, svg::StreamParser::Kind::Root);
    const svg::StreamParser::Item path = parser.next();
    ASSERT_EQ(path.kind, svg::StreamParser::Kind::Whole);
    std::vector<std::string> texts;
    for (xmlNodePtr c = path.node->children; c; c = c->next)
        texts.push_back((c->type == XML_CDATA_SECTION_NODE ? "cdata " : "") +
                        std::string(reinterpret_cast<const char*>(c->content)));
    std::string joined;
    for (int i = 0; i < 20000; ++i) joined += "ab&";
    EXPECT_EQ(texts, (std::vector<std::string>{"x<y", "cdata <c>", joined}));
    EXPECT_EQ(parser.next().kind, svg::StreamParser::Kind::End);
    parser.finish();
}

struct Reading {
    bool ok = false;
    std::string error, json;
    std::vector<std::string> notes;
};

Reading read(const std::string& text, bool stream, SvgLimits limits = {}) {
    limits.stream = stream;
    Reading r;
    std::unique_ptr<Document> doc;
    SvgReport report;
    r.ok = readSvg(text, doc, report, r.error, limits);
    if (doc) r.json = writeDocumentJson(*doc);
    r.notes = report.notes;
    return r;
}

void expectSameReadings(const std::string& text, const SvgLimits& limits = {}) {
    const Reading streamed = read(text, true, limits), whole = read(text, false, limits);
    EXPECT_EQ(streamed.ok, whole.ok) << text.substr(0, 2000);
    EXPECT_EQ(streamed.error, whole.error) << text.substr(0, 2000);
    // Where the documents part, not the whole of them: they may be large.
    const auto at = std::mismatch(streamed.json.begin(), streamed.json.end(), whole.json.begin(), whole.json.end());
    const size_t from = static_cast<size_t>(at.first - streamed.json.begin());
    EXPECT_TRUE(streamed.json == whole.json)
        << "they part at " << from << ": " << streamed.json.substr(from, 80) << " | " << whole.json.substr(from, 80)
        << "\n" << text.substr(0, 2000);
    EXPECT_EQ(streamed.notes, whole.notes) << text.substr(0, 2000);
}

TEST(SvgStream, StreamedAndWholeReadingsGiveTheSameDocumentNotesAndErrors) {
    const std::vector<std::string> texts = {
        // Layers of every kind, loose art between them, groups, shapes, notes.
        page("<path d=\"M0 0 L5 5\"/><g inkscape:label=\"Ink\" xmlns:inkscape=\"http://www.inkscape.org/namespaces/"
             "inkscape\" inkscape:groupmode=\"layer\"><rect x=\"1\" width=\"4\" height=\"4\" transform=\"skew(3)\"/>"
             "</g><g opacity=\"0.5\"><circle r=\"2\" fill=\"#0f0\"/><polygon points=\"0,0 5,0 5,5\"/></g>"
             "<g data-easel-id=\"7\"><line x2=\"9\" y2=\"9\" stroke=\"red\"/></g><polyline points=\"1 1 2 2\"/>"),
        page("<g data-easel-layer=\"L\" data-easel-locked=\"true\"><path d=\"M0 0 Q 5 5 10 0\" "
             "data-easel-tags=\"{&quot;a&quot;:&quot;b&quot;}\" data-easel-id=\"3\"/><g data-easel-id=\"3\">"
             "<ellipse rx=\"3\" ry=\"1\" transform=\"nonsense\"/></g></g>"),
        // Declined late: read whole in the end.
        page("<g><path d=\"M0 0 L5 5\"/></g><g><path d=\"M1 1 L2 2\" fill=\"url(#p)\"/></g>"
             "<defs><linearGradient id=\"p\"><stop offset=\"0\" stop-color=\"red\"/></linearGradient></defs>"),
        page("<g><path d=\"M0 0 L5 5\"/></g><style>path { stroke: blue }</style>"),
        // Refused, with the whole-tree reading's words.
        page("<g><path d=\"M0 0 L5 5\"/></g>") + "<junk>",
        page("<path d=\"M0 0\"/>", " width=\"0\""),
    };
    for (const std::string& text : texts) expectSameReadings(text);
    SvgLimits few;
    few.maxObjects = 2;
    expectSameReadings(texts[0], few);
    // What easel writes of them streams and reads back alike.
    for (const std::string& text : {texts[0], texts[1]}) {
        std::unique_ptr<Document> doc;
        SvgReport report;
        std::string error;
        ASSERT_TRUE(readSvg(text, doc, report, error)) << error;
        const std::string written = writeSvg(*doc);
        EXPECT_NE(streamed(written), "declined") << written;
        expectSameReadings(written);
    }
}

TEST(SvgStream, FilesStreamFromTheDiskOnlyWhenPlainAndWithinTheLimits) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "easel-svg-stream-test";
    std::filesystem::create_directories(dir);
    auto file = [&](const std::string& name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
        return dir / name;
    };
    const std::string plain = page("<g><path d=\"M0 0 L5 5\" stroke=\"red\"/><rect width=\"3\" height=\"4\"/></g>");
    std::unique_ptr<Document> doc;
    SvgReport report;
    ASSERT_TRUE(readSvgFileStreamed(file("plain.svg", plain), doc, report));
    EXPECT_EQ(writeDocumentJson(*doc), read(plain, false).json);

    SvgLimits small;
    small.maxBytes = plain.size() - 1;
    EXPECT_FALSE(readSvgFileStreamed(dir / "plain.svg", doc, report, small));
    EXPECT_EQ(doc, nullptr);
    const std::string compressed = std::string("\x1f\x8b") + plain;
    for (const auto& path : {file("defs.svg", page("<defs/><path d=\"M0 0\"/>")), file("gzip.svg", compressed),
                             dir / "missing.svg", dir}) {
        EXPECT_FALSE(readSvgFileStreamed(path, doc, report)) << path;
        EXPECT_EQ(doc, nullptr);
        EXPECT_TRUE(report.notes.empty());
    }
    std::filesystem::remove_all(dir);
}

// A large file is parsed a part at a time ahead of the importer (on a
// second thread from 1 MB), and the blocks of elements read are used again:
// elements across many parts, a layer read whole after all, text, entities
// and prefixes must come out as the whole tree gives them, and a fault
// anywhere must be found as it is there.
TEST(SvgStream, LargeFilesReadAheadGiveWhatTheWholeTreeGives) {
    std::string big = "<g inkscape:label=\"Big &amp; bold\" inkscape:groupmode=\"layer\">";
    for (int i = 0; i < 7500; ++i) {
        const std::string x = std::to_string(i % 97), y = std::to_string(i / 97);
        big += "\n  <path d=\"M" + x + " " + y + " L" + x + ".5 " + y + ".5 Z\" fill=\"#" +
               (i % 2 ? "a0b0c0" : "102030") + "\" data-easel-tags=\"{&quot;n&quot;:&quot;" + std::to_string(i) +
               " &amp; &#233;&quot;}\" stroke-width=\"1.5\"/>";
        if (i % 1000 == 0) big += "<!-- part --><g opacity=\"0.5\">text <![CDATA[<x>]]><circle r=\"2\"/></g>";
    }
    big += "</g><g data-easel-id=\"77\" xml:space=\"preserve\">";  // a layer that is art: read whole
    for (int i = 0; i < 3000; ++i)
        big += "<rect x=\"" + std::to_string(i % 50) + "\" y=\"" + std::to_string(i / 50) +
               "\" width=\"1\" height=\"1\"/>";
    big += "</g><ellipse rx=\"3\" ry=\"2\"/>";
    const std::string root = " xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\"";
    const std::string text = page(big, root);
    ASSERT_GT(text.size(), size_t{1} << 20);
    EXPECT_NE(streamed(text, 100000), "declined");
    expectSameReadings(text);
    // Faults late in the file, and the file cut short in the middle of a part.
    expectSameReadings(text + "<junk/>");
    std::string linked = text;
    linked.insert(linked.rfind("<rect"), "<path d=\"M0 0\" fill=\"url(#p)\"/>");
    expectSameReadings(linked);
    expectSameReadings(text.substr(0, text.size() * 2 / 3));
}

}  // namespace
}  // namespace easel

// The streaming writer and the fast reader against the tree-based ones they
// replaced: the same bytes for every document (the examples, the fuzz seeds,
// a sample of real SVG files, a document of every art type), the same verdict
// and message for every text, good or broken.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "model/Document.h"
#include "io/json/DocumentJson.h"
#include "io/json/JsonOut.h"
#include "OldDocumentJsonReader.h"
#include "OldDocumentJsonWriter.h"
#include "io/svg/SvgImport.h"

namespace easel {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Every art type, every style field, strings that need escapes, numbers of
// every size, attributes kept from elsewhere.
const char* kEveryArtType = R"({"format": "easel-document", "version": 1, "seed": -7,
  "page": {"width": 612.5, "height": 0.0001},
  "swatches": [{"name": "t\tab \"q\" \\ \u0001 é 😀", "color": {"kind": "spot", "ref": 3, "values": [0.3]}},
               {"name": "p", "color": {"kind": "pattern", "ref": 0}},
               {"name": "g", "color": {"kind": "gradient", "ref": 2147483647}}],
  "layers": [
    {"name": "Back", "visible": false, "locked": true, "art": []},
    {"name": "Front", "art": [
      {"id": 5, "type": "path", "selected": true, "locked": true, "hidden": true, "closed": true,
       "segments": [[1e-05, -1.5e-07, 123456789, 3.4e38, -0.0001, 0.1, 1], [1e20, 9e15, 8.9e15, -2.5, 1.17549435e-38, 7, 0],
                    [0.30000001, 16.952515, 17.577515, 121.06006, -3.7487066, 1e-45, 1]],
       "selectedSegments": [[0, 3], 2],
       "fill": {"paint": true, "color": {"kind": "cmyk", "values": [0.1, 0.2, 0.3, 0.4]}, "overprint": true},
       "stroke": {"paint": true, "color": {"kind": "rgb", "values": [1, 0.5, 0]}, "width": 0.25, "cap": "round",
                  "join": "bevel", "miterLimit": 10, "dash": [3, 1.5, 0.25], "dashOffset": 2, "overprint": true},
       "evenOdd": true, "opacity": 0.35, "blend": "hard-light",
       "tags": {"name": "line\nbreak", "weight": 2.5}, "later": {"a": [1, [2, 3], {"b": null}], "c": []}},
      {"id": 6, "type": "path", "selected": true, "segments": [[0, 0, 0, 0, 0, 0, 1], [1, 1, 1, 1, 1, 1, 1]],
       "selectedSegments": [1], "fill": {"paint": false, "color": {"kind": "none"}},
       "stroke": {"paint": false, "color": {"kind": "gray", "values": [1]}, "width": 1, "cap": "projecting",
                  "join": "round", "dash": [2], "dashOffset": 0}},
      {"id": 7, "type": "compound", "children": [
        {"id": 8, "type": "path", "segments": [[0, 0, 0, 0, 0, 0, 1]]},
        {"id": 9, "type": "path", "segments": []}]},
      {"id": 10, "type": "group", "opacity": 0.5, "fill": {"paint": true, "color": {"kind": "gray", "values": [0.5]}},
       "children": [
        {"id": 11, "type": "text", "text": "Hi\u0000\u001f ✓", "fontSize": 9.5, "matrix": [0.7071068, 0.7071068, -0.7071068, 0.7071068, 10, 20]},
        {"id": 12, "type": "textpath", "text": "along", "segments": [[0, 0, 0, 0, 5, 5, 0], [10, 0, 5, 5, 10, 0, 0]]},
        {"id": 13, "type": "image", "href": "data:image/png;base64,AAAA", "width": 20, "height": -10, "matrix": [2, 0, 0, 2, 0, 0]},
        {"id": 14, "type": "raster", "href": "r.png", "width": 4, "height": 4, "blend": "luminosity"},
        {"id": 15, "type": "mesh", "width": 3, "height": 3, "matrix": [1, 0, 0, 1, 1e-10, -1e10]},
        {"id": 16, "type": "symbol", "symbol": "Star ★", "width": 5, "height": 5, "svg": {"id": "x"}},
        {"id": 17, "type": "group", "children": []}]},
      {"id": 18, "type": "envelope", "warp": {"style": 15, "bend": -1, "horizontal": 0.123, "vertical": 1, "rotate90": true},
       "children": [{"id": 19, "type": "path", "closed": false,
                     "segments": [[0, 0, -1, -1, 1, 1, 0], [5, 5, 4, 4, 6, 6, 0]]}]}]}]})";

// Members in orders a file may have: art before its layer's name, the
// document's members after its layers, guides on both sides, keys repeated.
const char* kOrders[] = {
    R"({"layers": [{"art": [{"type": "path", "segments": [[1, 2, 1, 2, 1, 2, 1]]}], "name": "A", "locked": true},
                   {"name": "B", "other": 1}],
        "guides": {"horizontal": [10]}, "format": "easel-document", "version": 1,
        "page": {"width": 10, "height": 20}, "seed": 3})",
    R"({"format": "easel-document", "version": 1, "page": {"width": 10, "height": 20}, "guides": {"vertical": [4]},
        "layers": [{"name": "A", "art": [{"id": 3, "type": "group", "children": []}], "later": [1, {"x": null}]},
                   {"visible": false}],
        "guides": {"horizontal": [1]}, "unknown": {"layers": []}})",
    R"({"format": "easel-document", "version": 1, "page": {"width": 10, "height": 20},
        "layers": [{"name": "A", "art": [{"id": 3, "type": "path"}], "art": []}], "seed": 4, "seed": 5})",
};

std::vector<std::pair<std::string, std::unique_ptr<Document>>> corpus() {
    std::vector<std::pair<std::string, std::unique_ptr<Document>>> docs;
    std::string error;
    std::unique_ptr<Document> doc;
    EXPECT_TRUE(reference::oldReadDocumentJson(kEveryArtType, doc, error)) << error;
    docs.emplace_back("every art type", std::move(doc));
    std::vector<fs::path> files;
    for (const char* dir : {"examples", "fuzz/seeds"}) {
        for (const auto& e : fs::directory_iterator(fs::path(EASEL_SOURCE_DIR) / dir))
            if (e.is_regular_file()) files.push_back(e.path());
    }
    // A sample of real SVG files, as the fuzz run seeds its corpus.
    std::vector<fs::path> icons;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator("/usr/share/icons/Adwaita/scalable", ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->path().extension() == ".svg") icons.push_back(it->path());
    }
    std::sort(icons.begin(), icons.end());
    for (size_t i = 0; i < icons.size(); i += 40) files.push_back(icons[i]);
    std::sort(files.begin(), files.end());
    for (const fs::path& f : files) {
        const std::string text = readFile(f);
        doc.reset();
        if (f.extension() == ".svg") {
            SvgReport report;
            if (!readSvg(text, doc, report, error)) continue;
        } else if (text.find("\"easel-document\"") == std::string::npos ||
                   !reference::oldReadDocumentJson(text, doc, error)) {
            continue;
        }
        docs.emplace_back(f.filename().string(), std::move(doc));
    }
    // Copies moved by a pending matrix, at coordinates of every size.
    auto grid = newDocument();
    Art* r = nullptr;
    grid->newRect(10.25f, 0.5f, 0.125f, 10, false, &r);
    std::mt19937 rng(3);
    for (int i = 0; i < 200; ++i) {
        Art* c = nullptr;
        grid->duplicateArt(r, kPlaceAboveAll, nullptr, &c);
        const float s = std::ldexp(std::uniform_real_distribution<float>(0.5f, 1)(rng), i % 60 - 30);
        grid->transformArt(c, AIRealMatrix{s, 0.1f * s, -0.3f, s, s * 7.77f, -s / 3}, 1, kTransformObjects);
    }
    docs.emplace_back("transformed copies", std::move(grid));
    return docs;
}

TEST(DocumentJsonMatch, TheWriterWritesWhatTheTreeWroteForEveryDocument) {
    const auto docs = corpus();
    EXPECT_GT(docs.size(), 12u);
    for (const auto& [name, doc] : docs) {
        SCOPED_TRACE(name);
        // Gradient paints, effect spaces, clip groups and what a document
        // keeps of its SVG file came after the reference writer.
        bool newer = doc->gradientPaintCount() > 0 || !doc->svgKept().empty();
        for (size_t i = 0; i < doc->layerCount(); ++i) newer = newer || !doc->layerFromBottom(i)->svgKept().empty();
        doc->forEachArt([&](Art* a) { newer = newer || a->effectSpace() || a->clipped(); });
        if (newer) continue;
        const std::string want = reference::oldWriteDocumentJson(*doc);
        EXPECT_EQ(writeDocumentJson(*doc), want);
        // In pieces, the same bytes.
        std::string pieces;
        size_t calls = 0;
        writeDocumentJson(*doc, [&](std::string_view p) {
            pieces += p;
            ++calls;
        });
        EXPECT_EQ(pieces, want);
        EXPECT_GE(calls, 1u);
    }
}

TEST(DocumentJsonMatch, NumbersAreSpelledAsTheTreeSpelledThem) {
    std::vector<float> values = {0.0f, -0.0f, 1.0f, -1.0f, 0.1f, 1e-4f, 1e-5f, 1.5e-5f, 0.00012f, 123456.79f,
                                 8.9e15f, 9e15f, 1e16f, 3.4028235e38f, -3.4028235e38f, 1.17549435e-38f, 1e-45f,
                                 16.952515f, 17.577515f, 121.06006f, -3.7487066f, 1e15f, 1.5e15f, 0.5f};
    std::mt19937 rng(11);
    for (int i = 0; i < 300000; ++i) {
        const auto bits = static_cast<uint32_t>(rng());
        float f = 0;
        if (i % 3 == 0) std::memcpy(&f, &bits, sizeof f);
        else f = std::uniform_real_distribution<float>(-2000, 2000)(rng) / static_cast<float>(1 + i % 97);
        if (std::isfinite(f)) values.push_back(f);
    }
    for (float v : values) {
        char buf[40];
        const std::string got(buf, formatJsonNumber(v, buf));
        ASSERT_EQ(got, reference::jsonNumber(v).dump()) << v;
    }
}

// Verdicts and messages on the corpus written out and on broken copies of it.
TEST(DocumentJsonMatch, TheReaderAcceptsAndRefusesAsTheTreeDid) {
    std::vector<std::string> texts = {kEveryArtType};
    for (const auto& [name, doc] : corpus()) texts.push_back(reference::oldWriteDocumentJson(*doc));
    const std::vector<std::string> inserts = {",", "]", "}", "\"", "-0", "1e400", "\\u0000", "null", "true",
                                              "{}", "[]", "\"id\": 5, ", "0.5", "\xff", "\\ud800", " ", "07",
                                              "\"x\"", "-", "1.", "2e", "\"selected\": true, \"selected\": 1, "};
    std::mt19937 rng(5);
    const size_t sound = texts.size();
    for (size_t t = 0; t < sound; ++t) {
        const std::string base = texts[t];
        for (int m = 0; m < 40; ++m) {
            std::string s = base;
            const size_t at = rng() % s.size();
            switch (m % 3) {
                case 0: s.erase(at, 1 + rng() % 4); break;
                case 1: s.insert(at, inserts[rng() % inserts.size()]); break;
                default: s.replace(at, std::min<size_t>(3, s.size() - at), inserts[rng() % inserts.size()]); break;
            }
            texts.push_back(std::move(s));
        }
    }
    size_t accepted = 0, refused = 0;
    for (size_t i = 0; i < texts.size(); ++i) {
        std::unique_ptr<Document> oldDoc, newDoc;
        std::string oldError, newError;
        const bool oldOk = reference::oldReadDocumentJson(texts[i], oldDoc, oldError);
        const bool newOk = readDocumentJson(texts[i], newDoc, newError);
        ASSERT_EQ(newOk, oldOk) << "text " << i << ": " << oldError << " / " << newError;
        ASSERT_EQ(newError, oldError) << "text " << i;
        // Read whole rather than an art object at a time: the same.
        std::unique_ptr<Document> wholeDoc;
        std::string wholeError;
        ASSERT_EQ(readDocumentJson(texts[i], wholeDoc, wholeError, JsonReading::Whole), oldOk) << "text " << i;
        ASSERT_EQ(wholeError, oldError) << "text " << i;
        if (oldOk) {
            ++accepted;
            ASSERT_EQ(writeDocumentJson(*newDoc), reference::oldWriteDocumentJson(*oldDoc)) << "text " << i;
            ASSERT_EQ(writeDocumentJson(*wholeDoc), writeDocumentJson(*newDoc)) << "text " << i;
        } else {
            ++refused;
        }
    }
    // Both sides of the comparison are exercised.
    EXPECT_GT(accepted, sound);
    EXPECT_GT(refused, sound);
}

// Files whose members come in an order the streamed reading does not
// follow are read whole: the same document, or the same error.
TEST(DocumentJsonMatch, EveryOrderOfMembersReadsAsTheWholeReadingReadsIt) {
    for (const char* text : kOrders) {
        std::unique_ptr<Document> streamed, whole;
        std::string streamedError, wholeError;
        const bool ok = readDocumentJson(text, streamed, streamedError);
        ASSERT_EQ(readDocumentJson(text, whole, wholeError, JsonReading::Whole), ok) << text;
        ASSERT_EQ(streamedError, wholeError) << text;
        if (ok) {
            EXPECT_EQ(writeDocumentJson(*streamed), writeDocumentJson(*whole)) << text;
        }
    }
    // A layer with more art than is parsed on one thread, read as it is, with
    // a fault in its last object, and cut short.
    std::string big = R"({"format": "easel-document", "version": 1, "page": {"width": 10, "height": 20},
        "layers": [{"name": "A", "art": [)";
    for (int i = 0; i < 6000; ++i)
        big += std::string(i ? ",\n" : "") + R"(        {"id": )" + std::to_string(i + 1) +
               R"(, "type": "path", "closed": true, "segments": [[1, 2, 1, 2, 1, 2, 1], [3.5, 4, 3.5, 4, 3.5, 4, 1],
                 [5, 6.25, 5, 6.25, 5, 6.25, 0]], "fill": {"paint": true, "color": {"kind": "rgb", "values": [0.5, 0.25, 1]}}})";
    ASSERT_GT(big.size(), (size_t{1} << 20) + 4096);  // past what is parsed on one thread
    const std::string tail = "]}]}";
    std::string faulty = big;
    faulty.replace(faulty.rfind("\"path\""), 6, "\"pith\"");
    for (const std::string& text : {big + tail, faulty + tail, big + "]}"}) {
        std::unique_ptr<Document> streamed, whole;
        std::string streamedError, wholeError;
        const bool ok = readDocumentJson(text, streamed, streamedError);
        ASSERT_EQ(readDocumentJson(text, whole, wholeError, JsonReading::Whole), ok);
        EXPECT_EQ(streamedError, wholeError);
        if (ok) {
            EXPECT_EQ(writeDocumentJson(*streamed), writeDocumentJson(*whole));
        }
    }
    // The last "guides" counts, before the layers or after them.
    std::unique_ptr<Document> doc;
    std::string error;
    ASSERT_TRUE(readDocumentJson(kOrders[1], doc, error)) << error;
    const std::string written = writeDocumentJson(*doc);
    EXPECT_NE(written.find("\"horizontal\": [1]"), std::string::npos);
    EXPECT_EQ(written.find("\"vertical\""), std::string::npos);
}

}  // namespace
}  // namespace easel

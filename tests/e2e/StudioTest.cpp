// The studio's session and server, driven the way the page drives them:
// commands to the host thread, the real Brivane bundle, HTTP on loopback.
#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <cstring>
#include <fstream>
#include <set>
#include <future>
#include <sstream>
#include <thread>

#include "cli/Program.h"
#include "studio/Server.h"
#include "studio/Studio.h"

namespace fs = std::filesystem;
using easel::studio::json;
using easel::studio::Studio;
using easel::studio::StudioOptions;

namespace {

const fs::path kExamples = EASEL_EXAMPLES_DIR;

size_t artCount(const json& state) {
    size_t n = 0;
    for (const auto& l : state["scene"]["layers"]) n += l["art"].size();
    return n;
}

// A 400 x 300 document of one layer.
std::string document(const json& art, const std::string& layer = "Layer 1") {
    return json{{"format", "easel-document"}, {"version", 1}, {"seed", 1}, {"page", {{"width", 400}, {"height", 300}}},
                {"layers", {{{"name", layer}, {"visible", true}, {"locked", false}, {"art", art}}}}}
        .dump();
}

// A closed grey path through corner points.
json square(int id, bool selected, const std::vector<std::pair<double, double>>& corners) {
    json segments = json::array();
    for (auto [h, v] : corners) segments.push_back({h, v, h, v, h, v, 1});
    return {{"id", id}, {"type", "path"}, {"selected", selected}, {"closed", true}, {"segments", segments},
            {"fill", {{"paint", true}, {"color", {{"kind", "gray"}, {"values", {0.5}}}}}}, {"stroke", {{"paint", false}}}};
}

class StudioSession : public ::testing::Test {
protected:
    void SetUp() override {
        StudioOptions o;
        o.document = kExamples / "grid-shapes.json";
        o.pluginDirs = {EASEL_TEST_PLUGIN_DIR};
        o.plugins = plugins;
        studio = std::make_unique<Studio>(o);
        std::string error;
        ASSERT_TRUE(studio->start(error)) << error;
    }
    void TearDown() override { studio.reset(); }

    json call(const json& c) { return studio->call(c); }
    json drag(const std::string& tool, std::vector<std::pair<double, double>> points, int mods = 0) {
        json r = call({{"op", "down"}, {"tool", tool}, {"x", points[0].first}, {"y", points[0].second}, {"modifiers", mods}});
        EXPECT_TRUE(r["ok"]) << r.dump();
        for (size_t i = 1; i < points.size(); ++i)
            EXPECT_TRUE(call({{"op", "move"}, {"x", points[i].first}, {"y", points[i].second}, {"modifiers", mods}})["ok"]);
        return call({{"op", "up"}, {"x", points.back().first}, {"y", points.back().second}, {"modifiers", mods}});
    }
    const json* item(const json& dialog, int id) {
        for (const auto& i : dialog["items"])
            if (i["id"] == id) return &i;
        return nullptr;
    }
    // The first enabled spin edit of an open dialog.
    json firstSpin(const json& dialog) {
        for (const auto& i : dialog["items"])
            if (i["kind"] == "spin" && i["enabled"].get<bool>()) return i;
        return nullptr;
    }

    std::unique_ptr<Studio> studio;
    std::vector<std::string> plugins = {"Brivane"};
};

TEST_F(StudioSession, StateListsTheToolsWithIconsAndThePage) {
    json s = call({{"op", "state"}});
    ASSERT_TRUE(s["ok"]);
    EXPECT_EQ(s["page"]["width"], 600);
    EXPECT_EQ(s["page"]["height"], 420);
    bool drag = false;
    for (const auto& t : s["tools"]) {
        if (t["title"].get<std::string>().find("Drag") != std::string::npos) drag = true;
        EXPECT_EQ(t["icon"].get<std::string>().rfind("data:image/png;base64,", 0), 0u) << t["title"];
    }
    EXPECT_TRUE(drag);
    EXPECT_EQ(artCount(s), 3u);
    EXPECT_FALSE(s["canUndo"]);
}

TEST_F(StudioSession, ClickShiftClickAndDeselectChangeTheSelection) {
    EXPECT_EQ(call({{"op", "select"}, {"ids", {1}}})["selection"], json({1}));
    EXPECT_EQ(call({{"op", "select"}, {"mode", "toggle"}, {"ids", {3}}})["selection"], json({1, 3}));
    EXPECT_EQ(call({{"op", "select"}, {"mode", "toggle"}, {"ids", {1}}})["selection"], json({3}));
    EXPECT_FALSE(call({{"op", "select"}, {"ids", {99}}})["ok"]);
}

// The browser tests show the copies following the mouse and undo and redo;
// here: the drag state, mouse up keeping the last move's picture, and the
// drag as one undo step with nothing left to redo.
TEST_F(StudioSession, ADragIsOneUndoStepThatMouseUpDoesNotRedraw) {
    call({{"op", "select"}, {"ids", {1}}});
    ASSERT_TRUE(call({{"op", "down"}, {"tool", "Drag"}, {"x", 58}, {"y", 378}})["ok"]);
    json far = call({{"op", "move"}, {"x", 500}, {"y", 378}});
    EXPECT_TRUE(far["dragging"]);
    json up = call({{"op", "up"}, {"x", 500}, {"y", 378}});
    ASSERT_TRUE(up["ok"]) << up.dump();
    EXPECT_FALSE(up["dragging"]);
    EXPECT_EQ(up["scene"], far["scene"]);
    EXPECT_TRUE(up["canUndo"]);
    EXPECT_EQ(artCount(call({{"op", "undo"}})), 3u);
    EXPECT_EQ(artCount(call({{"op", "redo"}})), artCount(up));
    EXPECT_FALSE(call({{"op", "redo"}})["ok"]);
}

// Host edits from the page: recorded as edit steps, one undo step each,
// refused mid-drag or when unknown; selecting is no undo step.
TEST_F(StudioSession, EditsAreRecordedStepsAndSelectingIsNoUndoStep) {
    const bool undoBefore = call({{"op", "state"}})["canUndo"];
    ASSERT_TRUE(call({{"op", "select"}, {"ids", {1}}})["ok"]);
    EXPECT_EQ(call({{"op", "state"}})["canUndo"], undoBefore);
    const json move = {{"op", "move"}, {"by", {10, 0}}};
    json moved = call({{"op", "edit"}, {"edit", move}});
    ASSERT_TRUE(moved["ok"]) << moved.dump();
    EXPECT_EQ(moved["undoText"], "Undo Move");
    EXPECT_EQ(call({{"op", "script"}})["script"]["steps"].back(), json({{"edit", move}}));
    EXPECT_TRUE(call({{"op", "anchors"}})["paths"].is_array());
    EXPECT_FALSE(call({{"op", "edit"}, {"edit", {{"op", "frobnicate"}}}})["ok"]);
    ASSERT_TRUE(call({{"op", "down"}, {"tool", "Drag"}, {"x", 1}, {"y", 1}})["ok"]);
    EXPECT_FALSE(call({{"op", "edit"}, {"edit", move}})["ok"]);
    EXPECT_TRUE(call({{"op", "up"}, {"x", 1}, {"y", 1}})["ok"]);
}

TEST_F(StudioSession, DragCommandsOutOfOrderAreRefused) {
    EXPECT_FALSE(call({{"op", "move"}, {"x", 1}, {"y", 1}})["ok"]);
    EXPECT_FALSE(call({{"op", "up"}, {"x", 1}, {"y", 1}})["ok"]);
    EXPECT_FALSE(call({{"op", "down"}, {"tool", "No Such Tool"}, {"x", 1}, {"y", 1}})["ok"]);
    ASSERT_TRUE(call({{"op", "down"}, {"tool", "Drag"}, {"x", 1}, {"y", 1}})["ok"]);
    // A page's second mouse down ends the drag whose mouse up it lost.
    EXPECT_TRUE(call({{"op", "down"}, {"tool", "Drag"}, {"x", 1}, {"y", 1}})["ok"]);
    EXPECT_FALSE(call({{"op", "down"}, {"tool", "Drag"}, {"x", 1}, {"y", 1}, {"client", "another page"}})["ok"]);
    EXPECT_FALSE(call({{"op", "undo"}})["ok"]);
    EXPECT_FALSE(call({{"op", "move"}, {"x", 1e30}, {"y", 1}})["ok"]);
    EXPECT_TRUE(call({{"op", "up"}, {"x", 2}, {"y", 2}})["ok"]);
    EXPECT_FALSE(call({{"op", "frobnicate"}})["ok"]);
    EXPECT_FALSE(call(json::array())["ok"]);
}

// Cancel and OK keeping the values are shown by the browser tests.
TEST_F(StudioSession, TheOptionDialogWaitsForThePageAndClampsWhatItIsSent) {
    json opened = call({{"op", "options"}, {"tool", "Drag"}});
    ASSERT_TRUE(opened["ok"]) << opened.dump();
    ASSERT_TRUE(opened["dialog"].is_object()) << "the answer comes while the dialog is open";
    json spin = firstSpin(opened["dialog"]);
    ASSERT_TRUE(spin.contains("max")) << spin.dump();
    const int id = spin["id"];
    // Other work waits until the dialog is answered.
    EXPECT_FALSE(call({{"op", "selectAll"}})["ok"]);
    json set = call({{"op", "dialogSet"}, {"id", id}, {"value", 1e9}});
    ASSERT_TRUE(set["ok"]) << set.dump();
    ASSERT_NE(item(set["dialog"], id), nullptr);
    EXPECT_EQ((*item(set["dialog"], id))["value"], spin["max"]);
    json cancelled = call({{"op", "dialogPress"}, {"id", 2}});
    ASSERT_TRUE(cancelled["ok"]);
    EXPECT_TRUE(cancelled["dialog"].is_null());
    EXPECT_FALSE(call({{"op", "dialogPress"}, {"id", 2}})["ok"]) << "no dialog is open any more";
}

TEST_F(StudioSession, ResetAfterATypedValueShowsTheStartUpCopies) {
    json opened = call({{"op", "options"}, {"tool", "Drag"}});
    ASSERT_TRUE(opened["dialog"].is_object()) << opened.dump();
    const int copies = 38;
    ASSERT_NE(item(opened["dialog"], copies), nullptr);
    ASSERT_TRUE(call({{"op", "dialogSet"}, {"id", copies}, {"text", "14"}})["ok"]);
    json reset = call({{"op", "dialogPress"}, {"id", 3}});
    ASSERT_TRUE(reset["ok"]) << reset.dump();
    ASSERT_TRUE(reset["dialog"].is_object()) << "Reset keeps the dialog open";
    EXPECT_EQ((*item(reset["dialog"], copies))["value"], 10);
    EXPECT_EQ((*item(reset["dialog"], copies))["text"], "10");
    call({{"op", "dialogPress"}, {"id", 1}});
    json again = call({{"op", "options"}, {"tool", "Drag"}});
    EXPECT_EQ((*item(again["dialog"], copies))["value"], 10) << "OK after Reset keeps the defaults";
    call({{"op", "dialogPress"}, {"id", 2}});
}

// Every coordinate pair of SVG path data (letters and numbers only, no exponents).
std::vector<std::pair<double, double>> pathPoints(std::string d) {
    for (char& ch : d)
        if (std::isalpha(static_cast<unsigned char>(ch))) ch = ' ';
    std::istringstream in(d);
    std::vector<std::pair<double, double>> pts;
    for (double h = 0, v = 0; in >> h >> v;) pts.emplace_back(h, v);
    return pts;
}

// The page is sent the picture as text written by hand: numbers rounded to a
// hundredth of a point with their signs, far-off art still written, names
// escaped, and the whole answer valid JSON with the same picture call() gives.
TEST_F(StudioSession, ThePictureTextRoundsSignsAndEscapes) {
    json path = square(1, true, {{-0.05, 0.004}, {123.456, -7.1}, {20000000000, 5.999}});
    path["opacity"] = 0.25;
    const std::string doc = document(json::array({path}), "quote \" and \\ back");
    ASSERT_TRUE(call({{"op", "open"}, {"name", "numbers.json"}, {"text", doc}})["ok"]);
    bool ok = false;
    const json r = json::parse(studio->callText({{"op", "state"}}, ok));
    ASSERT_TRUE(ok);
    EXPECT_EQ(r["scene"], call({{"op", "state"}})["scene"]);
    const json& layer = r["scene"]["layers"][0];
    EXPECT_EQ(layer["name"], "quote \" and \\ back");
    const json& art = layer["art"][0];
    EXPECT_EQ(art["sel"], true);
    const json& shape = art["p"][0];
    EXPECT_EQ(shape["d"], "M-0.05 0L123.46 -7.1L20000000000 6Z");
    EXPECT_EQ(shape["o"], 0.25);
    EXPECT_EQ(art["b"][0], -0.05);
    EXPECT_EQ(art["b"][1], -7.1);
}

// While the host thread lays out a big grid, a request thread sees which
// plug-in event runs and the art it has made so far.
TEST_F(StudioSession, StatusShowsTheProgressOfALongEvent) {
    ASSERT_TRUE(call({{"op", "selectAll"}})["ok"]);
    const std::string tool = "ZR5 Rows Columns";
    ASSERT_TRUE(call({{"op", "options"}, {"tool", tool}})["dialog"].is_object());
    call({{"op", "dialogSet"}, {"id", 20}, {"value", 100}});
    call({{"op", "dialogSet"}, {"id", 21}, {"value", 100}});
    call({{"op", "dialogPress"}, {"id", 1}});
    ASSERT_TRUE(call({{"op", "down"}, {"tool", tool}, {"x", 40}, {"y", 40}})["ok"]);
    auto move = std::async(std::launch::async, [&] { return call({{"op", "move"}, {"x", 900}, {"y", 700}}); });
    json seen;
    while (move.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) {
        json s = studio->status();
        if (s.value("objects", 0) > 0) {
            seen = s;
            break;
        }
    }
    ASSERT_TRUE(move.get()["ok"]);
    ASSERT_TRUE(seen.is_object()) << "no progress was seen while the grid was laid out";
    EXPECT_TRUE(seen["busy"]);
    EXPECT_NE(seen["event"].get<std::string>().find("Rows Columns"), std::string::npos) << seen.dump();
    EXPECT_FALSE(studio->status().contains("event"));
    call({{"op", "up"}, {"x", 900}, {"y", 700}});
}

TEST_F(StudioSession, ArtInsideAWarpedEnvelopeIsDrawnWarped) {
    json envelope = {{"id", 1}, {"type", "envelope"}, {"warp", {{"style", 1}, {"bend", 0.6}}}};
    envelope["children"] = json::array({square(2, false, {{100, 100}, {300, 100}, {300, 200}, {100, 200}})});
    const std::string doc = document(json::array({envelope}));
    json r = call({{"op", "open"}, {"name", "warped.json"}, {"text", doc}});
    ASSERT_TRUE(r["ok"]) << r.dump();
    const json& art = r["scene"]["layers"][0]["art"][0];
    ASSERT_EQ(art["p"].size(), 1u) << art.dump();
    const std::string d = art["p"][0]["d"];
    EXPECT_NE(d, "M100 100L300 100L300 200L100 200Z") << "the stored rectangle, not the warped one";
    const auto pts = pathPoints(d);
    ASSERT_GE(pts.size(), 4u) << d;
    // The drawing lies within the envelope's warped bounds, and the warp
    // moves some of it off the stored rectangle.
    const auto& b = art["b"];
    bool outside = false;
    for (const auto& [h, v] : pts) {
        EXPECT_GE(h, b[0].get<double>() - 0.5);
        EXPECT_LE(h, b[2].get<double>() + 0.5);
        EXPECT_GE(v, b[1].get<double>() - 0.5);
        EXPECT_LE(v, b[3].get<double>() + 0.5);
        if (h < 99.5 || h > 300.5 || v < 99.5 || v > 200.5) outside = true;
    }
    EXPECT_TRUE(outside) << d;
}

TEST_F(StudioSession, OpenReplacesTheDocumentAndRefusesMalformedFiles) {
    const std::string svg =
        R"x(<svg xmlns="http://www.w3.org/2000/svg" width="200" height="100"><rect x="10" y="10" width="30" height="20" fill="red"/></svg>)x";
    json r = call({{"op", "open"}, {"name", "small.svg"}, {"text", svg}});
    ASSERT_TRUE(r["ok"]) << r.dump();
    EXPECT_EQ(r["page"]["width"], 150) << "200 px are 150 points";
    EXPECT_EQ(artCount(r), 1u);
    EXPECT_FALSE(call({{"op", "open"}, {"name", "bad.json"}, {"text", "{\"format\": 3}"}})["ok"]);
    EXPECT_EQ(artCount(call({{"op", "state"}})), 1u) << "a refused file leaves the document as it was";
    std::string png, error;
    ASSERT_TRUE(studio->renderPng(100, png, error)) << error;
    EXPECT_EQ(png.substr(1, 3), "PNG");
}

// Random sessions show the recording replays; here: the steps it writes.
TEST_F(StudioSession, TheRecorderKeepsSeedsHistoryAndEveryDrag) {
    drag("Drag", {{10, 10}, {20, 20}});
    json r = call({{"op", "seed"}, {"seed", 42}});
    EXPECT_EQ(r["seed"], 42);
    EXPECT_FALSE(call({{"op", "seed"}, {"seed", 1.5}})["ok"]);
    call({{"op", "select"}, {"ids", {1}}});
    call({{"op", "select"}, {"ids", {1, 2}}});
    drag("Drag", {{58, 378}, {200, 300}});
    ASSERT_TRUE(call({{"op", "undo"}})["ok"]);
    ASSERT_TRUE(call({{"op", "redo"}})["ok"]);
    ASSERT_TRUE(call({{"op", "undo"}})["ok"]);
    ASSERT_TRUE(call({{"op", "redo"}})["ok"]);
    const json steps = call({{"op", "script"}})["script"]["steps"];
    ASSERT_EQ(steps.size(), 8u) << steps.dump();
    // A drag with nothing selected still reaches the tool, which may keep something of it.
    EXPECT_EQ(steps[0]["drag"]["events"].size(), 2u) << steps[0].dump();
    EXPECT_EQ(steps[1], json({{"seed", 42}}));
    EXPECT_EQ(steps[2], json({{"select", {1, 2}}})) << "consecutive selections are one step";
    EXPECT_EQ(steps[3]["drag"]["pen"], false);
    EXPECT_EQ(steps[4], json({{"undo", 1}}));
    EXPECT_EQ(steps[5], json({{"redo", 1}}));
    EXPECT_TRUE(call({{"op", "state"}})["unsaved"]);
    call({{"op", "save"}, {"format", "svg"}, {"download", true}});
    EXPECT_FALSE(call({{"op", "state"}})["unsaved"]);
}

// The page's picture: the JSON answer, then a header and typed arrays.
struct PagePicture {
    json answer, head;
    std::vector<int32_t> runs;
    std::vector<uint32_t> geom;
};

PagePicture pagePicture(Studio& studio, json command, uint64_t have) {
    command["picture"] = have;
    bool ok = false, binary = false;
    const std::string bytes = studio.callPage(command, ok, binary);
    EXPECT_TRUE(ok && binary) << bytes.substr(0, 200);
    PagePicture p;
    if (!binary) return p;
    auto u32 = [&](size_t at) {
        uint32_t v;
        std::memcpy(&v, bytes.data() + at, 4);
        return v;
    };
    const uint32_t n = u32(0);
    p.answer = json::parse(bytes.substr(4, n));
    const size_t start = 4 + n;
    EXPECT_EQ(start % 8, 0u);
    const uint32_t hn = u32(start);
    p.head = json::parse(bytes.substr(start + 4, hn));
    size_t at = start + 4 + hn;
    auto take = [&](size_t count, size_t size) {
        at = start + (at - start + 7) / 8 * 8;
        const size_t from = at;
        at += count * size;
        return from;
    };
    const size_t objects = p.head["objects"], shapes = p.head["shapes"];
    const json same = p.head.value("same", json::object());
    // A column the header gives as one value is not in the bytes.
    auto column = [&](const char* name, size_t count, size_t size) { return same.contains(name) ? 0 : take(count, size); };
    const size_t runsAt = take(p.head["runs"].get<size_t>() * 2, 4);
    p.runs.resize(p.head["runs"].get<size_t>() * 2);
    std::memcpy(p.runs.data(), bytes.data() + runsAt, p.runs.size() * 4);
    column("ids", objects, 8), take(p.head.value("boxes", objects) * 4, 4), column("flags", objects, 1), column("counts", objects, 4);
    take(shapes * (same.contains("linear") ? 2 : 6), 4);
    p.geom.assign(shapes, same.value("geom", 0u));
    if (const size_t geomAt = column("geom", shapes, 4)) std::memcpy(p.geom.data(), bytes.data() + geomAt, shapes * 4);
    column("style", shapes, 4), column("opacity", shapes, 4), column("blend", shapes, 1);
    EXPECT_LT(bytes.size() - at, 8u) << "the arrays end the answer";
    return p;
}

// Copies share their geometry: the page gets it once, and afterwards only
// the objects that changed, the rest as runs of what it has.
TEST_F(StudioSession, ThePagesPictureSendsEachGeometryOnceAndThenOnlyChanges) {
    call({{"op", "select"}, {"ids", {1}}});
    drag("Drag", {{58, 378}, {300, 300}});
    const PagePicture full = pagePicture(*studio, {{"op", "state"}}, 0);
    EXPECT_EQ(full.head["base"], 0);
    const size_t objects = full.head["objects"];
    ASSERT_GT(objects, 4u) << "the drag made copies";
    EXPECT_EQ(full.head["geoms"].size(), 3u) << "three distinct paths, however many copies";
    EXPECT_EQ(std::set<uint32_t>(full.geom.begin(), full.geom.end()).size(), 3u);
    EXPECT_EQ(full.runs, std::vector<int32_t>({-1, static_cast<int32_t>(objects)}));
    // The copies differ only in their place: what they share is sent once.
    EXPECT_EQ(full.head["same"]["linear"], json::parse("[1, 0, 0, 1]"));
    EXPECT_EQ(full.head["same"]["opacity"], 1);

    const uint64_t v = pagePicture(*studio, {{"op", "select"}, {"ids", {3}}}, full.head["version"]).head["version"];
    const PagePicture change = pagePicture(*studio, {{"op", "select"}, {"ids", {2}}}, v);
    EXPECT_EQ(change.head["base"], v);
    EXPECT_TRUE(change.head["geoms"].empty());
    size_t kept = 0, fresh = 0;
    for (size_t i = 0; i < change.runs.size(); i += 2) (change.runs[i] < 0 ? fresh : kept) += change.runs[i + 1];
    EXPECT_EQ(kept + fresh, objects);
    EXPECT_EQ(fresh, change.head["objects"]);
    EXPECT_EQ(fresh, 2u) << "only the two objects whose selection changed are sent";

    // A page that has some other picture gets all of it again.
    EXPECT_EQ(pagePicture(*studio, {{"op", "state"}}, v).head["base"], 0);
}

// Gradients and text reach the page as what draws them, not as a flat colour
// or an empty box; what is drawn only approximately is reported with the
// file's name.
TEST_F(StudioSession, ThePictureCarriesGradientsAndTextAndTheOpenReportNamesTheFile) {
    const std::string svg =
        R"x(<svg xmlns="http://www.w3.org/2000/svg" width="200" height="100">)x"
        R"x(<linearGradient id="g" x1="0" x2="1"><stop offset="0" stop-color="red"/>)x"
        R"x(<stop offset="1" stop-color="blue" stop-opacity=".5"/></linearGradient>)x"
        R"x(<rect width="100" height="50" fill="url(#g)"/>)x"
        R"x(<text x="150" y="80" font-size="24" font-family="Serif" font-weight="bold" text-anchor="middle">Hi</text>)x"
        R"x(<text x="10" y="90" fill="url(#g)">mean</text></svg>)x";
    const json opened = call({{"op", "open"}, {"name", "art.svg"}, {"text", svg}});
    ASSERT_TRUE(opened["ok"]) << opened.dump();
    ASSERT_EQ(opened["notices"].size(), 1u);
    EXPECT_EQ(opened["notices"][0]["name"], "art.svg");
    EXPECT_NE(opened["notices"][0]["text"].get<std::string>().find("average"), std::string::npos);

    json gradient, text, unnamed;
    const PagePicture picture = pagePicture(*studio, {{"op", "state"}}, 0);
    for (const auto& s : picture.head["styles"]) {
        if (s[1].contains("fg")) gradient = s[1]["fg"];
        if (s[1].contains("t") && s[1]["t"]["s"] == "Hi") text = s[1]["t"];
        if (s[1].contains("t") && s[1]["t"]["s"] == "mean") unnamed = s[1]["t"];
    }
    ASSERT_TRUE(gradient.is_object()) << "the rectangle's fill is sent as a gradient";
    EXPECT_EQ(gradient["g"], "linear");
    EXPECT_EQ(gradient["st"], json::parse(R"([[0, "#ff0000", 1], [1, "#0000ff", 0.5]])"));
    ASSERT_TRUE(text.is_object()) << "the text is sent with its characters";
    EXPECT_EQ(text["font"], "normal bold 24px Serif");
    EXPECT_EQ(text["a"], "center");
    // Text that names no family is drawn in the family `easel render` gives it.
    EXPECT_EQ(unnamed.value("font", ""), "normal normal 16px Times New Roman") << unnamed.dump();

    // A blurred shadow and centred text on two lines: `easel render` draws
    // them as the file does, the page otherwise, and the report says so.
    const std::string shadow =
        R"x(<svg xmlns="http://www.w3.org/2000/svg" width="200" height="100">)x"
        R"x(<filter id="f"><feGaussianBlur stdDeviation="4"/></filter>)x"
        R"x(<rect x="20" y="20" width="50" height="30" filter="url(#f)"/>)x"
        R"x(<text x="100" y="40"><tspan x="100" text-anchor="middle">one</tspan>)x"
        R"x(<tspan x="100" dy="20" text-anchor="middle">two</tspan></text></svg>)x";
    const json drawn = call({{"op", "open"}, {"name", "shadow.svg"}, {"text", shadow}});
    ASSERT_TRUE(drawn["ok"]) << drawn.dump();
    ASSERT_EQ(drawn["notices"].size(), 1u);
    const std::string report = drawn["notices"][0]["text"];
    EXPECT_NE(report.find("1 filter effect(s) (blur, shadow...) drawn in the studio without the filter"), std::string::npos) << report;
    EXPECT_NE(report.find("1 text(s) in spans"), std::string::npos) << report;
    // The spans go to the page with the text's place in the file, which it sets them from.
    json spans;
    const PagePicture set = pagePicture(*studio, {{"op", "state"}}, 0);
    for (const auto& s : set.head["styles"])
        if (s[1].contains("t") && s[1]["t"].contains("sp")) spans = s[1]["t"];
    ASSERT_TRUE(spans.is_object()) << "the spans are sent";
    EXPECT_NE(spans["sp"].get<std::string>().find(">two</tspan>"), std::string::npos) << spans.dump();
    EXPECT_EQ(spans["o"], json::parse("[100, 40]"));
}

// ---- the server ----

TEST(StudioSecurity, HostAndOriginMustBeTheServersOwn) {
    using easel::studio::hostAllowed;
    using easel::studio::originAllowed;
    EXPECT_TRUE(hostAllowed("127.0.0.1:8470", "127.0.0.1", 8470));
    EXPECT_TRUE(hostAllowed("LOCALHOST:8470", "127.0.0.1", 8470));
    EXPECT_TRUE(hostAllowed("[::1]:8470", "::1", 8470));
    EXPECT_FALSE(hostAllowed("127.0.0.1:8471", "127.0.0.1", 8470));
    EXPECT_FALSE(hostAllowed("evil.example:8470", "127.0.0.1", 8470));
    EXPECT_FALSE(hostAllowed("", "127.0.0.1", 8470));
    EXPECT_FALSE(hostAllowed("0.0.0.0:8470", "0.0.0.0", 8470));
    EXPECT_TRUE(hostAllowed("192.168.1.5:8470", "192.168.1.5", 8470));
    EXPECT_TRUE(originAllowed("http://localhost:8470", "127.0.0.1", 8470));
    EXPECT_FALSE(originAllowed("http://evil.example", "127.0.0.1", 8470));
    EXPECT_FALSE(originAllowed("null", "127.0.0.1", 8470));
    EXPECT_FALSE(originAllowed("https://127.0.0.1:8470", "127.0.0.1", 8470));
}

class StudioServer : public StudioSession {
protected:
    void SetUp() override {
        StudioSession::SetUp();
        easel::studio::ServerOptions so;
        so.maxRequestBytes = 4096;
        server = std::make_unique<easel::studio::Server>(*studio, so);
        std::string error;
        ASSERT_TRUE(server->bind(error)) << error;
        thread = std::thread([this] { server->run(); });
        client = std::make_unique<httplib::Client>("127.0.0.1", server->port());
    }
    void TearDown() override {
        server->stop();
        thread.join();
        server.reset();
        StudioSession::TearDown();
    }
    std::string own() { return "127.0.0.1:" + std::to_string(server->port()); }
    std::unique_ptr<easel::studio::Server> server;
    std::thread thread;
    std::unique_ptr<httplib::Client> client;
};

TEST_F(StudioServer, ServesThePageAndAnswersCommands) {
    auto page = client->Get("/");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("studio.js"), std::string::npos);
    auto r = client->Post("/api/call", {{"Origin", "http://" + own()}}, R"({"op":"selectAll"})", "application/json");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200);
    EXPECT_EQ(json::parse(r->body)["selection"].size(), 3u);
}

TEST_F(StudioServer, RefusesForeignHostsOriginsFormsAndLargeBodies) {
    auto rebound = client->Get("/", {{"Host", "evil.example:" + std::to_string(server->port())}});
    ASSERT_TRUE(rebound);
    EXPECT_EQ(rebound->status, 403);
    auto crossSite = client->Post("/api/call", {{"Origin", "http://evil.example"}}, R"({"op":"selectAll"})", "application/json");
    ASSERT_TRUE(crossSite);
    EXPECT_EQ(crossSite->status, 403);
    auto form = client->Post("/api/call", R"({"op":"selectAll"})", "text/plain");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->status, 403);
    EXPECT_TRUE(call({{"op", "state"}})["selection"].empty()) << "nothing refused was carried out";
    auto big = client->Post("/api/call", std::string(10000, ' '), "application/json");
    ASSERT_TRUE(big);
    EXPECT_EQ(big->status, 413);
    auto other = client->Get("/../../etc/passwd");
    ASSERT_TRUE(other);
    EXPECT_EQ(other->status, 404);
    auto notJson = client->Post("/api/call", "{", "application/json");
    ASSERT_TRUE(notJson);
    EXPECT_EQ(notJson->status, 422);
}

// ---- hostile requests ----

// The studio with the test plug-in too, whose tool can fail with an error
// dialog mid-drag.
class StudioHostile : public StudioServer {
protected:
    StudioHostile() { plugins = {"Brivane", "EaselTest"}; }
    // A command as the page sends it: the status and the answer.
    std::pair<int, json> post(const std::string& body) {
        auto r = client->Post("/api/call", body, "application/json");
        if (!r) return {0, nullptr};
        return {r->status, json::parse(r->body, nullptr, false)};
    }
    void expectRefused(const std::string& body, const std::string& error) {
        const auto [status, answer] = post(body);
        EXPECT_EQ(status, 422) << body.substr(0, 80);
        ASSERT_TRUE(answer.is_object()) << body.substr(0, 80);
        EXPECT_EQ(answer["ok"], false);
        EXPECT_NE(answer.value("error", "").find(error), std::string::npos) << answer.dump();
    }
};

// Commands no page sends: each is refused with a message naming the member
// and what it must be, and leaves nothing behind: no drag (a refused mouse
// down opened one, and every later command was refused), no step recorded,
// the document as it was.
TEST_F(StudioHostile, MalformedCommandsAreRefusedAndChangeNothing) {
    const std::string deep = std::string(1000, '[') + std::string(1000, ']');
    const std::pair<std::string, std::string> rows[] = {
        {R"({"op":5})", R"("op" must be a string, found 5)"},
        {R"({"op":null})", R"("op" must be a string, found null)"},
        {R"({"op":{"op":"state"}})", R"("op" must be a string)"},
        {R"({"scene":true})", R"(missing "op")"},
        {"[1,2]", "expected an object, found [1,2]"},
        {"{", "not valid JSON"},
        {deep, "nested deeper than 512 levels"},
        {R"({"op":"down","tool":"Drag","x":10,"y":10,"pen":"yes"})", R"("pen" must be true or false, found "yes")"},
        {R"({"op":"down","tool":"Drag","x":"abc","y":10})", R"("x" must be a number, found "abc")"},
        {R"({"op":"down","tool":"Drag","x":1,"y":1e30})", R"("y" must be from -1e+07 to 1e+07)"},
        {R"({"op":"down","tool":["Drag"],"x":1,"y":1})", R"("tool" must be a string)"},
        {R"({"op":"down","tool":"Drag","x":1,"y":1,"pressure":300})", R"("pressure" must be from 0 to 255)"},
        {R"({"op":"down","tool":"Drag","x":1,"y":1,"modifiers":0.5})", R"("modifiers" must be a whole number)"},
        {R"({"op":"move","x":1,"y":1,"client":5})", R"("client" must be a string, found 5)"},
        {R"({"op":"select","ids":"1"})", R"("ids" must be a list)"},
        {R"({"op":"select","ids":[1, 1.5]})", R"("ids"[1] must be an art id)"},
        {R"({"op":"select","ids":[1],"mode":"all"})", R"("mode" must be one of set, add, toggle)"},
        {R"({"op":"anchors","ids":[-1]})", R"("ids"[0] must be from 0)"},
        {R"({"op":"seed","seed":"7"})", R"("seed" must be a number)"},
        {R"({"op":"seed","seed":1.5})", R"("seed" must be a whole number)"},
        {R"({"op":"open","name":5,"text":"{}"})", R"("name" must be a string)"},
        {R"({"op":"save","format":"pdf"})", R"("format" must be one of json, svg)"},
        {R"({"op":"save","download":"yes"})", R"("download" must be true or false)"},
        {R"({"op":"options","tool":7})", R"("tool" must be a string)"},
        {R"({"op":"dialogSet","id":"a","value":1})", R"("id" must be a number)"},
        {R"({"op":"dialogPress"})", R"(missing "id")"},
        {R"({"op":"dialogSet","id":10})", R"(dialogSet takes "value" (a number) or "text")"},
        {R"({"op":"state","scene":1})", R"("scene" must be true or false)"},
        {R"({"op":"edit"})", R"(missing "edit")"},
    };
    const json before = call({{"op", "save"}, {"format", "json"}})["text"];
    for (const auto& [body, error] : rows) {
        SCOPED_TRACE(body.substr(0, 80));
        expectRefused(body, error);
        const json s = call({{"op", "state"}, {"scene", false}});
        ASSERT_TRUE(s["ok"]);
        EXPECT_FALSE(s["dragging"]);
        EXPECT_TRUE(s["dialog"].is_null());
    }
    EXPECT_EQ(call({{"op", "save"}, {"format", "json"}})["text"], before);
    EXPECT_TRUE(call({{"op", "script"}})["script"]["steps"].empty()) << "nothing refused was recorded";
    EXPECT_TRUE(drag("Drag", {{58, 378}, {200, 300}})["ok"]) << "the page's next drag is taken";
}

// A drag's events held back while a plug-in's dialog is open are checked as
// they arrive: a malformed one is refused then, not when the dialog closes.
TEST_F(StudioHostile, AHeldBackDragEventIsCheckedWhenItArrives) {
    call({{"op", "select"}, {"ids", {1}}});
    ::setenv("EASEL_TEST_FAIL_AT", "drag", 1);
    ASSERT_TRUE(call({{"op", "down"}, {"tool", "Test Move"}, {"x", 10}, {"y", 10}})["ok"]);
    const json failed = call({{"op", "move"}, {"x", 20}, {"y", 20}});
    ::unsetenv("EASEL_TEST_FAIL_AT");
    ASSERT_TRUE(failed["dialog"].is_object()) << failed.dump();
    expectRefused(R"({"op":"move","x":"abc","y":30})", R"("x" must be a number, found "abc")");
    expectRefused(R"({"op":"up","x":30,"y":30,"pressure":-1})", R"("pressure" must be from 0 to 255)");
    ASSERT_TRUE(call({{"op", "dialogPress"}, {"id", 1}})["ok"]);
    call({{"op", "up"}, {"x", 30}, {"y", 30}});
    const json s = call({{"op", "state"}, {"scene", false}});
    ASSERT_TRUE(s["ok"]) << "the studio still answers";
    EXPECT_FALSE(s["dragging"]);
    EXPECT_TRUE(drag("Drag", {{58, 378}, {200, 300}})["ok"]);
}

// Moves queued behind a long task are coalesced only when well formed: two
// with a malformed page name are each refused when they run.
TEST_F(StudioHostile, QueuedMalformedMovesAreRefusedNotCoalesced) {
    std::string png, error;
    auto render = std::async(std::launch::async, [&] { return studio->renderPng(2048, png, error); });
    const json move = {{"op", "move"}, {"x", 1}, {"y", 1}, {"client", 5}};
    auto first = std::async(std::launch::async, [&] { return call(move); });
    auto second = std::async(std::launch::async, [&] { return call(move); });
    EXPECT_TRUE(render.get()) << error;
    for (json r : {first.get(), second.get()}) {
        EXPECT_FALSE(r["ok"]) << r.dump();
        EXPECT_NE(r.value("error", "").find(R"("client" must be a string)"), std::string::npos) << r.dump();
    }
    EXPECT_TRUE(call({{"op", "state"}, {"scene", false}})["ok"]);
}

// Twenty connections that send their headers a byte at a time leave the
// server threads to answer the page (the generous timeout only tells a
// starved request from an answered one).
TEST_F(StudioServer, SlowClientsDoNotStarveThePage) {
    std::vector<int> slow;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(server->port()));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int i = 0; i < 20; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        slow.push_back(fd);
    }
    std::atomic<bool> done{false};
    std::thread trickle([&] {
        const std::string head = "GET / HTTP/1.1\r\nHost: " + own() + "\r\nX-Slow: ";
        for (size_t k = 0; !done; ++k) {
            const char byte = k < head.size() ? head[k] : 'a';
            for (int fd : slow) ::send(fd, &byte, 1, MSG_NOSIGNAL);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // every slow connection has a thread by now
    httplib::Client page("127.0.0.1", server->port());
    page.set_connection_timeout(30);
    page.set_read_timeout(30);
    auto r = page.Get("/api/status");
    done = true;
    trickle.join();
    for (int fd : slow) ::close(fd);
    ASSERT_TRUE(r) << "the page was not answered while slow clients held connections";
    EXPECT_EQ(r->status, 200);
}

}  // namespace

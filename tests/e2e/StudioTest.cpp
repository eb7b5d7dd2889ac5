// The studio's session and server, driven the way the page drives them:
// commands to the host thread, the real Brivane bundle, HTTP on loopback.
#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>

#include "cli/Commands.h"
#include "Server.h"
#include "Studio.h"

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

class StudioSession : public ::testing::Test {
protected:
    void SetUp() override {
        StudioOptions o;
        o.document = kExamples / "grid-shapes.json";
        o.pluginDirs = {EASEL_TEST_PLUGIN_DIR};
        o.plugins = {"Brivane"};
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
    EXPECT_EQ(call({{"op", "selectAll"}})["selection"].size(), 3u);
    EXPECT_TRUE(call({{"op", "deselect"}})["selection"].empty());
    json r = call({{"op", "select"}, {"ids", {99}}});
    EXPECT_FALSE(r["ok"]);
}

TEST_F(StudioSession, ADragLeavesCopiesThatUndoAndRedoTakeAsOneStep) {
    call({{"op", "select"}, {"ids", {1}}});
    json up = drag("Drag", {{58, 378}, {150, 340}, {300, 300}, {450, 260}});
    ASSERT_TRUE(up["ok"]) << up.dump();
    const size_t after = artCount(up);
    EXPECT_GT(after, 3u);
    EXPECT_TRUE(up["canUndo"]);
    json undone = call({{"op", "undo"}});
    EXPECT_EQ(artCount(undone), 3u);
    json redone = call({{"op", "redo"}});
    EXPECT_EQ(artCount(redone), after);
    EXPECT_FALSE(call({{"op", "redo"}})["ok"]);
}

TEST_F(StudioSession, TheCopiesFollowEveryMoveBeforeMouseUp) {
    call({{"op", "select"}, {"ids", {1}}});
    ASSERT_TRUE(call({{"op", "down"}, {"tool", "Drag"}, {"x", 58}, {"y", 378}})["ok"]);
    json near = call({{"op", "move"}, {"x", 120}, {"y", 378}});
    json far = call({{"op", "move"}, {"x", 500}, {"y", 378}});
    // The right-most drawn point moves with the cursor while the mouse is down.
    auto right = [](const json& s) {
        double r = -1e9;
        for (const auto& l : s["scene"]["layers"])
            for (const auto& o : l["art"])
                if (o.contains("b")) r = std::max(r, o["b"][2].get<double>());
        return r;
    };
    EXPECT_GT(right(far), right(near) + 100);
    EXPECT_TRUE(far["dragging"]);
    json up = call({{"op", "up"}, {"x", 500}, {"y", 378}});
    EXPECT_FALSE(up["dragging"]);
    EXPECT_DOUBLE_EQ(right(up), right(far));
}

TEST_F(StudioSession, DragCommandsOutOfOrderAreRefused) {
    EXPECT_FALSE(call({{"op", "move"}, {"x", 1}, {"y", 1}})["ok"]);
    EXPECT_FALSE(call({{"op", "up"}, {"x", 1}, {"y", 1}})["ok"]);
    EXPECT_FALSE(call({{"op", "down"}, {"tool", "No Such Tool"}, {"x", 1}, {"y", 1}})["ok"]);
    ASSERT_TRUE(call({{"op", "down"}, {"tool", "Drag"}, {"x", 1}, {"y", 1}})["ok"]);
    EXPECT_FALSE(call({{"op", "down"}, {"tool", "Drag"}, {"x", 1}, {"y", 1}})["ok"]);
    EXPECT_FALSE(call({{"op", "undo"}})["ok"]);
    EXPECT_FALSE(call({{"op", "move"}, {"x", 1e30}, {"y", 1}})["ok"]);
    EXPECT_TRUE(call({{"op", "up"}, {"x", 2}, {"y", 2}})["ok"]);
    EXPECT_FALSE(call({{"op", "frobnicate"}})["ok"]);
    EXPECT_FALSE(call(json::array())["ok"]);
}

TEST_F(StudioSession, TheOptionDialogWaitsForThePageAndCancelKeepsTheValues) {
    json opened = call({{"op", "options"}, {"tool", "Drag"}});
    ASSERT_TRUE(opened["ok"]) << opened.dump();
    ASSERT_TRUE(opened["dialog"].is_object()) << "the answer comes while the dialog is open";
    json spin = firstSpin(opened["dialog"]);
    ASSERT_TRUE(spin.is_object());
    const int id = spin["id"];
    const double before = spin["value"];
    // Other work waits until the dialog is answered.
    EXPECT_FALSE(call({{"op", "selectAll"}})["ok"]);
    json set = call({{"op", "dialogSet"}, {"id", id}, {"value", 1e9}});
    ASSERT_TRUE(set["ok"]) << set.dump();
    const json* clamped = item(set["dialog"], id);
    ASSERT_NE(clamped, nullptr);
    if (spin.contains("max")) {
        EXPECT_EQ((*clamped)["value"], spin["max"]);
    }
    json cancelled = call({{"op", "dialogPress"}, {"id", 2}});
    ASSERT_TRUE(cancelled["ok"]);
    EXPECT_TRUE(cancelled["dialog"].is_null());
    json again = call({{"op", "options"}, {"tool", "Drag"}});
    EXPECT_EQ((*item(again["dialog"], id))["value"], before);
    call({{"op", "dialogSet"}, {"id", id}, {"value", before + 1}});
    call({{"op", "dialogPress"}, {"id", 1}});
    json third = call({{"op", "options"}, {"tool", "Drag"}});
    EXPECT_EQ((*item(third["dialog"], id))["value"], before + 1) << "OK keeps the value";
    call({{"op", "dialogPress"}, {"id", 2}});
    EXPECT_FALSE(call({{"op", "dialogPress"}, {"id", 2}})["ok"]) << "no dialog is open any more";
}

TEST_F(StudioSession, TheRecordingReplaysToTheSameDocument) {
    json opened = call({{"op", "options"}, {"tool", "Drag"}});
    json spin = firstSpin(opened["dialog"]);
    call({{"op", "dialogSet"}, {"id", spin["id"]}, {"value", spin["value"].get<double>() + 2}});
    call({{"op", "dialogPress"}, {"id", 1}});
    call({{"op", "select"}, {"ids", {1, 2}}});
    drag("Drag", {{58, 378}, {100.25, 350.5}, {220, 300}, {400, 200}}, 0x20);
    call({{"op", "select"}, {"ids", {3}}});
    drag("Drag", {{45, 37}, {200, 80}});
    json script = call({{"op", "script"}})["script"];
    ASSERT_EQ(script["steps"].size(), 5u) << script["steps"].dump();
    EXPECT_TRUE(script["steps"][0].contains("options"));
    const std::string saved = call({{"op", "save"}, {"format", "json"}})["text"];
    studio.reset();  // one session at a time owns the host

    const fs::path dir = fs::temp_directory_path() / ("studio-replay-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "script.json") << script.dump();
    easel::cli::PlayOptions p;
    p.script = dir / "script.json";
    p.output = dir / "out.json";
    p.pluginDirs = {EASEL_TEST_PLUGIN_DIR};
    std::ostringstream out, err;
    ASSERT_EQ(easel::cli::play(p, out, err), 0) << err.str();
    std::ifstream in(dir / "out.json");
    std::string replayed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(json::parse(replayed)["layers"], json::parse(saved)["layers"]);
    fs::remove_all(dir);
}

TEST_F(StudioSession, ResetAfterATypedValueShowsTheStartUpCopies) {
    json opened = call({{"op", "options"}, {"tool", "Drag"}});
    ASSERT_TRUE(opened["dialog"].is_object()) << opened.dump();
    const int copies = 38;
    ASSERT_NE(item(opened["dialog"], copies), nullptr);
    json typed = call({{"op", "dialogSet"}, {"id", copies}, {"text", "14"}});
    ASSERT_TRUE(typed["ok"]) << typed.dump();
    EXPECT_EQ((*item(typed["dialog"], copies))["value"], 14);
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

// Every coordinate pair of SVG path data.
std::vector<std::pair<double, double>> pathPoints(const std::string& d) {
    std::vector<double> numbers;
    std::string cur;
    for (char ch : d + " ") {
        if ((ch >= '0' && ch <= '9') || ch == '.' || (ch == '-' && cur.empty())) {
            cur += ch;
        } else {
            if (!cur.empty()) numbers.push_back(std::stod(cur));
            cur.clear();
            if (ch == '-') cur += ch;
        }
    }
    std::vector<std::pair<double, double>> pts;
    for (size_t i = 0; i + 1 < numbers.size(); i += 2) pts.emplace_back(numbers[i], numbers[i + 1]);
    return pts;
}

// The page is sent the picture as text written by hand: numbers rounded to a
// hundredth of a point with their signs, far-off art still written, names
// escaped, and the whole answer valid JSON with the same picture call() gives.
TEST_F(StudioSession, ThePictureTextRoundsSignsAndEscapes) {
    const std::string doc = R"({"format": "easel-document", "version": 1, "seed": 1,
 "page": {"width": 400, "height": 300},
 "layers": [{"name": "quote \" and \\ back", "visible": true, "locked": false, "art": [
   {"id": 1, "type": "path", "selected": true, "closed": true,
    "segments": [[-0.05, 0.004, -0.05, 0.004, -0.05, 0.004, 1], [123.456, -7.1, 123.456, -7.1, 123.456, -7.1, 1],
                 [20000000000, 5.999, 20000000000, 5.999, 20000000000, 5.999, 1]],
    "fill": {"paint": true, "color": {"kind": "gray", "values": [0.5]}}, "stroke": {"paint": false},
    "opacity": 0.25, "blend": "normal"}]}]})";
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
    const std::string doc = R"({"format": "easel-document", "version": 1, "seed": 1,
 "page": {"width": 400, "height": 300},
 "layers": [{"name": "Layer 1", "visible": true, "locked": false, "art": [
   {"id": 1, "type": "envelope", "selected": false, "warp": {"style": 1, "bend": 0.6}, "children": [
     {"id": 2, "type": "path", "selected": false, "closed": true,
      "segments": [[100, 100, 100, 100, 100, 100, 1], [300, 100, 300, 100, 300, 100, 1],
                   [300, 200, 300, 200, 300, 200, 1], [100, 200, 100, 200, 100, 200, 1]],
      "fill": {"paint": true, "color": {"kind": "gray", "values": [0.5]}}, "stroke": {"paint": false},
      "opacity": 1, "blend": "normal"}]}]}]})";
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

TEST_F(StudioSession, ALockedLayerBringsUpThePluginsErrorDialog) {
    std::ifstream in(kExamples / "grid-shapes.json");
    json doc = json::parse(in);
    doc["layers"].push_back({{"name", "locked"}, {"visible", true}, {"locked", true}, {"art", json::array()}});
    ASSERT_TRUE(call({{"op", "open"}, {"name", "locked.json"}, {"text", doc.dump()}})["ok"]);
    ASSERT_TRUE(call({{"op", "select"}, {"ids", {3}}})["ok"]);
    json down = call({{"op", "down"}, {"tool", "Rows Columns"}, {"x", 45}, {"y", 38}});
    ASSERT_TRUE(down["ok"]) << down.dump();
    json moved = call({{"op", "move"}, {"x", 200}, {"y", 200}});
    json shown = moved["dialog"].is_object() ? moved : down;
    ASSERT_TRUE(shown["dialog"].is_object()) << moved.dump();
    std::string texts;
    for (const auto& i : shown["dialog"]["items"]) texts += i["text"].get<std::string>() + "|";
    EXPECT_NE(texts.find("a layer is locked or invisible"), std::string::npos) << texts;
    // The person closes it; the drag ends and nothing was drawn.
    for (const auto& i : shown["dialog"]["items"])
        if (i["kind"] == "button") {
            ASSERT_TRUE(call({{"op", "dialogPress"}, {"id", i["id"]}})["ok"]);
            break;
        }
    json up = call({{"op", "up"}, {"x", 200}, {"y", 200}});
    EXPECT_TRUE(up["ok"]) << up.dump();
    EXPECT_EQ(artCount(up), 3u);
}

TEST_F(StudioSession, OpenReplacesTheDocumentAndRefusesMalformedFiles) {
    const std::string svg =
        R"(<svg xmlns="http://www.w3.org/2000/svg" width="200" height="100"><rect x="10" y="10" width="30" height="20" fill="red"/></svg>)";
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

TEST_F(StudioSession, ChangingTheSeedShowsItAndRestartsTheRecording) {
    drag("Drag", {{10, 10}, {20, 20}});
    json r = call({{"op", "seed"}, {"seed", 42}});
    EXPECT_EQ(r["seed"], 42);
    EXPECT_EQ(r["steps"], 0);
    EXPECT_FALSE(call({{"op", "seed"}, {"seed", 1.5}})["ok"]);
    EXPECT_EQ(call({{"op", "script"}})["script"]["seed"], 42);
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

TEST(StudioSecurity, OnlyItsOwnAssetsAreServed) {
    EXPECT_NE(easel::studio::findAsset("/"), nullptr);
    EXPECT_NE(easel::studio::findAsset("/studio.js"), nullptr);
    EXPECT_FALSE(easel::studio::findAsset("/studio.js")->body.empty());
    EXPECT_EQ(easel::studio::findAsset("/../CMakeLists.txt"), nullptr);
    EXPECT_EQ(easel::studio::findAsset("/etc/passwd"), nullptr);
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

}  // namespace

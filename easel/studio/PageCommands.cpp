// The page's commands: one table of named handlers, and the handlers for
// the document (state, selection, drags, undo, seed, files, the recording).
// A command is a document operation `easel play` replays with the same code.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>

#include "model/Document.h"
#include "io/json/DocumentJson.h"
#include "core/Input.h"
#include "io/svg/SvgColor.h"
#include "io/svg/SvgExport.h"
#include "io/svg/SvgImport.h"
#include "model/Names.h"
#include "model/SelectionLayer.h"
#include "run/DocumentFiles.h"
#include "run/PluginSession.h"
#include "run/Script.h"
#include "run/StepRunner.h"
#include "studio/SelectionPaint.h"
#include "studio/StudioHost.h"

namespace easel::studio {

namespace {

// Every command the page may send. whileDialog: may run while a plug-in's
// dialog waits for the person (a drag's move and up then wait for it to
// close); whileDrag: may run between mouse down and up; whileRecovery: may run
// while the last session's unsaved work waits to be restored or discarded.
const CommandRow kCommands[] = {
    {"state", true, true, true, stateCommand},
    {"script", true, true, true, scriptCommand},
    {"dismissAlert", true, true, true, dismissAlertCommand},
    {"dialogSet", true, true, true, dialogSetCommand},
    {"dialogPress", true, true, true, dialogPressCommand},
    {"select", false, true, false, selectCommand},
    {"selectAll", false, true, false, selectAllCommand},
    {"deselect", false, true, false, deselectCommand},
    {"down", false, true, false, pointerCommand},
    {"move", false, true, false, pointerCommand},
    {"up", false, true, false, pointerCommand},
    {"options", false, false, false, optionsCommand},
    {"undo", false, false, false, undoCommand},
    {"redo", false, false, false, redoCommand},
    {"seed", false, false, false, seedCommand},
    {"open", false, false, false, openCommand},
    {"save", false, false, true, saveCommand},
    {"edit", false, false, false, editCommand},
    {"anchors", false, false, false, anchorsCommand},
    {"recover", false, false, true, recoverCommand},
    {"discardRecovery", false, false, true, discardRecoveryCommand},
};

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && std::equal(tail.rbegin(), tail.rend(), s.rbegin(),
                                                 [](char a, char b) { return std::tolower(a) == std::tolower(b); });
}

// The selected objects the page lists: those whose parent is not selected too.
json selectedIds(Document& doc) {
    json ids = json::array();
    for (Art* a : doc.selectedArt())
        if (!a->parent() || !a->parent()->selected()) ids.push_back(a->id());
    return ids;
}

// The end of every selection command: the selected art's layer becomes the
// current one; consecutive selections are one step of the script.
json selected(Host& m) {
    makeSelectionLayerCurrent(*m.doc);
    m.rec.select(selectedIds(*m.doc));
    return m.state(true);
}

json undoOrRedo(Host& m, bool undo) {
    const bool done = undo ? m.doc->undo() : m.doc->redo();
    if (!done) return error(undo ? "nothing to undo" : "nothing to redo");
    if (undo)
        m.rec.undo();
    else
        m.rec.redo();
    return m.state(true);
}

// The arguments of down, move and up, all read before anything changes, so
// that a refused one leaves no drag behind.
struct PointerArgs {
    std::string op, client, tool;
    std::optional<double> x, y;  // none: where the drag last was
    int32_t modifiers = 0;
    int16_t pressure = 0;
    bool pen = false, scene = true;
};

PointerArgs readPointer(const json& c) {
    const Input in(c);
    PointerArgs a;
    a.op = in.word("op", {"down", "move", "up"});
    a.client = in.text("client", "");
    if (a.op == "down") a.tool = in.text("tool");
    if (in.has("x")) a.x = in.number("x", -kMaxCoordinate, kMaxCoordinate);
    if (in.has("y")) a.y = in.number("y", -kMaxCoordinate, kMaxCoordinate);
    // Shift, Option and Command; other keys are not the tools' business.
    a.modifiers = in.integer("modifiers", 0, INT32_MAX, 0) & (0x20 | 0x40 | 0x200);
    a.pressure = static_cast<int16_t>(in.integer("pressure", 0, 255, 0));
    a.pen = in.flag("pen", false);
    a.scene = in.flag("scene", true);
    return a;
}

}  // namespace

json error(const std::string& message) { return {{"ok", false}, {"error", message}}; }

json dispatch(Host& m, const json& c) {
    const std::string op = Input(c).text("op");
    const CommandRow* row = nullptr;
    for (const auto& r : kCommands)
        if (op == r.op) row = &r;
    // A drag's moves and mouse up wait while a dialog is open, so that mouse up always ends the drag.
    if (!m.driver.open.empty() && m.drag && (op == "move" || op == "up")) {
        if (m.drag->ending) return m.state(false);  // the dialog came from mouse up itself
        readPointer(c);  // a malformed one is refused now, not when it is carried out
        if (op == "move" && !m.deferred.empty() && m.deferred.back()["op"] == "move") m.deferred.pop_back();
        m.deferred.push_back(c);
        json s = m.state(false);
        s["deferred"] = true;
        return s;
    }
    if ((!row || !row->whileDialog) && !m.driver.open.empty()) return error("a dialog is open: answer it first");
    if (row && !row->whileRecovery && m.recovery)
        return error("the last session left unsaved work: restore or discard it first");
    if ((!row || !row->whileDrag) && m.drag) return error("a drag is in progress");
    if (!row) return error("unknown command \"" + op + "\"");
    return row->run(m, c);
}

json runCommand(Host& m, const json& c) {
    try {
        return dispatch(m, c);
    } catch (const InputError& e) {
        return error(std::string("malformed command: ") + e.what());
    } catch (const json::exception& e) {
        return error(std::string("malformed command: ") + e.what());
    }
}

std::optional<std::string> wellFormedMove(const json& c) {
    try {
        if (!c.is_object() || !c.contains("op") || c["op"] != "move") return std::nullopt;
        return readPointer(c).client;
    } catch (const InputError&) {
        return std::nullopt;
    }
}

void runDeferred(Host& m) {
    while (!m.deferred.empty() && m.driver.open.empty()) {
        json c = m.deferred.front();
        m.deferred.pop_front();
        json r = runCommand(m, c);
        if (!r.value("ok", false))
            m.notices.push_back({{"kind", "result"}, {"text", "a held-back " + c.value("op", std::string()) + ": " +
                                                                  r.value("error", "")}});
    }
}

bool readDocumentText(const std::string& name, const std::string& text, std::unique_ptr<Document>& doc,
                      std::string& message, std::string& notes) {
    if (endsWith(name, ".svg")) {
        SvgReport report;
        if (!readSvg(text, doc, report, message)) return false;
        notes = report.text();
        return true;
    }
    return readDocumentJson(text, doc, message);
}

void Host::endDrag() {
    Drag& d = *drag;
    d.ending = true;
    d.run->up(d.last, d.pressure, d.modifiers);
    // Every drag is kept, also one with nothing selected: a tool's modifier
    // keys may change its settings at mouse down, and the next drag shows it.
    rec.drag(d.run->tool().title, d.events, d.pen);
    drag.reset();
    hostState().hasPressure = false;
}

void Host::setName(std::string n) {
    for (char& ch : n)
        if (static_cast<unsigned char>(ch) < 32 || ch == '"' || ch == '/' || ch == '\\') ch = '_';
    if (n.empty()) n = "drawing";
    name = n;
    if (onName) onName(n);
}

void Host::report(Plugin& plugin, const char* selector, ASErr r) {
    if (drag && !drag->ending && r != kNoErr && r != kCancelErr) drag->failed = true;
    if (replaying) return;
    if (r == kNoErr || (r == kCancelErr && std::string(selector) != "Startup")) return;
    notices.push_back({{"kind", "result"},
                       {"text", plugin.name() + " returned " + run::resultText(r) + " to \"" + selector + "\""}});
}

json Host::state(bool withScene) {
    json layers = json::array();
    for (size_t i = 0; i < doc->layerCount(); ++i) {
        Layer* l = doc->layerFromTop(i);
        layers.push_back({{"name", l->name()}, {"visible", l->visible()}, {"locked", l->locked()}});
    }
    json swatches = json::array();
    for (size_t i = 0; i < doc->swatchCount(); ++i) {
        const Swatch* s = doc->swatch(i);
        auto c = displayColor(s->color, doc.get());
        swatches.push_back({{"name", s->name}, {"color", c ? hexColor(*c) : "none"}});
    }
    json j = {{"ok", true},
              {"page", {{"width", doc->width()}, {"height", doc->height()}}},
              {"seed", seed},
              {"plugins", pluginNames},
              {"tools", tools},
              {"layers", layers},
              {"swatches", swatches},
              {"selection", selectedIds(*doc)},
              {"canUndo", doc->canUndo()},
              {"canRedo", doc->canRedo()},
              {"undoText", doc->canUndo() ? doc->undoText() : ""},
              {"dragging", drag.has_value()},
              {"steps", rec.steps()},
              {"unsaved", rec.unsaved()},
              {"name", name},
              {"version", version},
              {"file", file.empty() ? json(nullptr) : json(file.filename().string())},
              {"currentLayer", doc->currentLayer() ? doc->currentLayer()->name() : ""}};
    const Guides& guides = doc->guides();
    j["guides"] = {{"vertical", guides.vertical}, {"horizontal", guides.horizontal}, {"gridSpacing", guides.gridSpacing}};
    if (recovery) j["recovery"] = {{"steps", (*recovery)["steps"].size()}};
    if (std::string je = rec.takeJournalError(); !je.empty()) notices.push_back({{"kind", "recovery"}, {"text", je}});
    // The style of the first selected painted object, for the style panel.
    for (Art* a : doc->selectedArt()) {
        if (a->type() == kGroupArt || a->type() == kEnvelopeArt) continue;
        // Its paints as drawn ("none" when not painted), for the Fill and Stroke boxes.
        const AIPathStyle& st = a->style();
        auto paint = [&](bool on, const AIColor& color) {
            auto c = on ? displayColor(color, doc.get()) : std::nullopt;
            return c ? hexColor(*c) : std::string("none");
        };
        j["selectionStyle"] = {{"strokeWidth", st.stroke.width}, {"opacity", a->opacity()},
                               {"blend", blendModeName(a->blendMode())},
                               {"fill", paint(st.fillPaint, st.fill.color)},
                               {"stroke", paint(st.strokePaint, st.stroke.color)}};
        addSelectionPaint(*doc, j["selectionStyle"]);
        break;
    }
    j["dialog"] = driver.open.empty() ? json(nullptr) : dialogJson(*driver.open.back());
    json shown = json::array();
    for (auto& a : alerts) shown.push_back(a);
    j["alerts"] = shown;
    j["notices"] = notices;
    notices.clear();
    // The drawing goes with the answer of the command running now.
    if (withScene && pictureHave)
        picture = stream.write(*doc, *pictureHave);
    else if (withScene)
        scene = sceneText(*doc);
    return j;
}

json stateCommand(Host& m, const json& c) { return m.state(Input(c).flag("scene", true)); }

json scriptCommand(Host& m, const json&) {
    return {{"ok", true}, {"script", m.rec.script()}, {"name", m.name + ".script.json"}};
}

// Selecting is no undo step: the selection commands change it aside from the history.
json selectCommand(Host& m, const json& c) {
    if (m.drag) return error("a drag is in progress");
    Document& doc = *m.doc;
    const Input in(c);
    const std::string mode = in.word("mode", {"set", "add", "toggle"}, "set");
    std::vector<Art*> art;
    const json& ids = in.list("ids");
    for (size_t i = 0; i < ids.size(); ++i) {
        const int64_t id = Input::idOf(ids[i], "\"ids\"[" + std::to_string(i) + "]");
        Art* a = doc.findById(id);
        if (!a || !doc.isLive(a)) return error("no art with id " + std::to_string(id));
        art.push_back(a);
    }
    doc.changeSelection([&] {
        if (mode == "set") doc.deselectAll();
        for (Art* a : art) doc.setSelected(a, mode == "toggle" ? !a->selected() : true);
    });
    return selected(m);
}

json selectAllCommand(Host& m, const json&) {
    if (m.drag) return error("a drag is in progress");
    m.doc->changeSelection([&] { m.doc->selectAll(); });
    return selected(m);
}

json deselectCommand(Host& m, const json&) {
    if (m.drag) return error("a drag is in progress");
    m.doc->changeSelection([&] { m.doc->deselectAll(); });
    return selected(m);
}

// down, move and up: a tool's drag, as the plug-in's mouse events.
json pointerCommand(Host& m, const json& c) {
    const PointerArgs a = readPointer(c);
    if (m.drag && m.drag->client != a.client) return error("a drag is in progress in another window of the studio");
    if (a.op == "down") {
        RegisteredTool* tool = run::findTool(a.tool);
        if (!tool) return error("unknown tool \"" + a.tool + "\"");
        if (!m.session->pluginOf(*tool)) return error("the tool's plug-in is not loaded");
        // A page that starts a drag while its last one is still open lost that
        // one's mouse up: the old drag ends where it last was.
        if (m.drag) m.endDrag();
        const AIRealPoint p{static_cast<float>(a.x.value_or(0)), static_cast<float>(a.y.value_or(0))};
        // (Built as a value first: clang does not take the nested struct as
        // default-constructible inside Host, where the optional is declared.)
        m.drag = Host::Drag{};
        Host::Drag& d = *m.drag;
        d.run = std::make_unique<run::PluginSession::Drag>(*m.session, *m.doc, *tool);
        d.events.push_back(json::array({p.h, p.v, {{"modifiers", a.modifiers}, {"pressure", a.pressure}}}));
        d.last = p;
        d.pressure = a.pressure;
        d.modifiers = a.modifiers;
        d.client = a.client;
        d.pen = a.pen;
        hostState().hasPressure = d.pen;
        d.run->down(p, a.pressure, a.modifiers);
        return m.state(true);
    }
    if (!m.drag) return error("no drag is in progress");
    Host::Drag& d = *m.drag;
    const AIRealPoint p{a.x ? static_cast<float>(*a.x) : d.last.h, a.y ? static_cast<float>(*a.y) : d.last.v};
    // Mouse up comes where the last drag event was, with its pressure and
    // keys, as in a replayed script: an up elsewhere is preceded by a drag
    // event there. After an event the plug-in refused, the moves are dropped
    // (neither sent nor recorded): one error per drag.
    if (!d.failed && (a.op == "move" || d.last.h != p.h || d.last.v != p.v)) {
        d.run->move(p, a.pressure, a.modifiers);
        d.events.push_back(json::array({p.h, p.v, {{"modifiers", a.modifiers}, {"pressure", a.pressure}}}));
        d.last = p;
        d.pressure = a.pressure;
        d.modifiers = a.modifiers;
    }
    if (a.op == "move") return m.state(a.scene);
    m.endDrag();
    return m.state(true);
}

json undoCommand(Host& m, const json&) { return undoOrRedo(m, true); }

json redoCommand(Host& m, const json&) { return undoOrRedo(m, false); }

json seedCommand(Host& m, const json& c) {
    m.seed = Input(c).integer("seed", INT32_MIN, INT32_MAX);
    m.doc->setSeed(m.seed);
    hostState().random.reseed(m.seed);
    m.rec.seed(m.seed);
    return m.state(false);
}

json openCommand(Host& m, const json& c) {
    std::unique_ptr<Document> fresh;
    std::string e, notes;
    const Input in(c);
    const std::string name = in.text("name");
    if (!readDocumentText(name, in.text("text"), fresh, e, notes)) return error(name + ": " + e);
    notes += drawnApartText(*fresh);
    if (!notes.empty()) m.notices.push_back({{"kind", "import"}, {"name", name}, {"text", notes}});
    m.retired.push_back(std::move(m.doc));
    m.doc = std::move(fresh);
    hostState().document = m.doc.get();
    m.seed = m.doc->seed();
    hostState().random.reseed(m.seed);
    m.rec.open(*m.doc);
    m.setName(std::filesystem::path(name).stem().string());
    m.file.clear();
    return m.state(true);
}

json saveCommand(Host& m, const json& c) {
    const Input in(c);
    // Save: back to the file the studio was started on, in its own format.
    if (in.flag("file", false)) {
        if (m.file.empty()) return error("the document has no file of its own: save a copy instead");
        std::string e;
        if (!run::writeDocumentFile(m.file, *m.doc, e)) return error(e);
        m.rec.markSaved();
        json s = m.state(false);
        s["saved"] = m.file.filename().string();
        return s;
    }
    const std::string format = in.word("format", {"json", "svg"}, "json");
    const bool download = in.flag("download", false);
    json r = {{"ok", true}, {"text", format == "svg" ? writeSvg(*m.doc) : writeDocumentJson(*m.doc)},
              {"name", m.name + "." + format}};
    // The page saves the text as a file: the work so far is saved.
    if (download) m.rec.markSaved();
    return r;
}

namespace {

// The replay of a recording: dialogs close themselves as in a batch run, and
// neither they nor the plug-ins' results are shown again.
struct Replaying {
    explicit Replaying(Host& host) : m(host) {
        m.replaying = true;
        adm::dialogManager().setDefaultDriver(nullptr);
    }
    ~Replaying() {
        m.replaying = false;
        adm::dialogManager().setDefaultDriver(&m.driver);
    }
    Replaying(const Replaying&) = delete;
    Replaying& operator=(const Replaying&) = delete;
    Host& m;
};

}  // namespace

// Restores the last session's unsaved work: its recording is replayed as
// `easel play` replays it (options dialogs answer themselves, and the
// dialogs the person answered then are not shown again), up to a step that fails.
json recoverCommand(Host& m, const json&) {
    if (!m.recovery) return error("there is no unsaved work of an earlier session to restore");
    const json script = *m.recovery;
    m.recovery.reset();
    m.rec.setJournal(m.journal);
    run::Script parsed;
    std::string e;
    std::unique_ptr<Document> first;
    if (!run::parseScript(script.dump(), parsed, e) || !readDocumentJson(parsed.inlineDocument, first, e)) {
        const std::string kept = keepUnreplayedJournal(m);
        m.rec.start(*m.doc, m.pluginNames, m.seed);
        return error("the recovery journal cannot be replayed: " + e + "; " + kept);
    }
    m.retired.push_back(std::move(m.doc));
    m.doc = std::move(first);
    hostState().document = m.doc.get();
    m.seed = parsed.seed.value_or(m.doc->seed());
    hostState().random.reseed(m.seed);
    std::ostringstream notes;
    run::StepRunner runner(*m.session, m.doc, m.retired, m.journal.parent_path(), notes);
    const bool stop = false;
    json done = script;
    done["steps"] = json::array();
    Replaying replaying(m);
    try {
        for (size_t i = 0; i < parsed.steps.size(); ++i) {
            runner.run(parsed.steps[i], stop);
            done["steps"].push_back(script["steps"][i]);
        }
    } catch (const run::StepFailure& f) {
        e = f.message;
    }
    m.seed = hostState().random.seed();
    // A journal not replayed in full is set aside before this studio's journal replaces it.
    if (!e.empty()) {
        const size_t n = done["steps"].size();
        e = "restored " + std::to_string(n) + " of " + std::to_string(parsed.steps.size()) + " steps; step " +
            std::to_string(n + 1) + " stopped it: " + e + "; " + keepUnreplayedJournal(m);
    }
    m.rec.adopt(done);
    if (!e.empty()) {
        std::fprintf(stderr, "easel: %s\n", e.c_str());
        m.notices.push_back({{"kind", "recovery"}, {"text", e}});
    }
    return m.state(true);
}

json discardRecoveryCommand(Host& m, const json&) {
    if (!m.recovery) return error("there is no unsaved work of an earlier session");
    m.recovery.reset();
    m.rec.setJournal(m.journal);
    m.rec.start(*m.doc, m.pluginNames, m.seed);
    return m.state(false);
}

// A host edit (easel/edit), recorded as an `edit` step of the script; "new"
// replaces the document.
json editCommand(Host& m, const json& c) {
    const json& e = Input(c).raw("edit");
    edit::Outcome r = edit::run(*m.doc, m.clipboard, e);
    if (!r.error.empty()) return error(r.error);
    if (r.replaced) {
        m.retired.push_back(std::move(m.doc));
        m.doc = std::move(r.replaced);
        hostState().document = m.doc.get();
        m.setName("untitled");
        m.file.clear();
    }
    // Replayed by the same edit, so "new" keeps the seed and the random numbers go on as they were.
    m.rec.edit(e);
    json s = m.state(true);
    s["made"] = r.made;
    return s;
}

// Anchors and direction points of paths, for the direct selection tool: of
// the art listed in "ids" (their paths), else of the selected paths. The
// last value says whether the anchor is selected.
json anchorsCommand(Host& m, const json& c) {
    Document& doc = *m.doc;
    constexpr size_t kMostPaths = 5000;
    std::vector<Art*> paths;
    auto addPaths = [&](Art* root) {
        std::vector<Art*> stack{root};
        while (!stack.empty() && paths.size() < kMostPaths) {
            Art* a = stack.back();
            stack.pop_back();
            if (a->hasPath()) paths.push_back(a);
            for (Art* ch = a->firstChild(); ch; ch = ch->next()) stack.push_back(ch);
        }
    };
    const Input in(c);
    if (in.has("ids")) {
        const json& ids = in.list("ids");
        for (size_t i = 0; i < ids.size(); ++i) {
            Art* a = doc.findById(Input::idOf(ids[i], "\"ids\"[" + std::to_string(i) + "]"));
            if (a && doc.isLive(a) && a->layer()->editable()) addPaths(a);
        }
    } else {
        for (Art* a : doc.selectedArt())
            if (a->hasPath() && paths.size() < kMostPaths) paths.push_back(a);
    }
    json out = json::array();
    for (Art* a : paths) {
        json segs = json::array();
        for (size_t i = 0; i < a->segmentCount(); ++i) {
            const AIPathSegment g = a->segment(i);
            const bool on = (a->segmentSelection(i) & kSegmentPointSelected) != 0;
            segs.push_back({g.p.h, g.p.v, g.in.h, g.in.v, g.out.h, g.out.v, on ? 1 : 0});
        }
        out.push_back({{"id", a->id()}, {"segments", segs}});
    }
    return {{"ok", true}, {"paths", out}};
}

}  // namespace easel::studio

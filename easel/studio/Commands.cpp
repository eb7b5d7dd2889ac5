// The page's commands: one table of named handlers, and the handlers for
// the document (state, selection, drags, undo, seed, files, the recording).
// A command is a document operation `easel play` replays with the same code.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "Document.h"
#include "DocumentJson.h"
#include "Host.h"
#include "Names.h"
#include "SelectionLayer.h"
#include "SvgColor.h"
#include "SvgExport.h"
#include "SvgImport.h"
#include "cli/Commands.h"
#include "cli/Script.h"
#include "cli/Steps.h"

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

}  // namespace

json error(const std::string& message) { return {{"ok", false}, {"error", message}}; }

json dispatch(Host& m, const json& c) {
    const std::string op = c["op"].get<std::string>();
    const CommandRow* row = nullptr;
    for (const auto& r : kCommands)
        if (op == r.op) row = &r;
    // A drag's moves and mouse up wait while a dialog is open, so that mouse up always ends the drag.
    if (!m.driver.open.empty() && m.drag && (op == "move" || op == "up")) {
        if (m.drag->ending) return m.state(false);  // the dialog came from mouse up itself
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

void runDeferred(Host& m) {
    while (!m.deferred.empty() && m.driver.open.empty()) {
        json c = m.deferred.front();
        m.deferred.pop_front();
        json r = dispatch(m, c);
        if (!r.value("ok", false))
            m.notices.push_back({{"kind", "result"}, {"text", "a held-back " + c["op"].get<std::string>() + ": " +
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
                       {"text", plugin.name() + " returned " + cli::resultText(r) + " to \"" + selector + "\""}});
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

json stateCommand(Host& m, const json& c) { return m.state(c.value("scene", true)); }

json scriptCommand(Host& m, const json&) {
    return {{"ok", true}, {"script", m.rec.script()}, {"name", m.name + ".script.json"}};
}

// Selecting is no undo step: the selection commands change it aside from the history.
json selectCommand(Host& m, const json& c) {
    if (m.drag) return error("a drag is in progress");
    Document& doc = *m.doc;
    const std::string mode = c.value("mode", "set");
    std::vector<Art*> art;
    for (const auto& idj : c.at("ids")) {
        Art* a = doc.findById(idj.get<int64_t>());
        if (!a || !doc.isLive(a)) return error("no art with id " + idj.dump());
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
    const std::string op = c["op"].get<std::string>();
    auto number = [&](const char* k, double d) { return c.contains(k) ? c[k].get<double>() : d; };
    const std::string client = c.value("client", "");
    if (m.drag && m.drag->client != client) return error("a drag is in progress in another window of the studio");
    // A page that starts a drag while its last one is still open lost that
    // one's mouse up: the old drag ends where it last was.
    if (op == "down" && m.drag) m.endDrag();
    const double x = number("x", m.drag ? m.drag->last.h : 0), y = number("y", m.drag ? m.drag->last.v : 0);
    if (!std::isfinite(x) || !std::isfinite(y) || std::fabs(x) > 1e7 || std::fabs(y) > 1e7)
        return error("the cursor is off any page");
    const AIRealPoint p{static_cast<float>(x), static_cast<float>(y)};
    const int32_t mods = static_cast<int32_t>(number("modifiers", 0)) & (0x20 | 0x40 | 0x200);
    const auto pressure = static_cast<int16_t>(std::clamp(number("pressure", 0), 0.0, 255.0));
    json ev = json::array({p.h, p.v, {{"modifiers", mods}, {"pressure", pressure}}});
    if (op == "down") {
        RegisteredTool* tool = cli::findTool(c.at("tool").get<std::string>());
        if (!tool) return error("unknown tool " + c["tool"].dump());
        if (!m.session->pluginOf(*tool)) return error("the tool's plug-in is not loaded");
        Document& doc = *m.doc;
        m.drag.emplace();
        Host::Drag& d = *m.drag;
        d.run = std::make_unique<cli::Session::Drag>(*m.session, doc, *tool);
        d.events.push_back(ev);
        d.last = p;
        d.pressure = pressure;
        d.modifiers = mods;
        d.client = client;
        d.pen = c.value("pen", false);
        hostState().hasPressure = d.pen;
        d.run->down(p, pressure, mods);
        return m.state(true);
    }
    if (!m.drag) return error("no drag is in progress");
    Host::Drag& d = *m.drag;
    // Mouse up comes where the last drag event was, with its pressure and
    // keys, as in a replayed script: an up elsewhere is preceded by a drag
    // event there. After an event the plug-in refused, the moves are dropped
    // (neither sent nor recorded): one error per drag.
    if (!d.failed && (op == "move" || d.last.h != p.h || d.last.v != p.v)) {
        d.run->move(p, pressure, mods);
        d.events.push_back(ev);
        d.last = p;
        d.pressure = pressure;
        d.modifiers = mods;
    }
    if (op == "move") return m.state(c.value("scene", true));
    m.endDrag();
    return m.state(true);
}

json undoCommand(Host& m, const json&) { return undoOrRedo(m, true); }

json redoCommand(Host& m, const json&) { return undoOrRedo(m, false); }

json seedCommand(Host& m, const json& c) {
    const double s = c.at("seed").get<double>();
    if (s != std::floor(s) || s < INT32_MIN || s > INT32_MAX) return error("a seed is a whole number");
    m.seed = static_cast<int32_t>(s);
    m.doc->setSeed(m.seed);
    hostState().random.reseed(m.seed);
    m.rec.seed(m.seed);
    return m.state(false);
}

json openCommand(Host& m, const json& c) {
    std::unique_ptr<Document> fresh;
    std::string e, notes;
    const std::string name = c.at("name").get<std::string>();
    if (!readDocumentText(name, c.at("text").get<std::string>(), fresh, e, notes)) return error(name + ": " + e);
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
    // Save: back to the file the studio was started on, in its own format.
    if (c.value("file", false)) {
        if (m.file.empty()) return error("the document has no file of its own: save a copy instead");
        std::string e;
        if (!cli::writeDocumentFile(m.file, *m.doc, e)) return error(e);
        m.rec.markSaved();
        json s = m.state(false);
        s["saved"] = m.file.filename().string();
        return s;
    }
    const std::string format = c.value("format", "json");
    if (format != "svg" && format != "json") return error("save as \"json\" or \"svg\"");
    json r = {{"ok", true}, {"text", format == "svg" ? writeSvg(*m.doc) : writeDocumentJson(*m.doc)},
              {"name", m.name + "." + format}};
    // The page saves the text as a file: the work so far is saved.
    if (c.value("download", false)) m.rec.markSaved();
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
    cli::Script parsed;
    std::string e;
    std::unique_ptr<Document> first;
    if (!cli::parseScript(script.dump(), parsed, e) || !readDocumentJson(parsed.inlineDocument, first, e)) {
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
    cli::StepRunner runner(*m.session, m.doc, m.retired, m.journal.parent_path(), notes);
    const bool stop = false;
    json done = script;
    done["steps"] = json::array();
    Replaying replaying(m);
    try {
        for (size_t i = 0; i < parsed.steps.size(); ++i) {
            runner.run(parsed.steps[i], stop);
            done["steps"].push_back(script["steps"][i]);
        }
    } catch (const cli::StepFailure& f) {
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
    const json& e = c.at("edit");
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
    if (c.contains("ids")) {
        for (const auto& idj : c["ids"]) {
            Art* a = doc.findById(idj.get<int64_t>());
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

// The page's commands: one table of named handlers, and the handlers for
// the document (state, selection, drags, undo, seed, files, the recording).
// A command is a document operation `easel play` replays with the same code.
#include <algorithm>
#include <cmath>

#include "Document.h"
#include "DocumentJson.h"
#include "Host.h"
#include "Names.h"
#include "SvgColor.h"
#include "SvgExport.h"
#include "SvgImport.h"
#include "cli/Commands.h"

namespace easel::studio {

namespace {

// Every command the page may send. whileDialog: may run while a plug-in's
// dialog waits for the person; whileDrag: may run between mouse down and up.
const CommandRow kCommands[] = {
    {"state", true, true, stateCommand},
    {"script", true, true, scriptCommand},
    {"dismissAlert", true, true, dismissAlertCommand},
    {"dialogSet", true, true, dialogSetCommand},
    {"dialogPress", true, true, dialogPressCommand},
    {"select", false, true, selectCommand},
    {"selectAll", false, true, selectAllCommand},
    {"deselect", false, true, deselectCommand},
    {"down", false, true, pointerCommand},
    {"move", false, true, pointerCommand},
    {"up", false, true, pointerCommand},
    {"options", false, false, optionsCommand},
    {"undo", false, false, undoCommand},
    {"redo", false, false, redoCommand},
    {"seed", false, false, seedCommand},
    {"open", false, false, openCommand},
    {"save", false, false, saveCommand},
    {"edit", false, false, editCommand},
    {"anchors", false, false, anchorsCommand},
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

// The end of every selection command: consecutive selections are one step of the script.
json selected(Host& m) {
    json ids = selectedIds(*m.doc);
    if (!m.steps.empty() && m.steps.back().contains("select")) m.steps.erase(m.steps.size() - 1);
    m.steps.push_back({{"select", ids}});
    return m.state(true);
}

json undoOrRedo(Host& m, bool undo) {
    const bool done = undo ? m.doc->undo() : m.doc->redo();
    if (!done) return error(undo ? "nothing to undo" : "nothing to redo");
    // Scripts have no undo: the recording starts again from here, and so do the random numbers.
    hostState().random.reseed(m.seed);
    m.restartRecording();
    return m.state(true);
}

}  // namespace

json error(const std::string& message) { return {{"ok", false}, {"error", message}}; }

json dispatch(Host& m, const json& c) {
    const std::string op = c["op"].get<std::string>();
    const CommandRow* row = nullptr;
    for (const auto& r : kCommands)
        if (op == r.op) row = &r;
    if ((!row || !row->whileDialog) && !m.driver.open.empty()) return error("a dialog is open: answer it first");
    if ((!row || !row->whileDrag) && m.drag) return error("a drag is in progress");
    if (!row) return error("unknown command \"" + op + "\"");
    return row->run(m, c);
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

void Host::restartRecording() {
    recordDoc = json::parse(writeDocumentJson(*doc));
    steps = json::array();
}

void Host::report(Plugin& plugin, const char* selector, ASErr r) {
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
              {"steps", steps.size()},
              {"currentLayer", doc->currentLayer() ? doc->currentLayer()->name() : ""}};
    // The style of the first selected painted object, for the style panel.
    for (Art* a : doc->selectedArt()) {
        if (a->type() == kGroupArt || a->type() == kEnvelopeArt) continue;
        j["selectionStyle"] = {{"strokeWidth", a->style().stroke.width}, {"opacity", a->opacity()},
                               {"blend", blendModeName(a->blendMode())}};
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
    json script = {{"document", m.recordDoc}, {"plugins", m.pluginNames}, {"seed", m.seed}, {"steps", m.steps}};
    return {{"ok", true}, {"script", script}};
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
    const double x = number("x", 0), y = number("y", 0);
    if (!std::isfinite(x) || !std::isfinite(y) || std::fabs(x) > 1e7 || std::fabs(y) > 1e7)
        return error("the cursor is off any page");
    const AIRealPoint p{static_cast<float>(x), static_cast<float>(y)};
    const int32_t mods = static_cast<int32_t>(number("modifiers", 0)) & (0x20 | 0x40 | 0x200);
    const auto pressure = static_cast<int16_t>(std::clamp(number("pressure", 0), 0.0, 255.0));
    json ev = json::array({p.h, p.v, {{"modifiers", mods}, {"pressure", pressure}}});
    if (op == "down") {
        if (m.drag) return error("a drag is already in progress");
        RegisteredTool* tool = cli::findTool(c.at("tool").get<std::string>());
        if (!tool) return error("unknown tool " + c["tool"].dump());
        if (!m.session->pluginOf(*tool)) return error("the tool's plug-in is not loaded");
        m.drag.emplace();
        m.drag->run = std::make_unique<cli::Session::Drag>(*m.session, *m.doc, *tool);
        m.drag->events.push_back(ev);
        m.drag->last = p;
        hostState().hasPressure = c.value("pen", false);
        m.drag->run->down(p, pressure, mods);
        return m.state(true);
    }
    if (!m.drag) return error("no drag is in progress");
    Host::Drag& d = *m.drag;
    // Mouse up comes where the last drag event was, as in a replayed
    // script: an up elsewhere is preceded by a drag event there.
    if (op == "move" || d.last.h != p.h || d.last.v != p.v) {
        d.run->move(p, pressure, mods);
        d.events.push_back(ev);
        d.last = p;
    }
    if (op == "move") return m.state(c.value("scene", true));
    d.run->up(d.last, pressure, mods);
    m.steps.push_back({{"drag", {{"tool", d.run->tool().title}, {"events", d.events}}}});
    m.drag.reset();
    hostState().hasPressure = false;
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
    m.restartRecording();
    return m.state(false);
}

json openCommand(Host& m, const json& c) {
    std::unique_ptr<Document> fresh;
    std::string e, notes;
    const std::string name = c.at("name").get<std::string>();
    if (!readDocumentText(name, c.at("text").get<std::string>(), fresh, e, notes)) return error(name + ": " + e);
    if (!notes.empty()) m.notices.push_back({{"kind", "import"}, {"text", notes}});
    m.retired.push_back(std::move(m.doc));
    m.doc = std::move(fresh);
    hostState().document = m.doc.get();
    m.seed = m.doc->seed();
    hostState().random.reseed(m.seed);
    m.restartRecording();
    return m.state(true);
}

json saveCommand(Host& m, const json& c) {
    const std::string format = c.value("format", "json");
    if (format == "svg") return {{"ok", true}, {"text", writeSvg(*m.doc)}};
    if (format == "json") return {{"ok", true}, {"text", writeDocumentJson(*m.doc)}};
    return error("save as \"json\" or \"svg\"");
}

// A host edit (easel/edit), recorded as an `edit` step of the script; "new"
// replaces the document and starts the recording again from it.
json editCommand(Host& m, const json& c) {
    const json& e = c.at("edit");
    edit::Outcome r = edit::run(*m.doc, m.clipboard, e);
    if (!r.error.empty()) return error(r.error);
    if (r.replaced) {
        m.retired.push_back(std::move(m.doc));
        m.doc = std::move(r.replaced);
        hostState().document = m.doc.get();
        m.doc->setSeed(m.seed);
        hostState().random.reseed(m.seed);
        m.restartRecording();
    } else {
        m.steps.push_back({{"edit", e}});
    }
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

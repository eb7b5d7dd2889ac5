#include "Steps.h"

#include "Commands.h"
#include "Document.h"
#include "DocumentJson.h"
#include "SelectionLayer.h"
#include "Session.h"
#include "adm/Dialog.h"

namespace easel::cli {

namespace fs = std::filesystem;

namespace {

// Why a script may not select the art with this id (empty when it may): only
// what a person could click in the studio, so nothing on a locked or hidden
// layer and nothing locked or hidden itself or inside such a group.
std::string unselectableReason(Document& doc, int64_t id) {
    Art* art = doc.findById(id);
    if (!art || !doc.isLive(art)) return "no art with id " + std::to_string(id) + " in the document";
    const std::string what = "art " + std::to_string(id);
    if (const Layer* layer = art->layer(); layer && !layer->editable())
        return what + " is on layer \"" + layer->name() + "\", which is " + (layer->locked() ? "locked" : "hidden") +
               ": unlock or show the layer in the document, or select other art";
    for (const Art* a = art; a; a = a->parent())
        if (a->locked() || a->hidden())
            return what + (a == art ? " is " : " is inside art " + std::to_string(a->id()) + ", which is ") +
                   (a->locked() ? "locked" : "hidden") + ": unlock or show it in the document, or select other art";
    return "";
}

}  // namespace

bool readStepDocument(const std::optional<std::string>& path, const std::string& inlineDocument, const fs::path& base,
                      std::unique_ptr<Document>& doc, std::string& error, std::ostream& err) {
    if (!path) {
        if (readDocumentJson(inlineDocument, doc, error)) return true;
        error = "(inline): " + error;
        return false;
    }
    fs::path p = *path;
    if (p.is_relative()) p = base / p;
    if (!fs::is_regular_file(p)) {
        error = "cannot read " + p.string() + ": check the file name in the script";
        return false;
    }
    if (readDocumentFile(p, doc, error, err)) return true;
    error = p.string() + ": " + error;
    return false;
}

std::vector<int64_t> StepRunner::run(const Step& step, const bool& stop) {
    Document& doc = *doc_;
    auto failed = [&](const std::string& what) { return StepFailure{step.where + "." + stepKindName(step.kind) + ": " + what}; };
    RegisteredTool* tool = nullptr;
    if (step.kind == Step::Kind::Options || step.kind == Step::Kind::Drag) {
        tool = findTool(step.tool);
        if (!tool) throw failed("unknown tool \"" + step.tool + "\"");
    }
    switch (step.kind) {
    case Step::Kind::Select:
        // Only art a person could select; a refused id selects nothing.
        if (!step.selectAll)
            for (int64_t id : step.ids) {
                const std::string refused = unselectableReason(doc, id);
                if (!refused.empty()) throw failed(refused);
            }
        // Selecting is no undo step (as in the studio).
        doc.changeSelection([&] {
            if (step.selectAll) {
                doc.selectAll();
                return;
            }
            doc.deselectAll();
            for (int64_t id : step.ids) doc.selectById(id);
        });
        makeSelectionLayerCurrent(doc);
        break;
    case Step::Kind::Edit: {
        edit::Outcome r = edit::run(doc, clipboard_, nlohmann::ordered_json::parse(step.edit));
        if (!r.error.empty()) throw failed(r.error);
        if (r.replaced) {
            // Plug-ins may still hold handles into the old document: it is kept until they are shut down.
            retired_.push_back(std::move(doc_));
            doc_ = std::move(r.replaced);
            hostState().document = doc_.get();
        }
        return r.made;
    }
    case Step::Kind::Options: {
        adm::ScriptedDriver driver(step.sets, step.presses);
        session_.editOptions(*tool, &driver);
        if (!driver.error().empty()) throw failed(driver.error());
        if (!driver.ran()) throw failed("tool \"" + step.tool + "\" opened no dialog");
        break;
    }
    case Step::Kind::Drag: {
        const auto& ev = step.events;
        // The tools ask whether the drag comes from a pressure device.
        struct Pen {
            explicit Pen(bool on) { hostState().hasPressure = on; }
            ~Pen() { hostState().hasPressure = false; }
            Pen(const Pen&) = delete;
            Pen& operator=(const Pen&) = delete;
        } pen(step.pen);
        Session::Drag drag(session_, doc, *tool);
        drag.down(ev.front().point, ev.front().pressure, ev.front().modifiers);
        for (size_t i = 1; i < ev.size() && !stop; ++i) drag.move(ev[i].point, ev[i].pressure, ev[i].modifiers);
        drag.up(ev.back().point, ev.back().pressure, ev.back().modifiers, !stop);
        break;
    }
    case Step::Kind::Undo:
    case Step::Kind::Redo:
        for (int32_t i = 0; i < step.count; ++i) {
            const bool done = step.kind == Step::Kind::Undo ? doc.undo() : doc.redo();
            if (!done)
                throw failed(std::string("nothing left to ") + stepKindName(step.kind) + " (after " + std::to_string(i) +
                             " of " + std::to_string(step.count) + ")");
        }
        break;
    case Step::Kind::Seed:
        doc.setSeed(step.seed);
        hostState().random.reseed(step.seed);
        break;
    case Step::Kind::Open: {
        std::unique_ptr<Document> fresh;
        std::string error;
        if (!readStepDocument(step.documentPath, step.inlineDocument, base_, fresh, error, err_)) throw failed(error);
        // The random numbers start again from the opened document's seed.
        hostState().random.reseed(fresh->seed());
        retired_.push_back(std::move(doc_));
        doc_ = std::move(fresh);
        hostState().document = doc_.get();
        break;
    }
    case Step::Kind::Inspect:
        throw failed("inspect is run by the caller");
    }
    return {};
}

}  // namespace easel::cli

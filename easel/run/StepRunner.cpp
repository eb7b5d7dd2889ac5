#include "run/StepRunner.h"

#include "io/json/DocumentJson.h"
#include "adm/Dialog.h"
#include "model/Document.h"
#include "model/SelectionLayer.h"
#include "run/DocumentFiles.h"
#include "run/PluginSession.h"

namespace easel::run {

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

namespace {

StepFailure failed(const Step& step, const std::string& what) {
    return StepFailure{step.where + "." + stepKindName(step.kind) + ": " + what};
}

RegisteredTool& toolOf(const Step& step) {
    RegisteredTool* tool = findTool(step.tool);
    if (!tool) throw failed(step, "unknown tool \"" + step.tool + "\"");
    return *tool;
}

// The tools ask whether the drag comes from a pressure device.
class Pen {
public:
    explicit Pen(bool on) { hostState().hasPressure = on; }
    ~Pen() { hostState().hasPressure = false; }
    Pen(const Pen&) = delete;
    Pen& operator=(const Pen&) = delete;
};

}  // namespace

// The handler of each kind of step (inspect is the caller's: it reports the dialog).
const StepRunner::Handler StepRunner::kHandlers[] = {
    {Step::Kind::Select, &StepRunner::runSelect},
    {Step::Kind::Options, &StepRunner::runOptions},
    {Step::Kind::Drag, &StepRunner::runDrag},
    {Step::Kind::Undo, &StepRunner::runUndoRedo},
    {Step::Kind::Redo, &StepRunner::runUndoRedo},
    {Step::Kind::Seed, &StepRunner::runSeed},
    {Step::Kind::Open, &StepRunner::runOpen},
    {Step::Kind::Edit, &StepRunner::runEdit},
};

std::vector<int64_t> StepRunner::run(const Step& step, const bool& stop) {
    for (const Handler& h : kHandlers)
        if (h.kind == step.kind) return (this->*h.run)(step, stop);
    throw failed(step, "inspect is run by the caller");
}

std::vector<int64_t> StepRunner::runSelect(const Step& step, const bool&) {
    Document& doc = *doc_;
    // Only art a person could select; a refused id selects nothing.
    if (!step.selectAll)
        for (int64_t id : step.ids) {
            const std::string refused = unselectableReason(doc, id);
            if (!refused.empty()) throw failed(step, refused);
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
    return {};
}

std::vector<int64_t> StepRunner::runEdit(const Step& step, const bool&) {
    edit::Outcome r = edit::run(*doc_, clipboard_, nlohmann::ordered_json::parse(step.edit));
    if (!r.error.empty()) throw failed(step, r.error);
    if (r.replaced) {
        // Plug-ins may still hold handles into the old document: it is kept until they are shut down.
        retired_.push_back(std::move(doc_));
        doc_ = std::move(r.replaced);
        hostState().document = doc_.get();
    }
    return r.made;
}

std::vector<int64_t> StepRunner::runOptions(const Step& step, const bool&) {
    RegisteredTool& tool = toolOf(step);
    adm::ScriptedDriver driver(step.sets, step.presses);
    session_.editOptions(tool, &driver);
    if (!driver.error().empty()) throw failed(step, driver.error());
    if (!driver.ran()) throw failed(step, "tool \"" + step.tool + "\" opened no dialog");
    return {};
}

std::vector<int64_t> StepRunner::runDrag(const Step& step, const bool& stop) {
    RegisteredTool& tool = toolOf(step);
    const auto& ev = step.events;
    Pen pen(step.pen);
    PluginSession::Drag drag(session_, *doc_, tool);
    drag.down(ev.front().point, ev.front().pressure, ev.front().modifiers);
    for (size_t i = 1; i < ev.size() && !stop; ++i) drag.move(ev[i].point, ev[i].pressure, ev[i].modifiers);
    drag.up(ev.back().point, ev.back().pressure, ev.back().modifiers, !stop);
    return {};
}

std::vector<int64_t> StepRunner::runUndoRedo(const Step& step, const bool&) {
    for (int32_t i = 0; i < step.count; ++i) {
        const bool done = step.kind == Step::Kind::Undo ? doc_->undo() : doc_->redo();
        if (!done)
            throw failed(step, std::string("nothing left to ") + stepKindName(step.kind) + " (after " +
                                   std::to_string(i) + " of " + std::to_string(step.count) + ")");
    }
    return {};
}

std::vector<int64_t> StepRunner::runSeed(const Step& step, const bool&) {
    doc_->setSeed(step.seed);
    hostState().random.reseed(step.seed);
    return {};
}

std::vector<int64_t> StepRunner::runOpen(const Step& step, const bool&) {
    std::unique_ptr<Document> fresh;
    std::string error;
    if (!readStepDocument(step.documentPath, step.inlineDocument, base_, fresh, error, err_)) throw failed(step, error);
    // The random numbers start again from the opened document's seed.
    hostState().random.reseed(fresh->seed());
    retired_.push_back(std::move(doc_));
    doc_ = std::move(fresh);
    hostState().document = doc_.get();
    return {};
}

}  // namespace easel::run

// `easel play`: runs a script's steps over its document and writes the
// result, with a record of the run (--log).
#include <cmath>
#include <nlohmann/json.hpp>
#include <ostream>

#include "io/json/DocumentJson.h"
#include "io/FileWrite.h"
#include "adm/Dialog.h"
#include "cli/Program.h"
#include "core/Input.h"
#include "core/Progress.h"
#include "model/Document.h"
#include "run/DocumentFiles.h"
#include "run/PluginSession.h"
#include "run/Script.h"
#include "run/StepRunner.h"

namespace easel::cli {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;
using namespace run;

namespace {

json rectJson(const ASRect& r) { return json::array({r.left, r.top, r.right, r.bottom}); }

json dialogJson(const adm::DialogRecord& r) {
    json items = json::array();
    for (const auto& i : r.items) {
        json ji = {{"id", i.id}, {"kind", adm::itemKindShortName(i.kind)}, {"rect", rectJson(i.rect)}, {"text", i.text}};
        if (i.kind == adm::ItemKind::SpinEdit || i.kind == adm::ItemKind::CheckBox || i.kind == adm::ItemKind::PopupList)
            ji["value"] = i.value;
        if (i.hasRange) {
            if (std::isfinite(i.min)) ji["min"] = i.min;
            if (std::isfinite(i.max)) ji["max"] = i.max;
            ji["precision"] = i.precision;
        }
        if (i.kind == adm::ItemKind::PopupList) {
            json entries = json::array();
            for (const auto& e : i.entries) entries.push_back({{"text", e.text}, {"id", e.id}});
            ji["entries"] = entries;
            ji["selected"] = i.selected;
        }
        ji["enabled"] = i.enabled;
        items.push_back(ji);
    }
    return {{"name", r.name},         {"resource", r.resourceId}, {"caption", r.caption},
            {"bounds", rectJson(r.bounds)}, {"result", r.result},     {"items", items}};
}

// An event that runs long says how far it has got, one line each time.
class ReportProgress {
public:
    explicit ReportProgress(std::ostream& e) {
        progress().setReporter([&e](const std::string& what, uint64_t objects, double seconds) {
            e << "easel: " << progressLine(what, objects, seconds) << "\n" << std::flush;
        });
    }
    ~ReportProgress() { progress().setReporter(nullptr); }
    ReportProgress(const ReportProgress&) = delete;
    ReportProgress& operator=(const ReportProgress&) = delete;
};

// One run of a script: its record (--log), what the plug-ins report during
// it, and its failure. A failure is printed and logged, and ends the run.
class PlayRun {
public:
    PlayRun(const PlayOptions& o, std::ostream& out, std::ostream& err) : o_(o), out_(out), err_(err) {
        log["script"] = o.script.string();
    }

    // Reads the script, its output's name and its document; false after fail().
    bool prepare(Script& script, fs::path& output, std::unique_ptr<Document>& doc);
    // Reports what the plug-ins show and return into the record of the step being run.
    void watch(PluginSession& session);
    // Starts the script's plug-ins; false after fail().
    bool startUp(PluginSession& session, const Script& script);
    // Runs the steps; false after fail().
    bool runSteps(const Script& script, PluginSession& session, StepRunner& runner);

    void writeLog(const std::string& status);
    bool fail(const std::string& message) {
        failure_ = message;
        err_ << "easel: " << message << "\n";
        writeLog("failed");
        return false;
    }
    int problems() const { return problems_; }

    json log;

private:
    void runStep(const Step& step, PluginSession& session, StepRunner& runner, json& stepLog);

    const PlayOptions& o_;
    std::ostream& out_;
    std::ostream& err_;
    json stepsLog_ = json::array();
    std::string failure_;
    int problems_ = 0;
    json* current_ = nullptr;  // the log of the step being run
    std::string where_ = "start-up";
    bool stop_ = false;
};

void PlayRun::writeLog(const std::string& status) {
    if (o_.log.empty()) return;
    log["status"] = status;
    if (!failure_.empty()) log["error"] = failure_;
    log["problems"] = problems_;
    log["steps"] = stepsLog_;
    std::string e;
    if (!writeFileAtomically(o_.log.string(), log.dump(2) + "\n", e)) err_ << "easel: " << e << "\n";
}

bool PlayRun::prepare(Script& script, fs::path& output, std::unique_ptr<Document>& doc) {
    std::string text;
    try {
        text = readInputFile(o_.script);
    } catch (const InputError& e) {
        return fail("cannot read script " + o_.script.string() + ": " + e.what());
    }
    std::string error;
    if (!parseScript(text, script, error)) return fail(o_.script.string() + ": " + error);

    output = !o_.output.empty() ? o_.output : fs::path(script.output);
    if (!output.empty() && o_.output.empty() && output.is_relative()) output = o_.script.parent_path() / output;
    if (!output.empty()) {
        const std::string ext = output.extension().string();
        if (ext != ".json" && !isSvgPath(output))
            return fail("output " + output.string() + ": unknown format \"" + ext + "\"; write a .json or .svg file");
    }

    if (script.documentPath) {
        fs::path docPath = *script.documentPath;
        if (docPath.is_relative()) docPath = o_.script.parent_path() / docPath;
        if (!fs::is_regular_file(docPath))
            return fail("document: cannot read " + docPath.string() + ": check the file name in the script");
        if (!readDocumentFile(docPath, doc, error, err_)) return fail("document " + docPath.string() + ": " + error);
    } else if (!readDocumentJson(script.inlineDocument, doc, error)) {
        return fail("document (inline): " + error);
    }
    return true;
}

void PlayRun::watch(PluginSession& session) {
    hostState().onShown = [this](const ShownMessage& m) {
        // The dialog a step opens itself is expected; anything else a plug-in shows is reported.
        const bool expected = m.kind == "dialog" && adm::dialogManager().depth() == 1 && current_ &&
                              ((*current_)["kind"] == "options" || (*current_)["kind"] == "inspect");
        if (current_) (*current_)["shown"].push_back({{"kind", m.kind}, {"title", m.title}, {"texts", m.texts}});
        if (expected) return;
        ++problems_;
        err_ << "easel: " << where_ << ": " << m.kind << " \"" << m.title << "\"";
        for (const auto& t : m.texts) err_ << " | " << t;
        err_ << "\n";
        if (o_.strict) stop_ = true;
    };
    adm::dialogManager().onClosed = [this](const adm::DialogRecord& r) {
        if (current_) (*current_)["dialogs"].push_back(dialogJson(r));
    };
    session.onResult([this](Plugin& p, const char* selector, ASErr r) {
        if (current_) (*current_)["results"].push_back({{"plugin", p.name()}, {"selector", selector}, {"code", r}});
        if (r == kNoErr || r == kCancelErr) return;
        ++problems_;
        err_ << "easel: " << where_ << ": " << p.name() << " returned " << resultText(r) << " to \"" << selector
             << "\"\n";
        if (o_.strict) stop_ = true;
    });
}

bool PlayRun::startUp(PluginSession& session, const Script& script) {
    json startupLog = {{"step", "start-up"}, {"kind", "start-up"}, {"results", json::array()}, {"shown", json::array()}};
    current_ = &startupLog;
    std::string error;
    if (!session.start(script.plugins, error))
        return fail("plugins: " + error + "; give the folder with --plugins DIR or EASEL_PLUGINS");
    stepsLog_.push_back(startupLog);
    current_ = nullptr;
    if (stop_) return fail("stopped at start-up (--strict)");
    return true;
}

void PlayRun::runStep(const Step& step, PluginSession& session, StepRunner& runner, json& stepLog) {
    RegisteredTool* tool = nullptr;
    if (step.kind == Step::Kind::Options || step.kind == Step::Kind::Inspect || step.kind == Step::Kind::Drag) {
        tool = findTool(step.tool);
        if (!tool) throw StepFailure{step.where + ": " + unknownToolMessage(step.tool)};
        stepLog["tool"] = tool->title;
    }
    if (step.kind == Step::Kind::Inspect) {
        adm::InspectDriver driver;
        session.editOptions(*tool, &driver);
        if (!driver.record()) throw StepFailure{step.where + ".inspect: tool \"" + step.tool + "\" opened no dialog"};
        stepLog["inspected"] = dialogJson(*driver.record());
        out_ << dialogJson(*driver.record()).dump(2) << "\n";
    } else {
        const std::vector<int64_t> made = runner.run(step, stop_);
        if (!made.empty()) stepLog["made"] = made;
    }
}

bool PlayRun::runSteps(const Script& script, PluginSession& session, StepRunner& runner) {
    json stepLog;
    try {
        for (const Step& step : script.steps) {
            where_ = step.where + " (" + stepKindName(step.kind) + ")";
            stepLog = {{"step", step.where}, {"kind", stepKindName(step.kind)}, {"results", json::array()},
                       {"shown", json::array()}, {"dialogs", json::array()}};
            current_ = &stepLog;
            runStep(step, session, runner, stepLog);
            stepsLog_.push_back(stepLog);
            current_ = nullptr;
            if (stop_) return fail(step.where + ": stopped at the first reported result (--strict)");
        }
    } catch (const StepFailure& f) {
        if (current_) stepsLog_.push_back(*current_);
        current_ = nullptr;
        return fail(f.message);
    }
    return true;
}

}  // namespace

int play(const PlayOptions& o, std::ostream& out, std::ostream& err) {
    PlayRun run(o, out, err);
    Script script;
    fs::path output;
    std::unique_ptr<Document> doc;
    if (!run.prepare(script, output, doc)) return 1;

    std::vector<std::unique_ptr<Document>> retired;  // replaced by open steps; outlive the plug-ins
    PluginSession session(o.pluginDirs);
    ReportProgress reportProgress(err);
    hostState().document = doc.get();
    // The same seed as the studio takes for the same document.
    const int32_t seed = o.seed ? *o.seed : script.seed.value_or(doc->seed());
    hostState().random.reseed(seed);
    run.log["seed"] = seed;

    run.watch(session);
    if (!run.startUp(session, script)) return 1;
    StepRunner runner(session, doc, retired, o.script.parent_path(), err);
    if (!run.runSteps(script, session, runner)) return 1;

    if (!output.empty()) {
        std::string error;
        if (!writeDocumentFile(output, *doc, error)) {
            run.fail(error);
            return 1;
        }
        run.log["output"] = output.string();
    }
    run.writeLog(run.problems() == 0 ? "ok" : "ok with problems");
    hostState().document = nullptr;
    return 0;
}

}  // namespace easel::cli

#include "Studio.h"

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "cli/Commands.h"
#include "cli/Session.h"
#include "cli/Steps.h"
#include "Recorder.h"
#include "Document.h"
#include "Progress.h"
#include "DocumentJson.h"
#include "Render.h"
#include "SvgColor.h"
#include "SvgExport.h"
#include "SvgImport.h"
#include "adm/Dialog.h"
#include "adm/RegisterADM.h"
#include "adm/Resources.h"
#include "loader/Loader.h"
#include "suites/AISuites.h"

namespace easel::studio {

namespace fs = std::filesystem;

// An answer, with the drawing (when it has one) kept as JSON text: it is
// the bulk of a drag's answers and goes to the page without a second pass.
struct Studio::Answer {
    json body;
    std::string scene;
};

struct Studio::Task {
    json command;
    std::function<json()> work;  // instead of a command (pictures)
    std::promise<Answer> promise;
    bool answered = false;
    void answer(json j, std::string scene = {}) {
        if (answered) return;
        answered = true;
        promise.set_value({std::move(j), std::move(scene)});
    }
};

namespace {

json error(const std::string& message) { return {{"ok", false}, {"error", message}}; }

std::string base64(const std::vector<uint8_t>& data) {
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((data.size() + 2) / 3 * 4);
    for (size_t i = 0; i < data.size(); i += 3) {
        uint32_t n = static_cast<uint32_t>(data[i]) << 16;
        if (i + 1 < data.size()) n |= static_cast<uint32_t>(data[i + 1]) << 8;
        if (i + 2 < data.size()) n |= data[i + 2];
        out += digits[(n >> 18) & 63];
        out += digits[(n >> 12) & 63];
        out += i + 1 < data.size() ? digits[(n >> 6) & 63] : '=';
        out += i + 2 < data.size() ? digits[n & 63] : '=';
    }
    return out;
}

// The page's names of item kinds.
const char* kindName(adm::ItemKind k) {
    switch (k) {
    case adm::ItemKind::StaticText: return "static";
    case adm::ItemKind::SpinEdit: return "spin";
    case adm::ItemKind::PopupList: return "popup";
    case adm::ItemKind::CheckBox: return "check";
    case adm::ItemKind::PushButton: return "button";
    case adm::ItemKind::Frame: return "frame";
    }
    return "static";
}

json rectJson(const ASRect& r) { return json::array({r.left, r.top, r.right, r.bottom}); }

json dialogJson(const adm::Dialog& d) {
    json items = json::array();
    for (const auto& p : d.items) {
        const adm::Item& i = *p;
        json ji = {{"id", i.id}, {"kind", kindName(i.kind)}, {"rect", rectJson(i.rect)},
                   {"text", adm::itemText(i)}, {"enabled", i.enabled}};
        if (i.kind == adm::ItemKind::SpinEdit) {
            ji["value"] = i.value;
            ji["precision"] = i.precision;
            if (std::isfinite(i.min)) ji["min"] = i.min;
            if (std::isfinite(i.max)) ji["max"] = i.max;
        } else if (i.kind == adm::ItemKind::CheckBox) {
            ji["value"] = i.value;
        } else if (i.kind == adm::ItemKind::PopupList && i.list) {
            json entries = json::array();
            for (const auto& e : i.list->entries) entries.push_back(e->text);
            ji["entries"] = entries;
            ji["selected"] = i.list->indexOf(i.list->active);
        }
        items.push_back(ji);
    }
    return {{"caption", d.caption}, {"bounds", rectJson(d.bounds)}, {"items", items}};
}

// The value of every item a user can change, for the recorder.
std::map<int32_t, double> itemValues(const adm::DialogRecord& r) {
    std::map<int32_t, double> v;
    for (const auto& i : r.items) {
        if (i.kind == adm::ItemKind::PopupList) v[i.id] = i.selected;
        if (i.kind == adm::ItemKind::SpinEdit || i.kind == adm::ItemKind::CheckBox) v[i.id] = i.value;
    }
    return v;
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && std::equal(tail.rbegin(), tail.rend(), s.rbegin(),
                                                 [](char a, char b) { return std::tolower(a) == std::tolower(b); });
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

// The document's name for downloads: no quotes, slashes or control characters.
void setName(std::string& hostCopy, std::string name, std::mutex& mutex, std::string& shared) {
    for (char& ch : name)
        if (static_cast<unsigned char>(ch) < 32 || ch == '"' || ch == '/' || ch == '\\') ch = '_';
    if (name.empty()) name = "drawing";
    hostCopy = name;
    std::lock_guard<std::mutex> lock(mutex);
    shared = name;
}

}  // namespace

// The person on the page answers the dialog: the host thread serves the
// page's dialog commands until the dialog ends.
class StudioDriver : public adm::DialogDriver {
public:
    explicit StudioDriver(Studio& s) : studio_(s) {}
    void run(adm::Dialog& dialog) override;
    std::vector<adm::Dialog*> open;
    std::function<void()> onOpen, serve;

private:
    Studio& studio_;
};

void StudioDriver::run(adm::Dialog& dialog) {
    open.push_back(&dialog);
    onOpen();
    serve();
    open.pop_back();
    (void)studio_;
}

struct Studio::Impl {
    explicit Impl(Studio& s) : driver(s) {}
    std::unique_ptr<cli::Session> session;
    std::unique_ptr<Document> doc;
    std::vector<std::unique_ptr<Document>> retired;  // plug-ins may still hold handles into them
    StudioDriver driver;
    json tools = json::array();
    std::vector<std::string> pluginNames;
    std::deque<json> alerts;
    std::vector<json> notices;  // non-zero results, import notes
    int32_t seed = 1;

    struct Drag {
        std::unique_ptr<cli::Session::Drag> run;
        json events = json::array();
        AIRealPoint last{0, 0};
        int16_t pressure = 0;
        int32_t modifiers = 0;
        bool pen = false;
        std::string client;  // the page that started it
        // A drag that starts with nothing selected and changes nothing is not recorded.
        bool nothingSelected = false;
        size_t undoSteps = 0;
        Random random;  // the random numbers at mouse down, to tell whether any were drawn
        bool ending = false;  // mouse up is being sent
    };
    std::optional<Drag> drag;
    // A drag's moves and mouse up that came while a dialog was open: carried
    // out, in order, once it closes.
    std::deque<json> deferred;

    // The recording: an `easel play` script of the whole session.
    Recorder rec;
    std::optional<json> recovery;  // the last session's unsaved work, offered until restored or discarded
    std::string name = "drawing";  // the document's name, for downloads
    uint64_t version = 0;          // counts the commands that changed what the page shows
    // The options dialog the page opened, for the recorder.
    std::optional<std::map<int32_t, double>> optionsBefore;
    std::optional<adm::DialogRecord> optionsClosed;

    // Ends the drag in progress: mouse up where its last event was.
    void endDrag() {
        Drag& d = *drag;
        d.ending = true;
        d.run->up(d.last, d.pressure, d.modifiers);
        // Equal generators give equal numbers; different ones differ at once.
        Random before = d.random, now = hostState().random;
        const bool sameRandom = before.next() == now.next() && before.next() == now.next();
        const bool unchanged = d.nothingSelected && this->doc->undoStepCount() == d.undoSteps && sameRandom;
        if (!unchanged) rec.drag(d.run->tool().title, d.events, d.pen);
        drag.reset();
        hostState().hasPressure = false;
    }
    // Results other than success are shown on the page; Cancel is a
    // result only at start-up.
    void report(Plugin& plugin, const char* selector, ASErr r) {
        if (r == kNoErr || (r == kCancelErr && std::string(selector) != "Startup")) return;
        notices.push_back({{"kind", "result"},
                           {"text", plugin.name() + " returned " + cli::resultText(r) + " to \"" + selector + "\""}});
    }
};

Studio::Studio(StudioOptions options) : impl_(std::make_unique<Impl>(*this)), options_(std::move(options)) {}

Studio::~Studio() { stop(); }

bool Studio::start(std::string& errorOut) {
    std::promise<std::string> started;
    auto result = started.get_future();
    host_ = std::thread([this, &started] {
        Impl& m = *impl_;
        std::string e;
        // The document.
        if (!options_.document.empty()) {
            std::ifstream in(options_.document, std::ios::binary);
            if (!in) e = "cannot read " + options_.document.string() + ": check the file name";
            std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            std::string notes;
            if (e.empty() && !readDocumentText(options_.document.string(), text, m.doc, e, notes))
                e = options_.document.string() + ": " + e;
            if (!notes.empty()) m.notices.push_back({{"kind", "import"}, {"text", notes}});
        } else {
            m.doc = newDocument();
        }
        if (e.empty()) {
            m.session = std::make_unique<cli::Session>(options_.pluginDirs);
            m.session->onResult([this](Plugin& p, const char* selector, ASErr r) { impl_->report(p, selector, r); });
            hostState().document = m.doc.get();
            adm::dialogManager().setDefaultDriver(&m.driver);
            adm::dialogManager().setNextDriver(nullptr);
            m.seed = options_.seed.value_or(m.doc->seed());
            hostState().random.reseed(m.seed);
            m.driver.onOpen = [this] { answerWaiting(); };
            m.driver.serve = [this] { serveDialog(); };
            hostState().onShown = [this](const ShownMessage& msg) {
                if (msg.kind == "dialog") return;  // the page shows the dialog itself
                impl_->alerts.push_back({{"kind", msg.kind}, {"title", msg.title}, {"texts", msg.texts}});
            };
            adm::dialogManager().onClosed = [this](const adm::DialogRecord& r) {
                if (adm::dialogManager().depth() == 1 && impl_->optionsBefore) impl_->optionsClosed = r;
            };
            auto names = options_.plugins.empty() ? cli::bundlesOnPath(m.session->loader().searchDirs()) : options_.plugins;
            if (names.empty()) e = "no plug-in bundles found; give the folder with --plugins DIR or EASEL_PLUGINS";
            // Named plug-ins must load; of the bundles found, one that cannot
            // be loaded is reported and the others are used.
            const bool named = !options_.plugins.empty();
            for (const auto& name : names) {
                if (!e.empty()) break;
                Plugin* p = m.session->startOne(name, e);
                if (!p && !named) {
                    m.notices.push_back({{"kind", "load"}, {"text", e}});
                    std::fprintf(stderr, "easel: %s\n", e.c_str());
                    e.clear();
                    continue;
                }
                if (!p) break;
                m.pluginNames.push_back(p->name());
            }
        }
        if (e.empty() && m.session->started().empty()) e = "none of the plug-in bundles found could be loaded";
        if (e.empty()) {
            for (const auto& t : hostState().tools) {
                Plugin* p = m.session->pluginOf(*t);
                json jt = {{"number", t->number}, {"title", t->title}, {"tooltip", t->tooltip},
                           {"group", t->sameGroupAs}, {"toolset", t->sameToolsetAs}, {"plugin", p ? p->name() : ""}};
                const adm::Icon* icon = adm::iconOf(t->icon);
                if (icon && icon->type != kADMUnknownIconType)
                    jt["icon"] = "data:image/png;base64," + base64(adm::encodePng(icon->image));
                m.tools.push_back(jt);
            }
            if (!options_.document.empty()) setName(m.name, options_.document.stem().string(), mutex_, name_);
            m.rec.start(*m.doc, m.pluginNames, m.seed);
            // The journal is kept while the last session's work is offered.
            if (!options_.journal.empty() && options_.recover != StudioOptions::Recover::No) {
                std::string je;
                m.recovery = readJournal(options_.journal, je);
                if (!je.empty()) m.notices.push_back({{"kind", "recovery"}, {"text", je}});
            }
            if (!m.recovery) m.rec.setJournal(options_.journal);
        }
        const bool ok = e.empty();
        started.set_value(e);
        // Restored before the first command is taken (what it shows may need the page).
        if (ok && m.recovery && options_.recover == StudioOptions::Recover::Yes) {
            json r = recover();
            if (!r.value("ok", false)) std::fprintf(stderr, "easel: %s\n", r.value("error", "").c_str());
        }
        if (ok) hostLoop();
        // Shut down on the thread that started the plug-ins. A clean end
        // with everything saved leaves no journal behind.
        m.drag.reset();
        if (ok && !m.recovery && !m.rec.unsaved()) m.rec.removeJournal();
        m.session.reset();
    });
    errorOut = result.get();
    if (!errorOut.empty()) {
        host_.join();
        return false;
    }
    return true;
}

void Studio::stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (host_.joinable()) host_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& t : queue_) t->answer(error("the studio is shutting down"));
    queue_.clear();
}

Studio::Answer Studio::send(const json& command) {
    auto task = std::make_shared<Task>();
    task->command = command;
    auto answer = task->promise.get_future();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_ || !host_.joinable()) return {error("the studio is not running"), {}};
        queue_.push_back(task);
    }
    wake_.notify_all();
    return answer.get();
}

json Studio::call(const json& command) {
    Answer a = send(command);
    if (!a.scene.empty()) a.body["scene"] = json::parse(a.scene);
    return std::move(a.body);
}

std::string Studio::callText(const json& command, bool& ok) {
    Answer a = send(command);
    ok = a.body.value("ok", false);
    std::string text = a.body.dump(-1, ' ', false, json::error_handler_t::replace);
    if (!a.scene.empty()) {
        text.pop_back();  // the closing brace of the body
        text += ",\"scene\":";
        text += a.scene;
        text += '}';
    }
    return text;
}

bool Studio::renderPng(int width, std::string& png, std::string& errorOut) {
    auto task = std::make_shared<Task>();
    task->work = [this, width] {
        if (!impl_->driver.open.empty()) return error("a dialog is open");
        Image image;
        std::string e, bytes;
        RenderSize size;
        size.width = width;
        if (!renderSvg(writeSvg(*impl_->doc), size, image, e) || !encodePng(image, bytes, e)) return error(e);
        return json{{"ok", true}, {"png", bytes}};
    };
    auto answer = task->promise.get_future();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_ || !host_.joinable()) {
            errorOut = "the studio is not running";
            return false;
        }
        queue_.push_back(task);
    }
    wake_.notify_all();
    json r = answer.get().body;
    if (!r["ok"].get<bool>()) {
        errorOut = r["error"].get<std::string>();
        return false;
    }
    png = r["png"].get<std::string>();
    return true;
}

std::string Studio::documentName() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return name_;
}

json Studio::status() const {
    std::lock_guard<std::mutex> lock(mutex_);
    json j = {{"busy", busy_.load()}, {"events", events_.load()}};
    if (busy_) {
        j["op"] = busyOp_;
        j["ms"] = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - busySince_).count();
        // The plug-in event running now, and the art it has made so far.
        const ProgressSnapshot p = progress().snapshot();
        if (p.busy) {
            j["event"] = p.what;
            j["objects"] = p.objects;
        }
    }
    return j;
}

std::shared_ptr<Studio::Task> Studio::nextTask() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) return nullptr;
        auto task = queue_.front();
        queue_.pop_front();
        // A move with a newer move behind it is answered without being sent.
        // (Only one page's: another page's move may be refused, and this one would be lost.)
        if (!queue_.empty() && task->command.is_object() && task->command.value("op", "") == "move" &&
            queue_.front()->command.is_object() && queue_.front()->command.value("op", "") == "move" &&
            queue_.front()->command.value("client", "") == task->command.value("client", "")) {
            task->answer({{"ok", true}, {"coalesced", true}});
            continue;
        }
        busyOp_ = task->command.is_object() ? task->command.value("op", "") : "picture";
        busySince_ = std::chrono::steady_clock::now();
        busy_ = true;
        return task;
    }
}

void Studio::hostLoop() {
    while (auto task = nextTask()) runTask(*task);
}

void Studio::runTask(Task& task) {
    running_.push_back(std::shared_ptr<Task>(&task, [](Task*) {}));
    json r;
    scene_.clear();
    if (task.work) {
        r = task.work();
    } else if (!task.command.is_object() || !task.command.contains("op") || !task.command["op"].is_string()) {
        r = error("expected a command {\"op\": ...}");
    } else {
        try {
            r = dispatch(task.command);
        } catch (const json::exception& e) {
            r = error(std::string("malformed command: ") + e.what());
        }
        const std::string op = task.command["op"].get<std::string>();
        if (r.value("ok", false) && op != "state" && op != "script") r["version"] = ++impl_->version;
    }
    // Pointer commands held back while a dialog was open go next, before any other command.
    if (running_.size() == 1 && impl_->driver.open.empty()) runDeferred();
    running_.pop_back();
    ++events_;
    busy_ = !running_.empty();
    task.answer(std::move(r), std::move(scene_));
    scene_.clear();
}

void Studio::runDeferred() {
    Impl& m = *impl_;
    while (!m.deferred.empty() && m.driver.open.empty()) {
        json c = m.deferred.front();
        m.deferred.pop_front();
        json r = dispatch(c);
        if (!r.value("ok", false))
            m.notices.push_back({{"kind", "result"}, {"text", "a held-back " + c["op"].get<std::string>() + ": " +
                                                                  r.value("error", "")}});
    }
}

json Studio::recover() {
    Impl& m = *impl_;
    if (!m.recovery) return error("there is no unsaved work of an earlier session to restore");
    const json script = *m.recovery;
    m.recovery.reset();
    m.rec.setJournal(options_.journal);
    cli::Script parsed;
    std::string e;
    std::unique_ptr<Document> first;
    if (!cli::parseScript(script.dump(), parsed, e) || !readDocumentJson(parsed.inlineDocument, first, e)) {
        m.rec.start(*m.doc, m.pluginNames, m.seed);
        return error("the recovery journal cannot be replayed: " + e);
    }
    m.retired.push_back(std::move(m.doc));
    m.doc = std::move(first);
    hostState().document = m.doc.get();
    m.seed = parsed.seed.value_or(m.doc->seed());
    hostState().random.reseed(m.seed);
    // The steps run as `easel play` runs them; options dialogs answer themselves.
    std::ostringstream notes;
    cli::StepRunner runner(*m.session, m.doc, m.retired, options_.journal.parent_path(), notes);
    const bool stop = false;
    json done = script;
    done["steps"] = json::array();
    try {
        for (size_t i = 0; i < parsed.steps.size(); ++i) {
            runner.run(parsed.steps[i], stop);
            done["steps"].push_back(script["steps"][i]);
        }
    } catch (const cli::StepFailure& f) {
        e = f.message;
    }
    m.seed = hostState().random.seed();
    m.rec.adopt(done);
    if (!e.empty()) m.notices.push_back({{"kind", "recovery"}, {"text", "restored up to the step that failed: " + e}});
    return stateJson(true);
}

void Studio::answerWaiting() {
    // The commands that opened the dialog are answered now: the page shows it.
    json state = stateJson(false);
    state["dialogOpened"] = true;
    for (auto& t : running_) t->answer(state);
    busy_ = false;
}

void Studio::serveDialog() {
    adm::Dialog* dialog = impl_->driver.open.back();
    while (!dialog->ended) {
        auto task = nextTask();
        if (!task) return;  // shutting down: the manager closes it with Cancel
        runTask(*task);
    }
}

json Studio::stateJson(bool withScene) {
    Impl& m = *impl_;
    Document& doc = *m.doc;
    json layers = json::array();
    for (size_t i = 0; i < doc.layerCount(); ++i) {
        Layer* l = doc.layerFromTop(i);
        layers.push_back({{"name", l->name()}, {"visible", l->visible()}, {"locked", l->locked()}});
    }
    json swatches = json::array();
    for (size_t i = 0; i < doc.swatchCount(); ++i) {
        const Swatch* s = doc.swatch(i);
        auto c = displayColor(s->color, &doc);
        swatches.push_back({{"name", s->name}, {"color", c ? hexColor(*c) : "none"}});
    }
    json selection = json::array();
    for (Art* a : doc.selectedArt())
        if (!a->parent() || !a->parent()->selected()) selection.push_back(a->id());
    json j = {{"ok", true},
              {"page", {{"width", doc.width()}, {"height", doc.height()}}},
              {"seed", m.seed},
              {"plugins", m.pluginNames},
              {"tools", m.tools},
              {"layers", layers},
              {"swatches", swatches},
              {"selection", selection},
              {"canUndo", doc.canUndo()},
              {"canRedo", doc.canRedo()},
              {"undoText", doc.canUndo() ? doc.undoText() : ""},
              {"dragging", m.drag.has_value()},
              {"steps", m.rec.steps()},
              {"unsaved", m.rec.unsaved()},
              {"name", m.name},
              {"version", m.version}};
    if (m.recovery) j["recovery"] = {{"steps", (*m.recovery)["steps"].size()}};
    if (std::string je = m.rec.takeJournalError(); !je.empty()) m.notices.push_back({{"kind", "recovery"}, {"text", je}});
    j["dialog"] = m.driver.open.empty() ? json(nullptr) : dialogJson(*m.driver.open.back());
    json alerts = json::array();
    for (auto& a : m.alerts) alerts.push_back(a);
    j["alerts"] = alerts;
    j["notices"] = m.notices;
    m.notices.clear();
    // The drawing goes with the answer of the command running now.
    if (withScene) scene_ = sceneText(doc);
    return j;
}

json Studio::dispatch(const json& c) {
    Impl& m = *impl_;
    Document& doc = *m.doc;
    const std::string op = c["op"].get<std::string>();
    const bool inDialog = !m.driver.open.empty();

    if (op == "state") return stateJson(c.value("scene", true));
    if (op == "script") return {{"ok", true}, {"script", m.rec.script()}, {"name", m.name + ".script.json"}};
    if (op == "dismissAlert") {
        if (!m.alerts.empty()) m.alerts.pop_front();
        return stateJson(false);
    }
    if (op == "dialogSet" || op == "dialogPress") {
        if (!inDialog) return error("no dialog is open");
        adm::Dialog& d = *m.driver.open.back();
        std::string e;
        if (op == "dialogPress") {
            e = adm::pressItem(d, std::to_string(c.at("id").get<int32_t>()));
        } else {
            adm::SetAction a;
            a.id = c.at("id").get<int32_t>();
            if (c.contains("value")) a.number = c["value"].get<double>();
            if (c.contains("text")) a.text = c["text"].get<std::string>();
            e = adm::userSet(d, a);
        }
        if (!e.empty()) return error(e);
        json s = stateJson(false);
        // The dialog is gone once it ended; the answer shows what is open next.
        if (d.ended) s["dialog"] = nullptr;
        return s;
    }
    const bool pointer = op == "down" || op == "move" || op == "up";
    if (inDialog && pointer && m.drag && op != "down") {
        if (m.drag->ending) return stateJson(false);  // the dialog came from mouse up itself
        if (op == "move" && !m.deferred.empty() && m.deferred.back()["op"] == "move") m.deferred.pop_back();
        m.deferred.push_back(c);
        json s = stateJson(false);
        s["deferred"] = true;
        return s;
    }
    if (inDialog) return error("a dialog is open: answer it first");
    if (m.recovery && op != "recover" && op != "discardRecovery" && op != "save")
        return error("the last session left unsaved work: restore or discard it first");
    if (op == "recover") return recover();
    if (op == "discardRecovery") {
        if (!m.recovery) return error("there is no unsaved work of an earlier session");
        m.recovery.reset();
        m.rec.setJournal(options_.journal);
        m.rec.start(doc, m.pluginNames, m.seed);
        return stateJson(false);
    }

    if (op == "select" || op == "selectAll" || op == "deselect") {
        if (m.drag) return error("a drag is in progress");
        if (op == "selectAll") {
            doc.selectAll();
        } else if (op == "deselect") {
            doc.deselectAll();
        } else {
            const std::string mode = c.value("mode", "set");
            if (mode == "set") doc.deselectAll();
            for (const auto& idj : c.at("ids")) {
                Art* a = doc.findById(idj.get<int64_t>());
                if (!a || !doc.isLive(a)) return error("no art with id " + idj.dump());
                const bool on = mode == "toggle" ? !a->selected() : true;
                doc.setSelected(a, on);
            }
        }
        json ids = json::array();
        for (Art* a : doc.selectedArt())
            if (!a->parent() || !a->parent()->selected()) ids.push_back(a->id());
        m.rec.select(ids);
        return stateJson(true);
    }

    if (pointer) {
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
            m.drag.emplace();
            Impl::Drag& d = *m.drag;
            d.run = std::make_unique<cli::Session::Drag>(*m.session, doc, *tool);
            d.events.push_back(ev);
            d.last = p;
            d.pressure = pressure;
            d.modifiers = mods;
            d.client = client;
            d.pen = c.value("pen", false);
            d.nothingSelected = doc.selectedArt().empty();
            d.undoSteps = doc.undoStepCount();
            d.random = hostState().random;
            hostState().hasPressure = d.pen;
            d.run->down(p, pressure, mods);
            return stateJson(true);
        }
        if (!m.drag) return error("no drag is in progress");
        Impl::Drag& d = *m.drag;
        // Mouse up comes where the last drag event was, with its pressure and
        // keys, as in a replayed script: an up elsewhere is preceded by a drag
        // event there.
        if (op == "move" || d.last.h != p.h || d.last.v != p.v) {
            d.run->move(p, pressure, mods);
            d.events.push_back(ev);
            d.last = p;
            d.pressure = pressure;
            d.modifiers = mods;
        }
        if (op == "move") return stateJson(c.value("scene", true));
        m.endDrag();
        return stateJson(true);
    }
    if (m.drag) return error("a drag is in progress");

    if (op == "options") {
        RegisteredTool* tool = cli::findTool(c.at("tool").get<std::string>());
        if (!tool) return error("unknown tool " + c["tool"].dump());
        if (!m.session->pluginOf(*tool)) return error("the tool's plug-in is not loaded");
        m.optionsBefore.emplace();
        m.optionsClosed.reset();
        // The values the dialog opened with are taken when it is shown.
        auto onOpen = m.driver.onOpen;
        m.driver.onOpen = [this, onOpen] {
            if (impl_->driver.open.size() == 1 && impl_->optionsBefore && impl_->optionsBefore->empty())
                impl_->optionsBefore = itemValues(adm::snapshot(*impl_->driver.open.back()));
            onOpen();
        };
        m.session->editOptions(*tool, nullptr);
        m.driver.onOpen = onOpen;
        // The recorder keeps what the person changed, as sets and the closing button.
        if (m.optionsClosed && m.optionsClosed->result != 2) {
            const auto after = itemValues(*m.optionsClosed);
            json sets = json::object();
            for (int pass = 0; pass < 3; ++pass)
                for (const auto& i : m.optionsClosed->items) {
                    const int want = i.kind == adm::ItemKind::PopupList ? 0 : i.kind == adm::ItemKind::CheckBox ? 1 : 2;
                    if (want != pass || !after.count(i.id)) continue;
                    auto before = m.optionsBefore->find(i.id);
                    if (before != m.optionsBefore->end() && before->second == after.at(i.id)) continue;
                    if (i.kind == adm::ItemKind::CheckBox)
                        sets[std::to_string(i.id)] = i.value != 0;
                    else
                        sets[std::to_string(i.id)] = after.at(i.id);
                }
            const int32_t result = m.optionsClosed->result;
            m.rec.options({{"tool", tool->title}, {"set", sets}, {"press", result == 1 ? json("OK") : json(std::to_string(result))}});
        }
        m.optionsBefore.reset();
        m.optionsClosed.reset();
        return stateJson(false);
    }
    if (op == "undo" || op == "redo") {
        const bool done = op == "undo" ? doc.undo() : doc.redo();
        if (!done) return error(op == "undo" ? "nothing to undo" : "nothing to redo");
        if (op == "undo")
            m.rec.undo();
        else
            m.rec.redo();
        return stateJson(true);
    }
    if (op == "seed") {
        const double s = c.at("seed").get<double>();
        if (s != std::floor(s) || s < INT32_MIN || s > INT32_MAX) return error("a seed is a whole number");
        m.seed = static_cast<int32_t>(s);
        doc.setSeed(m.seed);
        hostState().random.reseed(m.seed);
        m.rec.seed(m.seed);
        return stateJson(false);
    }
    if (op == "open") {
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
        m.rec.open(*m.doc);
        setName(m.name, fs::path(name).stem().string(), mutex_, name_);
        return stateJson(true);
    }
    if (op == "save") {
        const std::string format = c.value("format", "json");
        if (format != "svg" && format != "json") return error("save as \"json\" or \"svg\"");
        json r = {{"ok", true}, {"text", format == "svg" ? writeSvg(doc) : writeDocumentJson(doc)},
                  {"name", m.name + "." + format}};
        // The page saves the text as a file: the work so far is saved.
        if (c.value("download", false)) m.rec.markSaved();
        return r;
    }
    return error("unknown command \"" + op + "\"");
}

}  // namespace easel::studio

// The studio's threads: the host thread that owns the document and the
// plug-ins, and the queue that hands it the commands of the request threads.
#include "Studio.h"

#include <cstdio>

#include "model/Document.h"
#include "core/Input.h"
#include "core/MappedInput.h"
#include "Recorder.h"
#include "core/Progress.h"
#include "io/render/Render.h"
#include "io/render/RenderPdf.h"
#include "adm/RegisterADM.h"
#include "adm/Resources.h"
#include "loader/Loader.h"
#include "run/PluginSession.h"
#include "studio/StudioHost.h"

namespace easel::studio {

namespace fs = std::filesystem;

// An answer, with the drawing (when it has one) kept as JSON text: it is
// the bulk of a drag's answers and goes to the page without a second pass.
struct Studio::Answer {
    json body;
    std::string scene;
    std::string picture;  // binary, for the page
};

struct Studio::Task {
    json command;
    std::function<json()> work;  // instead of a command (pictures)
    std::promise<Answer> promise;
    bool answered = false;
    void answer(json j, std::string scene = {}, std::string picture = {}) {
        if (answered) return;
        answered = true;
        promise.set_value({std::move(j), std::move(scene), std::move(picture)});
    }
};

namespace {

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

// A text member of a command as the queue sees it: "" when it is missing or
// not text (the command is refused with the reason when it runs).
std::string memberText(const json& command, const char* key) {
    if (!command.is_object()) return "";
    const auto it = command.find(key);
    return it != command.end() && it->is_string() ? it->get<std::string>() : "";
}

}  // namespace

Studio::Studio(StudioOptions options) : impl_(std::make_unique<Host>()), options_(std::move(options)) {}

Studio::~Studio() { stop(); }

std::string Studio::openDocument() {
    Host& m = *impl_;
    if (options_.document.empty()) {
        m.doc = newDocument();
        return "";
    }
    std::string e, text;
    try {
        text = readInputFile(options_.document);
    } catch (const InputError& x) {
        e = options_.document.string() + ": " + x.what();
    }
    std::string notes;
    if (e.empty() && !readDocumentText(options_.document.string(), text, m.doc, e, notes))
        e = options_.document.string() + ": " + e;
    if (e.empty()) notes += drawnApartText(*m.doc);
    if (!notes.empty())
        m.notices.push_back({{"kind", "import"}, {"name", options_.document.filename().string()}, {"text", notes}});
    return e;
}

std::string Studio::startPlugins() {
    Host& m = *impl_;
    m.session = std::make_unique<run::PluginSession>(options_.pluginDirs);
    m.session->onResult([this](Plugin& p, const char* selector, ASErr r) { impl_->report(p, selector, r); });
    hostState().document = m.doc.get();
    adm::dialogManager().setDefaultDriver(&m.driver);
    adm::dialogManager().setNextDriver(nullptr);
    m.seed = options_.seed.value_or(m.doc->seed());
    hostState().random.reseed(m.seed);
    m.driver.onOpen = [this] { answerWaiting(); };
    m.driver.serve = [this] { serveDialog(); };
    hostState().onShown = [this](const ShownMessage& msg) {
        if (msg.kind == "dialog" || impl_->replaying) return;  // the page shows the dialog itself
        impl_->alerts.push_back({{"kind", msg.kind}, {"title", msg.title}, {"texts", msg.texts}});
    };
    adm::dialogManager().onClosed = [this](const adm::DialogRecord& r) {
        if (adm::dialogManager().depth() == 1 && impl_->optionsBefore) impl_->optionsClosed = r;
    };
    auto names = options_.plugins.empty() ? run::bundlesOnPath(m.session->loader().searchDirs()) : options_.plugins;
    if (names.empty()) return "no plug-in bundles found; give the folder with --plugins DIR or EASEL_PLUGINS";
    // Named plug-ins must load; of the bundles found, one that cannot
    // be loaded is reported and the others are used.
    const bool named = !options_.plugins.empty();
    std::string e;
    for (const auto& name : names) {
        Plugin* p = m.session->startOne(name, e);
        if (!p && named) return e;
        if (!p) {
            m.notices.push_back({{"kind", "load"}, {"text", e}});
            std::fprintf(stderr, "easel: %s\n", e.c_str());
            e.clear();
            continue;
        }
        m.pluginNames.push_back(p->name());
    }
    if (m.session->started().empty()) return "none of the plug-in bundles found could be loaded";
    return "";
}

void Studio::prepareSession() {
    Host& m = *impl_;
    for (const auto& t : hostState().tools) {
        Plugin* p = m.session->pluginOf(*t);
        json jt = {{"number", t->number}, {"title", t->title}, {"name", run::toolName(t->title)}, {"tooltip", t->tooltip},
                   {"group", t->sameGroupAs}, {"toolset", t->sameToolsetAs}, {"plugin", p ? p->name() : ""}};
        const adm::Icon* icon = adm::iconOf(t->icon);
        if (icon && icon->type != kADMUnknownIconType)
            jt["icon"] = "data:image/png;base64," + base64(adm::encodePng(icon->image));
        m.tools.push_back(jt);
    }
    if (!options_.document.empty()) {
        m.setName(options_.document.stem().string());
        std::error_code ec;
        m.file = fs::absolute(options_.document, ec);
    }
    m.rec.start(*m.doc, m.pluginNames, m.seed);
    // One studio per journal; the journal is kept while the last session's work is offered.
    if (!options_.journal.empty()) openJournal(m, options_.journal, options_.recover != StudioOptions::Recover::No);
}

void Studio::hostThread(std::promise<std::string>& started) {
    Host& m = *impl_;
    m.journal = options_.journal;
    m.onName = [this](const std::string& name) {
        std::lock_guard<std::mutex> lock(mutex_);
        name_ = name;
    };
    std::string e = openDocument();
    if (e.empty()) e = startPlugins();
    if (e.empty()) prepareSession();
    const bool ok = e.empty();
    started.set_value(e);
    // Restored before the first command is taken (what it shows may need the page).
    if (ok && m.recovery && options_.recover == StudioOptions::Recover::Yes) {
        json r = recoverCommand(m, json::object());
        if (!r.value("ok", false)) std::fprintf(stderr, "easel: %s\n", r.value("error", "").c_str());
    }
    if (ok) hostLoop();
    // Shut down on the thread that started the plug-ins. A clean end
    // with everything saved leaves no journal behind.
    m.drag.reset();
    if (ok && !m.recovery && !m.rec.unsaved()) m.rec.removeJournal();
    m.session.reset();
}

bool Studio::start(std::string& errorOut) {
    MappedInput::copyOnly();  // a file cut short while it is read must not end the studio
    std::promise<std::string> started;
    auto result = started.get_future();
    host_ = std::thread([this, &started] { hostThread(started); });
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
        if (stopping_ || !host_.joinable()) return {error("the studio is not running"), {}, {}};
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
    bool binary = false;
    return callPage(command, ok, binary);
}

std::string Studio::callPage(const json& command, bool& ok, bool& binary) {
    Answer a = send(command);
    ok = a.body.value("ok", false);
    std::string text = a.body.dump(-1, ' ', false, json::error_handler_t::replace);
    binary = !a.picture.empty();
    if (binary) {
        // The JSON's length, the JSON padded with spaces so the picture's
        // arrays start at a multiple of 8 bytes, then the picture.
        while ((4 + text.size()) % 8) text += ' ';
        const uint32_t n = static_cast<uint32_t>(text.size());
        std::string out;
        out.reserve(4 + text.size() + a.picture.size());
        out.append(reinterpret_cast<const char*>(&n), 4);
        out += text;
        out += a.picture;
        return out;
    }
    if (!a.scene.empty()) {
        text.pop_back();  // the closing brace of the body
        text += ",\"scene\":";
        text += a.scene;
        text += '}';
    }
    return text;
}

json Studio::onHost(std::function<json()> work) {
    auto task = std::make_shared<Task>();
    task->work = std::move(work);
    auto answer = task->promise.get_future();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_ || !host_.joinable()) return error("the studio is not running");
        queue_.push_back(task);
    }
    wake_.notify_all();
    return answer.get().body;
}

bool Studio::renderPng(int width, std::string& png, std::string& errorOut) {
    json r = onHost([this, width] {
        if (!impl_->driver.open.empty()) return error("a dialog is open");
        Image image;
        std::string e, bytes;
        RenderSize size;
        size.width = width;
        if (!renderDocument(*impl_->doc, size, image, e) || !encodePng(image, bytes, e)) return error(e);
        return json{{"ok", true}, {"bytes", bytes}};
    });
    if (!r["ok"].get<bool>()) {
        errorOut = r["error"].get<std::string>();
        return false;
    }
    png = r["bytes"].get<std::string>();
    return true;
}

bool Studio::renderPdf(std::string& pdf, std::string& errorOut) {
    json r = onHost([this] {
        if (!impl_->driver.open.empty()) return error("a dialog is open");
        std::string e, bytes;
        if (!easel::renderPdf(*impl_->doc, bytes, e)) return error(e);
        return json{{"ok", true}, {"bytes", bytes}};
    });
    if (!r["ok"].get<bool>()) {
        errorOut = r["error"].get<std::string>();
        return false;
    }
    pdf = r["bytes"].get<std::string>();
    return true;
}

void Studio::recordAddress(const std::string& address) {
    onHost([this, address] {
        impl_->journalLock.recordAddress(address);
        return json{{"ok", true}};
    });
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
        // (Only one page's: another page's move may be refused, and this one
        // would be lost.) Malformed moves are not coalesced: they are refused when run.
        if (!queue_.empty()) {
            const auto page = wellFormedMove(task->command);
            if (page && page == wellFormedMove(queue_.front()->command)) {
                task->answer({{"ok", true}, {"coalesced", true}});
                continue;
            }
        }
        busyOp_ = task->work ? "picture" : memberText(task->command, "op");
        busySince_ = std::chrono::steady_clock::now();
        busy_ = true;
        return task;
    }
}

void Studio::hostLoop() {
    while (auto task = nextTask()) runTask(task);
    answerHeld(0);  // shutting down
}

void Studio::runTask(const std::shared_ptr<Task>& taskPtr) {
    Task& task = *taskPtr;
    const size_t depth = running_.size();
    running_.push_back(taskPtr);
    // The dialog this command is an answer to, when one is open.
    const adm::Dialog* answering = impl_->driver.open.empty() ? nullptr : impl_->driver.open.back();
    json r;
    impl_->scene.clear();
    impl_->picture.clear();
    impl_->pictureHave.reset();
    if (task.command.is_object() && task.command.contains("picture") && task.command["picture"].is_number_unsigned())
        impl_->pictureHave = task.command["picture"].get<uint64_t>();
    if (task.work) {
        r = task.work();
    } else {
        r = runCommand(*impl_, task.command);
        const std::string op = memberText(task.command, "op");
        if (r.value("ok", false) && op != "state" && op != "script") r["version"] = ++impl_->version;
        // A command refused while a dialog waits shows the dialog: the page may have missed it.
        if (!r.value("ok", false) && !impl_->driver.open.empty())
            r["dialog"] = dialogJson(*impl_->driver.open.back());
    }
    // Pointer commands held back while a dialog was open go next, before any other command.
    if (running_.size() == 1 && impl_->driver.open.empty()) runDeferred(*impl_);
    running_.pop_back();
    ++events_;
    busy_ = !running_.empty();
    if (answering && answering->ended && depth > 0 && r.value("ok", false))
        held_.emplace_back(taskPtr, depth - 1);
    else
        task.answer(std::move(r), std::move(impl_->scene), std::move(impl_->picture));
    impl_->scene.clear();
    impl_->picture.clear();
    answerHeld(depth);
}

void Studio::answerHeld(size_t depth) {
    while (!held_.empty() && held_.back().second >= depth) {
        auto task = held_.back().first;
        held_.pop_back();
        impl_->pictureHave.reset();
        const json& c = task->command;
        if (c.contains("picture") && c["picture"].is_number_unsigned()) impl_->pictureHave = c["picture"].get<uint64_t>();
        json s = impl_->state(true);
        s["version"] = impl_->version;
        task->answer(std::move(s), std::move(impl_->scene), std::move(impl_->picture));
        impl_->scene.clear();
        impl_->picture.clear();
    }
}

void Studio::answerWaiting() {
    // The commands that opened the dialog are answered now: the page shows it,
    // as are those that closed the dialog before it.
    json state = impl_->state(false);
    state["dialogOpened"] = true;
    for (auto& t : running_) t->answer(state);
    for (auto& held : held_) held.first->answer(state);
    held_.clear();
    busy_ = false;
}

void Studio::serveDialog() {
    adm::Dialog* dialog = impl_->driver.open.back();
    while (!dialog->ended) {
        auto task = nextTask();
        if (!task) return;  // shutting down: the manager closes it with Cancel
        runTask(task);
    }
}

}  // namespace easel::studio

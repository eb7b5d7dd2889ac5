#include "Harness.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "frame/brivane/BrivaneGlobals.h"
#include "io/json/DocumentJson.h"
#include "frame/kestova/KestovaGlobals.h"
#include "RandomInput.h"
#include "tests/support/HostStartup.h"
#include "suites/SuiteTables.h"

namespace reliability {

using namespace easel;
using json = nlohmann::json;

const std::vector<ToolCase>& toolCases() {
    // Items by dialog id: what the modifier rows step, the "Trail" box and the
    // "Delete" box that "Trail" switches off.
    static const std::vector<ToolCase> cases = {
        {"RowsColumns", 0, {20, 21, 22}, 26, 0, true},
        {"Drag", 1, {38}, 44, 0, false},
        {"SoftCenter", 2, {50, 55}, 58, 0, false},
        {"Framed", 3, {70, 71, 72, 73}, 78, 76, false},
        {"RimRandom", 4, {90}, 97, 0, false},
        {"Windmill", 5, {110, 113, 116, 128}, 122, 120, false},
        {"Scaledown", 6, {140, 142, 143, 144}, 148, 0, false},
        {"Bouncealong", 7, {180, 182, 183}, 187, 0, false},
        {"Spiraled", 8, {200, 203, 207}, 214, 211, false},
        {"Checkerboard", 9, {230, 231, 235}, 0, 0, false},
        {"Paint", 10, {250, 251, 253}, 0, 0, false},
        {"Tile", 11, {}, 0, 0, false},
        {"Background", 12, {290}, 297, 0, false},
        {"Kestova", -1, {18, 19, 20}, 23, 0, true},
    };
    return cases;
}

// ---------------------------------------------------------------------------
// Error reporting

namespace {
const char* const kMemoryMessage = "The filter cannot complete because there isn't enough memory (RAM) available.";
const char* const kLayerMessage = "The filter cannot complete because a layer is locked or invisible.";
const char* const kPointsMessage = "The filter cannot complete because a path has too many anchor points.";
const char* const kSelectionMessage = "The selection is not valid for this filter.";
const char* const kFallbackMessage =
    "Unknown error - possible reason: filters require paths to be selected before use or too many paths have been "
    "selected";
constexpr int32_t kErrorDialogId = 16051;
}  // namespace

std::string expectedErrorMessage(ASErr code) {
    if (code == kOutOfMemoryErr || code == 271) return kMemoryMessage;
    if (code == kLockedLayerErr) return kLayerMessage;
    if (code == kTooManyPointsErr) return kPointsMessage;
    if (code == AS_FOURCC('!', 's', 'e', 'l')) return kSelectionMessage;
    return kFallbackMessage;
}

std::string expectedCodeText(ASErr code) {
    const auto u = static_cast<uint32_t>(code);
    const uint32_t high = u >> 16;
    if (high == 0 || high == 0xFFFF) return std::to_string(code);
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>((u >> shift) & 0xFF);
    return s;
}

std::string checkReported(const CallRecord& call) {
    std::vector<const adm::DialogRecord*> errors;
    for (const auto& d : call.dialogs)
        if (d.resourceId == kErrorDialogId) errors.push_back(&d);
    const bool reported = call.result != kNoErr && call.result != kCancelErr;
    std::ostringstream out;
    if (!reported) {
        if (!errors.empty())
            out << call.selector << " returned " << call.result << " but showed the error dialog";
        return out.str();
    }
    if (errors.size() != 1) {
        out << call.selector << " returned " << expectedCodeText(call.result) << " and showed the error dialog "
            << errors.size() << " times";
        return out.str();
    }
    std::string message, code;
    for (const auto& item : errors.front()->items) {
        if (item.id == 2) message = item.text;
        if (item.id == 3) code = item.text;
    }
    if (message != expectedErrorMessage(call.result) || code != expectedCodeText(call.result))
        out << call.selector << " returned " << expectedCodeText(call.result) << " but the error dialog said \""
            << message << "\" with code \"" << code << "\"";
    return out.str();
}

// ---------------------------------------------------------------------------
// Finite values

namespace {
bool finite(float x) { return std::isfinite(x); }
bool finiteMatrix(const AIRealMatrix& m) {
    return finite(m.a) && finite(m.b) && finite(m.c) && finite(m.d) && finite(m.tx) && finite(m.ty);
}
bool finiteColour(const AIColor& c) { return finite(c.c[0]) && finite(c.c[1]) && finite(c.c[2]) && finite(c.c[3]); }
}  // namespace

std::string findNonFinite(const Document& doc) {
    std::string found;
    if (!finite(doc.width()) || !finite(doc.height())) return "page size";
    doc.forEachArt([&](Art* a) {
        if (!found.empty()) return;
        const AIPathStyle& s = a->style();
        bool ok = finite(a->opacity()) && finiteColour(s.fill.color) && finiteColour(s.stroke.color) &&
                  finite(s.stroke.width) && finite(s.stroke.miterLimit) && finite(s.stroke.dashOffset);
        for (float d : s.stroke.dash) ok = ok && finite(d);
        ok = ok && finiteMatrix(a->objectMatrix()) && finite(a->object().fontSize) && finite(a->object().width) &&
             finite(a->object().height);
        const EnvelopeWarp& w = a->warp();
        ok = ok && finite(w.bend) && finite(w.horizontal) && finite(w.vertical);
        for (const Tag& t : a->tags()) ok = ok && (!t.isReal || finite(t.real));
        if (ok && a->hasPath()) {
            for (const AIPathSegment& seg : a->segments())
                ok = ok && finite(seg.p.h) && finite(seg.p.v) && finite(seg.in.h) && finite(seg.in.v) &&
                     finite(seg.out.h) && finite(seg.out.v);
        }
        if (ok) {
            AIRealRect r{};
            // An empty container has the empty rectangle, which is infinite by design.
            if (doc.bounds(a, &r) == kNoErr && !(a->isContainer() && r.left > r.right))
                ok = finite(r.left) && finite(r.top) && finite(r.right) && finite(r.bottom);
        }
        if (!ok) found = "art " + std::to_string(a->id()) + " (type " + std::to_string(a->type()) + ")";
    });
    return found;
}

// ---------------------------------------------------------------------------
// Environment

int sessionsPerTool(int fallback) {
    if (const char* s = std::getenv("EASEL_PROPERTY_SESSIONS")) {
        const int n = std::atoi(s);
        if (n > 0) return n;
    }
    return fallback;
}

std::optional<uint64_t> replaySeed() {
    if (const char* s = std::getenv("EASEL_PROPERTY_SEED")) {
        if (*s != '\0') return std::strtoull(s, nullptr, 10);
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------
// The host

Host::Host() {
    test::startHost();
    adm::dialogManager().onClosed = [this](const adm::DialogRecord& r) { closed_.push_back(r); };
    loader_ = std::make_unique<Loader>(std::vector<std::filesystem::path>{EASEL_PLUGIN_DIR});
    brivane_ = loader_->load("Brivane", error_);
    if (brivane_) kestova_ = loader_->load("Kestova", error_);
    if (!brivane_ || !kestova_) return;
    if (loader_->startup(*brivane_) != kNoErr || loader_->startup(*kestova_) != kNoErr) {
        error_ = "start-up failed";
        return;
    }
    // The host is handed each Globals block when the library is unloaded; the
    // reloaded library works on the same block, which the sessions reset.
    for (Plugin* p : {brivane_, kestova_}) {
        if (loader_->unload(*p) != kNoErr || loader_->reload(*p, error_) != kNoErr || !p->globals()) {
            if (error_.empty()) error_ = "unload and reload of " + p->name() + " failed";
            return;
        }
    }
    auto save = [](const void* p, size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        return std::vector<unsigned char>(b, b + n);
    };
    brivaneDefaults_ = save(brivane_->globals(), sizeof(BrivaneGlobals));
    kestovaDefaults_ = save(kestova_->globals(), sizeof(KestovaGlobals));
}

Host::~Host() {
    if (kestova_ && kestova_->loaded()) loader_->shutdown(*kestova_);
    if (brivane_ && brivane_->loaded()) loader_->shutdown(*brivane_);
    adm::dialogManager().onClosed = nullptr;
    loader_.reset();
    hostState().document = nullptr;
    hostState().reset();
}

Plugin* Host::pluginFor(const ToolCase& tool) const { return tool.index < 0 ? kestova_ : brivane_; }

void* Host::globals(const ToolCase& tool) const { return pluginFor(tool)->globals(); }

size_t Host::globalsSize(const ToolCase& tool) const {
    return tool.index < 0 ? sizeof(KestovaGlobals) : sizeof(BrivaneGlobals);
}

AIToolHandle Host::handleFor(const ToolCase& tool) const {
    if (tool.index < 0) return static_cast<KestovaGlobals*>(kestova_->globals())->pdToolHandle;
    return static_cast<BrivaneGlobals*>(brivane_->globals())->toolHandles[tool.index];
}

void Host::restoreDefaults() {
    std::memcpy(brivane_->globals(), brivaneDefaults_.data(), brivaneDefaults_.size());
    std::memcpy(kestova_->globals(), kestovaDefaults_.data(), kestovaDefaults_.size());
}

CallRecord Host::send(const ToolCase& tool, const char* selector, AIRealPoint p, int16_t pressure, int32_t modifiers) {
    closed_.clear();
    CallRecord r;
    r.selector = selector;
    r.result = loader_->sendTool(*pluginFor(tool), selector, handleFor(tool), p, pressure, modifiers);
    r.dialogs = std::move(closed_);
    closed_.clear();
    return r;
}

CallRecord Host::openOptions(const ToolCase& tool, adm::DialogDriver* driver,
                             std::optional<adm::DialogRecord>* inspected) {
    adm::InspectDriver inspect;
    adm::dialogManager().setNextDriver(driver ? driver : &inspect);
    CallRecord r = send(tool, kSelectorAIEditToolOptions, {0, 0}, 0, 0);
    adm::dialogManager().setNextDriver(nullptr);
    if (inspected) *inspected = inspect.record();
    return r;
}

// ---------------------------------------------------------------------------
// A random session

namespace {

// Top-level art of a stored document by id, each as its JSON text.
std::map<int64_t, std::string> topLevelArt(const json& d, std::set<int64_t>* withSelection = nullptr) {
    std::map<int64_t, std::string> out;
    std::function<bool(const json&)> anySelected = [&](const json& a) {
        if (a.value("selected", false)) return true;
        if (a.contains("children"))
            for (const auto& c : a["children"])
                if (anySelected(c)) return true;
        return false;
    };
    for (const auto& layer : d["layers"])
        for (const auto& a : layer["art"]) {
            const int64_t id = a["id"].get<int64_t>();
            out[id] = a.dump();
            if (withSelection && anySelected(a)) withSelection->insert(id);
        }
    return out;
}

// The members that differ between two art objects, with their values.
std::string jsonDifference(const std::string& a, const std::string& b) {
    const json x = json::parse(a), y = json::parse(b);
    std::string out;
    for (const auto& [k, v] : x.items()) {
        if (!y.contains(k)) out += k + " removed; ";
        else if (y[k] != v) out += k + ": " + v.dump().substr(0, 200) + " -> " + y[k].dump().substr(0, 200) + "; ";
    }
    for (const auto& [k, v] : y.items())
        if (!x.contains(k)) out += k + " added: " + v.dump().substr(0, 200) + "; ";
    return out;
}


// Watches the session's calls; a call that runs longer than the bound stops
// the process with the seed, since a hang would otherwise go unnamed.
class Watchdog {
public:
    Watchdog() : thread_([this] { loop(); }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(m_);
            quit_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }
    void arm(const std::string& what) {
        std::lock_guard<std::mutex> lock(m_);
        what_ = what;
        since_ = std::chrono::steady_clock::now();
        armed_ = true;
    }
    void disarm() {
        std::lock_guard<std::mutex> lock(m_);
        armed_ = false;
    }

private:
    void loop() {
        std::unique_lock<std::mutex> lock(m_);
        while (!quit_) {
            cv_.wait_for(lock, std::chrono::seconds(1));
            if (armed_ && std::chrono::steady_clock::now() - since_ > std::chrono::seconds(kBoundSeconds)) {
                std::fprintf(stderr, "reliability: %s ran longer than %d s; stopping\n", what_.c_str(), kBoundSeconds);
                std::abort();
            }
        }
    }
    static constexpr int kBoundSeconds = 120;
    std::mutex m_;
    std::condition_variable cv_;
    bool quit_ = false, armed_ = false;
    std::string what_;
    std::chrono::steady_clock::time_point since_;
    std::thread thread_;
};

Watchdog& watchdog() {
    static Watchdog w;
    return w;
}

// The tool's "Delete" flag in Globals (Background's has no dialog item), or
// nullptr for tools without one.
ASInt32* deleteFlag(const ToolCase& tool, void* globals) {
    auto* g = static_cast<BrivaneGlobals*>(globals);
    switch (tool.index) {
    case brivane::kFramedTool: return &g->frameDelete;
    case brivane::kWindmillTool: return &g->windmillDelete;
    case brivane::kSpiraledTool: return &g->spiralDelete;
    case brivane::kBackgroundTool: return &g->backDelete;
    default: return nullptr;
    }
}

// The art of the tool's selection snapshot, while a drag holds one.
std::vector<AIArtHandle> snapshotArt(const ToolCase& tool, void* globals) {
    AIArtHandle** array = nullptr;
    ASInt32 count = 0;
    if (tool.index >= 0) {
        const auto* g = static_cast<BrivaneGlobals*>(globals);
        array = g->selectedArt;
        count = g->selectedCount;
    } else {
        const auto* g = static_cast<KestovaGlobals*>(globals);
        array = g->selectedArt;
        count = g->selectedCount;
    }
    if (!array || !*array || count <= 0) return {};
    return std::vector<AIArtHandle>(*array, *array + count);
}

int32_t itemValue(const adm::DialogRecord& r, int32_t id) {
    for (const auto& i : r.items)
        if (i.id == id) return static_cast<int32_t>(i.kind == adm::ItemKind::PopupList ? i.selected : i.value);
    return 0;
}

// One random session of one tool: its inputs, the drag as the host sends
// it, and the checks of what the drag left. The phases share the session's
// state through the members.
class SessionRun {
public:
    SessionRun(Host& host, const ToolCase& tool, uint64_t seed, SessionStats& stats)
        : host_(host), tool_(tool), seed_(seed), stats_(stats), rng_(seed),
          name_(std::string(tool.name) + " seed " + std::to_string(seed)) {}

    std::vector<std::string> run() {
        start();
        drag();
        checkDeleteFlag();
        checkOptions();
        checkUnselectedArt();
        checkUndoRedo();
        // Trail off: the result is exactly one arrangement, the last event's.
        if (trailOff_ && lastUndoing_ > 0 && documentJson() == j0_) checkLastEventAlone();
        // Paint never undoes between its events: the whole drag played again
        // from the same options and random numbers gives the same document.
        if (paint_ && documentJson() == j0_ && jEnd_ != j0_) {
            stats_.replayed = true;
            replay(1, events_.size() - 1, startGlobals_, startRandom_, false, nullptr);
            if (documentJson() != jEnd_) fail("Paint's drag played again gives another document");
        }
        hostState().document = nullptr;
        return failures_;
    }

private:
    void fail(const std::string& s) { failures_.push_back(s); }
    void checkCall(const CallRecord& c) {
        const std::string e = checkReported(c);
        if (!e.empty()) fail(e);
    }
    std::string documentJson() const { return writeDocumentJson(*doc_); }
    std::vector<unsigned char> globalsNow() const {
        const auto* g = static_cast<const unsigned char*>(host_.globals(tool_));
        return std::vector<unsigned char>(g, g + host_.globalsSize(tool_));
    }

    // The document, the options through the dialog, what the dialog shows
    // before the drag, and the drag's events.
    void start() {
        host_.restoreDefaults();
        doc_ = randomDocument(rng_, selected_);
        // A smaller budget than a user's keeps every session short; what it
        // refuses must still be reported and undone like any other refusal.
        doc_->setArtBudget({60'000, 6'000});
        hostState().document = doc_.get();
        hostState().random.reseed(static_cast<int32_t>(seed_ & 0x7FFFFFFF));
        hostState().hasPressure = chance(rng_, 0.5);
        stats_.selected = selected_;

        deleteField_ = tool_.index >= 0 ? deleteFlag(tool_, host_.globals(tool_)) : nullptr;
        // Tools with "Delete" keep their defaults ("Delete" on, "Trail" off) more
        // often, so that the rule for their sources is tested often too.
        if (chance(rng_, deleteField_ ? 0.4 : 0.8)) {
            RandomOptions driver(rng_);
            const ASInt32 deleteWas = deleteField_ ? *deleteField_ : 0;
            watchdog().arm(name_ + " options");
            checkCall(host_.openOptions(tool_, &driver));
            // A "Delete" without a dialog item changes only by "Reset" (back on).
            if (deleteField_ && tool_.deleteItem == 0 && *deleteField_ != (driver.pressedReset ? 1 : deleteWas))
                fail("the options dialog set \"Delete\" (no item) from " + std::to_string(deleteWas) + " to " +
                     std::to_string(*deleteField_));
        }
        checkCall(host_.openOptions(tool_, nullptr, &before_));
        if (!before_) fail("the options dialog did not open");

        j0_ = documentJson();
        events_ = randomEvents(rng_, *doc_, selected_);
        stats_.events = static_cast<int>(events_.size()) - 1;
        trail_ = tool_.trailItem != 0 && before_ && itemValue(*before_, tool_.trailItem) != 0;
        paint_ = tool_.index == brivane::kPaintTool;  // its trail has no box and is always on
        trailOff_ = !trail_ && !paint_;
        verbose_ = std::getenv("EASEL_PROPERTY_VERBOSE") != nullptr;
        if (verbose_ && before_) {
            std::fprintf(stderr, "%s: %d selected, trail %d\n", name_.c_str(), selected_, trail_ ? 1 : 0);
            for (const auto& item : before_->items)
                if (item.kind != adm::ItemKind::StaticText && item.kind != adm::ItemKind::PushButton)
                    std::fprintf(stderr, "  item %d = %g (%s)\n", item.id, item.value, item.text.c_str());
        }
    }

    // The drag, as the host sends it: one undo context for the drag, a fresh
    // one for mouse up.
    void drag() {
        deleteBefore_ = deleteField_ ? *deleteField_ : 0;
        startGlobals_ = globalsNow();
        startRandom_ = hostState().random;
        // Paint keeps every event's copies: the top-level art each event leaves
        // (while the document is small enough to compare often).
        watchKept_ = paint_ && doc_->artNodes() < 5'000;
        if (watchKept_) keptArt_ = topLevelArt(nlohmann::json::parse(j0_));
        savedRandom_ = hostState().random;
        watchdog().arm(name_ + " mouse down");
        doc_->beginUndoContext();
        checkCall(host_.send(tool_, kSelectorAIToolMouseDown, events_[0].p, events_[0].pressure, events_[0].modifiers));
        for (size_t i = 1; i < events_.size(); ++i) dragEvent(i);
        doc_->commitUndoContext();
        doc_->beginUndoContext();
        watchdog().arm(name_ + " mouse up");
        const Event& last = events_.back();
        const CallRecord up = host_.send(tool_, kSelectorAIToolMouseUp, last.p, last.pressure, last.modifiers);
        checkCall(up);
        if (up.result != kNoErr) fail("mouse up returned " + expectedCodeText(up.result));
        doc_->commitUndoContext();
        watchdog().disarm();
        stats_.artNodes = static_cast<int>(doc_->artNodes());

        const std::string bad = findNonFinite(*doc_);
        if (!bad.empty()) fail("after the drag a non-finite value is stored in " + bad);
        jEnd_ = documentJson();
    }

    void dragEvent(size_t i) {
        const Event& e = events_[i];
        anyModifiers_ = anyModifiers_ || e.modifiers != 0;
        const bool undoes = tool_.index >= 0 || (e.modifiers & 0x20) == 0;
        if (undoes) {
            savedGlobals_ = globalsNow();
            savedRandom_ = hostState().random;
            lastUndoing_ = i;
        }
        if (chance(rng_, 0.05)) checkCall(host_.send(tool_, kSelectorAITrackToolCursor, e.p, e.pressure, e.modifiers));
        watchdog().arm(name_ + " drag event " + std::to_string(i));
        const CallRecord c = host_.send(tool_, kSelectorAIToolMouseDrag, e.p, e.pressure, e.modifiers);
        if (verbose_)
            std::fprintf(stderr, "  event %zu at (%g, %g) modifiers 0x%x pressure %d: %s, %zu nodes\n", i,
                         static_cast<double>(e.p.h), static_cast<double>(e.p.v), static_cast<unsigned>(e.modifiers),
                         e.pressure, expectedCodeText(c.result).c_str(), doc_->artNodes());
        checkCall(c);
        if (undoes) lastResult_ = c.result;
        if (c.result != kNoErr) stats_.errors.push_back(c.result);
        if (watchKept_ && doc_->artNodes() < 5'000) {
            const auto now = topLevelArt(nlohmann::json::parse(documentJson()));
            for (const auto& [id, text] : keptArt_) {
                const auto it = now.find(id);
                if (it == now.end()) fail("event " + std::to_string(i) + " removed art " + std::to_string(id));
                else if (it->second != text) fail("event " + std::to_string(i) + " changed art " + std::to_string(id));
            }
            keptArt_ = now;
        }
        if (doc_->artNodes() < 20'000 && !nonFiniteSeen_) {
            const std::string bad = findNonFinite(*doc_);
            if (!bad.empty()) fail("event " + std::to_string(i) + " stored a non-finite value in " + bad);
            nonFiniteSeen_ = !bad.empty();
        }
    }

    // "Trail" clears "Delete" at every drag event; nothing else changes it.
    void checkDeleteFlag() {
        if (!deleteField_ || tool_.deleteItem != 0) return;
        const ASInt32 expected = trail_ && events_.size() > 1 ? 0 : deleteBefore_;
        if (*deleteField_ != expected)
            fail("\"Delete\" (no item) is " + std::to_string(*deleteField_) + " after the drag, expected " +
                 std::to_string(expected));
    }

    // Options changed only as the rules say.
    void checkOptions() {
        std::optional<adm::DialogRecord> after;
        checkCall(host_.openOptions(tool_, nullptr, &after));
        if (!before_ || !after) return;
        std::set<int32_t> allowed;
        if (anyModifiers_) allowed.insert(tool_.stepped.begin(), tool_.stepped.end());
        if (trail_ && tool_.deleteItem != 0 && events_.size() > 1) allowed.insert(tool_.deleteItem);
        if (tool_.index >= 0 && itemValue(*before_, 4) != 0 && events_.size() > 1) allowed.insert(6);
        for (const auto& item : before_->items) {
            if (item.kind == adm::ItemKind::StaticText || item.kind == adm::ItemKind::PushButton) continue;
            const int32_t v0 = itemValue(*before_, item.id), v1 = itemValue(*after, item.id);
            double d0 = item.value, d1 = 0;
            for (const auto& i : after->items)
                if (i.id == item.id) d1 = i.value;
            if (v0 == v1 && d0 == d1) continue;
            if (!allowed.count(item.id)) {
                fail("item " + std::to_string(item.id) + " changed from " + std::to_string(d0) + " to " +
                     std::to_string(d1) + " without a rule");
            } else if (item.id == tool_.deleteItem && d1 != 0) {
                fail("\"Trail\" did not clear \"Delete\"");
            } else if (item.id == 6 && tool_.index >= 0 && v1 != 0) {
                fail("\"Layer\" left placement at entry " + std::to_string(v1));
            }
        }
    }

    // Art that was not selected is untouched and still there. Selected art is
    // the tools' own to move, restyle or delete (the first copy of several
    // layouts is the selected object itself).
    void checkUnselectedArt() {
        std::set<int64_t> withSelection;
        const auto art0 = topLevelArt(nlohmann::json::parse(j0_), &withSelection);
        const auto art1 = topLevelArt(nlohmann::json::parse(jEnd_));
        for (const auto& [id, text] : art0) {
            if (withSelection.count(id) != 0) continue;
            const auto it = art1.find(id);
            if (it == art1.end()) fail("unselected art " + std::to_string(id) + " is gone");
            else if (it->second != text) fail("unselected art " + std::to_string(id) + " changed: " + jsonDifference(text, it->second));
        }
    }

    // Undo takes the whole drag back exactly; redo brings it again.
    void checkUndoRedo() {
        if (jEnd_ == j0_) return;
        if (!doc_->undo()) {
            fail("the drag changed the document but left no undo step");
            return;
        }
        if (documentJson() != j0_) fail("undoing the drag does not restore the document");
        doc_->redo();
        if (documentJson() != jEnd_) fail("redoing the drag does not give its result again");
        doc_->undo();
    }

    // Back to the document before the drag after a replay.
    void undoReplay() {
        for (int k = 0; k < 4 && documentJson() != j0_; ++k)
            if (!doc_->undo()) break;
    }

    // Sends mouse down, then the drag events [first, last], then mouse up in
    // the host's two undo contexts. With `keepSnapshot` the globals and random
    // numbers are those before event `first`, keeping this mouse down's
    // snapshot; `afterDrag` runs inside the drag's context. Returns the result
    // of the last event.
    ASErr replay(size_t first, size_t last, std::vector<unsigned char> g, const Random& r, bool keepSnapshot,
                 const std::function<void()>& afterDrag) {
        ASErr result = kNoErr;
        doc_->beginUndoContext();
        watchdog().arm(name_ + " replay");
        auto* live = static_cast<unsigned char*>(host_.globals(tool_));
        if (!keepSnapshot) {
            std::memcpy(live, g.data(), g.size());
            hostState().random = r;
        }
        host_.send(tool_, kSelectorAIToolMouseDown, events_[0].p, events_[0].pressure, events_[0].modifiers);
        if (keepSnapshot) {
            if (tool_.index >= 0) {
                reinterpret_cast<BrivaneGlobals*>(g.data())->selectedArt = reinterpret_cast<BrivaneGlobals*>(live)->selectedArt;
            } else {
                reinterpret_cast<KestovaGlobals*>(g.data())->selectedArt = reinterpret_cast<KestovaGlobals*>(live)->selectedArt;
            }
            std::memcpy(live, g.data(), g.size());
            hostState().random = r;
        }
        for (size_t i = first; i <= last; ++i)
            result = host_.send(tool_, kSelectorAIToolMouseDrag, events_[i].p, events_[i].pressure, events_[i].modifiers).result;
        if (afterDrag) afterDrag();
        doc_->commitUndoContext();
        doc_->beginUndoContext();
        host_.send(tool_, kSelectorAIToolMouseUp, events_.back().p, events_.back().pressure, events_.back().modifiers);
        doc_->commitUndoContext();
        watchdog().disarm();
        return result;
    }

    // With "Trail" off the result is exactly one arrangement, the last
    // event's: the same event alone, from the same options, drag state and
    // random numbers, gives the same document.
    void checkLastEventAlone() {
        stats_.replayed = true;
        const ASErr r = replay(lastUndoing_, lastUndoing_, savedGlobals_, savedRandom_, true, nullptr);
        if (r != lastResult_)
            fail("the last event alone returned " + expectedCodeText(r) + ", in the drag " + expectedCodeText(lastResult_));
        if (documentJson() != jEnd_) fail("with \"Trail\" off the drag left more than its last event's arrangement");
        checkDeleteLeavesArrangement();
    }

    // With "Delete" on, a drawn event leaves what it leaves with "Delete"
    // off less its sources: the snapshot's art, disposed last to first as
    // the tools do (a disposal that fails, on a locked layer say, keeps it).
    void checkDeleteLeavesArrangement() {
        const auto* saved = reinterpret_cast<const BrivaneGlobals*>(savedGlobals_.data());
        std::vector<unsigned char> kept = savedGlobals_;
        ASInt32* keptDelete = deleteField_ ? deleteFlag(tool_, kept.data()) : nullptr;
        if (!keptDelete || *keptDelete == 0 || lastResult_ != kNoErr || saved->slowdownCounter < saved->slowdown) return;
        undoReplay();
        *keptDelete = 0;
        std::vector<AIArtHandle> sources;
        replay(lastUndoing_, lastUndoing_, kept, savedRandom_, true, [&] {
            sources = snapshotArt(tool_, host_.globals(tool_));
            if (sources.size() > 1000) return;  // a snapshot this big draws nothing
            for (auto it = sources.rbegin(); it != sources.rend(); ++it)
                if (*it && suites::artSuite()->DisposeArt(*it) == kNoErr) stats_.deleteChecked = true;
        });
        const std::string expected = documentJson();
        if (expected == jEnd_) return;
        std::string which;
        const auto want = topLevelArt(nlohmann::json::parse(expected)), got = topLevelArt(nlohmann::json::parse(jEnd_));
        for (const auto& [id, text] : got)
            if (!want.count(id)) which += " " + std::to_string(id) + " kept";
            else if (want.at(id) != text) which += " " + std::to_string(id) + " differs";
        for (const auto& [id, text] : want)
            if (!got.count(id)) which += " " + std::to_string(id) + " missing";
        fail("with \"Delete\" on the drag did not leave its arrangement less its " + std::to_string(sources.size()) +
             " sources:" + which.substr(0, 300));
    }

    Host& host_;
    const ToolCase& tool_;
    const uint64_t seed_;
    SessionStats& stats_;
    Rng rng_;
    const std::string name_;
    std::vector<std::string> failures_;
    std::unique_ptr<Document> doc_;
    int selected_ = 0;
    ASInt32* deleteField_ = nullptr;
    std::optional<adm::DialogRecord> before_;
    std::string j0_, jEnd_;
    std::vector<Event> events_;
    bool trail_ = false, paint_ = false, trailOff_ = false, verbose_ = false;
    // The drag's state as it went: for the replays and the checks after it.
    ASInt32 deleteBefore_ = 0;
    std::vector<unsigned char> startGlobals_, savedGlobals_;
    Random startRandom_, savedRandom_;
    bool watchKept_ = false, anyModifiers_ = false, nonFiniteSeen_ = false;
    std::map<int64_t, std::string> keptArt_;
    size_t lastUndoing_ = 0;  // index of the last event that rebuilds from the selection
    ASErr lastResult_ = kNoErr;
};

}  // namespace

std::vector<std::string> Host::runSession(const ToolCase& tool, uint64_t seed, SessionStats& stats) {
    return SessionRun(*this, tool, seed, stats).run();
}

}  // namespace reliability

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

#include "BrivaneGlobals.h"
#include "DocumentJson.h"
#include "KestovaGlobals.h"
#include "support/HostStartup.h"
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

using Rng = std::mt19937_64;

double uniform(Rng& rng, double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
int between(Rng& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
bool chance(Rng& rng, double p) { return uniform(rng, 0, 1) < p; }

// Sets random items of a dialog, inside and outside their ranges and every
// popup entry, then presses OK (now and then Cancel, or Reset first).
class RandomOptions : public adm::DialogDriver {
public:
    explicit RandomOptions(Rng& rng) : rng_(rng) {}
    void run(adm::Dialog& dialog) override {
        std::vector<int32_t> ids;
        for (const auto& item : dialog.items) ids.push_back(item->id);
        std::shuffle(ids.begin(), ids.end(), rng_);
        const double p = uniform(rng_, 0.1, 0.9);
        for (int32_t id : ids) {
            adm::Item* item = dialog.item(id);
            if (!item || !item->enabled || dialog.ended || !chance(rng_, p)) continue;
            adm::SetAction set;
            set.id = id;
            switch (item->kind) {
            case adm::ItemKind::SpinEdit: {
                const double lo = std::isfinite(item->min) ? item->min : -1000;
                const double hi = std::isfinite(item->max) ? item->max : 1000;
                switch (between(rng_, 0, 6)) {
                case 0: set.number = lo; break;
                case 1: set.number = hi; break;
                case 2: set.number = lo - uniform(rng_, 0.5, 1e6); break;
                case 3: set.number = hi + uniform(rng_, 0.5, 1e6); break;
                case 4: set.text = "not a number"; break;
                default: set.number = uniform(rng_, lo, hi); break;
                }
                break;
            }
            case adm::ItemKind::PopupList: {
                const int n = item->list ? static_cast<int>(item->list->entries.size()) : 0;
                if (n == 0) continue;
                set.number = between(rng_, 0, n - 1);
                break;
            }
            case adm::ItemKind::CheckBox:
                set.number = between(rng_, 0, 1);
                break;
            default:
                continue;
            }
            adm::userSet(dialog, set);  // a refused text is what a user could type too
        }
        const int press = between(rng_, 0, 19);
        if (press == 0) {
            adm::pressItem(dialog, "Cancel");
        } else {
            if (press == 1) {
                adm::pressItem(dialog, "Reset");
                pressedReset = true;
            }
            if (!dialog.ended) adm::pressItem(dialog, "OK");
        }
    }

    bool pressedReset = false;

private:
    Rng& rng_;
};

AIColor randomColour(Rng& rng) {
    AIColor c{};
    switch (between(rng, 0, 4)) {
    case 0: c.kind = kGrayColor; break;
    case 1: c.kind = kFourColor; break;
    case 2: c.kind = kThreeColor; break;
    case 3: c.kind = kNoneColor; break;
    default: c.kind = kCustomColor; break;
    }
    for (float& x : c.c) x = static_cast<float>(chance(rng, 0.9) ? uniform(rng, 0, 1) : uniform(rng, -2, 3));
    return c;
}

AIPathStyle randomStyle(Rng& rng) {
    AIPathStyle s = defaultPathStyle();
    s.fillPaint = chance(rng, 0.8);
    s.fill.color = randomColour(rng);
    s.strokePaint = chance(rng, 0.6);
    s.stroke.color = randomColour(rng);
    s.stroke.width = static_cast<float>(chance(rng, 0.9) ? uniform(rng, 0, 10) : uniform(rng, 0, 500));
    if (chance(rng, 0.2)) {
        s.stroke.dashCount = 2;
        s.stroke.dash[0] = 3;
        s.stroke.dash[1] = 2;
    }
    return s;
}

float coordinate(Rng& rng, float extent, bool wild) {
    if (wild && chance(rng, 0.1)) return static_cast<float>(uniform(rng, -1e7, 1e7));
    return static_cast<float>(uniform(rng, -0.2 * static_cast<double>(extent), 1.2 * static_cast<double>(extent)));
}

struct DocBuilder {
    Rng& rng;
    Document& doc;
    bool wild;

    void path(Art* art, int maxSegments) {
        const int n = between(rng, 1, maxSegments);
        const float w = doc.width(), h = doc.height();
        const float size = static_cast<float>(uniform(rng, 0.5, 0.4 * static_cast<double>(std::max(w, h))));
        const float ch = coordinate(rng, w, wild), cv = coordinate(rng, h, wild);
        std::vector<AIPathSegment> segs;
        for (int i = 0; i < n; ++i) {
            AIRealPoint p{ch + static_cast<float>(uniform(rng, -size, size)),
                          cv + static_cast<float>(uniform(rng, -size, size))};
            AIPathSegment s{p, p, p, 1};
            if (chance(rng, 0.5)) {
                s.in = {p.h + static_cast<float>(uniform(rng, -size, size)), p.v + static_cast<float>(uniform(rng, -size, size))};
                s.out = {p.h + static_cast<float>(uniform(rng, -size, size)), p.v + static_cast<float>(uniform(rng, -size, size))};
                s.corner = 0;
            }
            segs.push_back(s);
        }
        doc.setSegmentCount(art, segs.size());
        doc.setSegments(art, 0, segs.size(), segs.data());
        doc.setClosed(art, chance(rng, 0.7));
        doc.setStyle(art, randomStyle(rng));
    }

    void object(Art* art, int16_t type) {
        ObjectData d;
        d.fontSize = static_cast<float>(uniform(rng, 1, 72));
        d.text = type == kTextArt ? "Words" : "";
        d.href = "picture.png";
        d.symbol = "Star";
        d.width = static_cast<float>(uniform(rng, 1, 200));
        d.height = static_cast<float>(uniform(rng, 1, 200));
        d.isText = type == kTextArt;
        doc.setObjectData(art, d);
        const float s = static_cast<float>(uniform(rng, 0.1, 3));
        AIRealMatrix m{s, 0, 0, s, coordinate(rng, doc.width(), wild), coordinate(rng, doc.height(), wild)};
        doc.setObjectMatrix(art, m);
        if (type == kTextArt) doc.setStyle(art, randomStyle(rng));
    }

    // One piece of art (possibly a container) inside `parent` or on top of the current layer.
    Art* piece(Art* parent, int depth, bool simple) {
        int16_t type = kPathArt;
        if (!simple) {
            const int k = between(rng, 0, 19);
            if (k < 10) type = kPathArt;
            else if (k < 13) type = kCompoundPathArt;
            else if (k < 15 && depth < 3) type = kGroupArt;
            else if (k < 16) type = kTextArt;
            else if (k < 17) type = kPlacedArt;
            else if (k < 18) type = kRasterArt;
            else if (k < 19) type = kSymbolArt;
        }
        Art* art = nullptr;
        const int16_t order = parent ? kPlaceInsideOnTop : kPlaceAbove;
        if (doc.newArt(type, order, parent, &art) != kNoErr) return nullptr;
        if (type == kPathArt) {
            path(art, simple ? 6 : (chance(rng, 0.05) ? 400 : 12));
        } else if (type == kCompoundPathArt) {
            const int n = between(rng, 1, 3);
            for (int i = 0; i < n; ++i) {
                Art* c = nullptr;
                if (doc.newArt(kPathArt, kPlaceInsideOnTop, art, &c) == kNoErr) path(c, 8);
            }
            doc.setStyle(art, randomStyle(rng));
        } else if (type == kGroupArt) {
            const int n = between(rng, 0, 3);
            for (int i = 0; i < n; ++i) piece(art, depth + 1, false);
        } else {
            object(art, type);
        }
        if (chance(rng, 0.15)) doc.setOpacity(art, static_cast<float>(uniform(rng, 0, 1)));
        if (chance(rng, 0.1)) doc.setBlendMode(art, between(rng, 0, 15));
        return art;
    }
};

// The document, its selection and its layers for a session.
std::unique_ptr<Document> randomDocument(Rng& rng, int& selectedOut) {
    const float sizes[][2] = {{612, 792}, {400, 300}, {1, 1}, {14400, 14400}, {50, 2000}};
    const auto& size = sizes[between(rng, 0, 4)];
    auto doc = newDocument(size[0], size[1]);
    doc->setSeed(between(rng, 1, 1000));
    if (chance(rng, 0.1)) doc->clearSwatches();  // a document without swatches
    const bool wild = chance(rng, 0.2);
    DocBuilder b{rng, *doc, wild};

    // How many objects: mostly a few, sometimes hundreds, rarely past 1,000.
    int objects;
    const int k = between(rng, 0, 99);
    if (k < 10) objects = 0;
    else if (k < 65) objects = between(rng, 1, 6);
    else if (k < 88) objects = between(rng, 7, 40);
    else if (k < 96) objects = between(rng, 41, 300);
    else objects = between(rng, 900, 1500);
    const bool simple = objects > 300;

    const int layers = between(rng, 1, 3);
    for (int l = 1; l < layers; ++l) doc->insertLayer(nullptr, kPlaceAboveAll, nullptr);
    std::vector<Art*> top;
    for (int i = 0; i < objects; ++i) {
        doc->setCurrentLayer(doc->layerFromBottom(static_cast<size_t>(between(rng, 0, layers - 1))));
        if (Art* a = b.piece(nullptr, 0, simple)) top.push_back(a);
    }

    // Selection: none, some or all; now and then only members of compound paths.
    const double p = chance(rng, 0.15) ? 0.0 : (chance(rng, 0.5) ? 1.0 : uniform(rng, 0.1, 0.9));
    for (Art* a : top) {
        if (!chance(rng, p)) continue;
        if (a->type() == kCompoundPathArt && a->firstChild() && chance(rng, 0.3)) {
            doc->setSelected(a->firstChild(), true);
        } else {
            doc->setSelected(a, true);
        }
    }
    // Only some segments of a path selected.
    for (Art* a : top) {
        if (a->type() == kPathArt && a->selected() && a->segmentCount() > 1 && chance(rng, 0.2))
            doc->setSegmentSelection(a, 0, 0);
    }
    // Locked and hidden layers (the top one too, where new art goes).
    for (size_t l = 0; l < doc->layerCount(); ++l) {
        if (chance(rng, 0.08)) doc->setLayerLocked(doc->layerFromBottom(l), true);
        if (chance(rng, 0.05)) doc->setLayerVisible(doc->layerFromBottom(l), false);
    }
    if (chance(rng, 0.05) && !top.empty()) doc->setLocked(top.front(), true);
    doc->clearHistory();
    selectedOut = static_cast<int>(doc->selectedArt().size());
    return doc;
}

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

struct Event {
    AIRealPoint p;
    int32_t modifiers;
    int16_t pressure;
};

std::vector<Event> randomEvents(Rng& rng, const Document& doc, int selected) {
    int count = between(rng, 1, 100) <= 80 ? between(rng, 1, 30) : between(rng, 31, 200);
    if (selected > 100) count = std::min(count, 6);
    const double modifierRate = chance(rng, 0.5) ? 0.0 : uniform(rng, 0.05, 1.0);
    const int32_t bits[] = {0x20, 0x40, 0x200};
    std::vector<Event> ev;
    AIRealPoint p{static_cast<float>(uniform(rng, 0, doc.width())), static_cast<float>(uniform(rng, 0, doc.height()))};
    for (int i = 0; i <= count; ++i) {
        if (i > 0) {
            switch (between(rng, 0, 9)) {
            case 0: break;  // zero length
            case 1:
                p = {static_cast<float>(uniform(rng, -1e6, 1e6)), static_cast<float>(uniform(rng, -1e6, 1e6))};
                break;
            case 2:
                p = {static_cast<float>(uniform(rng, -1e30, 1e30)), static_cast<float>(uniform(rng, -1e30, 1e30))};
                break;
            default:
                p.h += static_cast<float>(uniform(rng, -60, 60));
                p.v += static_cast<float>(uniform(rng, -60, 60));
            }
        }
        int32_t m = 0;
        if (chance(rng, modifierRate))
            for (int32_t bit : bits)
                if (chance(rng, 0.5)) m |= bit;
        ev.push_back({p, m, static_cast<int16_t>(between(rng, 0, 255))});
    }
    return ev;
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

}  // namespace

std::vector<std::string> Host::runSession(const ToolCase& tool, uint64_t seed, SessionStats& stats) {
    std::vector<std::string> failures;
    auto fail = [&](const std::string& s) { failures.push_back(s); };
    Rng rng(seed);
    restoreDefaults();

    int selected = 0;
    auto doc = randomDocument(rng, selected);
    // A smaller budget than a user's keeps every session short; what it
    // refuses must still be reported and undone like any other refusal.
    doc->setArtBudget({60'000, 6'000});
    hostState().document = doc.get();
    hostState().random.reseed(static_cast<int32_t>(seed & 0x7FFFFFFF));
    hostState().hasPressure = chance(rng, 0.5);
    stats.selected = selected;

    const std::string name = std::string(tool.name) + " seed " + std::to_string(seed);
    auto checkCall = [&](const CallRecord& c) {
        const std::string e = checkReported(c);
        if (!e.empty()) fail(e);
    };

    // Options through the dialog, then what the dialog shows before the drag.
    ASInt32* const deleteField = tool.index >= 0 ? deleteFlag(tool, globals(tool)) : nullptr;
    // Tools with "Delete" keep their defaults ("Delete" on, "Trail" off) more
    // often, so that the rule for their sources is tested often too.
    if (chance(rng, deleteField ? 0.4 : 0.8)) {
        RandomOptions driver(rng);
        const ASInt32 deleteWas = deleteField ? *deleteField : 0;
        watchdog().arm(name + " options");
        checkCall(openOptions(tool, &driver));
        // A "Delete" without a dialog item changes only by "Reset" (back on).
        if (deleteField && tool.deleteItem == 0 && *deleteField != (driver.pressedReset ? 1 : deleteWas))
            fail("the options dialog set \"Delete\" (no item) from " + std::to_string(deleteWas) + " to " +
                 std::to_string(*deleteField));
    }
    std::optional<adm::DialogRecord> before, after;
    checkCall(openOptions(tool, nullptr, &before));
    if (!before) fail("the options dialog did not open");

    const std::string j0 = writeDocumentJson(*doc);
    const auto events = randomEvents(rng, *doc, selected);
    stats.events = static_cast<int>(events.size()) - 1;
    const bool trail = tool.trailItem != 0 && before && itemValue(*before, tool.trailItem) != 0;
    const bool paint = tool.index == brivane::kPaintTool;  // its trail has no box and is always on
    const bool trailOff = !trail && !paint;
    const bool verbose = std::getenv("EASEL_PROPERTY_VERBOSE") != nullptr;
    if (verbose && before) {
        std::fprintf(stderr, "%s: %d selected, trail %d\n", name.c_str(), selected, trail ? 1 : 0);
        for (const auto& item : before->items)
            if (item.kind != adm::ItemKind::StaticText && item.kind != adm::ItemKind::PushButton)
                std::fprintf(stderr, "  item %d = %g (%s)\n", item.id, item.value, item.text.c_str());
    }

    // The drag, as the host sends it: one undo context for the drag, a fresh
    // one for mouse up.
    const ASInt32 deleteBefore = deleteField ? *deleteField : 0;
    const auto* g0 = static_cast<const unsigned char*>(globals(tool));
    const std::vector<unsigned char> startGlobals(g0, g0 + globalsSize(tool));
    const Random startRandom = hostState().random;
    // Paint keeps every event's copies: the top-level art each event leaves
    // (while the document is small enough to compare often).
    const bool watchKept = paint && doc->artNodes() < 5'000;
    std::map<int64_t, std::string> keptArt = watchKept ? topLevelArt(json::parse(j0)) : std::map<int64_t, std::string>{};
    std::vector<unsigned char> savedGlobals;
    Random savedRandom = hostState().random;
    size_t lastUndoing = 0;  // index of the last event that rebuilds from the selection
    bool anyModifiers = false;
    bool nonFiniteSeen = false;
    ASErr lastResult = kNoErr;
    watchdog().arm(name + " mouse down");
    doc->beginUndoContext();
    checkCall(send(tool, kSelectorAIToolMouseDown, events[0].p, events[0].pressure, events[0].modifiers));
    for (size_t i = 1; i < events.size(); ++i) {
        const Event& e = events[i];
        anyModifiers = anyModifiers || e.modifiers != 0;
        const bool undoes = tool.index >= 0 || (e.modifiers & 0x20) == 0;
        if (undoes) {
            const auto* g = static_cast<const unsigned char*>(globals(tool));
            savedGlobals.assign(g, g + globalsSize(tool));
            savedRandom = hostState().random;
            lastUndoing = i;
        }
        if (chance(rng, 0.05)) checkCall(send(tool, kSelectorAITrackToolCursor, e.p, e.pressure, e.modifiers));
        watchdog().arm(name + " drag event " + std::to_string(i));
        const CallRecord c = send(tool, kSelectorAIToolMouseDrag, e.p, e.pressure, e.modifiers);
        if (verbose)
            std::fprintf(stderr, "  event %zu at (%g, %g) modifiers 0x%x pressure %d: %s, %zu nodes\n", i,
                         static_cast<double>(e.p.h), static_cast<double>(e.p.v), static_cast<unsigned>(e.modifiers),
                         e.pressure, expectedCodeText(c.result).c_str(), doc->artNodes());
        checkCall(c);
        if (undoes) lastResult = c.result;
        if (c.result != kNoErr) stats.errors.push_back(c.result);
        if (watchKept && doc->artNodes() < 5'000) {
            const auto now = topLevelArt(json::parse(writeDocumentJson(*doc)));
            for (const auto& [id, text] : keptArt) {
                const auto it = now.find(id);
                if (it == now.end()) fail("event " + std::to_string(i) + " removed art " + std::to_string(id));
                else if (it->second != text) fail("event " + std::to_string(i) + " changed art " + std::to_string(id));
            }
            keptArt = now;
        }
        if (doc->artNodes() < 20'000 && !nonFiniteSeen) {
            const std::string bad = findNonFinite(*doc);
            if (!bad.empty()) fail("event " + std::to_string(i) + " stored a non-finite value in " + bad);
            nonFiniteSeen = !bad.empty();
        }
    }
    doc->commitUndoContext();
    doc->beginUndoContext();
    watchdog().arm(name + " mouse up");
    const CallRecord up = send(tool, kSelectorAIToolMouseUp, events.back().p, events.back().pressure, events.back().modifiers);
    checkCall(up);
    if (up.result != kNoErr) fail("mouse up returned " + expectedCodeText(up.result));
    doc->commitUndoContext();
    watchdog().disarm();
    stats.artNodes = static_cast<int>(doc->artNodes());

    const std::string bad = findNonFinite(*doc);
    if (!bad.empty()) fail("after the drag a non-finite value is stored in " + bad);
    const std::string jEnd = writeDocumentJson(*doc);

    // "Trail" clears "Delete" at every drag event; nothing else changes it.
    if (deleteField && tool.deleteItem == 0) {
        const ASInt32 expected = trail && events.size() > 1 ? 0 : deleteBefore;
        if (*deleteField != expected)
            fail("\"Delete\" (no item) is " + std::to_string(*deleteField) + " after the drag, expected " +
                 std::to_string(expected));
    }

    // Options changed only as the rules say.
    checkCall(openOptions(tool, nullptr, &after));
    if (before && after) {
        std::set<int32_t> allowed;
        if (anyModifiers) allowed.insert(tool.stepped.begin(), tool.stepped.end());
        if (trail && tool.deleteItem != 0 && events.size() > 1) allowed.insert(tool.deleteItem);
        if (tool.index >= 0 && itemValue(*before, 4) != 0 && events.size() > 1) allowed.insert(6);
        for (const auto& item : before->items) {
            if (item.kind == adm::ItemKind::StaticText || item.kind == adm::ItemKind::PushButton) continue;
            const int32_t v0 = itemValue(*before, item.id), v1 = itemValue(*after, item.id);
            double d0 = item.value, d1 = 0;
            for (const auto& i : after->items)
                if (i.id == item.id) d1 = i.value;
            if (v0 == v1 && d0 == d1) continue;
            if (!allowed.count(item.id)) {
                fail("item " + std::to_string(item.id) + " changed from " + std::to_string(d0) + " to " +
                     std::to_string(d1) + " without a rule");
            } else if (item.id == tool.deleteItem && d1 != 0) {
                fail("\"Trail\" did not clear \"Delete\"");
            } else if (item.id == 6 && tool.index >= 0 && v1 != 0) {
                fail("\"Layer\" left placement at entry " + std::to_string(v1));
            }
        }
    }

    // Art that was not selected is untouched and still there.
    const json d0 = json::parse(j0), d1 = json::parse(jEnd);
    std::set<int64_t> withSelection;
    const auto art0 = topLevelArt(d0, &withSelection);
    const auto art1 = topLevelArt(d1);
    // Selected art is the tools' own to move, restyle or delete (the first
    // copy of several layouts is the selected object itself).
    for (const auto& [id, text] : art0) {
        if (withSelection.count(id) != 0) continue;
        const auto it = art1.find(id);
        if (it == art1.end()) fail("unselected art " + std::to_string(id) + " is gone");
        else if (it->second != text) fail("unselected art " + std::to_string(id) + " changed: " + jsonDifference(text, it->second));
    }

    // Undo takes the whole drag back exactly; redo brings it again.
    if (jEnd != j0) {
        if (!doc->undo()) {
            fail("the drag changed the document but left no undo step");
        } else {
            if (writeDocumentJson(*doc) != j0) fail("undoing the drag does not restore the document");
            doc->redo();
            if (writeDocumentJson(*doc) != jEnd) fail("redoing the drag does not give its result again");
            doc->undo();
        }
    }

    // Back to the document before the drag after a replay.
    auto undoReplay = [&] {
        for (int k = 0; k < 4 && writeDocumentJson(*doc) != j0; ++k)
            if (!doc->undo()) break;
    };
    // Sends mouse down, then the drag events [first, last], then mouse up in
    // the host's two undo contexts. With `keepSnapshot` the globals and random
    // numbers are those before event `first`, keeping this mouse down's
    // snapshot; `afterDrag` runs inside the drag's context. Returns the result
    // of the last event.
    auto replay = [&](size_t first, size_t last, std::vector<unsigned char> g, const Random& r, bool keepSnapshot,
                      const std::function<void()>& afterDrag) {
        ASErr result = kNoErr;
        doc->beginUndoContext();
        watchdog().arm(name + " replay");
        auto* live = static_cast<unsigned char*>(globals(tool));
        if (!keepSnapshot) {
            std::memcpy(live, g.data(), g.size());
            hostState().random = r;
        }
        send(tool, kSelectorAIToolMouseDown, events[0].p, events[0].pressure, events[0].modifiers);
        if (keepSnapshot) {
            if (tool.index >= 0) {
                reinterpret_cast<BrivaneGlobals*>(g.data())->selectedArt = reinterpret_cast<BrivaneGlobals*>(live)->selectedArt;
            } else {
                reinterpret_cast<KestovaGlobals*>(g.data())->selectedArt = reinterpret_cast<KestovaGlobals*>(live)->selectedArt;
            }
            std::memcpy(live, g.data(), g.size());
            hostState().random = r;
        }
        for (size_t i = first; i <= last; ++i)
            result = send(tool, kSelectorAIToolMouseDrag, events[i].p, events[i].pressure, events[i].modifiers).result;
        if (afterDrag) afterDrag();
        doc->commitUndoContext();
        doc->beginUndoContext();
        send(tool, kSelectorAIToolMouseUp, events.back().p, events.back().pressure, events.back().modifiers);
        doc->commitUndoContext();
        watchdog().disarm();
        return result;
    };

    // With "Trail" off the result is exactly one arrangement, the last
    // event's: the same event alone, from the same options, drag state and
    // random numbers, gives the same document.
    if (trailOff && lastUndoing > 0 && writeDocumentJson(*doc) == j0) {
        stats.replayed = true;
        const ASErr r = replay(lastUndoing, lastUndoing, savedGlobals, savedRandom, true, nullptr);
        if (r != lastResult)
            fail("the last event alone returned " + expectedCodeText(r) + ", in the drag " + expectedCodeText(lastResult));
        if (writeDocumentJson(*doc) != jEnd) fail("with \"Trail\" off the drag left more than its last event's arrangement");

        // With "Delete" on, a drawn event leaves what it leaves with "Delete"
        // off less its sources: the snapshot's art, disposed last to first as
        // the tools do (a disposal that fails, on a locked layer say, keeps it).
        const auto* saved = reinterpret_cast<const BrivaneGlobals*>(savedGlobals.data());
        std::vector<unsigned char> kept = savedGlobals;
        ASInt32* keptDelete = deleteField ? deleteFlag(tool, kept.data()) : nullptr;
        if (keptDelete && *keptDelete != 0 && lastResult == kNoErr && saved->slowdownCounter >= saved->slowdown) {
            undoReplay();
            *keptDelete = 0;
            std::vector<AIArtHandle> sources;
            replay(lastUndoing, lastUndoing, kept, savedRandom, true, [&] {
                sources = snapshotArt(tool, globals(tool));
                if (sources.size() > 1000) return;  // a snapshot this big draws nothing
                for (auto it = sources.rbegin(); it != sources.rend(); ++it)
                    if (*it && suites::artSuite()->DisposeArt(*it) == kNoErr) stats.deleteChecked = true;
            });
            const std::string expected = writeDocumentJson(*doc);
            if (expected != jEnd) {
                std::string which;
                const auto want = topLevelArt(json::parse(expected)), got = topLevelArt(json::parse(jEnd));
                for (const auto& [id, text] : got)
                    if (!want.count(id)) which += " " + std::to_string(id) + " kept";
                    else if (want.at(id) != text) which += " " + std::to_string(id) + " differs";
                for (const auto& [id, text] : want)
                    if (!got.count(id)) which += " " + std::to_string(id) + " missing";
                fail("with \"Delete\" on the drag did not leave its arrangement less its " +
                     std::to_string(sources.size()) + " sources:" + which.substr(0, 300));
            }
        }
    }

    // Paint never undoes between its events: the whole drag played again
    // from the same options and random numbers gives the same document.
    if (paint && writeDocumentJson(*doc) == j0 && jEnd != j0) {
        stats.replayed = true;
        replay(1, events.size() - 1, startGlobals, startRandom, false, nullptr);
        if (writeDocumentJson(*doc) != jEnd) fail("Paint's drag played again gives another document");
    }

    hostState().document = nullptr;
    return failures;
}

}  // namespace reliability

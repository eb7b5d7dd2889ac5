#include "Document.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "ArtPool.h"
#include "Journal.h"
#include "PaintChecks.h"
#include "core/Progress.h"
#include "Warp.h"

namespace easel {

// ---------------------------------------------------------------------------

namespace {

bool finiteStyle(const AIPathStyle& s) {
    const AIStrokeStyle& k = s.stroke;
    if (!finiteColor(s.fill.color) || !finiteColor(k.color)) return false;
    if (!std::isfinite(k.width) || !std::isfinite(k.miterLimit) || !std::isfinite(k.dashOffset)) return false;
    if (k.dashCount < 0 || k.dashCount > kMaxDashComponents) return false;
    for (float d : k.dash) {
        if (!std::isfinite(d)) return false;
    }
    return true;
}

bool knownType(int16_t t) {
    switch (t) {
        case kGroupArt: case kPathArt: case kCompoundPathArt: case kTextArt: case kPlacedArt:
        case kTextPathArt: case kRasterArt: case kMeshArt: case kSymbolArt: case kEnvelopeArt:
            return true;
        default:
            return false;
    }
}

bool anchored(const Art* a) { return a->attached(); }

// Containers above the art: 0 for art on a layer.
int nestingOf(const Art* a) {
    int n = 0;
    for (const Art* p = a->parent(); p; p = p->parent()) ++n;
    return n;
}

// Levels of members below the art (0 for art without members), counted
// without recursion; stops counting past `limit`.
int heightOf(const Art* art, int limit) {
    int most = 0;
    std::vector<std::pair<const Art*, int>> stack{{art, 0}};
    while (!stack.empty() && most <= limit) {
        const auto [a, level] = stack.back();
        stack.pop_back();
        most = std::max(most, level);
        for (const Art* c = a->firstChild(); c; c = c->next()) stack.emplace_back(c, level + 1);
    }
    return most;
}

// Whether `art` (with its members) may be placed inside `parent`.
bool nestingAllows(const Art* parent, const Art* art) {
    if (!parent) return true;
    const int room = kMaxArtNesting - nestingOf(parent) - 1;
    return room >= 0 && (!art || heightOf(art, room) <= room);
}

}  // namespace

Document::Document(float width, float height)
    : width_(width), height_(height), pool_(std::make_unique<ArtPool>()),
      journal_(std::make_unique<Journal>(*this)) {}

Document::~Document() {
    journal_.reset();  // the pool owns every node; nothing to release one by one
}


// ---- nodes ----

bool Document::isLive(const Art* art) const {
    if (!art || !pool_->owns(art) || !art->inUse_) return false;
    const Art* a = art;
    while (a->parent_) a = a->parent_;
    return a->layer_ != nullptr && a->layer_->live_;
}

Art* Document::findById(int64_t id) {
    Art* found = nullptr;
    forEachArt([&](Art* a) {
        if (!found && a->id_ == id) found = a;
    });
    return found;
}

ASErr Document::setArtId(Art* art, int64_t id) {
    if (!isLive(art) || id <= 0) return kBadParameterErr;
    art->id_ = id;
    if (id >= nextId_) nextId_ = id + 1;
    return kNoErr;
}

Art* Document::allocArt(int16_t type) {
    Art* a = pool_->alloc();
    a->type_ = type;
    a->id_ = nextId_++;
    a->bornIn_ = journal_->epoch;
    a->style_ = (type == kPathArt || type == kCompoundPathArt || type == kTextArt || type == kTextPathArt)
                    ? sharedDefaultPathStyle()
                    : sharedUnpaintedStyle();
    if (type == kTextArt || type == kTextPathArt) {
        auto o = std::make_shared<ObjectData>();
        o->isText = true;
        a->editExtras().object = std::move(o);
    }
    return a;
}

void Document::freeArt(Art* art) {
    if (!art->children_.first) {  // most art: no members to look after
        forgetSelected(art);
        pool_->release(art);
        return;
    }
    // Iterative: frees the subtree, keeping members the journal still refers to.
    std::vector<Art*> stack{art};
    while (!stack.empty()) {
        Art* a = stack.back();
        stack.pop_back();
        for (Art* c = a->children_.first; c;) {
            Art* next = c->next_;
            c->parent_ = nullptr;
            c->prior_ = c->next_ = nullptr;
            if (c->journalRefs_ == 0) stack.push_back(c);
            c = next;
        }
        a->children_ = ArtList{};
        forgetSelected(a);
        pool_->release(a);
    }
}

void Document::releaseArt(Art* art) {
    if (art->journalRefs_ == 0 && !anchored(art)) freeArt(art);
}

void Document::link(Art* art, Layer* layer, Art* parent, Art* after) {
    ArtList& list = parent ? parent->children_ : layer->art_;
    art->parent_ = parent;
    art->layer_ = parent ? nullptr : layer;
    art->prior_ = after;
    art->next_ = after ? after->next_ : list.first;
    if (art->next_) {
        art->next_->prior_ = art;
    } else {
        list.last = art;
    }
    if (after) {
        after->next_ = art;
    } else {
        list.first = art;
    }
}

void Document::unlink(Art* art) {
    ArtList& list = art->parent_ ? art->parent_->children_ : art->layer_->art_;
    if (art->prior_) {
        art->prior_->next_ = art->next_;
    } else {
        list.first = art->next_;
    }
    if (art->next_) {
        art->next_->prior_ = art->prior_;
    } else {
        list.last = art->prior_;
    }
    art->prior_ = art->next_ = nullptr;
    art->parent_ = nullptr;
    art->layer_ = nullptr;
}

void Document::moveRecorded(Art* art, Layer* layer, Art* parent, Art* after) {
    journal_->recordMove(art);
    if (anchored(art)) unlink(art);
    if (layer || parent) link(art, layer, parent, after);
}

bool Document::fresh(const Art* art) const { return journal_->fresh(art); }

void Document::recordState(Art* art, int) { journal_->recordState(art); }

bool Document::editableAt(Layer* layer, Art* parent) const {
    Layer* l = parent ? parent->layer() : layer;
    return l && l->editable();
}

ASErr Document::placement(int16_t order, Art* prep, Layer** layer, Art** parent, Art** after) const {
    *layer = nullptr;
    *parent = nullptr;
    *after = nullptr;
    if (order == kPlaceAboveAll || order == kPlaceBelowAll || !prep) {
        // Above and beneath all art are the top and the bottom of the current
        // layer, the layer being worked on, as is any order without reference.
        if (order < kPlaceAbove || order > kPlaceBelowAll) return kBadParameterErr;
        Layer* l = currentLayer();
        if (!l) return kBadParameterErr;
        const bool top = order == kPlaceAboveAll || order == kPlaceAbove || order == kPlaceInsideOnTop;
        *layer = l;
        *after = top ? l->art_.last : nullptr;
        if (!l->editable()) return kLockedLayerErr;
        return kNoErr;
    }
    if (!isLive(prep)) return kBadParameterErr;
    switch (order) {
        case kPlaceAbove:
            *layer = prep->layer_;
            *parent = prep->parent_;
            *after = prep;
            break;
        case kPlaceBelow:
            *layer = prep->layer_;
            *parent = prep->parent_;
            *after = prep->prior_;
            break;
        case kPlaceInsideOnTop:
        case kPlaceInsideOnBottom:
            if (!prep->isContainer()) return kBadParameterErr;
            *parent = prep;
            *after = order == kPlaceInsideOnTop ? prep->children_.last : nullptr;
            break;
        default:
            return kBadParameterErr;
    }
    if (!editableAt(*layer, *parent)) return kLockedLayerErr;
    return kNoErr;
}

size_t Document::artNodes() const { return pool_->used(); }

size_t Document::contextArtNodes() const { return budgetEpoch_ == journal_->epoch ? contextNodes_ : 0; }

ASErr Document::reserveArt(size_t count) {
    if (budgetEpoch_ != journal_->epoch) {
        budgetEpoch_ = journal_->epoch;
        contextNodes_ = 0;
    }
    if (count > budget_.document || pool_->used() > budget_.document - count) return kOutOfMemoryErr;
    if (count > budget_.perContext || contextNodes_ > budget_.perContext - count) return kOutOfMemoryErr;
    contextNodes_ += count;
    progress().tick(count);  // the host's report of a long event counts what it makes
    return kNoErr;
}

ASErr Document::newArt(int16_t type, int16_t order, Art* prep, Art** out) {
    if (!knownType(type)) return kBadParameterErr;
    Layer* layer;
    Art* parent;
    Art* after;
    if (ASErr e = placement(order, prep, &layer, &parent, &after)) return e;
    if (!nestingAllows(parent, nullptr)) return kTooDeepErr;
    if (ASErr e = reserveArt(1)) return e;
    Art* a = allocArt(type);
    moveRecorded(a, layer, parent, after);
    if (out) *out = a;
    return kNoErr;
}

Art* Document::copyTree(const Art* src, Art* parent) {
    Art* a = pool_->alloc();
    a->type_ = src->type_;
    a->id_ = nextId_++;
    a->bornIn_ = journal_->epoch;
    a->locked_ = src->locked_;
    a->hidden_ = src->hidden_;
    a->clipped_ = src->clipped_;
    a->style_ = src->style_;
    a->opacity_ = src->opacity_;
    a->blend_ = src->blend_;
    a->tags_ = src->tags_;
    a->closed_ = src->closed_;
    a->geom_ = src->geom_;
    a->pending_ = src->pending_;
    a->hasPending_ = src->hasPending_;
    a->extras_ = src->extras_;
    if (a->hasPartialSegmentSelection()) a->putSegmentSelection(nullptr);  // a copy starts unselected
    if (parent) link(a, nullptr, parent, parent->children_.last);
    for (const Art* c = src->children_.first; c; c = c->next_) copyTree(c, a);
    return a;
}

ASErr Document::duplicateArt(Art* art, int16_t order, Art* prep, Art** out) {
    if (!isLive(art)) return kBadParameterErr;
    Layer* layer;
    Art* parent;
    Art* after;
    if (ASErr e = placement(order, prep, &layer, &parent, &after)) return e;
    // Copying art into itself would never end.
    for (const Art* p = parent; p; p = p->parent_) {
        if (p == art) return kBadParameterErr;
    }
    if (!nestingAllows(parent, art)) return kTooDeepErr;
    size_t nodes = 0;
    std::vector<const Art*> stack;
    if (art->children_.first) {
        stack.push_back(art);
    } else {
        nodes = 1;
    }
    while (!stack.empty()) {
        const Art* a = stack.back();
        stack.pop_back();
        ++nodes;
        for (const Art* c = a->children_.first; c; c = c->next_) stack.push_back(c);
    }
    if (ASErr e = reserveArt(nodes)) return e;
    Art* copy = copyTree(art, nullptr);
    moveRecorded(copy, layer, parent, after);
    if (out) *out = copy;
    return kNoErr;
}

ASErr Document::reorderArt(Art* art, int16_t order, Art* prep) {
    if (!isLive(art)) return kBadParameterErr;
    if (prep == art && order != kPlaceAboveAll && order != kPlaceBelowAll) return kBadParameterErr;
    Layer* layer;
    Art* parent;
    Art* after;
    if (ASErr e = placement(order, prep, &layer, &parent, &after)) return e;
    for (const Art* p = parent; p; p = p->parent_) {
        if (p == art) return kBadParameterErr;
    }
    // Only a move deeper can pass the nesting limit.
    if (parent != art->parent_ && (parent ? nestingOf(parent) + 1 : 0) > nestingOf(art) && !nestingAllows(parent, art))
        return kTooDeepErr;
    Layer* from = art->layer();
    if (!from->editable()) return kLockedLayerErr;
    if (after == art) after = art->prior_;  // already in place
    if (after == art->prior_ && parent == art->parent_ && (parent || layer == art->layer_)) return kNoErr;
    moveRecorded(art, layer, parent, after);
    return kNoErr;
}

ASErr Document::disposeArt(Art* art) {
    if (!isLive(art)) return kBadParameterErr;
    if (!art->layer()->editable()) return kLockedLayerErr;
    moveRecorded(art, nullptr, nullptr, nullptr);
    releaseArt(art);
    return kNoErr;
}

ASErr Document::newRect(float top, float left, float bottom, float right, bool reversed, Art** out) {
    if (!std::isfinite(top) || !std::isfinite(left) || !std::isfinite(bottom) || !std::isfinite(right))
        return kBadParameterErr;
    auto corner = [](float h, float v) {
        return AIPathSegment{{h, v}, {h, v}, {h, v}, 1};
    };
    // Counter-clockwise (vertical axis up) from the top left.
    std::vector<AIPathSegment> segs{corner(left, top), corner(left, bottom), corner(right, bottom),
                                    corner(right, top)};
    if (reversed) std::reverse(segs.begin() + 1, segs.end());
    Art* a = nullptr;
    if (ASErr e = newArt(kPathArt, kPlaceAboveAll, nullptr, &a)) return e;
    auto g = std::make_shared<PathGeometry>();
    g->segments = std::move(segs);
    a->geom_ = std::move(g);
    a->closed_ = true;
    if (out) *out = a;
    return kNoErr;
}

ASErr Document::newOval(float top, float left, float bottom, float right, bool reversed, Art** out) {
    if (!std::isfinite(top) || !std::isfinite(left) || !std::isfinite(bottom) || !std::isfinite(right))
        return kBadParameterErr;
    const float k = 0.5522847498f;
    const float cx = (left + right) / 2, cy = (top + bottom) / 2;
    const float kx = k * (right - left) / 2, ky = k * (top - bottom) / 2;
    auto seg = [](float h, float v, float ih, float iv, float oh, float ov) {
        return AIPathSegment{{h, v}, {ih, iv}, {oh, ov}, 0};
    };
    // Counter-clockwise from the left: left, bottom, right, top.
    std::vector<AIPathSegment> segs{seg(left, cy, left, cy + ky, left, cy - ky),
                                    seg(cx, bottom, cx - kx, bottom, cx + kx, bottom),
                                    seg(right, cy, right, cy - ky, right, cy + ky),
                                    seg(cx, top, cx + kx, top, cx - kx, top)};
    if (reversed) {
        std::reverse(segs.begin() + 1, segs.end());
        for (AIPathSegment& s : segs) std::swap(s.in, s.out);
    }
    Art* a = nullptr;
    if (ASErr e = newArt(kPathArt, kPlaceAboveAll, nullptr, &a)) return e;
    auto g = std::make_shared<PathGeometry>();
    g->segments = std::move(segs);
    a->geom_ = std::move(g);
    a->closed_ = true;
    if (out) *out = a;
    return kNoErr;
}

// ---- paths ----

namespace {

// The art's geometry, owned by it alone and with its pending matrix applied,
// ready to be changed in place.
PathGeometry& ownGeometry(std::shared_ptr<const PathGeometry>& geom, AIRealMatrix& pending, bool& hasPending) {
    if (!geom || hasPending || geom.use_count() > 1) {
        auto g = std::make_shared<PathGeometry>();
        if (geom) {
            g->segments.reserve(geom->segments.size());
            for (const AIPathSegment& s : geom->segments) {
                g->segments.push_back(hasPending ? transformSegment(pending, s) : s);
            }
        }
        geom = std::move(g);
        pending = kIdentityMatrix;
        hasPending = false;
    }
    geom->invalidate();
    // Sole owner: the shared data is not visible to anyone else.
    return const_cast<PathGeometry&>(*geom);
}

}  // namespace

ASErr Document::setSegmentCount(Art* path, size_t count) {
    if (!isLive(path) || !path->hasPath()) return kBadParameterErr;
    if (count > kMaxSegments) return kTooManyPointsErr;
    if (count == path->segmentCount()) return kNoErr;
    journal_->recordState(path);
    PathGeometry& g = ownGeometry(path->geom_, path->pending_, path->hasPending_);
    const AIPathSegment fill = g.segments.empty() ? AIPathSegment{} : g.segments.back();
    g.segments.resize(count, fill);
    if (path->hasPartialSegmentSelection()) {
        auto sel = std::make_shared<std::vector<uint8_t>>(*path->extras_->segSel);
        sel->resize(count, 0);
        path->putSegmentSelection(std::move(sel));
    }
    return kNoErr;
}

ASErr Document::setSegments(Art* path, size_t first, size_t count, const AIPathSegment* segs) {
    if (!isLive(path) || !path->hasPath() || (count > 0 && !segs)) return kBadParameterErr;
    if (first > path->segmentCount() || count > path->segmentCount() - first) return kBadParameterErr;
    for (size_t i = 0; i < count; ++i) {
        if (!isFinite(segs[i])) return kBadParameterErr;
    }
    if (count == 0) return kNoErr;
    progress().tick(0);
    journal_->recordState(path);
    PathGeometry& g = ownGeometry(path->geom_, path->pending_, path->hasPending_);
    for (size_t i = 0; i < count; ++i) {
        g.segments[first + i] = segs[i];
        g.segments[first + i].corner = segs[i].corner ? 1 : 0;
    }
    return kNoErr;
}

ASErr Document::setClosed(Art* path, bool closed) {
    if (!isLive(path) || !path->hasPath()) return kBadParameterErr;
    journal_->recordState(path);
    path->closed_ = closed;
    return kNoErr;
}

ASErr Document::setSegmentSelection(Art* path, size_t index, int16_t bits) {
    if (!isLive(path) || !path->hasPath() || index >= path->segmentCount()) return kBadParameterErr;
    const auto value = static_cast<uint8_t>(bits & (kSegmentPointSelected | kSegmentInSelected | kSegmentOutSelected));
    if (path->segmentSelection(index) == value) return kNoErr;
    if (!quietSelection_) journal_->recordState(path);
    const size_t n = path->segmentCount();
    auto sel = path->hasPartialSegmentSelection()
                   ? std::make_shared<std::vector<uint8_t>>(*path->extras_->segSel)
                   : std::make_shared<std::vector<uint8_t>>(
                         n, static_cast<uint8_t>(path->selected_ ? kSegmentPointSelected : 0));
    (*sel)[index] = value;
    const bool allPoint = std::all_of(sel->begin(), sel->end(), [](uint8_t v) { return v == kSegmentPointSelected; });
    const bool none = std::all_of(sel->begin(), sel->end(), [](uint8_t v) { return v == 0; });
    path->selected_ = !none;
    syncSelected(path);
    if (allPoint || none) {
        path->putSegmentSelection(nullptr);
    } else {
        path->putSegmentSelection(std::move(sel));
    }
    return kNoErr;
}

// ---- style and attributes ----

ASErr Document::setStyle(Art* art, const AIPathStyle& style) {
    if (!isLive(art) || !finiteStyle(style)) return kBadParameterErr;
    journal_->recordState(art);
    putStyle(art, style);
    return kNoErr;
}

void Document::putStyle(Art* art, const AIPathStyle& s) {
    if (sameStyleBits(*art->style_, s)) return;
    if (!lastStyle_ || !sameStyleBits(*lastStyle_, s)) lastStyle_ = std::make_shared<const AIPathStyle>(s);
    art->style_ = lastStyle_;
}

ASErr Document::setOpacity(Art* art, float opacity) {
    if (!isLive(art) || !std::isfinite(opacity)) return kBadParameterErr;
    journal_->recordState(art);
    art->opacity_ = opacity;
    return kNoErr;
}

ASErr Document::setBlendMode(Art* art, int32_t mode) {
    if (!isLive(art) || mode < 0 || mode > 15) return kBadParameterErr;
    journal_->recordState(art);
    art->blend_ = mode;
    return kNoErr;
}

namespace {

bool sameTag(const Tag& a, const Tag& b) {
    return a.isReal == b.isReal && std::bit_cast<uint32_t>(a.real) == std::bit_cast<uint32_t>(b.real) &&
           a.name == b.name && a.text == b.text;
}

}  // namespace

// Tag lists are immutable and shared. A tag set to the value it has keeps the
// list (setTagString compares before it builds one); the same tag put into the
// list of the call before shares that call's result: copies tagged alike hold one.
void Document::putTag(Art* art, Tag tag) {
    if (tagMemo_.result && art->tags_ == tagMemo_.from && sameTag(tag, tagMemo_.tag)) {
        art->tags_ = tagMemo_.result;
        return;
    }
    if (const Tag* old = art->findTag(tag.name); old && sameTag(*old, tag)) return;
    auto list = art->tags_ ? std::make_shared<TagList>(*art->tags_) : std::make_shared<TagList>();
    auto it = std::find_if(list->begin(), list->end(), [&](const Tag& t) { return t.name == tag.name; });
    if (it != list->end()) {
        *it = tag;
    } else {
        list->push_back(tag);
    }
    tagMemo_.from = std::move(art->tags_);
    tagMemo_.tag = std::move(tag);
    tagMemo_.result = list;
    art->tags_ = std::move(list);
}

ASErr Document::setTagString(Art* art, std::string_view name, std::string_view value) {
    if (!isLive(art) || name.empty()) return kBadParameterErr;
    journal_->recordState(art);
    if (const Tag* old = art->findTag(name); old && !old->isReal && old->text == value) return kNoErr;
    putTag(art, Tag{std::string(name), false, std::string(value), 0});
    return kNoErr;
}

ASErr Document::setTagReal(Art* art, const std::string& name, float value) {
    if (!isLive(art) || name.empty() || !std::isfinite(value)) return kBadParameterErr;
    journal_->recordState(art);
    putTag(art, Tag{name, true, "", value});
    return kNoErr;
}

ASErr Document::deleteTag(Art* art, const std::string& name) {
    if (!isLive(art)) return kBadParameterErr;
    if (!art->findTag(name)) return kBadParameterErr;
    journal_->recordState(art);
    auto list = std::make_shared<TagList>(*art->tags_);
    list->erase(std::remove_if(list->begin(), list->end(), [&](const Tag& t) { return t.name == name; }),
                list->end());
    art->tags_ = list->empty() ? nullptr : std::move(list);
    return kNoErr;
}

ASErr Document::setObjectData(Art* art, const ObjectData& data) {
    if (!isLive(art) || !(std::fabs(data.fontSize) <= kMaxFontSize) || !std::isfinite(data.width) ||
        !std::isfinite(data.height))
        return kBadParameterErr;
    journal_->recordState(art);
    art->editExtras().object = std::make_shared<ObjectData>(data);
    return kNoErr;
}

ASErr Document::setObjectMatrix(Art* art, const AIRealMatrix& m) {
    if (!isLive(art) || !isFinite(m)) return kBadParameterErr;
    journal_->recordState(art);
    art->editExtras().objMatrix = m;
    return kNoErr;
}

ASErr Document::setEffectSpace(Art* art, const AIRealMatrix* space) {
    if (!isLive(art) || (space && !isFinite(*space))) return kBadParameterErr;
    journal_->recordState(art);
    if (space || art->effectSpace()) art->editExtras().space = space ? std::make_shared<const AIRealMatrix>(*space) : nullptr;
    return kNoErr;
}

ASErr Document::setExtra(Art* art, const std::string& jsonObjectText) {
    if (!isLive(art)) return kBadParameterErr;
    journal_->recordState(art);
    if (!jsonObjectText.empty() || art->sharedExtra())
        art->editExtras().extra = jsonObjectText.empty() ? nullptr : std::make_shared<const std::string>(jsonObjectText);
    return kNoErr;
}


// ---- undo ----

void Document::beginUndoContext() { journal_->commitOpen(); }
void Document::commitUndoContext() { journal_->commitOpen(); }

ASErr Document::undoChanges() {
    journal_->revertOpen();
    return kNoErr;
}

bool Document::undo() { return journal_->undoStep(); }
bool Document::redo() { return journal_->redoStep(); }
bool Document::canUndo() const { return !journal_->done.empty() || !journal_->open.entries.empty(); }
bool Document::canRedo() const { return !journal_->undone.empty() && journal_->open.entries.empty(); }

void Document::setUndoText(const std::string& undoText, const std::string& redoText) {
    journal_->open.undoText = undoText;
    journal_->open.redoText = redoText;
}

const std::string& Document::undoText() const {
    if (!journal_->open.entries.empty() || journal_->done.empty()) return journal_->open.undoText;
    return journal_->done.back().undoText;
}

bool Document::contextChanged() const { return !journal_->open.entries.empty(); }
void Document::clearHistory() { journal_->clear(); }
void Document::keepHistory(bool keep) { journal_->keeping = keep; }
size_t Document::undoStepCount() const { return journal_->done.size(); }

// ---------------------------------------------------------------------------

std::unique_ptr<Document> newDocument(float width, float height) {
    auto doc = std::make_unique<Document>(width, height);
    doc->insertLayer(nullptr, kPlaceAboveAll, nullptr, "Layer 1");
    doc->addSwatch("[None]", noneColor());
    doc->addSwatch("[Registration]", cmykColor(1, 1, 1, 1));
    doc->addSwatch("White", rgbColor(1, 1, 1));
    doc->addSwatch("Black", rgbColor(0, 0, 0));
    const float greys[] = {0.1f, 0.25f, 0.5f, 0.75f, 0.9f};
    for (float g : greys) {
        doc->addSwatch("Gray " + std::to_string(static_cast<int>(g * 100 + 0.5f)) + "%", grayColor(g));
    }
    struct Named {
        const char* name;
        AIColor color;
    };
    const Named palette[] = {
        {"CMYK Red", cmykColor(0, 1, 1, 0)},          {"CMYK Orange", cmykColor(0, 0.5f, 1, 0)},
        {"CMYK Yellow", cmykColor(0, 0, 1, 0)},       {"CMYK Green", cmykColor(1, 0, 1, 0)},
        {"CMYK Cyan", cmykColor(1, 0, 0, 0)},         {"CMYK Blue", cmykColor(1, 1, 0, 0)},
        {"CMYK Magenta", cmykColor(0, 1, 0, 0)},      {"CMYK Brown", cmykColor(0, 0.4f, 0.8f, 0.4f)},
        {"RGB Red", rgbColor(1, 0, 0)},               {"RGB Orange", rgbColor(1, 0.5f, 0)},
        {"RGB Yellow", rgbColor(1, 1, 0)},            {"RGB Green", rgbColor(0, 0.6f, 0.2f)},
        {"RGB Teal", rgbColor(0, 0.5f, 0.5f)},        {"RGB Sky", rgbColor(0.4f, 0.7f, 1)},
        {"RGB Blue", rgbColor(0, 0, 1)},              {"RGB Violet", rgbColor(0.5f, 0, 1)},
        {"RGB Pink", rgbColor(1, 0.6f, 0.8f)},
    };
    for (const Named& n : palette) doc->addSwatch(n.name, n.color);
    doc->clearHistory();
    return doc;
}

}  // namespace easel

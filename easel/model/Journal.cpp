#include "Journal.h"

#include <algorithm>
#include <utility>

#include "Document.h"

namespace easel {

void Journal::saveState(const Art& a, ArtState& s) {
    s.selected = a.selected_;
    s.locked = a.locked_;
    s.hidden = a.hidden_;
    s.clipped = a.clipped_;
    s.style = a.style_;
    s.opacity = a.opacity_;
    s.blend = a.blend_;
    s.tags = a.tags_;
    s.closed = a.closed_;
    s.geom = a.geom_;
    s.pending = a.pending_;
    s.hasPending = a.hasPending_;
    s.extras = a.extras_;
}

void Journal::swapState(Art& a, ArtState& s) {
    std::swap(s.selected, a.selected_);
    std::swap(s.locked, a.locked_);
    std::swap(s.hidden, a.hidden_);
    std::swap(s.clipped, a.clipped_);
    std::swap(s.style, a.style_);
    std::swap(s.opacity, a.opacity_);
    std::swap(s.blend, a.blend_);
    std::swap(s.tags, a.tags_);
    std::swap(s.closed, a.closed_);
    std::swap(s.geom, a.geom_);
    std::swap(s.pending, a.pending_);
    std::swap(s.hasPending, a.hasPending_);
    std::swap(s.extras, a.extras_);
}

Journal::~Journal() = default;  // the document frees every node itself

Entry& Journal::push(Entry::Kind kind) {
    // Moves note their own art (recordMove); every other kind but State
    // changes what a made-art-only revert would not restore.
    if (kind != Entry::State && kind != Entry::Move) open.onlyMadeArt = false;
    // A new change makes the steps undone before it unreachable.
    if (!undone.empty()) {
        for (Step& s : undone) destroy(s);
        undone.clear();
        flushReleases();
    }
    Entry& e = open.entries.emplace_back();
    e.kind = kind;
    if (kind != Entry::Move) e.data = std::make_unique<EntryData>();
    return e;
}

void Journal::recordMove(Art* art) {
    if (!keeping) return;
    Entry& e = push(Entry::Move);
    e.art = art;
    if (!fresh(art)) open.onlyMadeArt = false;
    addRef(art);
    e.attached = art->layer_ != nullptr || art->parent_ != nullptr;
    if (e.attached) {
        e.layer = art->layer_;
        e.parent = art->parent_;
        e.after = art->prior_;
        addRef(e.parent);
        addRef(e.after);
    }
}

void Journal::recordState(Art* art) {
    if (!keeping) return;
    if (fresh(art) || art->recordedIn_ == epoch) return;
    art->recordedIn_ = epoch;
    Entry& e = push(Entry::State);
    e.art = art;
    addRef(art);
    saveState(*art, e.data->state);
}

void Journal::recordLayerMove(Layer* layer) {
    if (!keeping) return;
    Entry& e = push(Entry::LayerMove);
    e.layer = layer;
    e.data->current = doc.current_;
    auto it = std::find(doc.layers_.begin(), doc.layers_.end(), layer);
    e.attached = it != doc.layers_.end();
    e.data->index = e.attached ? static_cast<size_t>(it - doc.layers_.begin()) : 0;
}

void Journal::recordLayerAttrs(Layer* layer) {
    if (!keeping) return;
    Entry& e = push(Entry::LayerAttrs);
    e.layer = layer;
    e.data->layerState = LayerState{layer->name_, layer->visible_, layer->locked_};
}

void Journal::recordPage() {
    if (!keeping) return;
    Entry& e = push(Entry::Page);
    e.data->width = doc.width_;
    e.data->height = doc.height_;
}

void Journal::recordGuides() {
    if (!keeping) return;
    Entry& e = push(Entry::GuideLines);
    e.data->guides = doc.guides_;
}

Journal& Journal::of(Document& d) { return *d.journal_; }
std::vector<std::unique_ptr<Swatch>>& Journal::swatchesOf(Document& d) { return d.swatches_; }

void Journal::recordSwatches() {
    if (!keeping) return;
    Entry& e = push(Entry::Swatches);
    for (const auto& s : doc.swatches_) e.data->swatches.push_back(std::make_unique<Swatch>(*s));
}

void Journal::apply(Entry& e) {
    switch (e.kind) {
        case Entry::Move: {
            Art* a = e.art;
            const bool wasAttached = a->layer_ != nullptr || a->parent_ != nullptr;
            Layer* oldLayer = a->layer_;
            Art* oldParent = a->parent_;
            Art* oldAfter = a->prior_;
            addRef(oldParent);
            addRef(oldAfter);
            if (wasAttached) doc.unlink(a);
            if (e.attached) doc.link(a, e.layer, e.parent, e.after);
            // Releases wait until the whole step is applied: a node must not
            // be freed while later entries of the step still walk the tree.
            if (e.parent) releases_.push_back(e.parent);
            if (e.after) releases_.push_back(e.after);
            e.attached = wasAttached;
            e.layer = wasAttached ? oldLayer : nullptr;
            e.parent = wasAttached ? oldParent : nullptr;
            e.after = wasAttached ? oldAfter : nullptr;
            if (!wasAttached) {
                // References taken above for a place that does not exist.
                if (oldParent) releases_.push_back(oldParent);
                if (oldAfter) releases_.push_back(oldAfter);
            }
            break;
        }
        case Entry::State:
            swapState(*e.art, e.data->state);
            doc.syncSelected(e.art);
            break;
        case Entry::LayerMove: {
            Layer* l = e.layer;
            auto it = std::find(doc.layers_.begin(), doc.layers_.end(), l);
            const bool wasAttached = it != doc.layers_.end();
            const size_t oldIndex = wasAttached ? static_cast<size_t>(it - doc.layers_.begin()) : 0;
            if (wasAttached) doc.layers_.erase(it);
            if (e.attached) doc.layers_.insert(doc.layers_.begin() + static_cast<std::ptrdiff_t>(e.data->index), l);
            l->live_ = e.attached;
            std::swap(e.data->current, doc.current_);
            e.attached = wasAttached;
            e.data->index = oldIndex;
            break;
        }
        case Entry::LayerAttrs:
            std::swap(e.data->layerState.name, e.layer->name_);
            std::swap(e.data->layerState.visible, e.layer->visible_);
            std::swap(e.data->layerState.locked, e.layer->locked_);
            break;
        case Entry::Page:
            std::swap(e.data->width, doc.width_);
            std::swap(e.data->height, doc.height_);
            break;
        case Entry::GuideLines:
            std::swap(e.data->guides, doc.guides_);
            break;
        case Entry::Swatches:
            std::swap(e.data->swatches, doc.swatches_);
            break;
    }
}

void Journal::release(Art* a) {
    if (!a) return;
    if (--a->journalRefs_ == 0 && a->layer_ == nullptr && a->parent_ == nullptr && a->inUse_) {
        doc.freeArt(a);
    }
}

void Journal::flushReleases() {
    // Releasing may free nodes; every pointer here still holds a reference,
    // so none is freed before its own turn.
    std::vector<Art*> pending;
    pending.swap(releases_);
    for (Art* a : pending) release(a);
    // Freeing adds nothing: the buffer is kept for the next step.
    pending.clear();
    releases_.swap(pending);
}

void Journal::destroy(Step& s) {
    for (auto it = s.entries.rbegin(); it != s.entries.rend(); ++it) {
        if (it->kind == Entry::Move) {
            releases_.push_back(it->art);
            if (it->parent) releases_.push_back(it->parent);
            if (it->after) releases_.push_back(it->after);
        } else if (it->kind == Entry::State) {
            releases_.push_back(it->art);
        }
    }
    s.entries.clear();
}

void Journal::commitOpen() {
    if (!open.entries.empty()) {
        open.idAfter = doc.nextId_;
        done.push_back(std::move(open));
        if (done.size() > kMaxSteps) {
            destroy(done.front());
            done.erase(done.begin());
            flushReleases();
        }
    }
    open = Step{};
    open.idBefore = doc.nextId_;
    ++epoch;
}

namespace {

constexpr std::ptrdiff_t kPrefetchAhead = 12;

}  // namespace

void Journal::revertOpen() {
    if (open.onlyMadeArt) {
        // The context made and placed art and changed the properties of
        // other art (a tool's drag event). Nothing that existed before moved,
        // so reverting takes every new node out of the tree, in any order,
        // without replaying each placement; the properties are swapped back
        // as usual. Nothing is linked again, so an entry's references can go
        // at once: a node is freed with its last one, out of the tree.
        const auto end = open.entries.rend();
        for (auto it = open.entries.rbegin(); it != end; ++it) {
            // Large events leave their art out of the cache by now: ask for
            // the nodes a few entries ahead while this one is reverted.
            if (end - it > kPrefetchAhead) prefetchArt<kForWrite>(it[kPrefetchAhead].art);
            Art* a = it->art;
            if (it->kind == Entry::State) {
                apply(*it);
                release(a);
                continue;
            }
            if (a->layer_ != nullptr || a->parent_ != nullptr) doc.unlink(a);
            release(a);
            release(it->parent);
            release(it->after);
        }
        open.entries.clear();
    } else {
        for (auto it = open.entries.rbegin(); it != open.entries.rend(); ++it) apply(*it);
        destroy(open);
        flushReleases();
    }
    open.onlyMadeArt = true;
    doc.nextId_ = open.idBefore;
    ++epoch;
}

bool Journal::undoStep() {
    commitOpen();
    if (done.empty()) return false;
    Step s = std::move(done.back());
    done.pop_back();
    for (auto it = s.entries.rbegin(); it != s.entries.rend(); ++it) apply(*it);
    flushReleases();
    doc.nextId_ = s.idBefore;
    undone.push_back(std::move(s));
    open.idBefore = doc.nextId_;
    ++epoch;
    return true;
}

bool Journal::redoStep() {
    commitOpen();
    if (undone.empty()) return false;
    Step s = std::move(undone.back());
    undone.pop_back();
    for (Entry& e : s.entries) apply(e);
    flushReleases();
    doc.nextId_ = s.idAfter;
    done.push_back(std::move(s));
    open.idBefore = doc.nextId_;
    ++epoch;
    return true;
}

void Journal::clear() {
    destroy(open);
    for (Step& s : done) destroy(s);
    for (Step& s : undone) destroy(s);
    done.clear();
    undone.clear();
    flushReleases();
    open = Step{};
    open.idBefore = doc.nextId_;
    ++epoch;
}

}  // namespace easel

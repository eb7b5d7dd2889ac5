// Selecting art: by art, by id, all of it, and the art that is selected.
#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Document.h"
#include "Journal.h"
#include "SelectionLayer.h"

namespace easel {

void Document::setSelectedRec(Art* art, bool selected) {
    std::vector<Art*> stack{art};
    while (!stack.empty()) {
        Art* a = stack.back();
        stack.pop_back();
        if (a->selected_ != selected || a->hasPartialSegmentSelection()) {
            if (!quietSelection_) journal_->recordState(a);
            a->selected_ = selected;
            a->putSegmentSelection(nullptr);
            syncSelected(a);
        }
        for (Art* c = a->children_.first; c; c = c->next_) stack.push_back(c);
    }
}

ASErr Document::setSelected(Art* art, bool selected) {
    if (!isLive(art)) return kBadParameterErr;
    setSelectedRec(art, selected);
    return kNoErr;
}

ASErr Document::setLocked(Art* art, bool locked) {
    if (!isLive(art)) return kBadParameterErr;
    if (art->locked_ == locked) return kNoErr;
    journal_->recordState(art);
    art->locked_ = locked;
    return kNoErr;
}

ASErr Document::setHidden(Art* art, bool hidden) {
    if (!isLive(art)) return kBadParameterErr;
    if (art->hidden_ == hidden) return kNoErr;
    journal_->recordState(art);
    art->hidden_ = hidden;
    return kNoErr;
}

ASErr Document::setClipped(Art* art, bool clipped) {
    if (!isLive(art) || art->type_ != kGroupArt) return kBadParameterErr;
    if (art->clipped_ == clipped) return kNoErr;
    journal_->recordState(art);
    art->clipped_ = clipped;
    return kNoErr;
}

int32_t Document::userAttributes(const Art* art) const {
    return (art->selected_ ? kArtSelected : 0) | (art->locked_ ? kArtLocked : 0) | (art->hidden_ ? kArtHidden : 0);
}

void Document::syncSelected(Art* art) {
    const bool listed = art->selIndex_ != Art::kNotSelected;
    if (art->selected_ == listed) return;
    if (art->selected_) {
        art->selIndex_ = static_cast<uint32_t>(selectedNodes_.size());
        selectedNodes_.push_back(art);
    } else {
        forgetSelected(art);
    }
}

void Document::forgetSelected(Art* art) {
    if (art->selIndex_ == Art::kNotSelected) return;
    Art* last = selectedNodes_.back();
    selectedNodes_[art->selIndex_] = last;
    last->selIndex_ = art->selIndex_;
    selectedNodes_.pop_back();
    art->selIndex_ = Art::kNotSelected;
}

// ---- selection and traversal ----

template <class F>
void Document::walkArt(F&& f) const {
    for (Layer* l : layers_) {
        Art* a = l->art_.first;
        while (a) {
            f(a);
            if (a->children_.first) {
                a = a->children_.first;
                continue;
            }
            while (a && !a->next_) a = a->parent_;
            if (a) a = a->next_;
        }
    }
}

void Document::forEachArt(const std::function<void(Art*)>& f) const { walkArt(f); }

void Document::selectAll() {
    for (Layer* l : layers_) {
        if (!l->editable()) continue;
        for (Art* a = l->art_.first; a; a = a->next_) {
            if (!a->locked_ && !a->hidden_) setSelectedRec(a, true);
        }
    }
}

void Document::changeSelection(const std::function<void()>& f) {
    const bool was = quietSelection_;
    quietSelection_ = true;
    f();
    quietSelection_ = was;
}

void Document::deselectAll() {
    for (Layer* l : layers_) {
        for (Art* a = l->art_.first; a; a = a->next_) setSelectedRec(a, false);
    }
}

bool Document::selectById(int64_t id) {
    Art* a = findById(id);
    if (!a) return false;
    setSelectedRec(a, true);
    return true;
}

std::vector<Art*> Document::matchingArt(const MatchSpec* specs, size_t count) const {
    auto matches = [&](const Art* a) {
        const int32_t attrs = userAttributes(a);
        for (size_t i = 0; i < count; ++i) {
            const MatchSpec& s = specs[i];
            if ((s.type == kAnyArt || s.type == a->type_) && (attrs & s.whichAttr) == (s.attr & s.whichAttr))
                return true;
        }
        return false;
    };
    std::vector<Art*> out;
    // When every criterion asks for selected art, the candidates are the
    // selected nodes; ordering them is cheaper than walking a large document.
    bool selectedOnly = count > 0;
    for (size_t i = 0; i < count; ++i) {
        if (!(specs[i].whichAttr & specs[i].attr & kArtSelected)) selectedOnly = false;
    }
    if (selectedOnly && selectedInOrder(out)) {
        std::erase_if(out, [&](const Art* a) { return !matches(a); });
        return out;
    }
    out.clear();
    walkArt([&](Art* a) {
        if (matches(a)) out.push_back(a);
    });
    return out;
}

bool Document::selectedInOrder(std::vector<Art*>& out) const {
    out.clear();
    if (selectedNodes_.empty()) return true;
    // The walk visits every node; give up once the work here comes near it.
    size_t budget = artNodes() / 4 + 64;
    if (selectedNodes_.size() > budget) return false;
    budget -= selectedNodes_.size();
    for (Art* a : selectedNodes_) {
        const Art* root = a;
        while (root->parent_) root = root->parent_;
        if (root->layer_ && root->layer_->live_) out.push_back(a);
    }
    if (out.size() <= 1) return true;

    // Document order is the order of the paths from the layer down to each
    // node: layer index, then the place among its siblings at every level
    // (a container's path is a prefix of its members', so it comes first).
    // Places are counted from the bottom of each sibling list, or from its
    // top (as negative numbers) when the members lie too far from the bottom.
    std::unordered_map<const Art*, int64_t> place;
    std::unordered_map<const void*, std::vector<const Art*>> lists;
    for (const Art* a : out) {
        for (const Art* x = a; x && place.emplace(x, 0).second; x = x->parent_) {
            lists[x->parent_ ? static_cast<const void*>(x->parent_) : static_cast<const void*>(x->layer_)].push_back(x);
        }
    }
    // One walk along the list from its end until every member is met; a
    // node of the list is a member when it has a place entry.
    auto count = [&](const std::vector<const Art*>& members, bool fromBottom) {
        const Art* m = members.front();
        const ArtList& list = m->parent_ ? m->parent_->children_ : m->layer_->art_;
        size_t found = 0;
        int64_t n = 0;
        for (const Art* x = fromBottom ? list.first : list.last; x && found < members.size();
             x = fromBottom ? x->next_ : x->prior_, ++n) {
            if (budget == 0) return false;
            --budget;
            if (auto it = place.find(x); it != place.end()) {
                it->second = fromBottom ? n : -n;
                ++found;
            }
        }
        return found == members.size();
    };
    for (const auto& [list, members] : lists) {
        if (!count(members, true) && !count(members, false)) return false;
    }

    std::vector<std::pair<std::vector<int64_t>, Art*>> keyed;
    keyed.reserve(out.size());
    for (Art* a : out) {
        std::vector<int64_t> key;
        const Art* x = a;
        for (; x->parent_; x = x->parent_) key.push_back(place[x]);
        key.push_back(place[x]);
        const auto layer = std::find(layers_.begin(), layers_.end(), x->layer_);
        key.push_back(layer - layers_.begin());
        std::reverse(key.begin(), key.end());
        keyed.emplace_back(std::move(key), a);
    }
    std::sort(keyed.begin(), keyed.end());
    for (size_t i = 0; i < keyed.size(); ++i) out[i] = keyed[i].second;
    return true;
}

std::vector<Art*> Document::selectedArt() const {
    const MatchSpec any{kAnyArt, kArtSelected, kArtSelected};
    return matchingArt(&any, 1);
}

void makeSelectionLayerCurrent(Document& doc) {
    // The last selected art in document order is the frontmost.
    const std::vector<Art*> selected = doc.selectedArt();
    if (!selected.empty()) doc.setCurrentLayer(selected.back()->layer());
}

}  // namespace easel

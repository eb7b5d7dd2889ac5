// Selecting art: by art, by id, all of it, and the art that is selected.
#include <vector>

#include "Document.h"
#include "Journal.h"

namespace easel {

void Document::setSelectedRec(Art* art, bool selected) {
    std::vector<Art*> stack{art};
    while (!stack.empty()) {
        Art* a = stack.back();
        stack.pop_back();
        if (a->selected_ != selected || a->segSel_) {
            if (!quietSelection_) journal_->recordState(a);
            a->selected_ = selected;
            a->segSel_.reset();
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

int32_t Document::userAttributes(const Art* art) const {
    return (art->selected_ ? kArtSelected : 0) | (art->locked_ ? kArtLocked : 0) | (art->hidden_ ? kArtHidden : 0);
}

// ---- selection and traversal ----

void Document::forEachArt(const std::function<void(Art*)>& f) const {
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
    std::vector<Art*> out;
    forEachArt([&](Art* a) {
        const int32_t attrs = userAttributes(a);
        for (size_t i = 0; i < count; ++i) {
            const MatchSpec& s = specs[i];
            if ((s.type == kAnyArt || s.type == a->type_) && (attrs & s.whichAttr) == (s.attr & s.whichAttr)) {
                out.push_back(a);
                break;
            }
        }
    });
    return out;
}

std::vector<Art*> Document::selectedArt() const {
    const MatchSpec any{kAnyArt, kArtSelected, kArtSelected};
    return matchingArt(&any, 1);
}

}  // namespace easel

// The store of a document's art nodes (used by Document alone).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "Art.h"

namespace easel {

// Art nodes live in chunks that never move or shrink while the document
// lives, so handles stay valid pointers and a stale handle can be recognised
// (the slot is not in use, or its art is not in a live layer).
class ArtPool {
public:
    Art* alloc() {
        if (!free_) grow();
        Art* a = free_;
        free_ = a->next_;
        a->next_ = nullptr;
        a->inUse_ = true;
        ++used_;
        return a;
    }

    void release(Art* a) {
        a->id_ = 0;
        a->type_ = kUnknownArt;
        a->inUse_ = false;
        a->journalRefs_ = 0;
        a->bornIn_ = 0;
        a->recordedIn_ = 0;
        a->layer_ = nullptr;
        a->parent_ = nullptr;
        a->prior_ = nullptr;
        a->children_ = ArtList{};
        a->selected_ = a->locked_ = a->hidden_ = a->clipped_ = false;
        a->style_ = zeroStyle();
        a->opacity_ = 1;
        a->blend_ = 0;
        a->tags_.reset();
        a->closed_ = false;
        a->geom_.reset();
        a->pending_ = kIdentityMatrix;
        a->hasPending_ = false;
        a->extras_.reset();
        a->selIndex_ = Art::kNotSelected;
        a->next_ = free_;
        free_ = a;
        --used_;
    }

    size_t used() const { return used_; }

    bool owns(const Art* a) const {
        const auto p = reinterpret_cast<uintptr_t>(a);
        // Handles a plug-in passes in a row mostly lie in one or two chunks
        // (the art it copies and the copy): the chunks of the last two hits
        // are tried before the search.
        if (p >= hit_[0].begin && p < hit_[0].end) return (p - hit_[0].begin) % sizeof(Art) == 0;
        std::swap(hit_[0], hit_[1]);
        if (p >= hit_[0].begin && p < hit_[0].end) return (p - hit_[0].begin) % sizeof(Art) == 0;
        auto it = std::upper_bound(chunks_.begin(), chunks_.end(), p,
                                   [](uintptr_t x, const Chunk& c) { return x < c.begin; });
        if (it == chunks_.begin()) return false;
        --it;
        if (p >= it->end) return false;
        hit_[0] = Range{it->begin, it->end};
        return (p - it->begin) % sizeof(Art) == 0;
    }

private:
    static constexpr size_t kChunk = 1024;
    struct Chunk {
        uintptr_t begin;
        uintptr_t end;
        std::unique_ptr<Art[]> arts;
    };

    void grow() {
        const size_t n = kChunk;
        auto arts = std::make_unique<Art[]>(n);
        for (size_t i = n; i-- > 0;) {
            arts[i].next_ = free_;
            free_ = &arts[i];
        }
        Chunk c{reinterpret_cast<uintptr_t>(arts.get()), reinterpret_cast<uintptr_t>(arts.get() + n),
                std::move(arts)};
        auto at = std::upper_bound(chunks_.begin(), chunks_.end(), c.begin,
                                   [](uintptr_t x, const Chunk& k) { return x < k.begin; });
        chunks_.insert(at, std::move(c));
    }

    std::vector<Chunk> chunks_;  // sorted by address
    struct Range {
        uintptr_t begin = 0;
        uintptr_t end = 0;
    };
    mutable Range hit_[2];  // the chunks owns() found last, most recent first
    Art* free_ = nullptr;
    size_t used_ = 0;
};

}  // namespace easel

#include "RandomInput.h"

#include <algorithm>
#include <cmath>

namespace reliability {

using namespace easel;

double uniform(Rng& rng, double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
int between(Rng& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
bool chance(Rng& rng, double p) { return uniform(rng, 0, 1) < p; }

void RandomOptions::run(adm::Dialog& dialog) {
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

namespace {

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

}  // namespace

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

}  // namespace reliability

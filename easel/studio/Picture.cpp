// The drawing the page paints: compact, in page points (vertical axis up).
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <type_traits>
#include <vector>

#include "studio/Picture.h"

#include "model/Document.h"
#include "model/Names.h"
#include "io/json/JsonOut.h"
#include "studio/PictureColumns.h"
#include "studio/PictureStyle.h"
#include "studio/Studio.h"
#include "io/svg/KeptSvgArt.h"
#include "io/svg/SvgColor.h"
#include "io/svg/SvgShared.h"
#include "io/svg/TextLayout.h"
#include "model/Warp.h"

namespace easel::studio {

namespace {

void num(std::string& out, float v, int decimals = 2) { pictureNumber(out, v, decimals); }

void point(std::string& out, const AIRealPoint& p) {
    num(out, p.h);
    out += ' ';
    num(out, p.v);
}

void pathData(const std::vector<AIPathSegment>& segs, bool closed, std::string& d) {
    if (segs.empty()) return;
    d += 'M';
    point(d, segs[0].p);
    const size_t n = segs.size();
    const size_t last = closed ? n : n - 1;
    for (size_t i = 0; i < last; ++i) {
        const AIPathSegment& from = segs[i];
        const AIPathSegment& to = segs[(i + 1) % n];
        const bool straight = from.out.h == from.p.h && from.out.v == from.p.v && to.in.h == to.p.h && to.in.v == to.p.v;
        if (straight && closed && i + 1 == n) break;  // Z draws the closing line
        if (straight) {
            d += 'L';
        } else {
            d += 'C';
            point(d, from.out);
            d += ' ';
            point(d, to.in);
            d += ' ';
        }
        point(d, to.p);
    }
    if (closed) d += 'Z';
}

// Path art as on the page: inside envelopes, bent by their warps (a warp
// that would give non-finite points leaves the stored segments).
void pathData(const Art& a, WarpedGeometry& warps, std::string& d) {
    std::vector<AIPathSegment> shown;
    if (!warps.chainOf(a).identity() && warps.path(a, shown)) {
        pathData(shown, a.closed(), d);
        return;
    }
    pathData(a.segments(), a.closed(), d);
}

// The text of a JSON string (names and texts may hold any bytes).
void quoted(std::string& out, const std::string& text) {
    out += json(text).dump(-1, ' ', false, json::error_handler_t::replace);
}

// One painted shape: {"d": path data, "f": fill, "s": stroke, "w": width,
// "eo": even-odd, "o": opacity, "b": blend mode, "text": the text it stands for}.
void paint(std::string& out, const AIPathStyle* st, const Document& doc, const std::string& d, float opacity,
           int32_t blend, const std::string* text = nullptr) {
    if (out.back() != '[') out += ',';
    out += "{\"d\":\"";
    out += d;
    out += '"';
    if (!st) {
        out += ",\"s\":\"#888888\",\"w\":0.5";
    } else {
        if (st->fillPaint)
            if (auto c = displayColor(st->fill.color, &doc)) out += ",\"f\":\"" + hexColor(*c) + '"';
        if (st->strokePaint)
            if (auto c = displayColor(st->stroke.color, &doc)) {
                out += ",\"s\":\"" + hexColor(*c) + "\",\"w\":";
                num(out, st->stroke.width, 3);
            }
        if (st->evenOdd) out += ",\"eo\":true";
    }
    if (opacity < 1) {
        out += ",\"o\":";
        num(out, opacity, 3);
    }
    if (blend != 0) out += ",\"b\":\"" + std::string(blendModeName(blend)) + '"';
    if (text) {
        out += ",\"text\":";
        quoted(out, *text);
    }
    out += '}';
}

void rectPath(const AIRealRect& b, std::string& d) {
    d += 'M';
    point(d, {b.left, b.top});
    d += 'L';
    point(d, {b.right, b.top});
    d += 'L';
    point(d, {b.right, b.bottom});
    d += 'L';
    point(d, {b.left, b.bottom});
    d += 'Z';
}

// The local box text is picked by: area text's box; text set in lines
// their estimated extent (the model's estimate per line), placed by the anchor.
AIRealRect textBox(const Art& text) {
    const TextFont font = textFontOf(text);
    const ObjectData& o = text.object();
    if (font.area()) return AIRealRect{0, 0, static_cast<float>(font.boxWidth), -static_cast<float>(font.boxHeight)};
    if (!hasTextLines(o.text, font)) return o.localBox();
    size_t longest = 0, lines = 0;
    for (size_t begin = 0; begin <= o.text.size(); ++lines) {
        const size_t end = std::min(o.text.find('\n', begin), o.text.size());
        longest = std::max(longest, end - begin);
        begin = end + 1;
    }
    const float size = std::fabs(o.fontSize), width = 0.6f * size * static_cast<float>(longest);
    const float left = font.anchor == 1 ? -width / 2 : font.anchor == 2 ? -width : 0;
    const float below = static_cast<float>(lines - 1) * static_cast<float>(font.lineSpacing) * size;
    return AIRealRect{left, 0.75f * size, left + width, -0.25f * size - below};
}

// Text, images and the like are drawn as their box, so they can be seen and
// picked; inside envelopes the box's corners as the warps put them.
bool boxPath(const Art& a, const Document& doc, WarpedGeometry& warps, std::string& d) {
    std::vector<AIRealPoint> q;
    if (!warps.chainOf(a).identity() && warps.mesh(a, 1, 1, q) && q.size() == 4) {
        d = "M";
        point(d, q[0]);
        d += 'L';
        point(d, q[1]);
        d += 'L';
        point(d, q[3]);
        d += 'L';
        point(d, q[2]);
        d += 'Z';
        return true;
    }
    AIRealRect b;
    if (doc.bounds(&a, &b) != kNoErr) return false;
    d.clear();
    rectPath(b, d);
    return true;
}

// What a picture makes of the painted shapes of art. Each format draws
// paths, outlines and boxes its own way; the walk that finds them is shared.
struct ShapeSink {
    virtual ~ShapeSink() = default;
    // Path art that no envelope bends.
    virtual void path(const Art& a, float opacity) = 0;
    // Path data drawn as it stands: a bent path, a compound path's members.
    virtual void outline(const std::string& d, const AIPathStyle& style, float opacity, int32_t blend) = 0;
    // Text no envelope bends; false when the format draws it as a box.
    virtual bool text(const Art&, float) { return false; }
    // Text, images and the like as their box (path data in page points).
    virtual void box(const Art& a, const std::string& d) = 0;
    // A clip group's members between these are drawn only inside the
    // clipping path's outline `d` (by its fill rule); formats that cannot
    // clip draw them whole.
    virtual void clipBegin(const std::string&, bool) {}
    virtual void clipEnd() {}
};

// The painted shapes of art, in stacking order, bottom first.
void walkShapes(const Art& a, const Document& doc, WarpedGeometry& warps, float opacity, ShapeSink& sink) {
    if (a.hidden()) return;
    const float op = opacity * a.opacity();
    if (a.type() == kPathArt) {
        if (warps.chainOf(a).identity()) {
            sink.path(a, op);
            return;
        }
        std::string d;
        pathData(a, warps, d);
        if (!d.empty()) sink.outline(d, a.style(), op, a.blendMode());
        return;
    }
    if (a.type() == kCompoundPathArt) {
        // One shape: the members' outlines painted together with the
        // compound's drawn style.
        std::string d;
        for (const Art* c = a.firstChild(); c; c = c->next())
            if (c->type() == kPathArt) pathData(*c, warps, d);
        const DrawnStyle drawn = drawnStyle(a);
        if (!d.empty()) sink.outline(d, drawn.style, opacity * drawn.opacity, drawn.blend);
        return;
    }
    if (a.isContainer()) {
        const Art* clip = clippingPath(a);
        if (clip) {
            std::string d;
            if (clip->type() == kPathArt) pathData(*clip, warps, d);
            for (const Art* c = clip->firstChild(); c; c = c->next())
                if (c->type() == kPathArt) pathData(*c, warps, d);
            sink.clipBegin(d, drawnStyle(*clip).style.evenOdd);
        }
        for (const Art* c = a.firstChild(); c != clip; c = c->next()) walkShapes(*c, doc, warps, op, sink);
        if (clip) sink.clipEnd();
        return;
    }
    if (a.type() == kTextArt && warps.chainOf(a).identity() && sink.text(a, op)) return;
    if (a.hasObjectMatrix()) {
        std::string d;
        if (boxPath(a, doc, warps, d)) sink.box(a, d);
    }
}

// The scene as JSON shapes: each path's data in page points.
struct SceneShapes : ShapeSink {
    const Document& doc;
    std::string& out;
    SceneShapes(const Document& d, std::string& o) : doc(d), out(o) {}

    void path(const Art& a, float opacity) override {
        std::string d;
        pathData(a.segments(), a.closed(), d);
        if (!d.empty()) paint(out, &a.style(), doc, d, opacity, a.blendMode());
    }
    void outline(const std::string& d, const AIPathStyle& style, float opacity, int32_t blend) override {
        paint(out, &style, doc, d, opacity, blend);
    }
    void box(const Art& a, const std::string& d) override {
        paint(out, nullptr, doc, d, 1, 0, a.object().isText ? &a.object().text : nullptr);
    }
};

}  // namespace

// ---- the picture for the page, as typed arrays ----

namespace {

// One painted shape of an object: its geometry drawn through a matrix.
struct ShapeRecord {
    float m[6];
    uint32_t geom;
    uint32_t style;
    float opacity;
    uint32_t blend;
};

struct ObjectRecord {
    int64_t id;
    float bounds[4];
    uint32_t flags;  // 1 selected, 2 locked, 4 has bounds
    uint32_t first, count;  // its shapes
};

// kFromGeometry: the bounds are those of the object's one shape's geometry
// moved by its matrix's translation; the page works them out itself.
constexpr uint32_t kSelected = 1, kLocked = 2, kHasBounds = 4, kFromGeometry = 8;

bool finite(const AIRealRect& b) {
    return std::isfinite(b.left) && std::isfinite(b.bottom) && std::isfinite(b.right) && std::isfinite(b.top);
}

// Whether an object's record (and its shapes) is the one sent before:
// its flags, bounds and shapes, bit for bit.
bool sameRecord(const ObjectRecord& a, const std::vector<ShapeRecord>& aShapes, const ObjectRecord& b,
                const std::vector<ShapeRecord>& bShapes) {
    return a.flags == b.flags && a.count == b.count && std::memcmp(a.bounds, b.bounds, sizeof a.bounds) == 0 &&
           (a.count == 0 || std::memcmp(&aShapes[a.first], &bShapes[b.first], a.count * sizeof(ShapeRecord)) == 0);
}

}  // namespace

struct PictureScratch {
    // This write's records, and those of the write before (the page's
    // objects_, in the same order).
    std::vector<ShapeRecord> shapes, sentShapes;
    std::vector<ObjectRecord> objects, sentObjects;
    std::vector<PictureStream::Sent> now;
    std::vector<uint8_t> fresh;
    PictureColumns columns;
};

PictureStream::PictureStream() : scratch_(std::make_unique<PictureScratch>()) {}
PictureStream::~PictureStream() = default;

struct PictureWriter {
    PictureStream& s;
    const Document& doc;
    uint64_t version;
    WarpedGeometry warps;
    std::string geoms = "[", styles = "[";
    std::vector<ShapeRecord>& shapes;
    std::vector<ObjectRecord>& objects;
    std::vector<int32_t> blendsUsed;
    // The style of the shape before: copies mostly share it.
    AIPathStyle lastStyle{};
    uint32_t lastStyleId = 0;

    PictureStyles looks;
    // How text is set, by the text's data and font (copies share both): the
    // members textLines gives, and the local box it is drawn on (area text: its box).
    struct TextSet {
        std::string lines;
        AIRealRect box;
    };
    std::map<std::pair<const ObjectData*, const std::string*>, TextSet> textSets;
    const TextSet& textSetOf(const Art& text) {
        const auto key = std::make_pair(&text.object(), &text.extra());
        auto it = textSets.find(key);
        if (it == textSets.end()) {
            it = textSets.emplace(key, TextSet{PictureStyles::textLines(text), textBox(text)}).first;
        }
        return it->second;
    }

    PictureWriter(PictureStream& stream, const Document& d)
        : s(stream), doc(d), version(stream.version_ + 1), shapes(stream.scratch_->shapes),
          objects(stream.scratch_->objects), looks(d) {
        shapes.clear();
        objects.clear();
    }

    uint32_t defineGeometry(const std::string& d, const AIRealRect* bounds = nullptr) {
        const uint32_t id = s.nextId_++;
        if (geoms.back() != '[') geoms += ',';
        geoms += '[' + std::to_string(id) + ',';
        quoted(geoms, d);
        if (bounds) {
            geoms += ",[" + exactNumber(bounds->left) + ',' + exactNumber(bounds->bottom) + ',' + exactNumber(bounds->right) +
                     ',' + exactNumber(bounds->top) + ']';
        }
        geoms += ']';
        return id;
    }
    uint32_t derived(const std::string& d) {
        auto it = s.derived_.find(d);
        if (it == s.derived_.end()) it = s.derived_.emplace(d, PictureStream::Geom{defineGeometry(d), 0, nullptr}).first;
        it->second.used = version;
        return it->second.id;
    }
    // The geometry looked up last: a grid's copies share one.
    const PathGeometry* lastGeom = nullptr;
    bool lastClosed = false;
    uint32_t lastGeomId = 0;
    uint32_t shared(const Art& a) {
        const auto& g = a.sharedGeometry();
        if (g.get() == lastGeom && a.closed() == lastClosed) return lastGeomId;
        auto& table = a.closed() ? s.sharedClosed_ : s.shared_;
        auto it = table.find(g.get());
        if (it == table.end()) {
            std::string d;
            pathData(g->segments, a.closed(), d);
            const AIRealRect b = g->bounds(a.closed());
            it = table.emplace(g.get(), PictureStream::Geom{defineGeometry(d, finite(b) ? &b : nullptr), 0, g}).first;
        }
        it->second.used = version;
        lastGeom = g.get();
        lastClosed = a.closed();
        lastGeomId = it->second.id;
        return it->second.id;
    }
    // The arrowheads of the path being added (arrowsKey), part of its style.
    std::string arrows;
    uint32_t styleId(const AIPathStyle* st, const Art* text = nullptr) {
        if (!arrows.empty() && st) {
            std::string key = looks.styleKey(st);
            key.insert(key.size() - 1, key.size() > 2 ? "," + arrows : arrows);
            return keyId(key);
        }
        if (st && !text && lastStyleId && std::memcmp(st, &lastStyle, sizeof lastStyle) == 0) return lastStyleId;
        const std::string key = text ? looks.styleKey(st, &text->object().text, &looks.textLook(*text),
                                                      text->object().fontSize, &textSetOf(*text).lines)
                                     : looks.styleKey(st);
        const uint32_t id = keyId(key);
        if (st && !text) {
            std::memcpy(&lastStyle, st, sizeof lastStyle);
            lastStyleId = id;
        }
        return id;
    }
    uint32_t keyId(const std::string& key) {
        auto it = s.styles_.find(key);
        if (it == s.styles_.end()) {
            it = s.styles_.emplace(key, s.nextId_++).first;
            if (styles.back() != '[') styles += ',';
            styles += '[' + std::to_string(it->second) + ',' + key + ']';
        }
        return it->second;
    }
    void add(uint32_t geom, const AIRealMatrix& m, const AIPathStyle* st, float opacity, int32_t blend,
             const Art* text = nullptr) {
        ShapeRecord r{{m.a, m.b, m.c, m.d, m.tx, m.ty}, geom, styleId(st, text), opacity, static_cast<uint32_t>(blend)};
        if (blend != 0 && std::find(blendsUsed.begin(), blendsUsed.end(), blend) == blendsUsed.end())
            blendsUsed.push_back(blend);
        shapes.push_back(r);
    }

    // The shapes of art as records: path copies share their geometry and
    // differ by matrix; text is set through its matrix.
    struct Shapes : ShapeSink {
        PictureWriter& w;
        explicit Shapes(PictureWriter& writer) : w(writer) {}
        void path(const Art& a, float opacity) override {
            if (a.sharedGeometry() && !a.sharedGeometry()->segments.empty()) {
                w.arrows = arrowsKey(a);
                w.add(w.shared(a), a.pendingMatrix(), &a.style(), opacity, a.blendMode());
                w.arrows.clear();
            }
        }
        void outline(const std::string& d, const AIPathStyle& style, float opacity, int32_t blend) override {
            w.add(w.derived(d), kIdentityMatrix, &style, opacity, blend);
        }
        bool text(const Art& a, float opacity) override {
            std::string d;
            rectPath(w.textSetOf(a).box, d);
            w.add(w.derived(d), a.objectMatrix(), &a.style(), opacity, a.blendMode(), &a);
            return true;
        }
        void box(const Art&, const std::string& d) override { w.add(w.derived(d), kIdentityMatrix, nullptr, 1, 0); }
        // A shape of style {"clip": true} starts clipping by its geometry;
        // one of style {"unclip": true} (the same geometry) ends it.
        std::vector<uint32_t> clips;
        void clipBegin(const std::string& d, bool evenOdd) override {
            clips.push_back(w.derived(d.empty() ? "M0 0Z" : d));
            const uint32_t style = w.keyId(evenOdd ? "{\"clip\":true,\"eo\":true}" : "{\"clip\":true}");
            w.shapes.push_back({{1, 0, 0, 1, 0, 0}, clips.back(), style, 1, 0});
        }
        void clipEnd() override {
            w.shapes.push_back({{1, 0, 0, 1, 0, 0}, clips.back(), w.keyId("{\"unclip\":true}"), 1, 0});
            clips.pop_back();
        }
    };

    // The page culls and picks by these bounds. A path copy moved only by a
    // translation is measured from its shared geometry's bounds, which are
    // computed once (copies made by a grid are thousands of such paths).
    // Whether they are those of the geometry sent with its bounds, moved.
    bool pictureBounds(const Art& a, AIRealRect& b, bool& fromGeometry) {
        const AIRealMatrix& m = a.pendingMatrix();
        const auto& g = a.sharedGeometry();
        fromGeometry = false;
        if (a.type() == kTextArt) {
            // The box the text is drawn on (area text's own), through its matrix.
            const AIRealRect r = textSetOf(a).box;
            const AIRealMatrix& o = a.objectMatrix();
            b = kEmptyRect;
            for (const AIRealPoint p : {AIRealPoint{r.left, r.top}, AIRealPoint{r.right, r.top}, AIRealPoint{r.left, r.bottom},
                                        AIRealPoint{r.right, r.bottom}})
                b = unionRect(b, AIRealRect{o.a * p.h + o.c * p.v + o.tx, o.b * p.h + o.d * p.v + o.ty,
                                            o.a * p.h + o.c * p.v + o.tx, o.b * p.h + o.d * p.v + o.ty});
            return finite(b);
        }
        if (a.type() == kPathArt && g && !g->segments.empty() && m.a == 1 && m.b == 0 && m.c == 0 && m.d == 1) {
            b = g->bounds(a.closed());
            fromGeometry = finite(b);
            b.left += m.tx, b.right += m.tx, b.top += m.ty, b.bottom += m.ty;
            return true;
        }
        return doc.bounds(&a, &b) == kNoErr;
    }

    void object(const Art& a) {
        // Filled in place: a record built aside and copied in reads back
        // the halves of fields just stored, which stalls on every object.
        ObjectRecord& o =
            objects.emplace_back(ObjectRecord{a.id(), {0, 0, 0, 0}, 0, static_cast<uint32_t>(shapes.size()), 0});
        if (a.selected()) o.flags |= kSelected;
        if (a.locked()) o.flags |= kLocked;
        AIRealRect b;
        bool fromGeometry = false;
        if (pictureBounds(a, b, fromGeometry) && b.left <= b.right) {
            o.flags |= kHasBounds | (fromGeometry ? kFromGeometry : 0);
            o.bounds[0] = b.left;
            o.bounds[1] = b.bottom;
            o.bounds[2] = b.right;
            o.bounds[3] = b.top;
        }
        if (a.type() == kPathArt && !a.sharedExtra() && (!a.parent() || warps.chainOf(a).identity())) {
            // Most objects: one path, without arrowheads or kept attributes,
            // drawn through its matrix (what walkShapes does for it).
            if (a.sharedGeometry() && !a.sharedGeometry()->segments.empty())
                add(shared(a), a.pendingMatrix(), &a.style(), a.opacity(), a.blendMode());
        } else {
            Shapes sink(*this);
            walkShapes(a, doc, warps, 1, sink);
        }
        o.count = static_cast<uint32_t>(shapes.size()) - o.first;
    }

    // Each visible layer's objects: their ids in `now` and their records in
    // `objects`, in the same order; returns the layers' list for the header.
    std::string layers(std::vector<PictureStream::Sent>& now) {
        now.reserve(s.objects_.size());
        objects.reserve(s.objects_.size());
        shapes.reserve(s.objects_.size());
        std::string out = "[";
        for (size_t i = 0; i < doc.layerCount(); ++i) {
            const Layer* l = doc.layerFromBottom(i);
            const size_t before = now.size();
            if (l->visible())
                for (const Art* a = l->firstArt(); a; a = a->next()) {
                    // The next object's memory is asked for while this one is written.
                    if (a->next()) prefetchArt<kForRead>(a->next());
                    if (!a->hidden()) {
                        now.push_back({a->id()});
                        object(*a);
                    }
                }
            if (i) out += ',';
            out += "{\"name\":";
            quoted(out, l->name());
            out += l->locked() ? ",\"locked\":true" : ",\"locked\":false";
            out += ",\"count\":" + std::to_string(now.size() - before) + '}';
        }
        out += ']';
        return out;
    }

    // The objects the page keeps, as runs of its old list (old start or -1
    // for new records, count); `fresh` marks the new ones.
    std::vector<int32_t> runs(const std::vector<PictureStream::Sent>& now, std::vector<uint8_t>& fresh) const {
        const auto& old = s.objects_;
        std::vector<int32_t> runs;
        fresh.assign(now.size(), 1);
        std::unordered_map<int64_t, size_t> oldIndex;
        size_t expect = 0;
        auto push = [&](int32_t start, int32_t n) {
            const size_t k = runs.size();
            if (k && ((start < 0 && runs[k - 2] < 0) || (start >= 0 && runs[k - 2] >= 0 && runs[k - 2] + runs[k - 1] == start)))
                runs[k - 1] += n;
            else
                runs.insert(runs.end(), {start, n});
        };
        for (size_t i = 0; i < now.size(); ++i) {
            size_t j = expect;
            if (j >= old.size() || old[j].id != now[i].id) {
                if (oldIndex.empty())
                    for (size_t k = 0; k < old.size(); ++k) oldIndex.emplace(old[k].id, k);
                auto it = oldIndex.find(now[i].id);
                j = it == oldIndex.end() ? old.size() : it->second;
            }
            // The next object is looked for after this one's old place, kept
            // or changed: a move changes every copy but not their order.
            if (j < old.size()) expect = j + 1;
            if (j < old.size() && sameRecord(objects[i], shapes, s.scratch_->sentObjects[j], s.scratch_->sentShapes)) {
                fresh[i] = 0;
                push(static_cast<int32_t>(j), 1);
            } else {
                push(-1, 1);
            }
        }
        return runs;
    }

    void columns(const std::vector<uint8_t>& fresh, PictureColumns& c) const {
        for (auto* v : {&c.bounds, &c.mats, &c.opacity}) v->clear();
        for (auto* v : {&c.flags, &c.blend}) v->clear();
        for (auto* v : {&c.counts, &c.geom, &c.style}) v->clear();
        c.ids.clear();
        const size_t freshCount = static_cast<size_t>(std::count(fresh.begin(), fresh.end(), uint8_t{1}));
        c.ids.reserve(freshCount), c.bounds.reserve(freshCount * 4), c.flags.reserve(freshCount);
        c.counts.reserve(freshCount), c.mats.reserve(freshCount * 6), c.geom.reserve(freshCount);
        c.style.reserve(freshCount), c.opacity.reserve(freshCount), c.blend.reserve(freshCount);
        for (size_t i = 0; i < fresh.size(); ++i) {
            if (!fresh[i]) continue;
            const ObjectRecord& o = objects[i];
            c.ids.push_back(static_cast<double>(o.id));
            if (!(o.flags & kFromGeometry)) c.bounds.insert(c.bounds.end(), o.bounds, o.bounds + 4);
            c.flags.push_back(static_cast<uint8_t>(o.flags));
            c.counts.push_back(o.count);
            for (uint32_t k = o.first; k < o.first + o.count; ++k) {
                const ShapeRecord& r = shapes[k];
                c.mats.insert(c.mats.end(), r.m, r.m + 6);
                c.geom.push_back(r.geom);
                c.style.push_back(r.style);
                c.opacity.push_back(r.opacity);
                c.blend.push_back(static_cast<uint8_t>(r.blend));
            }
        }
    }

    // Geometry no object uses any more is dropped on both sides: the list
    // of their ids.
    std::string prune() {
        std::string drop = "[";
        auto pruneTable = [&](auto& table) {
            for (auto it = table.begin(); it != table.end();) {
                if (it->second.used == version) {
                    ++it;
                    continue;
                }
                if (drop.size() > 1) drop += ',';
                drop += std::to_string(it->second.id);
                it = table.erase(it);
            }
        };
        pruneTable(s.shared_);
        pruneTable(s.sharedClosed_);
        pruneTable(s.derived_);
        drop += ']';
        return drop;
    }

    // The blend modes the shapes use, by number.
    std::string blends() const {
        std::string out = "{";
        for (int32_t b : blendsUsed) {
            if (out.size() > 1) out += ',';
            out += '"' + std::to_string(b) + "\":\"" + blendModeName(b) + '"';
        }
        out += '}';
        return out;
    }
};

std::string PictureStream::write(const Document& doc, uint64_t have) {
    const bool full = have == 0 || have != version_;
    if (full) {
        // The page starts afresh: every geometry and style is sent again.
        shared_.clear();
        sharedClosed_.clear();
        derived_.clear();
        styles_.clear();
        objects_.clear();
    }
    PictureWriter w(*this, doc);
    std::vector<Sent>& now = scratch_->now;
    now.clear();
    const std::string layers = w.layers(now);
    std::vector<uint8_t>& fresh = scratch_->fresh;
    const std::vector<int32_t> runs = w.runs(now, fresh);
    PictureColumns& c = scratch_->columns;
    w.columns(fresh, c);
    const size_t objectCount = c.ids.size(), shapeCount = c.geom.size();
    const std::string drop = w.prune();
    const std::string same = packUniform(c.ids, c.flags, c.counts, c.mats, c.geom, c.style, c.opacity, c.blend);

    std::string head = "{\"version\":" + std::to_string(w.version) + ",\"base\":" + std::to_string(full ? 0 : version_);
    head += ",\"width\":";
    num(head, doc.width(), 3);
    head += ",\"height\":";
    num(head, doc.height(), 3);
    head += ",\"layers\":" + layers + ",\"geoms\":" + w.geoms + "],\"styles\":" + w.styles + "],\"drop\":" + drop +
            ",\"blends\":" + w.blends() + ",\"runs\":" + std::to_string(runs.size() / 2) +
            ",\"objects\":" + std::to_string(objectCount) + ",\"shapes\":" + std::to_string(shapeCount) +
            (same.empty() ? "" : ",\"same\":" + same) +
            (c.bounds.size() / 4 < objectCount ? ",\"boxes\":" + std::to_string(c.bounds.size() / 4) : "") + '}';

    // The old lists' buffers serve the next write.
    objects_.swap(now);
    scratch_->sentObjects.swap(scratch_->objects);
    scratch_->sentShapes.swap(scratch_->shapes);
    version_ = w.version;
    return pictureBytes(head, runs, c);
}

std::string sceneText(const Document& doc) {
    WarpedGeometry warps;
    std::string out = "{\"width\":";
    num(out, doc.width(), 3);
    out += ",\"height\":";
    num(out, doc.height(), 3);
    out += ",\"layers\":[";
    for (size_t i = 0; i < doc.layerCount(); ++i) {
        const Layer* l = doc.layerFromBottom(i);
        if (i) out += ',';
        out += "{\"name\":";
        quoted(out, l->name());
        out += l->locked() ? ",\"locked\":true" : ",\"locked\":false";
        out += ",\"art\":[";
        bool first = true;
        if (l->visible())
            for (const Art* a = l->firstArt(); a; a = a->next()) {
                if (a->hidden()) continue;
                if (!first) out += ',';
                first = false;
                out += "{\"id\":" + std::to_string(a->id());
                if (a->selected()) out += ",\"sel\":true";
                AIRealRect b;
                if (doc.bounds(a, &b) == kNoErr && b.left <= b.right) {
                    out += ",\"b\":[";
                    for (float v : {b.left, b.bottom, b.right, b.top}) {
                        num(out, v);
                        out += ',';
                    }
                    out.back() = ']';
                }
                out += ",\"p\":[";
                SceneShapes sink(doc, out);
                walkShapes(*a, doc, warps, 1, sink);
                out += ']';
                if (a->locked()) out += ",\"locked\":true";
                out += '}';
            }
        out += "]}";
    }
    out += "]}";
    return out;
}

}  // namespace easel::studio

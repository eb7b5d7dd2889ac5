// Writing document files: the text is produced straight from the model,
// piece by piece, with no JSON tree in between. Layout: two spaces a level,
// arrays of plain values (points, colours, matrices) on one line, fields in a
// fixed order.
#include <algorithm>
#include <charconv>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string_view>
#include <vector>

#include "model/Names.h"
#include "io/json/DocumentJson.h"
#include "io/json/DocumentJsonShared.h"
#include "io/json/GradientJson.h"
#include "io/json/GuidesJson.h"
#include "io/json/JsonOut.h"
#include "core/SpelledNumbers.h"

namespace easel {

namespace {

using Json = nlohmann::ordered_json;

constexpr size_t kFlushBytes = 1 << 16;

class Writer {
public:
    explicit Writer(const DocumentJsonSink& sink) : sink_(sink) { out_.reserve(kFlushBytes + 4096); }

    void document(const Document& doc);

private:
    // ---- text ----
    void put(char c) { out_ += c; }
    void put(std::string_view s) { out_ += s; }
    void pad(int n) { out_.append(static_cast<size_t>(n), ' '); }
    void num(float v) { out_ += numbers_.get(v, formatJsonNumber); }
    void integer(int64_t v) {
        char buf[24];
        out_.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
    }
    void boolean(bool v) { put(v ? "true" : "false"); }
    void str(std::string_view s) { appendJsonString(out_, s); }
    void flushIfFull() {
        if (out_.size() >= kFlushBytes) flush();
    }
    void flush() {
        if (out_.empty()) return;
        sink_(out_);
        out_.clear();
    }

    // Opens the next field of an object at `indent` ("{" before the first).
    struct Object {
        Writer& w;
        int indent;
        bool empty = true;
        void key(std::string_view k) {
            w.put(empty ? "{\n" : ",\n");
            empty = false;
            w.pad(indent + 2);
            w.str(k);
            w.put(": ");
        }
        void close() {
            if (empty) {
                w.put("{}");
                return;
            }
            w.put('\n');
            w.pad(indent);
            w.put('}');
        }
    };
    // Opens the next element of an array of objects or arrays, one a line.
    struct Array {
        Writer& w;
        int indent;
        bool empty = true;
        void next() {
            w.put(empty ? "[\n" : ",\n");
            empty = false;
            w.pad(indent + 2);
        }
        void close() {
            if (empty) {
                w.put("[]");
                return;
            }
            w.put('\n');
            w.pad(indent);
            w.put(']');
        }
    };

    void numbers(const float* v, size_t n) {
        put('[');
        for (size_t i = 0; i < n; ++i) {
            if (i) put(", ");
            num(v[i]);
        }
        put(']');
    }
    void color(const AIColor& c, int indent);
    void style(const AIPathStyle& s, Object& o);
    void art(const Art& a, int indent);
    // Art being written: its object, and the fields written so far when
    // attributes kept from a file follow.
    struct ArtWrite {
        const Art& a;
        int indent;
        Object o;
        bool hasExtra;
        std::vector<std::string_view> written;
        void key(std::string_view k) {
            o.key(k);
            if (hasExtra) written.push_back(k);
        }
    };
    void artHeader(ArtWrite& w);
    void artPath(ArtWrite& w);
    void artSelectedSegments(ArtWrite& w);
    void artObject(ArtWrite& w);
    void artMatrices(ArtWrite& w);
    void artWarp(ArtWrite& w);
    void artStyle(ArtWrite& w);
    void artOpacity(ArtWrite& w);
    void artTags(ArtWrite& w);
    void artChildren(ArtWrite& w);
    void artKeptMembers(ArtWrite& w);
    void json(const Json& j, int indent);


    struct StyleMemo {
        bool valid = false;
        AIPathStyle style{};
        int indent = 0;
        std::string text;
    };
    StyleMemo styleMemo_;  // the style written last and its text
    const DocumentJsonSink& sink_;
    std::string out_;
    SpelledNumbers numbers_;  // the spellings of recent numbers
    std::vector<AIPathSegment> segs_;
};

void Writer::color(const AIColor& c, int indent) {
    Object o{*this, indent};
    o.key("kind");
    const char* kind = "none";
    size_t values = 0;
    bool ref = false;
    switch (c.kind) {
        case kGrayColor: kind = "gray", values = 1; break;
        case kFourColor: kind = "cmyk", values = 4; break;
        case kThreeColor: kind = "rgb", values = 3; break;
        case kPatternColor: kind = "pattern", ref = true; break;
        case kGradientColor: kind = "gradient", ref = true; break;
        case kCustomColor: kind = "spot", ref = true, values = 1; break;
        default: break;
    }
    str(kind);
    if (ref) {
        o.key("ref");
        integer(c.ref);
    }
    if (values) {
        o.key("values");
        numbers(c.c, values);
    }
    o.close();
}

void Writer::style(const AIPathStyle& s, Object& o) {
    const int in = o.indent + 2;
    o.key("fill");
    Object f{*this, in};
    f.key("paint");
    boolean(s.fillPaint != 0);
    f.key("color");
    color(s.fill.color, in + 2);
    if (s.fill.overprint) {
        f.key("overprint");
        boolean(true);
    }
    f.close();
    const AIStrokeStyle& k = s.stroke;
    o.key("stroke");
    Object st{*this, in};
    st.key("paint");
    boolean(s.strokePaint != 0);
    st.key("color");
    color(k.color, in + 2);
    st.key("width");
    num(k.width);
    if (k.cap != kButtCap) {
        st.key("cap");
        str(k.cap == kRoundCap ? "round" : k.cap == kProjectingCap ? "projecting" : "butt");
    }
    if (k.join != kMiterJoin) {
        st.key("join");
        str(k.join == kRoundJoin ? "round" : k.join == kBevelJoin ? "bevel" : "miter");
    }
    if (k.miterLimit != 4) {
        st.key("miterLimit");
        num(k.miterLimit);
    }
    if (k.dashCount > 0) {
        st.key("dash");
        numbers(k.dash, static_cast<size_t>(std::min(k.dashCount, kMaxDashComponents)));
        if (k.dashOffset != 0) {
            st.key("dashOffset");
            num(k.dashOffset);
        }
    }
    if (k.overprint) {
        st.key("overprint");
        boolean(true);
    }
    st.close();
    if (s.evenOdd) {
        o.key("evenOdd");
        boolean(true);
    }
}

void Writer::art(const Art& a, int indent) {
    // The members in the order the file lists them, one writer each.
    using MemberWriter = void (Writer::*)(ArtWrite&);
    static constexpr MemberWriter kMembers[] = {
        &Writer::artHeader,   &Writer::artPath, &Writer::artSelectedSegments, &Writer::artObject,
        &Writer::artMatrices, &Writer::artWarp, &Writer::artStyle,            &Writer::artOpacity,
        &Writer::artTags,     &Writer::artChildren, &Writer::artKeptMembers};
    ArtWrite w{a, indent, Object{*this, indent}, !a.extra().empty(), {}};
    for (const MemberWriter write : kMembers) (this->*write)(w);
    w.o.close();
    flushIfFull();
}

void Writer::artHeader(ArtWrite& w) {
    const Art& a = w.a;
    w.key("id");
    integer(a.id());
    w.key("type");
    str(artTypeName(a.type()));
    w.key("selected");
    boolean(a.selected());
    if (a.locked()) {
        w.key("locked");
        boolean(true);
    }
    if (a.hidden()) {
        w.key("hidden");
        boolean(true);
    }
    if (a.clipped()) {
        w.key("clipped");
        boolean(true);
    }
}

void Writer::artPath(ArtWrite& w) {
    const Art& a = w.a;
    if (!a.hasPath()) return;
    w.key("closed");
    boolean(a.closed());
    w.key("segments");
    const size_t n = a.segmentCount();
    segs_.resize(n);
    a.copySegments(0, n, segs_.data());
    Array arr{*this, w.indent + 2};
    for (const AIPathSegment& s : segs_) {
        arr.next();
        const float f[6] = {s.p.h, s.p.v, s.in.h, s.in.v, s.out.h, s.out.v};
        put('[');
        for (float v : f) {
            num(v);
            put(", ");
        }
        put(s.corner ? '1' : '0');
        put(']');
    }
    arr.close();
    flushIfFull();
}

// Plain indices on one line; any [index, bits] pair puts one element a line.
void Writer::artSelectedSegments(ArtWrite& w) {
    const Art& a = w.a;
    if (!a.hasPath() || !a.selected() || !a.hasPartialSegmentSelection()) return;
    w.key("selectedSegments");
    const size_t n = a.segmentCount();
    bool flat = true;
    for (size_t i = 0; i < n && flat; ++i) {
        const int16_t bits = a.segmentSelection(i);
        flat = bits == 0 || bits == kSegmentPointSelected;
    }
    Array arr{*this, w.indent + 2};
    bool first = true;
    for (size_t i = 0; i < n; ++i) {
        const int16_t bits = a.segmentSelection(i);
        if (bits == 0) continue;
        if (flat) {
            put(first ? "[" : ", ");
        } else {
            arr.next();
        }
        first = false;
        if (bits == kSegmentPointSelected) {
            integer(static_cast<int64_t>(i));
            continue;
        }
        put('[');
        integer(static_cast<int64_t>(i));
        put(", ");
        integer(bits);
        put(']');
    }
    if (flat) put(first ? "[]" : "]");
    else arr.close();
}

void Writer::artObject(ArtWrite& w) {
    const int16_t type = w.a.type();
    const ObjectData& obj = w.a.object();
    if (documentJsonIsText(type)) {
        w.key("text");
        str(obj.text);
        w.key("fontSize");
        num(obj.fontSize);
    }
    if (documentJsonHasHref(type)) {
        w.key("href");
        str(obj.href);
    }
    if (type == kSymbolArt) {
        w.key("symbol");
        str(obj.symbol);
    }
    if (documentJsonHasSize(type)) {
        w.key("width");
        num(obj.width);
        w.key("height");
        num(obj.height);
    }
}

void Writer::artMatrices(ArtWrite& w) {
    const Art& a = w.a;
    if (a.hasObjectMatrix() && a.type() != kTextPathArt) {
        w.key("matrix");
        const AIRealMatrix& m = a.objectMatrix();
        const float f[6] = {m.a, m.b, m.c, m.d, m.tx, m.ty};
        numbers(f, 6);
    }
    if (const AIRealMatrix* space = a.effectSpace()) {
        w.key("effectSpace");
        const float f[6] = {space->a, space->b, space->c, space->d, space->tx, space->ty};
        numbers(f, 6);
    }
}

void Writer::artWarp(ArtWrite& w) {
    if (w.a.type() != kEnvelopeArt) return;
    const EnvelopeWarp& warp = w.a.warp();
    w.key("warp");
    Object wo{*this, w.indent + 2};
    wo.key("style");
    integer(warp.style);
    wo.key("bend");
    num(warp.bend);
    wo.key("horizontal");
    num(warp.horizontal);
    wo.key("vertical");
    num(warp.vertical);
    wo.key("rotate90");
    boolean(warp.rotate90);
    wo.close();
}

void Writer::artStyle(ArtWrite& w) {
    const Art& a = w.a;
    if (!documentJsonHasStyle(a.type()) && sameStyle(a.style(), unpaintedStyle())) return;
    if (w.hasExtra) {
        w.written.insert(w.written.end(), {"fill", "stroke"});
        if (a.style().evenOdd) w.written.push_back("evenOdd");
    }
    // Copies share their style: the text of the style written last, at the
    // same depth and after other members, is taken again.
    StyleMemo& m = styleMemo_;
    if (!w.o.empty && m.valid && m.indent == w.o.indent && sameStyle(a.style(), m.style)) {
        out_ += m.text;
        return;
    }
    const bool first = w.o.empty;
    const size_t from = out_.size();
    style(a.style(), w.o);
    if (first) return;
    m.text.assign(out_, from);
    m.style = a.style();
    m.indent = w.o.indent;
    m.valid = true;
}

void Writer::artOpacity(ArtWrite& w) {
    w.key("opacity");
    num(w.a.opacity());
    w.key("blend");
    str(blendModeName(w.a.blendMode()));
}

// A name given twice keeps its first place and its last value.
void Writer::artTags(ArtWrite& w) {
    const TagList& tags = w.a.tags();
    if (tags.empty()) return;
    w.key("tags");
    Object t{*this, w.indent + 2};
    for (size_t i = 0; i < tags.size(); ++i) {
        bool seen = false;
        for (size_t k = 0; k < i && !seen; ++k) seen = tags[k].name == tags[i].name;
        if (seen) continue;
        const Tag* last = &tags[i];
        for (size_t k = i + 1; k < tags.size(); ++k) {
            if (tags[k].name == tags[i].name) last = &tags[k];
        }
        t.key(last->name);
        if (last->isReal) num(last->real);
        else str(last->text);
    }
    t.close();
}

void Writer::artChildren(ArtWrite& w) {
    if (!w.a.isContainer()) return;
    w.key("children");
    Array arr{*this, w.indent + 2};
    for (const Art* c = w.a.firstChild(); c; c = c->next()) {
        arr.next();
        art(*c, w.indent + 4);
    }
    arr.close();
}

// Attributes kept from a file only add fields not written already.
void Writer::artKeptMembers(ArtWrite& w) {
    if (!w.hasExtra) return;
    const Json extra = Json::parse(w.a.extra(), nullptr, false);
    if (!extra.is_object()) return;
    for (auto& [k, v] : extra.items()) {
        bool known = false;
        for (std::string_view name : w.written) known = known || name == k;
        if (known) continue;
        w.written.push_back(k);  // a key the extra gives twice is written once
        w.o.key(k);
        json(v, w.indent + 2);
    }
}

// A value kept from a file, laid out like the rest.
void Writer::json(const Json& j, int indent) {
    auto scalar = [](const Json& e) { return !e.is_object() && !e.is_array(); };
    if (scalar(j)) {
        put(j.dump());
        return;
    }
    if (j.is_array()) {
        bool flat = true;
        for (const Json& e : j) flat = flat && scalar(e);
        if (flat) {
            put('[');
            bool first = true;
            for (const Json& e : j) {
                if (!first) put(", ");
                first = false;
                put(e.dump());
            }
            put(']');
            return;
        }
        Array arr{*this, indent};
        for (const Json& e : j) {
            arr.next();
            json(e, indent + 2);
        }
        arr.close();
        return;
    }
    Object o{*this, indent};
    for (auto& [k, v] : j.items()) {
        o.key(k);
        json(v, indent + 2);
    }
    o.close();
}

void Writer::document(const Document& doc) {
    Object root{*this, 0};
    root.key("format");
    str("easel-document");
    root.key("version");
    integer(kDocumentJsonVersion);
    root.key("seed");
    integer(doc.seed());
    root.key("page");
    Object page{*this, 2};
    page.key("width");
    num(doc.width());
    page.key("height");
    num(doc.height());
    page.close();
    root.key("swatches");
    Array swatches{*this, 2};
    for (size_t i = 0; i < doc.swatchCount(); ++i) {
        const Swatch* s = doc.swatch(i);
        swatches.next();
        Object so{*this, 4};
        so.key("name");
        str(s->name);
        so.key("color");
        color(s->color, 6);
        so.close();
    }
    swatches.close();
    Json gradients = Json::object();
    writeGradientPaints(doc, gradients);
    writeGuides(doc, gradients);
    for (auto& [k, v] : gradients.items()) {
        root.key(k);
        json(v, 2);
    }
    if (!doc.svgKept().empty()) {
        const Json kept = Json::parse(doc.svgKept(), nullptr, false);
        if (kept.is_object()) {
            root.key("svg");
            json(kept, 2);
        }
    }
    root.key("layers");
    Array layers{*this, 2};
    for (size_t i = 0; i < doc.layerCount(); ++i) {
        const Layer* l = doc.layerFromBottom(i);
        layers.next();
        Object lo{*this, 4};
        lo.key("name");
        str(l->name());
        lo.key("visible");
        boolean(l->visible());
        lo.key("locked");
        boolean(l->locked());
        if (!l->svgKept().empty()) {
            const Json kept = Json::parse(l->svgKept(), nullptr, false);
            if (kept.is_object()) {
                lo.key("svg");
                json(kept, 6);
            }
        }
        lo.key("art");
        Array arts{*this, 6};
        for (const Art* a = l->firstArt(); a; a = a->next()) {
            arts.next();
            art(*a, 8);
        }
        arts.close();
        lo.close();
    }
    layers.close();
    root.close();
    put('\n');
    flush();
}

}  // namespace

void writeDocumentJson(const Document& doc, const DocumentJsonSink& sink) {
    Writer w(sink);
    w.document(doc);
}

std::string writeDocumentJson(const Document& doc) {
    std::string text;
    writeDocumentJson(doc, [&](std::string_view piece) { text += piece; });
    return text;
}

}  // namespace easel

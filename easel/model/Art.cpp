#include "Art.h"

#include <algorithm>
#include <cstring>

namespace easel {

const AIRealRect& PathGeometry::bounds(bool closed) const {
    const int8_t k = closed ? 1 : 0;
    if (boundsFor_ != k) {
        bounds_ = bezierBounds(segments.data(), segments.size(), closed);
        boundsFor_ = k;
    }
    return bounds_;
}

float PathGeometry::maxAbsCoordinate() const {
    if (maxAbs_ < 0) {
        float m = 0;
        for (const AIPathSegment& s : segments) {
            m = std::max({m, std::abs(s.p.h), std::abs(s.p.v), std::abs(s.in.h), std::abs(s.in.v),
                          std::abs(s.out.h), std::abs(s.out.v)});
        }
        maxAbs_ = m;
    }
    return maxAbs_;
}

void PathGeometry::invalidate() const {
    boundsFor_ = -1;
    maxAbs_ = -1;
}

AIRealRect ObjectData::localBox() const {
    if (isText) {
        // An estimate: average glyph advance 0.6 em, ascent 0.75, descent 0.25.
        const float w = 0.6f * fontSize * static_cast<float>(text.size());
        return AIRealRect{0, 0.75f * fontSize, w, -0.25f * fontSize};
    }
    return AIRealRect{0, height, width, 0};
}

namespace {
const TagList kNoTags;
const ObjectData kNoObject;
const std::string kNoExtra;
const std::shared_ptr<const std::string> kNoSharedExtra;
const EnvelopeWarp kNoWarp;
}  // namespace

Layer* Art::layer() const {
    const Art* a = this;
    while (a->parent_) a = a->parent_;
    return a->layer_;
}

const TagList& Art::tags() const { return tags_ ? *tags_ : kNoTags; }

const Tag* Art::findTag(std::string_view name) const {
    for (const Tag& t : tags()) {
        if (t.name == name) return &t;
    }
    return nullptr;
}

AIPathSegment Art::segment(size_t i) const {
    if (!geom_ || i >= geom_->segments.size()) return AIPathSegment{};
    const AIPathSegment& s = geom_->segments[i];
    return hasPending_ ? transformSegment(pending_, s) : s;
}

void Art::copySegments(size_t first, size_t count, AIPathSegment* out) const {
    for (size_t i = 0; i < count; ++i) out[i] = segment(first + i);
}

std::vector<AIPathSegment> Art::segments() const {
    std::vector<AIPathSegment> v(segmentCount());
    copySegments(0, v.size(), v.data());
    return v;
}

int16_t Art::segmentSelection(size_t i) const {
    if (hasPartialSegmentSelection()) {
        const std::vector<uint8_t>& sel = *extras_->segSel;
        return i < sel.size() ? static_cast<int16_t>(sel[i]) : int16_t{0};
    }
    return selected_ && i < segmentCount() ? int16_t{kSegmentPointSelected} : int16_t{0};
}

const ObjectData& Art::object() const { return extras_ && extras_->object ? *extras_->object : kNoObject; }

const EnvelopeWarp& Art::warp() const { return extras_ ? extras_->warp : kNoWarp; }

const std::string& Art::extra() const { return extras_ && extras_->extra ? *extras_->extra : kNoExtra; }

const std::shared_ptr<const std::string>& Art::sharedExtra() const { return extras_ ? extras_->extra : kNoSharedExtra; }

ArtExtras& Art::editExtras() {
    // A block this art alone holds (no copy, no undo step keeps it) changes
    // in place: transforming text or images does not allocate each time.
    if (extras_ && extras_.use_count() == 1) return const_cast<ArtExtras&>(*extras_);
    auto own = extras_ ? std::make_shared<ArtExtras>(*extras_) : std::make_shared<ArtExtras>();
    ArtExtras& e = *own;
    extras_ = std::move(own);
    return e;
}

void Art::putSegmentSelection(std::shared_ptr<const std::vector<uint8_t>> sel) {
    if (!sel && !hasPartialSegmentSelection()) return;
    editExtras().segSel = std::move(sel);
}

AIColor grayColor(float gray) { return AIColor{kGrayColor, {gray, 0, 0, 0}, 0}; }
AIColor cmykColor(float c, float m, float y, float k) { return AIColor{kFourColor, {c, m, y, k}, 0}; }
AIColor rgbColor(float r, float g, float b) { return AIColor{kThreeColor, {r, g, b, 0}, 0}; }
AIColor noneColor() { return AIColor{kNoneColor, {0, 0, 0, 0}, 0}; }

bool sameColor(const AIColor& a, const AIColor& b) {
    return a.kind == b.kind && a.ref == b.ref && std::equal(a.c, a.c + 4, b.c);
}

AIPathStyle unpaintedStyle() {
    AIPathStyle s{};
    s.fillPaint = 0;
    s.fill.color = noneColor();
    s.strokePaint = 0;
    s.stroke.color = noneColor();
    s.stroke.width = 1;
    s.stroke.cap = kButtCap;
    s.stroke.join = kMiterJoin;
    s.stroke.miterLimit = 4;
    return s;
}

AIPathStyle defaultPathStyle() {
    AIPathStyle s = unpaintedStyle();
    s.fillPaint = 1;
    s.fill.color = rgbColor(1, 1, 1);
    s.strokePaint = 1;
    s.stroke.color = rgbColor(0, 0, 0);
    return s;
}

bool sameStyle(const AIPathStyle& a, const AIPathStyle& b) {
    const AIStrokeStyle& x = a.stroke;
    const AIStrokeStyle& y = b.stroke;
    return (a.fillPaint != 0) == (b.fillPaint != 0) && sameColor(a.fill.color, b.fill.color) &&
           (a.fill.overprint != 0) == (b.fill.overprint != 0) && (a.strokePaint != 0) == (b.strokePaint != 0) &&
           sameColor(x.color, y.color) && (x.overprint != 0) == (y.overprint != 0) && x.width == y.width &&
           x.cap == y.cap && x.join == y.join && x.miterLimit == y.miterLimit && x.dashCount == y.dashCount &&
           x.dashOffset == y.dashOffset && std::equal(x.dash, x.dash + kMaxDashComponents, y.dash) &&
           (a.evenOdd != 0) == (b.evenOdd != 0);
}

namespace {

template <class T>
bool sameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// A colour has no padding: its bytes are its fields.
static_assert(sizeof(AIColor) == sizeof(ASInt32) * 2 + sizeof(AIReal) * 4);

}  // namespace

bool sameStyleBits(const AIPathStyle& a, const AIPathStyle& b) {
    const AIStrokeStyle& x = a.stroke;
    const AIStrokeStyle& y = b.stroke;
    return a.fillPaint == b.fillPaint && sameBits(a.fill.color, b.fill.color) &&
           a.fill.overprint == b.fill.overprint && a.strokePaint == b.strokePaint && sameBits(x.color, y.color) &&
           x.overprint == y.overprint && sameBits(x.width, y.width) && x.cap == y.cap && x.join == y.join &&
           sameBits(x.miterLimit, y.miterLimit) && x.dashCount == y.dashCount && sameBits(x.dashOffset, y.dashOffset) &&
           sameBits(x.dash, y.dash) && a.evenOdd == b.evenOdd;
}

const SharedStyle& zeroStyle() {
    static const SharedStyle style = std::make_shared<const AIPathStyle>();
    return style;
}
const SharedStyle& sharedDefaultPathStyle() {
    static const SharedStyle style = std::make_shared<const AIPathStyle>(defaultPathStyle());
    return style;
}
const SharedStyle& sharedUnpaintedStyle() {
    static const SharedStyle style = std::make_shared<const AIPathStyle>(unpaintedStyle());
    return style;
}

DrawnStyle drawnStyle(const Art& art) {
    const Art* member = nullptr;
    if (art.type() == kCompoundPathArt) {
        for (const Art* c = art.firstChild(); c && !member; c = c->next())
            if (c->type() == kPathArt) member = c;
    }
    if (!member) return DrawnStyle{art.style(), art.opacity(), art.blendMode()};
    return DrawnStyle{member->style(), art.opacity() * member->opacity(),
                      art.blendMode() != 0 ? art.blendMode() : member->blendMode()};
}

const Art* clippingPath(const Art& group) {
    if (group.type() != kGroupArt || !group.clipped()) return nullptr;
    const Art* top = group.lastChild();
    if (!top || top->hidden() || (top->type() != kPathArt && top->type() != kCompoundPathArt)) return nullptr;
    return top;
}

}  // namespace easel

// AI Path: the segments, closed flag and segment selection of paths (and of
// the path under text on a path).
#include "SuiteSupport.h"
#include "SuiteTables.h"

namespace easel {
namespace {

ArtRef resolvePath(AIArtHandle path) {
    ArtRef r = resolveArt(path);
    if (r.err == kNoErr && !r.art->hasPath()) r.err = kBadParameterErr;
    return r;
}

// [first, first + count) lies within the path's segments.
bool inRange(const Art* art, ASInt16 first, ASInt16 count) {
    return first >= 0 && count >= 0 &&
           static_cast<size_t>(first) + static_cast<size_t>(count) <= art->segmentCount();
}

bool finiteSegment(const AIPathSegment& s) { return finite(s.p) && finite(s.in) && finite(s.out); }

ASErr getSegmentCount(AIArtHandle path, ASInt16* count) {
    ArtRef r = resolvePath(path);
    if (r.err) return r.err;
    if (count == nullptr) return kBadParameterErr;
    *count = static_cast<ASInt16>(r.art->segmentCount());
    return kNoErr;
}

ASErr setSegmentCount(AIArtHandle path, ASInt16 count) {
    ArtRef r = resolvePath(path);
    if (r.err) return r.err;
    if (count < 0) return kBadParameterErr;
    return r.doc->setSegmentCount(r.art, static_cast<size_t>(count));
}

ASErr getSegments(AIArtHandle path, ASInt16 segNumber, ASInt16 count, AIPathSegment* segments) {
    ArtRef r = resolvePath(path);
    if (r.err) return r.err;
    if (!inRange(r.art, segNumber, count) || (segments == nullptr && count > 0)) return kBadParameterErr;
    if (count > 0)
        r.art->copySegments(static_cast<size_t>(segNumber), static_cast<size_t>(count), segments);
    return kNoErr;
}

ASErr setSegments(AIArtHandle path, ASInt16 segNumber, ASInt16 count, const AIPathSegment* segments) {
    ArtRef r = resolvePath(path);
    if (r.err) return r.err;
    if (!inRange(r.art, segNumber, count) || (segments == nullptr && count > 0)) return kBadParameterErr;
    for (ASInt16 i = 0; i < count; ++i)
        if (!finiteSegment(segments[i])) return kBadParameterErr;
    if (count == 0) return kNoErr;
    return r.doc->setSegments(r.art, static_cast<size_t>(segNumber), static_cast<size_t>(count), segments);
}

ASErr getClosed(AIArtHandle path, ASBoolean* closed) {
    ArtRef r = resolvePath(path);
    if (r.err) return r.err;
    if (closed == nullptr) return kBadParameterErr;
    *closed = r.art->closed() ? 1 : 0;
    return kNoErr;
}

ASErr setClosed(AIArtHandle path, ASBoolean closed) {
    ArtRef r = resolvePath(path);
    if (r.err) return r.err;
    return r.doc->setClosed(r.art, closed != 0);
}

constexpr ASInt16 kSelectionBits = kSegmentPointSelected | kSegmentInSelected | kSegmentOutSelected;

ASErr getSegmentSelected(AIArtHandle path, ASInt16 segNumber, ASInt16* selected) {
    ArtRef r = resolvePath(path);
    if (r.err) return r.err;
    if (selected == nullptr || !inRange(r.art, segNumber, 1)) return kBadParameterErr;
    *selected = r.art->segmentSelection(static_cast<size_t>(segNumber));
    return kNoErr;
}

ASErr setSegmentSelected(AIArtHandle path, ASInt16 segNumber, ASInt16 selected) {
    ArtRef r = resolvePath(path);
    if (r.err) return r.err;
    if (!inRange(r.art, segNumber, 1) || (selected & ~kSelectionBits) != 0) return kBadParameterErr;
    return r.doc->setSegmentSelection(r.art, static_cast<size_t>(segNumber), selected);
}

const AIPathSuite kSuite = {getSegmentCount, setSegmentCount, getSegments,        setSegments,
                            getClosed,       setClosed,       getSegmentSelected, setSegmentSelected};

// AI Pathfinder: answered for completeness; uniting art is not offered.
ASErr doUniteEffect(AIArtHandle* art, ASInt32 count, AIArtHandle* result) {
    if (art == nullptr || count <= 0 || result == nullptr) return kBadParameterErr;
    for (ASInt32 i = 0; i < count; ++i)
        if (ASErr e = resolveArt(art[i]).err) return e;
    return kNotImplementedErr;
}

const AIPathfinderSuite kPathfinder = {doUniteEffect};

}  // namespace

const AIPathSuite* suites::pathSuite() { return &kSuite; }
const AIPathfinderSuite* suites::pathfinderSuite() { return &kPathfinder; }

}  // namespace easel

// Small builders shared by the model tests.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "model/Document.h"

namespace easel::test {

inline AIPathSegment corner(float h, float v) { return AIPathSegment{{h, v}, {h, v}, {h, v}, 1}; }

inline AIPathSegment smooth(float h, float v, float inH, float inV, float outH, float outV) {
    return AIPathSegment{{h, v}, {inH, inV}, {outH, outV}, 0};
}

// A path above all art of the document with the given segments.
inline Art* makePath(Document& doc, const std::vector<AIPathSegment>& segs, bool closed = false) {
    Art* a = nullptr;
    EXPECT_EQ(doc.newArt(kPathArt, kPlaceAboveAll, nullptr, &a), kNoErr);
    EXPECT_EQ(doc.setSegmentCount(a, segs.size()), kNoErr);
    EXPECT_EQ(doc.setSegments(a, 0, segs.size(), segs.data()), kNoErr);
    EXPECT_EQ(doc.setClosed(a, closed), kNoErr);
    return a;
}

inline Art* makeSquare(Document& doc, float left, float bottom, float size) {
    return makePath(doc,
                    {corner(left, bottom), corner(left + size, bottom), corner(left + size, bottom + size),
                     corner(left, bottom + size)},
                    true);
}

inline AIRealMatrix translation(float h, float v) { return AIRealMatrix{1, 0, 0, 1, h, v}; }
inline AIRealMatrix scaling(float sh, float sv) { return AIRealMatrix{sh, 0, 0, sv, 0, 0}; }
inline AIRealMatrix rotation(float radians) {
    const float c = std::cos(radians), s = std::sin(radians);
    return AIRealMatrix{c, s, -s, c, 0, 0};
}

// Ids of the art of a layer, bottom first.
inline std::vector<int64_t> idsOf(const Layer* layer) {
    std::vector<int64_t> ids;
    for (const Art* a = layer->firstArt(); a; a = a->next()) ids.push_back(a->id());
    return ids;
}

inline std::vector<int64_t> childIds(const Art* art) {
    std::vector<int64_t> ids;
    for (const Art* a = art->firstChild(); a; a = a->next()) ids.push_back(a->id());
    return ids;
}

}  // namespace easel::test

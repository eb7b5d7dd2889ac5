// Envelope warps as geometry: the fifteen warp styles as deformations of the
// plane fitted to the box of an envelope's contents, and the contents as they
// look on the page once warped.
//
// An envelope keeps its contents as they were made; nothing warped is
// stored. Whoever needs the page geometry (bounds, export, rendering) asks
// for it here. Curves are warped as curves: each Bezier segment is replaced
// by one or more segments whose anchors are the warped anchors and whose
// direction points follow the local linearisation of the warp, subdivided
// until they stay within a tolerance of the exact image of the original.
#pragma once

#include <algorithm>
#include <cstddef>
#include <unordered_map>
#include <vector>

#include "host/ASTypes.h"
#include "Art.h"

namespace easel {

// Largest distance, in points, between a warped curve and the exact image of
// the original curve under the warp.
constexpr double kWarpTolerance = 0.05;

struct WarpPoint {
    double h = 0;
    double v = 0;
};

// True when the warp leaves every point where it is, whatever the box:
// style 0, or bend and both distortions 0.
bool isIdentityWarp(const EnvelopeWarp& warp);

// The deformation of the plane one warp stands for, fitted to a box (the
// bounds of the envelope's contents). Parameters outside -1..1 are clamped.
// Defined and finite everywhere; continuous in the point and the parameters.
class WarpField {
public:
    WarpField() = default;  // the identity
    WarpField(const EnvelopeWarp& warp, const AIRealRect& box);

    bool identity() const { return identity_; }
    WarpPoint map(WarpPoint p) const;
    // The larger side of the fitted box (0 for the identity).
    double size() const { return identity_ ? 0 : 2 * std::max(w_, h_); }

private:
    WarpPoint style(double a, double c, double W, double H) const;

    bool identity_ = true;
    int style_ = 0;
    double bend_ = 0;
    double gh_ = 0;  // horizontal perspective factor
    double gv_ = 0;  // vertical perspective factor
    bool turn_ = false;
    double cx_ = 0, cy_ = 0;  // centre of the box
    double w_ = 1, h_ = 1;    // half sizes, each at least a tenth of the other
};

// Warps applied one after the other: the innermost envelope's first.
class WarpChain {
public:
    void push(const WarpField& field);
    bool identity() const { return fields_.empty(); }
    // This chain with `inner` applied before it.
    WarpChain under(const WarpField& inner) const;
    WarpPoint map(WarpPoint p) const;
    // Partial derivatives at p: {dH/dh, dV/dh, dH/dv, dV/dv}.
    void jacobian(WarpPoint p, double out[4]) const;

private:
    std::vector<WarpField> fields_;  // identities are left out
    double step_ = 0;                // finite-difference step
};

// Warps a Bezier contour (segments as the model stores them). Corner flags
// of the original anchors are kept; anchors added by subdivision are smooth.
// False, with `out` unspecified, when a coordinate would not be a finite
// float. The identity chain copies the segments.
bool warpContour(const WarpChain& chain, const AIPathSegment* segs, size_t count, bool closed,
                 std::vector<AIPathSegment>& out, double tolerance = kWarpTolerance);

// The page geometry of art under envelopes. Remembers the field of every
// envelope it meets, so it must not outlive a change of the document.
//
// Text and images are not outlines in the model: their local box stands for
// them. `mesh` maps a grid over that box, which a renderer can use to draw an
// image (or text) cell by cell; `contour` warps any outline given in the
// art's unwarped page coordinates, such as the glyph outlines of a text.
class WarpedGeometry {
public:
    // The field of an envelope (the identity for art of another type).
    const WarpField& field(const Art& envelope);
    // The warps between art and the page, innermost first.
    WarpChain chainOf(const Art& art);
    // Path art (and the path of text on a path) as on the page.
    bool path(const Art& art, std::vector<AIPathSegment>& out);
    // A contour given in art's page coordinates before any warp.
    bool contour(const Art& art, const AIPathSegment* segs, size_t count, bool closed,
                 std::vector<AIPathSegment>& out);
    // Object art (text, images, symbols, meshes): (cols + 1) x (rows + 1)
    // points, row by row from the local box's bottom left, mapped by the
    // object matrix and the warps. cols and rows at least 1.
    bool mesh(const Art& art, int cols, int rows, std::vector<AIRealPoint>& out);
    // Bounds of art with the warps of the envelopes at or inside it (those
    // around it are left out); kEmptyRect for empty containers. False when
    // a warped coordinate would not be finite.
    bool bounds(const Art& art, AIRealRect& out);
    // Whether the page geometry of art and everything inside it is finite.
    bool finite(const Art& art);

private:
    bool boundsUnder(const Art& art, const WarpChain& chain, AIRealRect& r);

    std::unordered_map<const Art*, WarpField> fields_;
    WarpField identity_;
};

// The bounds of an envelope's warped contents; false when not finite.
bool warpedEnvelopeBounds(const Art& envelope, AIRealRect& out);

}  // namespace easel

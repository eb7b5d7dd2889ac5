// Reading SVG files into the document model.
//
// Paths (every command; arcs become Beziers), rect, circle, ellipse, line,
// polyline, polygon, groups with nested transforms, <use> (of a <symbol>: a
// symbol instance; of anything else: a copy), text (text on a path too),
// images, fill, stroke and their properties, opacity, mix-blend-mode, CSS
// colours, style attributes and simple <style> rules, viewBox and page size.
// Top-level groups become layers. One SVG user unit on the page is one
// point when the file gives no other size; "px" lengths are 0.75 point.
// The vertical axis is flipped: the model's origin is the bottom left.
//
// What the model cannot hold is reported (SvgReport), never dropped
// silently. Files written by writeSvg read back to the same document.
//
// Untrusted input is safe: no network, no external entities, no entity
// expansion past a small budget, limits on size, nesting, points and
// objects, each named in the error when it is reached.
#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/Document.h"
#include "core/Input.h"

namespace easel {

struct SvgLimits {
    size_t maxBytes = kMaxFileBytes;           // the file, as every file easel reads
    // Elements inside elements: as deep as libxml2 parses. The writer nests
    // art at most kMaxArtNesting deep in at most 3 elements a level (effects
    // wrappers), which reads back; deeper art is refused by the model.
    int maxDepth = 256;
    size_t maxPathPoints = kMaxSegments;       // anchor points of one path
    size_t maxTotalPoints = 2000000;           // anchor points of the document
    size_t maxObjects = 200000;                // art objects, copies by <use> included
    size_t maxEntityText = size_t{1} << 20;    // characters expanded from entities
    // Plain drawings (no ids, references, style sheets or definitions) are
    // read as the XML streams in, never held whole as a tree; false reads
    // every file whole. Both give the same document, notes and errors.
    bool stream = true;
};

// What the import could not represent, one line per kind of loss, with how
// often it happened ("skipped <filter> (filters are not supported), 2 times").
struct SvgReport {
    std::vector<std::string> notes;
    bool empty() const { return notes.empty(); }
    std::string text() const;  // the notes, one per line
};

// false and a message (naming the limit or the place) when the file is not
// SVG or cannot be read; never throws. The document read has an empty undo
// history.
bool readSvg(const std::string& text, std::unique_ptr<Document>& out, SvgReport& report, std::string& error,
             const SvgLimits& limits = {});
// The same for text the caller gives up: it is let go once parsed, so that a
// large file is not held beside its XML tree and the document being built.
bool readSvg(std::string&& text, std::unique_ptr<Document>& out, SvgReport& report, std::string& error,
             const SvgLimits& limits = {});
// The file at `path` read as it streams in from the disk, its text never
// held whole: true with the document and notes for a plain drawing (see
// SvgLimits::stream); false, nothing kept, for any other file, or one that
// cannot be read so: read it whole with readSvg, which says what is wrong.
bool readSvgFileStreamed(const std::filesystem::path& path, std::unique_ptr<Document>& out, SvgReport& report,
                         const SvgLimits& limits = {});

}  // namespace easel

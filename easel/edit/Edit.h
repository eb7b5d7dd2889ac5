// Host edits: the document operations a person makes in the studio (new
// document, shapes, transforms, style, delete, duplicate, clipboard, groups,
// stacking order, layers, selection of art and of anchor points), each a
// named operation with typed arguments in one registry. The studio's page and
// `easel play` call them alike with {"op": NAME, ...arguments}, so a recorded
// edit and a replayed one run the same code.
//
// Every edit that changes the document is one undo step named after it
// ("Undo Move", "Undo Fill"); a refused edit changes nothing. Selection edits
// (select, selectAll, deselect, selectPoints, currentLayer) and copy are not
// undo steps. Edits of art on a locked or hidden layer are refused with the
// layer named; arguments out of range are refused with the range named.
#pragma once

#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "model/Document.h"

namespace easel::edit {

using json = nlohmann::ordered_json;

// Copied art between copy/cut and paste, in a document of its own.
class Clipboard {
public:
    Clipboard();
    ~Clipboard();
    bool empty() const;
    void clear();
    Document& doc() { return *doc_; }

private:
    std::unique_ptr<Document> doc_;
};

struct Outcome {
    std::string error;                  // empty: done
    std::unique_ptr<Document> replaced;  // "new": the document to use from now on
    std::vector<int64_t> made;           // ids of the art the edit made
    std::string undoName;                // "Move", ...; empty when no undo step was made
};

// Runs {"op": NAME, ...}. Never throws.
Outcome run(Document& doc, Clipboard& clipboard, const json& edit);

struct OpInfo {
    std::string name;
    std::string summary;  // arguments, for help texts
    bool selection;       // a selection change: no undo step
};
std::vector<OpInfo> ops();
bool isOp(const std::string& name);

// The arrowhead the `stroke` edit set at a path's start or end: "triangle",
// "open", "circle", "bar"; "" when none.
std::string arrowOf(const Art& a, bool start);

// Geometry of the shapes (exposed for tests and for the page's previews).
// Closed outlines run counter-clockwise (vertical axis up).
std::vector<AIPathSegment> rectangleSegments(const AIRealRect& r, float radius);
std::vector<AIPathSegment> ellipseSegments(const AIRealRect& r);
std::vector<AIPathSegment> polygonSegments(AIRealPoint centre, float radius, int sides, float degrees);
std::vector<AIPathSegment> starSegments(AIRealPoint centre, float radius, float inner, int points, float degrees);
// Points sampled along a stroke fitted with Bezier segments that stay within
// `tolerance` of them.
std::vector<AIPathSegment> fitPoints(const std::vector<AIRealPoint>& points, float tolerance);

}  // namespace easel::edit

// The registry of host edits and how one is run: arguments checked, the
// handler run in an undo context of its own, a refusal taking back whatever
// it had changed.
#include <algorithm>
#include <cmath>
#include <sstream>

#include "Support.h"

namespace easel::edit {

void refuse(const std::string& message) { refuseInput(message); }

namespace {

std::string show(double v) {
    std::ostringstream s;
    s << v;
    return s.str();
}

}  // namespace

// ---- shared helpers ----

void check(ASErr e, const std::string& what) {
    if (e == kNoErr) return;
    if (e == kLockedLayerErr) refuse(what + ": the layer is locked or hidden");
    if (e == kOutOfMemoryErr) refuse(what + ": the document would hold more art than easel allows");
    if (e == kTooManyPointsErr) refuse(what + ": a path may have at most " + std::to_string(kMaxSegments) + " points");
    if (e == kTooDeepErr)
        refuse(what + ": art may nest at most " + std::to_string(kMaxArtNesting) +
               " levels inside groups (the limit); ungroup some levels first");
    refuse(what + ": refused by the document (the result would not be finite or the art is gone)");
}

std::string layerName(const Layer* layer) { return "layer \"" + layer->name() + "\""; }

void requireEditable(const Layer* layer) {
    if (!layer->visible()) refuse(layerName(layer) + " is hidden: show it to edit its art");
    if (layer->locked()) refuse(layerName(layer) + " is locked: unlock it to edit its art");
}

std::vector<Art*> targets(Document& doc, bool need) {
    std::vector<Art*> out;
    for (Art* a : doc.selectedArt())
        if (!a->parent() || !a->parent()->selected()) out.push_back(a);
    if (need && out.empty()) refuse("nothing is selected");
    for (Art* a : out) {
        requireEditable(a->layer());
        for (const Art* p = a; p; p = p->parent())
            if (p->locked() || p->hidden()) refuse("art " + std::to_string(a->id()) + " is locked or hidden");
    }
    return out;
}

Layer* layerArg(Document& doc, const Args& args, const char* key) {
    const std::string name = args.text(key);
    for (size_t i = 0; i < doc.layerCount(); ++i)
        if (doc.layerFromTop(i)->name() == name) return doc.layerFromTop(i);
    refuse("no layer named \"" + name + "\"");
}

AIRealRect boundsOf(Document& doc, const std::vector<Art*>& art) {
    AIRealRect r = kEmptyRect;
    for (Art* a : art) {
        AIRealRect b;
        if (doc.bounds(a, &b) == kNoErr) r = unionRect(r, b);
    }
    return r;
}

void requireInRange(Document& doc, const std::vector<Art*>& art) {
    const AIRealRect r = boundsOf(doc, art);
    if (isEmptyRect(r)) return;
    const double m = std::max({std::fabs(r.left), std::fabs(r.right), std::fabs(r.top), std::fabs(r.bottom)});
    if (!(m <= kMaxCoordinate)) refuse("the art would leave the drawing area (coordinates up to " + show(kMaxCoordinate) + ")");
}

// ---- clipboard ----

Clipboard::Clipboard() { clear(); }
void Clipboard::clear() {
    doc_ = std::make_unique<Document>(612, 792);
    doc_->insertLayer(nullptr, kPlaceAboveAll, nullptr, "Clipboard");
}
Clipboard::~Clipboard() = default;
bool Clipboard::empty() const { return doc_->bottomLayer()->firstArt() == nullptr; }

// ---- the registry ----

const std::vector<Op>& registry() {
    static const std::vector<Op> ops = {
        {"new", nullptr, {"width", "height", "size", "orientation"},
         "a new document: \"size\" Letter|Legal|Tabloid|A3|A4|A5 (\"orientation\": portrait|landscape) or "
         "\"width\", \"height\" in points (1 to 16384)", opNew},
        {"create", "Create", {"shape", "from", "to", "radius", "center", "sides", "points", "inner", "rotation",
                              "anchors", "closed", "tolerance", "fill", "stroke", "strokeWidth"},
         "a shape on the current layer, selected: \"shape\" rectangle|ellipse (\"from\", \"to\" corners; "
         "rectangle \"radius\"), polygon (\"center\", \"radius\", \"sides\"), star (\"center\", \"radius\", "
         "\"inner\", \"points\"), line (\"from\", \"to\"), pen (\"anchors\": [[h, v] | [h, v, inH, inV, outH, outV]]), "
         "pencil (\"points\": [[h, v], ...], \"tolerance\"); \"closed\", \"rotation\" degrees, \"fill\", "
         "\"stroke\", \"strokeWidth\"", opCreate},
        {"move", "Move", {"by"}, "moves the selection \"by\": [dh, dv]", opMove},
        {"scale", "Scale", {"by", "origin", "strokes"},
         "scales the selection \"by\": [sh, sv] about \"origin\" (default: the centre of its bounds); "
         "\"strokes\": true scales stroke widths too", opScale},
        {"rotate", "Rotate", {"angle", "origin"},
         "rotates the selection by \"angle\" degrees (counter-clockwise) about \"origin\"", opRotate},
        {"style", "Style", {"fill", "stroke", "strokeWidth", "opacity", "blend"},
         "paints the selection: \"fill\", \"stroke\" (COLOR), \"strokeWidth\" 0 to 1000, \"opacity\" 0 to 1, "
         "\"blend\" (a mode name or 0 to 15)", opStyle},
        {"delete", "Delete", {}, "deletes the selection", opDelete},
        {"duplicate", "Duplicate", {"by"}, "copies the selection above itself, offset \"by\" [dh, dv]; the copies "
                                           "are selected", opDuplicate},
        {"copy", nullptr, {}, "copies the selection to the clipboard", opCopy},
        {"cut", "Cut", {}, "copies the selection to the clipboard and deletes it", opCut},
        {"paste", "Paste", {"by"}, "pastes the clipboard on top of the current layer, offset \"by\"", opPaste},
        {"group", "Group", {}, "groups the selection where its top-most object was", opGroup},
        {"ungroup", "Ungroup", {}, "releases the selected groups' members", opUngroup},
        {"arrange", "Arrange", {"to"}, "restacks the selection \"to\": forward|backward|front|back", opArrange},
        {"select", nullptr, {"ids", "mode"}, "selects art by id; \"mode\" set|add|toggle", opSelect},
        {"selectAll", nullptr, {}, "selects all art of the current layer", opSelectAll},
        {"deselect", nullptr, {}, "deselects everything", opDeselect},
        {"selectPoints", nullptr, {"paths", "mode"},
         "selects anchor points: \"paths\": [{\"id\": n, \"segments\": [i, ...]}], \"mode\" set|add|toggle",
         opSelectPoints},
        {"movePoints", "Move Points", {"by"}, "moves the selected anchor points with their handles", opMovePoints},
        {"moveHandle", "Move Handle", {"id", "segment", "handle", "to"},
         "moves the \"in\" or \"out\" direction point of one anchor \"to\" a point (a smooth point turns its "
         "other handle along)", opMoveHandle},
        {"newLayer", "New Layer", {"name"}, "a new layer above the current one, made current", opNewLayer},
        {"deleteLayer", "Delete Layer", {"layer"}, "deletes a layer and its art", opDeleteLayer},
        {"renameLayer", "Rename Layer", {"layer", "name"}, "renames a layer", opRenameLayer},
        {"layerVisible", "Show Layer", {"layer", "visible"}, "shows or hides a layer", opLayerVisible},
        {"layerLocked", "Lock Layer", {"layer", "locked"}, "locks or unlocks a layer", opLayerLocked},
        {"moveLayer", "Move Layer", {"layer", "to"}, "moves a layer \"to\" a position (0: the top)", opMoveLayer},
        {"currentLayer", nullptr, {"layer"}, "makes a layer the one new art goes on", opCurrentLayer},
        {"toLayer", "Move to Layer", {"layer"}, "moves the selection to the top of a layer", opToLayer},
        {"text", "Type", {"text", "at", "from", "to", "fontSize", "family", "weight", "style", "align", "letterSpacing",
                          "lineSpacing", "fill"},
         "text on the current layer, selected: \"at\" its first baseline's start (point text) or \"from\", \"to\" "
         "the corners of the box it wraps to (area text); \"text\" (lines end at \\n), \"fontSize\", \"family\", "
         "\"weight\" normal|bold, \"style\" normal|italic, \"align\" left|center|right, \"letterSpacing\", "
         "\"lineSpacing\" (times the size), \"fill\" (COLOR)", opText},
        {"editText", "Type", {"id", "text"}, "replaces the string of text \"id\" (default: the selected text)", opEditText},
        {"textStyle", "Text Style", {"id", "family", "fontSize", "weight", "style", "align", "letterSpacing", "lineSpacing"},
         "sets the font and paragraph settings of the selected text (or text \"id\")", opTextStyle},
        {"transform", "Transform", {"reference", "x", "y", "width", "height", "angle", "strokes"},
         "places the selection's bounds by values: its \"reference\" point (topLeft|top|topRight|left|center|right|"
         "bottomLeft|bottom|bottomRight) moves to \"x\", \"y\", the bounds take \"width\", \"height\" about it, "
         "then turn by \"angle\" degrees; \"strokes\": true scales stroke widths", opTransform},
        {"align", "Align", {"to", "relative"},
         "aligns the selected objects' bounds \"to\": left|center|right|top|middle|bottom, \"relative\" to the "
         "selection or the page", opAlign},
        {"distribute", "Distribute", {"axis", "by", "relative"},
         "spreads the selected objects along \"axis\" horizontal|vertical \"by\" centers|spacing, \"relative\" "
         "to the selection or the page", opDistribute},
        {"addGuide", "Add Guide", {"axis", "at"}, "a \"vertical\" or \"horizontal\" guide \"at\" a position", opAddGuide},
        {"moveGuide", "Move Guide", {"axis", "index", "to"}, "moves guide \"index\" of an axis \"to\" a position",
         opMoveGuide},
        {"deleteGuide", "Delete Guide", {"axis", "index"}, "deletes guide \"index\" of an axis", opDeleteGuide},
        {"grid", "Grid Spacing", {"spacing"}, "sets the grid's \"spacing\" (1 to 10000 points)", opGrid},
        {"stroke", "Stroke Style", {"width", "cap", "join", "miterLimit", "dash", "dashOffset", "start", "end"},
         "the selection's stroke: \"width\" 0 to 1000, \"cap\" butt|round|projecting, \"join\" miter|round|bevel, "
         "\"miterLimit\" 1 to 500, \"dash\" [dash, gap, ...] (up to 6 lengths; [] solid), \"dashOffset\", "
         "arrowheads \"start\", \"end\" none|triangle|open|circle|bar", opStroke},
        {"gradient", "Gradient", {"target", "type", "from", "to", "center", "radius", "stops"},
         "a gradient \"target\" fill|stroke of the selection: \"type\" linear (\"from\", \"to\") or radial "
         "(\"center\", \"radius\"), \"stops\" [{\"offset\", \"color\", \"opacity\"}, ...]", opGradient},
        {"swatch", "Swatch", {"action", "name", "color", "to"},
         "the document's swatches: \"action\" add (\"name\", \"color\"), remove (\"name\") or rename "
         "(\"name\", \"to\")", opSwatch},
        {"eyedropper", "Eyedropper", {"from"}, "gives the selection the fill and stroke of art \"from\" (an id)",
         opEyedropper},
        {"swapPaint", "Swap Fill and Stroke", {}, "swaps the selection's fill and stroke paint", opSwapPaint},
        // Paths: booleans, compound paths, outlines, anchors (Boolean.cpp, Compound.cpp, Anchors.cpp).
        {"union", "Union", {}, "unites the selected paths into one, where the bottom one was, drawn as it is", opUnion},
        {"difference", "Difference", {}, "takes the shapes above from the bottom one", opDifference},
        {"intersection", "Intersection", {}, "keeps what all selected shapes cover", opIntersection},
        {"exclusion", "Exclusion", {}, "keeps what an odd number of the shapes cover", opExclusion},
        {"division", "Division", {}, "cuts the shapes below by the top one into pieces", opDivision},
        {"combine", "Combine", {}, "makes the selected paths one compound path", opCombine},
        {"breakApart", "Break Apart", {}, "makes a compound path's members paths of their own", opBreakApart},
        {"clip", "Make Clipping Mask", {}, "groups the selection as a clip group: the top-most path clips the rest", opClip},
        {"releaseClip", "Release Clipping Mask", {}, "makes the selected clip groups plain groups", opReleaseClip},
        {"fillRule", "Fill Rule", {"rule"}, "sets the fill \"rule\": evenOdd|nonZero", opFillRule},
        {"strokeToPath", "Stroke to Path", {}, "turns strokes into filled outlines, with their caps and joins", opStrokeToPath},
        {"offset", "Offset Path", {"distance", "join", "miterLimit"},
         "grows (or, negative, shrinks) shapes by \"distance\" (-1000 to 1000) with \"join\" miter|round|bevel", opOffset},
        {"addAnchor", "Add Anchor", {"id", "segment", "t"},
         "adds an anchor on segment \"segment\" of path \"id\" at \"t\" (0 to 1), the curve unchanged", opAddAnchor},
        {"deleteAnchors", "Delete Anchors", {}, "deletes the selected anchors, refitting the joined curve", opDeleteAnchors},
        {"convertAnchors", "Convert Anchors", {"to"}, "makes the selected anchors \"to\": corner|smooth", opConvertAnchors},
        {"splitPath", "Split Path", {}, "cuts paths at their selected anchors", opSplitPath},
        {"join", "Join", {}, "joins 2 selected end points: closes a path, or makes 2 paths one", opJoin},
        {"reverse", "Reverse Path", {}, "reverses the direction of the selected paths", opReverse},
        {"simplify", "Simplify", {"tolerance"}, "fewer anchors within \"tolerance\" (0.01 to 100, default 2)", opSimplify},
    };
    return ops;
}

namespace {

const Op* findOp(const std::string& name) {
    for (const Op& op : registry())
        if (name == op.name) return &op;
    return nullptr;
}

}  // namespace

bool isOp(const std::string& name) { return findOp(name) != nullptr; }

std::vector<OpInfo> ops() {
    std::vector<OpInfo> out;
    for (const Op& op : registry()) out.push_back({op.name, op.summary, op.undoName == nullptr});
    return out;
}

Outcome run(Document& doc, Clipboard& clipboard, const json& edit) {
    Outcome out;
    if (!edit.is_object() || !edit.contains("op") || !edit["op"].is_string()) {
        out.error = "expected an edit {\"op\": NAME, ...}, found " + edit.dump();
        return out;
    }
    const std::string name = edit["op"].get<std::string>();
    const Op* op = findOp(name);
    if (!op) {
        std::string list;
        for (const Op& o : registry()) list += std::string(list.empty() ? "" : ", ") + o.name;
        out.error = "unknown edit \"" + name + "\" (one of " + list + ")";
        return out;
    }
    for (auto it = edit.begin(); it != edit.end(); ++it) {
        if (it.key() == "op") continue;
        if (std::none_of(op->keys.begin(), op->keys.end(), [&](const char* k) { return it.key() == k; })) {
            std::string list;
            for (const char* k : op->keys) list += std::string(list.empty() ? "" : ", ") + "\"" + k + "\"";
            out.error = name + ": unknown argument \"" + it.key() + "\"" + (list.empty() ? " (it takes none)" : " (expected " + list + ")");
            return out;
        }
    }
    Args args(edit);
    Ctx ctx{doc, clipboard, args, out, op->undoName ? op->undoName : ""};
    if (!op->undoName) {
        // Selection changes and copies are not undo steps.
        doc.changeSelection([&] {
            try {
                op->handler(ctx);
            } catch (const Refused& r) {
                out.error = name + ": " + std::string(r.what());
            }
        });
        return out;
    }
    doc.commitUndoContext();
    try {
        op->handler(ctx);
    } catch (const Refused& r) {
        doc.undoChanges();
        out.error = name + ": " + std::string(r.what());
        out.made.clear();
        return out;
    }
    if (doc.contextChanged()) {
        doc.setUndoText("Undo " + ctx.undoName, "Redo " + ctx.undoName);
        out.undoName = ctx.undoName;
    }
    doc.commitUndoContext();
    return out;
}

}  // namespace easel::edit

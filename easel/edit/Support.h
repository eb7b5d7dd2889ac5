// What the edit handlers share: typed access to arguments, refusals, the
// selection an edit acts on. Internal to easel/edit.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Edit.h"
#include "core/Input.h"

namespace easel::edit {

// A refused edit: the message says what is wrong and what is expected.
using Refused = InputError;
[[noreturn]] void refuse(const std::string& message);

// Arguments are read like every value from outside.
using Args = Input;

struct Ctx {
    Document& doc;
    Clipboard& clipboard;
    const Args& args;
    Outcome& out;
    std::string undoName;
};

using Handler = void (*)(Ctx&);

struct Op {
    const char* name;
    const char* undoName;  // nullptr: no undo step (selection, copy, new)
    std::vector<const char*> keys;
    const char* summary;
    Handler handler;
};
const std::vector<Op>& registry();

// "layer \"Layer 1\"" for messages.
std::string layerName(const Layer* layer);
// Refuses a locked or hidden layer, naming it; `what` is the edit's object.
void requireEditable(const Layer* layer);
// The selected objects an edit acts on: selected art whose container is
// not selected, in document order. Refused when empty (`need`) or when any
// is on a locked or hidden layer or locked itself.
std::vector<Art*> targets(Document& doc, bool need = true);
Layer* layerArg(Document& doc, const Args& args, const char* key = "layer");
// Union of the bounds of the art.
AIRealRect boundsOf(Document& doc, const std::vector<Art*>& art);
// Refuses art whose bounds left the coordinate range.
void requireInRange(Document& doc, const std::vector<Art*>& art);
void check(ASErr e, const std::string& what);
// COLOR = "none" | {"swatch": NAME} | {"kind": "gray"|"cmyk"|"rgb", "values": [0..1, ...]}
AIColor colorArg(Document& doc, const json& j, const std::string& where);
AIRealPoint centreOf(const AIRealRect& r);
// Transforms each of the art by m (stroke widths by lineScale when
// `strokes`), refusing a result that leaves the coordinate range.
void transformAll(Ctx& c, const std::vector<Art*>& art, const AIRealMatrix& m, float lineScale, bool strokes);
// m about the point o: translate(-o), m, translate(o).
AIRealMatrix about(AIRealPoint o, const AIRealMatrix& m);

// Handlers (Ops.cpp, Arrange.cpp, Transform.cpp, Align.cpp, Guides.cpp).
void opNew(Ctx&);
void opCreate(Ctx&);
void opMove(Ctx&);
void opScale(Ctx&);
void opRotate(Ctx&);
void opStyle(Ctx&);
void opDelete(Ctx&);
void opDuplicate(Ctx&);
void opCopy(Ctx&);
void opCut(Ctx&);
void opPaste(Ctx&);
void opGroup(Ctx&);
void opUngroup(Ctx&);
void opArrange(Ctx&);
void opSelect(Ctx&);
void opSelectAll(Ctx&);
void opDeselect(Ctx&);
void opSelectPoints(Ctx&);
void opMovePoints(Ctx&);
void opMoveHandle(Ctx&);
void opNewLayer(Ctx&);
void opDeleteLayer(Ctx&);
void opRenameLayer(Ctx&);
void opLayerVisible(Ctx&);
void opLayerLocked(Ctx&);
void opMoveLayer(Ctx&);
void opCurrentLayer(Ctx&);
void opToLayer(Ctx&);
void opText(Ctx&);
void opEditText(Ctx&);
void opTextStyle(Ctx&);
void opTransform(Ctx&);
void opAlign(Ctx&);
void opDistribute(Ctx&);
void opAddGuide(Ctx&);
void opMoveGuide(Ctx&);
void opDeleteGuide(Ctx&);
void opGrid(Ctx&);
// Paint.cpp
// Redraws the arrowheads of path art in its stroke's colour (after the stroke changed).
void refreshArrows(Ctx& c, Art* a);
void opStroke(Ctx&);
void opGradient(Ctx&);
void opSwatch(Ctx&);
void opEyedropper(Ctx&);
void opSwapPaint(Ctx&);
// Paths (Boolean.cpp, Compound.cpp, Anchors.cpp).
void opUnion(Ctx&);
void opDifference(Ctx&);
void opIntersection(Ctx&);
void opExclusion(Ctx&);
void opDivision(Ctx&);
void opCombine(Ctx&);
void opBreakApart(Ctx&);
void opFillRule(Ctx&);
void opStrokeToPath(Ctx&);
void opOffset(Ctx&);
void opAddAnchor(Ctx&);
void opDeleteAnchors(Ctx&);
void opConvertAnchors(Ctx&);
void opSplitPath(Ctx&);
void opJoin(Ctx&);
void opReverse(Ctx&);
void opSimplify(Ctx&);
// Clip.cpp
void opClip(Ctx&);
void opReleaseClip(Ctx&);

}  // namespace easel::edit

/*
 * The AI suites: the document, its art and everything the tools do to it.
 * Acquire each by its exact name and version through SPBasicSuite.
 * "During a call" below means: while the host is inside PluginMain.
 */
#ifndef HOST_AISUITES_H
#define HOST_AISUITES_H
// Read as a system header from wherever it is included: the ABI's C macros
// use C casts, which the C++ expanding them must not be warned about.
#pragma GCC system_header

#include "ASTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- art types, paint orders, attributes, transform flags ---- */

enum {
    kUnknownArt = 0,
    kGroupArt = 1,
    kPathArt = 2,
    kCompoundPathArt = 3,
    kTextArt = 4,
    kPlacedArt = 7,
    kTextPathArt = 8,
    kRasterArt = 9,
    kMeshArt = 11,
    kSymbolArt = 13,
    kEnvelopeArt = 14
};

/* Paint orders. 1 to 4 place relative to the reference (prep) art;
 * 5 and 6 ignore it. */
enum {
    kPlaceAbove = 1,
    kPlaceBelow = 2,
    kPlaceInsideOnTop = 3,
    kPlaceInsideOnBottom = 4,
    kPlaceAboveAll = 5, /* top of the current layer */
    kPlaceBelowAll = 6  /* bottom of the current layer */
};

/* Art attributes for matching and user attributes. */
enum { kArtSelected = 0x1, kArtLocked = 0x2, kArtHidden = 0x4 };

/* TransformArt flags. */
enum {
    kTransformObjects = 0x1,
    kTransformFillGradients = 0x2,
    kTransformFillPatterns = 0x4,
    kTransformStrokePatterns = 0x8,
    kScaleLines = 0x10
};

/* Segment selection as GetPathSegmentSelected reports it. */
enum {
    kSegmentNotSelected = 0,
    kSegmentPointSelected = 1,
    kSegmentInSelected = 2,
    kSegmentOutSelected = 4
};

/* ---- AI Plugin ---- */
#define kAIPluginSuite "AI Plugin Suite"
#define kAIPluginSuiteVersion 3
typedef struct AIPluginSuite {
    /* During a call. The plug-in's option word. */
    ASErr (*GetPluginOptions)(SPPluginRef plugin, ASInt32* options);
    /* During a call. Replaces the plug-in's option word. */
    ASErr (*SetPluginOptions)(SPPluginRef plugin, ASInt32 options);
    /* During a call. The plug-in's name, NUL-terminated, at most max bytes. */
    ASErr (*GetPluginName)(SPPluginRef plugin, char* name, ASInt32 max);
} AIPluginSuite;

/* ---- AI MdMemory ---- */
#define kAIMdMemorySuite "AI MdMemory Suite"
#define kAIMdMemorySuiteVersion 1
typedef struct AIMdMemorySuite {
    /* Any time. A new handle to a zero-filled block of size bytes. */
    ASErr (*MdMemoryNewHandle)(size_t size, AIMdMemoryHandle* handle);
    /* Any time. Frees a handle from this suite or from GetMatchingArt. */
    ASErr (*MdMemoryDisposeHandle)(AIMdMemoryHandle handle);
    /* Any time. The size of the handle's block in bytes. */
    ASErr (*MdMemoryGetSize)(AIMdMemoryHandle handle, size_t* size);
    /* Any time. Resizes the block; the handle stays valid. */
    ASErr (*MdMemoryResize)(AIMdMemoryHandle handle, size_t newSize);
} AIMdMemorySuite;

/* ---- AI Real Math ---- */
#define kAIRealMathSuite "AI Real Math Suite"
#define kAIRealMathSuiteVersion 1
typedef struct AIRealMathSuite {
    /* Any time. Radians in, the sine out. */
    ASErr (*AIRealSin)(AIReal a, AIReal* result);
    /* Any time. Radians in, the cosine out. */
    ASErr (*AIRealCos)(AIReal a, AIReal* result);
    /* Any time. d x pi / 180. */
    ASErr (*DegreesToRadians)(AIReal degrees, AIReal* result);
    /* Any time. r x 180 / pi. */
    ASErr (*RadiansToDegrees)(AIReal radians, AIReal* result);
    /* Any time. Square root; a negative argument is refused with kBadParameterErr. */
    ASErr (*AIRealSqrt)(AIReal a, AIReal* result);
    /* Any time. atan2(q.v - p.v, q.h - p.h): the direction from p to q, radians. */
    ASErr (*AIRealPointAngle)(const AIRealPoint* p, const AIRealPoint* q, AIReal* result);
    /* Any time. q + (p - q) t. */
    ASErr (*AIRealPointInterpolate)(const AIRealPoint* p, const AIRealPoint* q, AIReal t, AIRealPoint* result);
    /* Any time. Euclidean distance of p and q. */
    ASErr (*AIRealPointLength)(const AIRealPoint* p, const AIRealPoint* q, AIReal* result);
    /* Any time. m := identity. */
    ASErr (*AIRealMatrixSetIdentity)(AIRealMatrix* m);
    /* Any time. m := translation by (tx, ty). */
    ASErr (*AIRealMatrixSetTranslate)(AIRealMatrix* m, AIReal tx, AIReal ty);
    /* Any time. Appends a translation after the steps already in m. */
    ASErr (*AIRealMatrixConcatTranslate)(AIRealMatrix* m, AIReal tx, AIReal ty);
    /* Any time. Appends a scale about the origin after the steps in m. */
    ASErr (*AIRealMatrixConcatScale)(AIRealMatrix* m, AIReal sh, AIReal sv);
    /* Any time. Appends a rotation (radians, counter-clockwise) after the steps in m. */
    ASErr (*AIRealMatrixConcatRotate)(AIRealMatrix* m, AIReal angle);
    /* Any time. result := m1 then m2 (m2 takes effect after m1). */
    ASErr (*AIRealMatrixConcat)(const AIRealMatrix* m1, const AIRealMatrix* m2, AIRealMatrix* result);
    /* Any time. Applies m to p. */
    ASErr (*AIRealMatrixXformPoint)(const AIRealMatrix* m, const AIRealPoint* p, AIRealPoint* result);
    /* Any time. The inverse; kBadParameterErr for a singular matrix. */
    ASErr (*AIRealMatrixInvert)(const AIRealMatrix* m, AIRealMatrix* result);
} AIRealMathSuite;

/* ---- AI Art ---- */
#define kAIArtSuite "AI Art Suite"
#define kAIArtSuiteVersion 9
typedef struct AIArtSuite {
    /* During a call. New empty art of the given type (group, path, compound
     * path) placed by paintOrder relative to prep (NULL for orders 5 and 6). */
    ASErr (*NewArt)(ASInt16 type, ASInt16 paintOrder, AIArtHandle prep, AIArtHandle* newArt);
    /* During a call. Removes art (and its children) from the document. */
    ASErr (*DisposeArt)(AIArtHandle art);
    /* During a call. Moves art by paintOrder relative to prep. */
    ASErr (*ReorderArt)(AIArtHandle art, ASInt16 paintOrder, AIArtHandle prep);
    /* During a call. A copy of art (with children, style, tags) placed by
     * paintOrder relative to prep. */
    ASErr (*DuplicateArt)(AIArtHandle art, ASInt16 paintOrder, AIArtHandle prep, AIArtHandle* newArt);
    /* During a call. The art type (kGroupArt ...). */
    ASErr (*GetArtType)(AIArtHandle art, ASInt16* type);
    /* During a call. Exact bounds: for Bezier paths the curve extrema. */
    ASErr (*GetArtBounds)(AIArtHandle art, AIRealRect* bounds);
    /* During a call. The bottom-most child, or NULL. */
    ASErr (*GetArtFirstChild)(AIArtHandle art, AIArtHandle* child);
    /* During a call. The top-most child, or NULL. */
    ASErr (*GetArtLastChild)(AIArtHandle art, AIArtHandle* child);
    /* During a call. The next art above in the same container, or NULL. */
    ASErr (*GetArtSibling)(AIArtHandle art, AIArtHandle* sibling);
    /* During a call. The next art below in the same container, or NULL. */
    ASErr (*GetArtPriorSibling)(AIArtHandle art, AIArtHandle* sibling);
    /* During a call. The containing group or compound path, NULL at layer level. */
    ASErr (*GetArtParent)(AIArtHandle art, AIArtHandle* parent);
    /* During a call. The layer that holds art. */
    ASErr (*GetLayerOfArt)(AIArtHandle art, AILayerHandle* layer);
    /* During a call. The bottom-most art of a layer, or NULL. */
    ASErr (*GetFirstArtOfLayer)(AILayerHandle layer, AIArtHandle* art);
    /* During a call. *attr := the attributes of art among whichAttr. */
    ASErr (*GetArtUserAttr)(AIArtHandle art, ASInt32 whichAttr, ASInt32* attr);
    /* During a call. Sets the attributes among whichAttr to attr. */
    ASErr (*SetArtUserAttr)(AIArtHandle art, ASInt32 whichAttr, ASInt32 attr);
    /* During a call. *valid := 1 when art is live in the current document. */
    ASErr (*ValidArt)(AIArtHandle art, ASBoolean* valid);
} AIArtSuite;

/* ---- AI User ---- */
#define kAIUserSuite "AI User Suite"
#define kAIUserSuiteVersion 5
typedef struct AIUserSuite {
    /* Any time. Parses a length-prefixed string (at most 255 characters) as a real. */
    ASErr (*AIStringToReal)(const unsigned char* pstring, AIReal* value);
    /* Any time. Formats value with precision decimals as a length-prefixed
     * string into pstring (256 bytes). */
    ASErr (*AIRealToString)(AIReal value, ASInt16 precision, unsigned char* pstring);
} AIUserSuite;

/* ---- AI Path ---- */
#define kAIPathSuite "AI Path Suite"
#define kAIPathSuiteVersion 4
typedef struct AIPathSuite {
    /* During a call. Number of segments of a path. */
    ASErr (*GetPathSegmentCount)(AIArtHandle path, ASInt16* count);
    /* During a call. Grows or shrinks the path; kTooManyPointsErr past the limit. */
    ASErr (*SetPathSegmentCount)(AIArtHandle path, ASInt16 count);
    /* During a call. Copies count segments from segNumber into segments. */
    ASErr (*GetPathSegments)(AIArtHandle path, ASInt16 segNumber, ASInt16 count, AIPathSegment* segments);
    /* During a call. Writes count segments at segNumber; non-finite values are refused. */
    ASErr (*SetPathSegments)(AIArtHandle path, ASInt16 segNumber, ASInt16 count, const AIPathSegment* segments);
    /* During a call. *closed := 1 for a closed path. */
    ASErr (*GetPathClosed)(AIArtHandle path, ASBoolean* closed);
    /* During a call. Opens or closes the path. */
    ASErr (*SetPathClosed)(AIArtHandle path, ASBoolean closed);
    /* During a call. Which parts of the segment are selected (kSegment... bits). */
    ASErr (*GetPathSegmentSelected)(AIArtHandle path, ASInt16 segNumber, ASInt16* selected);
    /* During a call. Selects parts of the segment (kSegment... bits). */
    ASErr (*SetPathSegmentSelected)(AIArtHandle path, ASInt16 segNumber, ASInt16 selected);
} AIPathSuite;

/* ---- AI Pathfinder (held, never called) ---- */
#define kAIPathfinderSuite "AI Pathfinder Suite"
#define kAIPathfinderSuiteVersion 4
typedef struct AIPathfinderSuite {
    /* During a call. Unites the given art into one compound path. */
    ASErr (*DoUniteEffect)(AIArtHandle* art, ASInt32 count, AIArtHandle* result);
} AIPathfinderSuite;

/* ---- AI Path Style ---- */
#define kAIPathStyleSuite "AI Path Style Suite"
#define kAIPathStyleSuiteVersion 5
typedef struct AIPathStyleSuite {
    /* During a call. The fill and stroke of a path or compound path. */
    ASErr (*GetPathStyle)(AIArtHandle art, AIPathStyle* style);
    /* During a call. Replaces the fill and stroke; non-finite values are refused. */
    ASErr (*SetPathStyle)(AIArtHandle art, const AIPathStyle* style);
} AIPathStyleSuite;

/* ---- AI Undo ---- */
#define kAIUndoSuite "AI Undo Suite"
#define kAIUndoSuiteVersion 4
typedef struct AIUndoSuite {
    /* During a call. Reverts every change of the open undo context. */
    ASErr (*UndoChanges)(void);
    /* During a call. Names the user-level step of the open context. */
    ASErr (*SetUndoText)(const char* undoText, const char* redoText);
} AIUndoSuite;

/* ---- AI Matching Art ---- */
#define kAIMatchingArtSuite "AI Matching Art Suite"
#define kAIMatchingArtSuiteVersion 4
typedef struct AIMatchingArtSpec {
    ASInt16 type;      /* art type, or kAnyArt */
    ASInt32 whichAttr; /* attribute bits to test */
    ASInt32 attr;      /* their required values */
} AIMatchingArtSpec;
#define kAnyArt ((ASInt16)-1)
typedef struct AIMatchingArtSuite {
    /* During a call. Handle to an array of the art matching any criterion, in
     * document order; free it with MdMemoryDisposeHandle. None: NULL, 0. */
    ASErr (*GetMatchingArt)(const AIMatchingArtSpec* specs, ASInt16 numSpecs, AIArtHandle*** matches, ASInt32* numMatches);
    /* During a call. The same for every selected art object. */
    ASErr (*GetSelectedArt)(AIArtHandle*** matches, ASInt32* numMatches);
} AIMatchingArtSuite;

/* ---- AI Transform Art ---- */
#define kAITransformArtSuite "AI Transform Art Suite"
#define kAITransformArtSuiteVersion 1
typedef struct AITransformArtSuite {
    /* During a call. Transforms art by matrix; with kScaleLines stroke widths
     * are multiplied by lineScale. Non-finite results are refused. */
    ASErr (*TransformArt)(AIArtHandle art, const AIRealMatrix* matrix, AIReal lineScale, ASInt32 flags);
} AITransformArtSuite;

/* ---- AI Tag ---- */
#define kAITagSuite "AI Tag Suite"
#define kAITagSuiteVersion 2
typedef struct AITagSuite {
    /* During a call. Sets tag `name` of art; type "string" (value a C string)
     * or "real" (value an AIReal*). */
    ASErr (*SetTag)(AIArtHandle art, const char* name, const char* type, const void* value);
    /* During a call. Reads tag `name`; for "string" value is a buffer of max bytes. */
    ASErr (*GetTag)(AIArtHandle art, const char* name, const char* type, void* value, ASInt32 max);
    /* During a call. Removes tag `name`. */
    ASErr (*DeleteTag)(AIArtHandle art, const char* name);
    /* During a call. *has := 1 when art has tag `name`. */
    ASErr (*HasTag)(AIArtHandle art, const char* name, ASBoolean* has);
} AITagSuite;

/* ---- AI Random ---- */
#define kAIRandomSuite "AI Random Suite"
#define kAIRandomSuiteVersion 3
typedef struct AIRandomSuite {
    /* Any time. Uniform in [0, 1) from the document's seeded generator. */
    ASErr (*FloatRnd)(AIReal* value);
    /* Any time. Restarts the generator. */
    ASErr (*SetRndSeed)(ASInt32 seed);
    /* Any time. The seed the generator last started from. */
    ASErr (*GetRndSeed)(ASInt32* seed);
} AIRandomSuite;

/* ---- AI Blend Style ---- */
#define kAIBlendStyleSuite "AI Blend Style Suite"
#define kAIBlendStyleSuiteVersion 2
enum {
    kAINormalBlendingMode = 0,
    kAIMultiplyBlendingMode, kAIScreenBlendingMode, kAIOverlayBlendingMode,
    kAISoftLightBlendingMode, kAIHardLightBlendingMode, kAIColorDodgeBlendingMode,
    kAIColorBurnBlendingMode, kAIDarkenBlendingMode, kAILightenBlendingMode,
    kAIDifferenceBlendingMode, kAIExclusionBlendingMode, kAIHueBlendingMode,
    kAISaturationBlendingMode, kAIColorBlendingMode, kAILuminosityBlendingMode /* 15 */
};
typedef struct AIBlendStyleSuite {
    /* During a call. Opacity 0 .. 1. */
    ASErr (*GetOpacity)(AIArtHandle art, AIReal* opacity);
    /* During a call. Opacity 0 .. 1; non-finite values are refused. */
    ASErr (*SetOpacity)(AIArtHandle art, AIReal opacity);
    /* During a call. Blend mode 0 .. 15. */
    ASErr (*GetBlendingMode)(AIArtHandle art, ASInt32* mode);
    /* During a call. Blend mode 0 .. 15; others are refused. */
    ASErr (*SetBlendingMode)(AIArtHandle art, ASInt32 mode);
} AIBlendStyleSuite;

/* ---- AI Art Style (held, never called) ---- */
#define kAIArtStyleSuite "AI Art Style Suite"
#define kAIArtStyleSuiteVersion 3
typedef struct AIArtStyleSuite {
    /* During a call. Whether art carries an art style beyond fill and stroke. */
    ASErr (*HasArtStyle)(AIArtHandle art, ASBoolean* has);
} AIArtStyleSuite;

/* ---- AI Swatch List ---- */
#define kAISwatchListSuite "AI Swatch List Suite"
#define kAISwatchListSuiteVersion 4
typedef struct AISwatchListSuite {
    /* During a call. Swatches of list (NULL: the current document's). */
    ASErr (*CountSwatches)(AISwatchListRef list, ASInt32* count);
    /* During a call. Swatch n of list counted from 0; NULL past the end. */
    ASErr (*GetNthSwatch)(AISwatchListRef list, ASInt32 n, AISwatchRef* swatch);
    /* During a call. The swatch's colour. */
    ASErr (*GetAIColor)(AISwatchRef swatch, AIColor* color);
    /* During a call. The swatch's name, NUL-terminated, at most max bytes. */
    ASErr (*GetSwatchName)(AISwatchRef swatch, char* name, ASInt32 max);
} AISwatchListSuite;

/* ---- AI Shape Construction ---- */
#define kAIShapeConstructionSuite "AI Shape Construction Suite"
#define kAIShapeConstructionSuiteVersion 4
typedef struct AIShapeConstructionSuite {
    /* During a call. A closed rectangle path above all art with the host's
     * default style for new art. */
    ASErr (*NewRect)(AIReal top, AIReal left, AIReal bottom, AIReal right, ASBoolean reversed, AIArtHandle* newArt);
    /* During a call. A closed ellipse path inside the rectangle. */
    ASErr (*NewOval)(AIReal top, AIReal left, AIReal bottom, AIReal right, ASBoolean reversed, AIArtHandle* newArt);
} AIShapeConstructionSuite;

/* ---- AI Preference (held, never called) ---- */
#define kAIPreferenceSuite "AI Preference Suite"
#define kAIPreferenceSuiteVersion 2
typedef struct AIPreferenceSuite {
    /* Any time. Reads an integer preference; kBadParameterErr when unset. */
    ASErr (*GetIntegerPreference)(const char* prefix, const char* suffix, ASInt32* value);
    /* Any time. Writes an integer preference for the host session. */
    ASErr (*PutIntegerPreference)(const char* prefix, const char* suffix, ASInt32 value);
} AIPreferenceSuite;

/* ---- AI Document ---- */
#define kAIDocumentSuite "AI Document Suite"
#define kAIDocumentSuiteVersion 7
typedef struct AIDocumentSetup {
    AIReal width;  /* page width, points */
    AIReal height; /* page height, points */
    ASBoolean showPlacedImages;
} AIDocumentSetup;
typedef struct AIDocumentSuite {
    /* During a call. The current document's setup. */
    ASErr (*GetDocumentSetup)(AIDocumentSetup* setup);
    /* During a call. Changes the page size. */
    ASErr (*SetDocumentSetup)(const AIDocumentSetup* setup);
} AIDocumentSuite;

/* ---- AI Envelope ---- */
#define kAIEnvelopeSuite "AI Envelope Suite"
#define kAIEnvelopeSuiteVersion 1
typedef struct AIEnvelopeOptions {
    ASInt32 options;  /* option bits; 0 for the defaults */
    ASInt32 fidelity; /* 0 .. 100: how closely curves follow the warp */
} AIEnvelopeOptions;
typedef struct AIEnvelopeSuite {
    /* During a call. Wraps the listed art in an envelope; the envelope object
     * is consumed. Geometry is unchanged until a warp is set. */
    ASErr (*MakeEnvelope)(AIArtHandle* art, ASInt32 count, AIArtHandle envelopeObject,
                          const AIEnvelopeOptions* options, AIArtHandle* envelope);
    /* During a call. Style 1 .. 15, bend and distortions -1 .. 1, rotate90 0 or 1. */
    ASErr (*SetEnvelopeWarp)(AIArtHandle envelope, ASInt32 style, AIReal bend,
                             AIReal horizontalDistortion, AIReal verticalDistortion, ASBoolean rotate90);
    /* During a call. The warp last set (style 0 when none). */
    ASErr (*GetEnvelopeWarp)(AIArtHandle envelope, ASInt32* style, AIReal* bend,
                             AIReal* horizontalDistortion, AIReal* verticalDistortion, ASBoolean* rotate90);
    /* During a call. Replaces the envelope by its contents, unwarped. */
    ASErr (*ReleaseEnvelope)(AIArtHandle envelope);
} AIEnvelopeSuite;

/* ---- AI Layer ---- */
#define kAILayerSuite "AI Layer Suite"
#define kAILayerSuiteVersion 9
typedef struct AILayerSuite {
    /* During a call. A new layer placed by paintOrder relative to layer
     * (NULL with 5: on top of all layers, with 6: below all). */
    ASErr (*InsertLayer)(AILayerHandle layer, ASInt16 paintOrder, AILayerHandle* newLayer);
    /* During a call. Number of layers. */
    ASErr (*CountLayers)(ASInt32* count);
    /* During a call. Layer n counted from the top (0). */
    ASErr (*GetNthLayer)(ASInt32 n, AILayerHandle* layer);
    /* During a call. The layer new art goes into. */
    ASErr (*GetCurrentLayer)(AILayerHandle* layer);
    /* During a call. The layer's name, NUL-terminated, at most max bytes. */
    ASErr (*GetLayerTitle)(AILayerHandle layer, char* title, ASInt32 max);
    /* During a call. Renames the layer. */
    ASErr (*SetLayerTitle)(AILayerHandle layer, const char* title);
    /* During a call. */
    ASErr (*GetLayerVisible)(AILayerHandle layer, ASBoolean* visible);
    /* During a call. */
    ASErr (*SetLayerVisible)(AILayerHandle layer, ASBoolean visible);
    /* During a call. Editable = not locked. */
    ASErr (*GetLayerEditable)(AILayerHandle layer, ASBoolean* editable);
    /* During a call. */
    ASErr (*SetLayerEditable)(AILayerHandle layer, ASBoolean editable);
} AILayerSuite;

/* ---- AI Tool ---- */
#define kAIToolSuite "AI Tool Suite"
#define kAIToolSuiteVersion 9
#define kNoTool ((ASInt32)-2)
enum { kToolWantsToTrackCursorOption = 1 };
typedef struct AIAddToolData {
    const char* title;
    const char* tooltip;
    ADMIconRef icon;
    ASInt32 helpID;
    ASInt32 sameGroupAs;   /* tool number, or kNoTool */
    ASInt32 sameToolsetAs; /* tool number, or kNoTool */
} AIAddToolData;
typedef struct AIToolSuite {
    /* At start-up. Registers a tool named `name`; *tool receives its handle. */
    ASErr (*AddTool)(SPPluginRef plugin, const char* name, const AIAddToolData* data, ASInt32 options, AIToolHandle* tool);
    /* Any time. The tool number of the tool named `name`; kBadParameterErr when none. */
    ASErr (*GetToolNumberFromName)(const char* name, ASInt32* number);
    /* Any time. The tool number of a handle. */
    ASErr (*GetToolNumberFromHandle)(AIToolHandle tool, ASInt32* number);
    /* Any time. The registered name of a tool. */
    ASErr (*GetToolName)(AIToolHandle tool, const char** name);
    /* Any time. *hasPressure := 1 when the input device reports pressure. */
    ASErr (*SystemHasPressure)(ASBoolean* hasPressure);
} AIToolSuite;

#ifdef __cplusplus
}
#endif

#endif

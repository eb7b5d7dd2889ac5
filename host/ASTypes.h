/*
 * Basic types shared by the host (easel) and its plug-ins.
 *
 * Plain C: no C++ types, exceptions or allocations cross this boundary.
 * Every suite operation returns an ASErr (0 = success) and gives its results
 * through out-parameters. Handles are opaque pointers owned by the host.
 */
#ifndef HOST_ASTYPES_H
#define HOST_ASTYPES_H
// Read as a system header from wherever it is included: the ABI's C macros
// use C casts, which the C++ expanding them must not be warned about.
#pragma GCC system_header

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t ASErr;
typedef int32_t ASInt32;
typedef int16_t ASInt16;
typedef uint8_t ASBoolean; /* 0 false, anything else true */
typedef float AIReal;      /* every real of the ABI is a 32-bit float */

/* A four-character code: the first character is the most significant byte. */
#define AS_FOURCC(a, b, c, d) \
    ((ASErr)(((uint32_t)(uint8_t)(a) << 24) | ((uint32_t)(uint8_t)(b) << 16) | \
             ((uint32_t)(uint8_t)(c) << 8) | (uint32_t)(uint8_t)(d)))

/* Result codes. */
#define kNoErr ((ASErr)0)
#define kCancelErr AS_FOURCC('S', 'T', 'O', 'P')      /* the user cancelled */
#define kSuiteNotFoundErr AS_FOURCC('S', '!', 'F', 'd') /* no such suite or version */
#define kNoIconErr AS_FOURCC('!', 'i', 'c', 'o')      /* a tool icon could not be loaded */
#define kBadSelectionErr AS_FOURCC('!', 's', 'e', 'l') /* the selection does not fit */
#define kOutOfMemoryErr ((ASErr)-108)                 /* memory or art budget exceeded */
#define kLockedLayerErr AS_FOURCC('S', 'E', 'G', 'M')  /* target layer locked or hidden */
#define kTooManyPointsErr AS_FOURCC('N', 'E', 'S', 'S') /* path past the anchor-point limit */
#define kBadParameterErr AS_FOURCC('P', 'A', 'R', 'M') /* null, dangling or non-finite argument */
#define kNotImplementedErr AS_FOURCC('!', 'I', 'M', 'P') /* the operation is declared but unavailable */

/* Opaque handles. */
typedef struct _t_SPPlugin* SPPluginRef;
typedef struct _t_SPAccess* SPAccessRef;
typedef struct _t_AIArt* AIArtHandle;
typedef struct _t_AILayer* AILayerHandle;
typedef struct _t_AITool* AIToolHandle;
typedef struct _t_AISwatch* AISwatchRef;
typedef struct _t_AISwatchList* AISwatchListRef;
typedef struct _t_AIMdMemory* AIMdMemoryHandle; /* really a pointer to a block pointer */
typedef struct _t_ADMDialog* ADMDialogRef;
typedef struct _t_ADMItem* ADMItemRef;
typedef struct _t_ADMList* ADMListRef;
typedef struct _t_ADMEntry* ADMEntryRef;
typedef struct _t_ADMIcon* ADMIconRef;
typedef struct _t_ADMTracker* ADMTrackerRef;
typedef struct _t_ADMNotifier* ADMNotifierRef;

/* Geometry: points, vertical axis up; rectangles are left, top, right, bottom. */
typedef struct AIRealPoint {
    AIReal h;
    AIReal v;
} AIRealPoint;

typedef struct AIRealRect {
    AIReal left;
    AIReal top;
    AIReal right;
    AIReal bottom;
} AIRealRect;

/* Affine 2 x 3 matrix: h' = a h + c v + tx, v' = b h + d v + ty. */
typedef struct AIRealMatrix {
    AIReal a, b, c, d, tx, ty;
} AIRealMatrix;

/* Integer rectangle in screen pixels (dialogs and items). */
typedef struct ASRect {
    ASInt32 left;
    ASInt32 top;
    ASInt32 right;
    ASInt32 bottom;
} ASRect;

/* Colour kinds. Components are kept as given, unclamped. */
enum {
    kGrayColor = 0,     /* c[0] grey, 0 white ... 1 black */
    kFourColor = 1,     /* c[0..3] cyan, magenta, yellow, black */
    kPatternColor = 2,  /* ref: pattern definition of the document */
    kCustomColor = 3,   /* spot colour: ref names a swatch, c[0] tint */
    kGradientColor = 4, /* ref: gradient definition of the document */
    kThreeColor = 5,    /* c[0..2] red, green, blue, 0 black ... 1 full */
    kNoneColor = 6
};

typedef struct AIColor {
    ASInt32 kind;
    AIReal c[4];
    ASInt32 ref; /* definition index for pattern, spot and gradient colours */
} AIColor;

typedef struct AIFillStyle {
    AIColor color;
    ASBoolean overprint;
} AIFillStyle;

enum { kButtCap = 0, kRoundCap = 1, kProjectingCap = 2 };
enum { kMiterJoin = 0, kRoundJoin = 1, kBevelJoin = 2 };

#define kMaxDashComponents 6

typedef struct AIStrokeStyle {
    AIColor color;
    ASBoolean overprint;
    AIReal width;
    ASInt32 cap;
    ASInt32 join;
    AIReal miterLimit;
    ASInt32 dashCount; /* 0 = solid */
    AIReal dashOffset;
    AIReal dash[kMaxDashComponents];
} AIStrokeStyle;

typedef struct AIPathStyle {
    ASBoolean fillPaint;
    AIFillStyle fill;
    ASBoolean strokePaint;
    AIStrokeStyle stroke;
    ASBoolean evenOdd; /* fill rule: even-odd instead of non-zero */
} AIPathStyle;

/* One path segment: the anchor and its two direction points, absolute. */
typedef struct AIPathSegment {
    AIRealPoint p;
    AIRealPoint in;
    AIRealPoint out;
    ASBoolean corner;
} AIPathSegment;

#ifdef __cplusplus
}
#endif

#endif

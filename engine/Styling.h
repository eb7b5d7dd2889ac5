// Copy styling: the fill and stroke colour rules, the swatch choice, line
// width scaling, random width, and a copy's opacity and blend mode.
#ifndef ENGINE_STYLING_H
#define ENGINE_STYLING_H

#include "HostCalls.h"

namespace brivane::engine {

// Entries of the fill and stroke colour popups.
enum ColourMode : ASInt32 {
    kColourIgnore = 0,
    kToWhite,
    kToBlack,
    kRandomColours,
    kRandomSwatches,
    kToWhiteMidpoint,
    kToSwatch,
    kToHalfColour,
    kToInverted,
    kAlternateWhite,
    kAlternateBlack,
    kAlternateSwatch,
    kAlternateInverted,
    kToHalfColourInverted,
    kTenPercentReduction,
    kColourModeCount
};

// What a colour rule works from besides the colour itself.
struct ColourRuleInput {
    ASInt32 mode;         // popup index
    ASInt32 swatchCount;  // swatches of the document this event
    ASInt32 swatchOption; // the fill or stroke swatch option
    ASInt32 index;        // the copy's index n in its run (grid tools: the row)
    ASInt32 period;       // P; half period h is P / 2 truncated
};

// Looks up swatch number `index` (counted from 0); false when there is none.
struct SwatchSource {
    bool (*colour)(void* context, ASInt32 index, AIColor* colour);
    void* context;
};

// The document's swatches through the host's swatch list suite.
SwatchSource HostSwatches();

// The swatch number the swatch rules use for a swatch option: the option
// limited to the last swatch, and never [None] or [Registration].
ASInt32 ChooseSwatch(ASInt32 option, ASInt32 swatchCount);

// Applies one colour rule to colour. Grey, four-colour and three-colour
// colours change by the rule; every other kind only by " Random swatches".
// Results are kept within 0 .. 1, and a period of 0 leaves the progression
// rules at the colour's start. Returns whether the colour changed.
bool ApplyColourRule(const ColourRuleInput& input, AIColor& colour, const RandomSource& random,
                     const SwatchSource& swatches);

// The stroke popup's entries 13 and 14 leave the stroke colour alone.
inline bool StrokeRuleChangesColour(ASInt32 mode) { return mode >= kToWhite && mode <= kAlternateInverted; }

// Reads the art's path style, applies the fill (or stroke) rule, writes the
// style back. Nothing is read or written for mode 0; failures are ignored.
void ApplyFillRule(AIArtHandle art, const ColourRuleInput& input);
void ApplyStrokeRule(AIArtHandle art, const ColourRuleInput& input);

// Stroke width := width x FloatRnd (never below 0).
void RandomiseWidth(AIArtHandle art);

// The line factor for lineWidthMode: 1, or the geometric mean of the scale's
// magnitudes (for mode 2 only on copies with an even index).
ASErr LineScale(ASInt32 mode, AIReal sx, AIReal sy, bool evenIndex, AIReal* factor);

// Random opacity, pressure opacity and random blend of a copy, in that order.
// Returns the code of the last of them that ran (0 when none did).
struct OpacityOptions {
    bool randomOpacity;
    bool usePressure;
    bool randomBlend;
    AIReal pressureFactor;
};
ASErr ApplyOpacityAndBlend(AIArtHandle art, const OpacityOptions& options);

// The blend mode a draw in [0, 1) picks: modes 1 .. 15 at 1/20 each, else 0.
ASInt32 BlendModeOfDraw(AIReal draw);

} // namespace brivane::engine

#endif

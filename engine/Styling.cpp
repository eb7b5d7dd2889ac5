#include "engine/Styling.h"

#include "frame/Suites.h"

namespace brivane::engine {

using namespace frame;

namespace {

constexpr AIReal kNinetyPercent = 0.9f;

int ComponentCount(ASInt32 kind) {
    switch (kind) {
    case kGrayColor: return 1;
    case kFourColor: return 4;
    case kThreeColor: return 3;
    default: return 0;
    }
}

AIReal Clamp01(AIReal x) { return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x); }

// n / P as the progression rules use it; a period of 0 has no progression.
AIReal Fraction(ASInt32 n, ASInt32 period) {
    if (period == 0) return 0.0f;
    return static_cast<AIReal>(n) / static_cast<AIReal>(period);
}

bool SwatchColour(const SwatchSource& swatches, ASInt32 index, AIColor* colour) {
    return swatches.colour(swatches.context, index, colour);
}

} // namespace

ASInt32 ChooseSwatch(ASInt32 option, ASInt32 swatchCount) {
    ASInt32 s = option < swatchCount - 1 ? option : swatchCount - 1;
    if (s < 0) s = 0;
    if (s == 0 || s == 1) s = 2;
    return s;
}

namespace {

// What the per-mode steps of a colour rule work on: the colour's components
// and the rule's progression n / P (and n / 2P).
struct RuleColour {
    AIReal* x;
    int count;
    bool three; // RGB: white is 1, where grey and CMYK have white at 0
    AIReal f;
    AIReal halfF;
};

// kRandomColours: every component drawn anew (CMYK black scaled by a draw).
void RandomiseColour(AIColor& colour, const RandomSource& random) {
    AIReal* x = colour.c;
    if (colour.kind == kGrayColor) {
        x[0] = random();
    } else {
        for (int k = 0; k < 3; ++k) x[k] = random();
        if (colour.kind == kFourColor) x[3] = random() * x[3];
    }
}

// The alternating modes: odd copies take white, black, the swatch or the
// inverse; even copies are left alone (false).
bool AlternateColour(const ColourRuleInput& in, const RuleColour& c, const SwatchSource& swatches) {
    if ((in.index % 2) == 0) return false;
    AIReal* x = c.x;
    switch (in.mode) {
    case kAlternateWhite:
        for (int k = 0; k < c.count; ++k) x[k] = c.three ? 1.0f : 0.0f;
        return true;
    case kAlternateBlack:
        for (int k = 0; k < c.count; ++k) x[k] = c.three ? 0.0f : 1.0f;
        return true;
    case kAlternateSwatch: {
        AIColor s{};
        if (!SwatchColour(swatches, ChooseSwatch(in.swatchOption, in.swatchCount), &s)) return false;
        for (int k = 0; k < c.count; ++k) x[k] = s.c[k];
        return true;
    }
    case kAlternateInverted:
        for (int k = 0; k < c.count; ++k) x[k] = 1.0f - x[k];
        return true;
    default: return false;
    }
}

// The progressive modes: each component moved towards its target by the
// copy's share of the period. False for a mode that is not one of them or a
// swatch that cannot be read.
bool ProgressColour(const ColourRuleInput& in, const RuleColour& c, bool gray, const SwatchSource& swatches) {
    AIReal* x = c.x;
    const AIReal f = c.f;
    switch (in.mode) {
    case kToWhite:
        for (int k = 0; k < c.count; ++k) x[k] = c.three ? x[k] + (1.0f - x[k]) * f : x[k] - x[k] * f;
        return true;
    case kToBlack:
        for (int k = 0; k < c.count; ++k) x[k] = c.three ? x[k] - x[k] * f : x[k] + (1.0f - x[k]) * f;
        return true;
    case kToWhiteMidpoint: {
        const ASInt32 half = in.period / 2;
        const AIReal t = Fraction(in.index <= half ? in.index : half - in.index, in.period);
        for (int k = 0; k < c.count; ++k) x[k] = c.three ? x[k] + (1.0f - x[k]) * t : x[k] - x[k] * t;
        return true;
    }
    case kToSwatch: {
        AIColor s{};
        if (!SwatchColour(swatches, ChooseSwatch(in.swatchOption, in.swatchCount), &s)) return false;
        for (int k = 0; k < c.count; ++k) x[k] = x[k] + (s.c[k] - x[k]) * f;
        return true;
    }
    case kToHalfColour:
        for (int k = 0; k < c.count; ++k) x[k] = x[k] - x[k] * c.halfF;
        return true;
    case kToInverted:
        for (int k = 0; k < c.count; ++k) x[k] = x[k] + (1.0f - 2.0f * x[k]) * f;
        return true;
    case kToHalfColourInverted:
        if (gray) {
            x[0] = x[0] - (1.0f - x[0]) * c.halfF;
        } else {
            for (int k = 0; k < c.count; ++k) {
                const AIReal s = (1.0f - x[k]) * c.halfF;
                x[k] = x[k] > 1.0f - x[k] / 2.0f ? x[k] - s : x[k] + s;
            }
        }
        return true;
    case kTenPercentReduction:
        for (int k = 0; k < c.count; ++k) x[k] = x[k] - kNinetyPercent * x[k] * f;
        return true;
    default: return false;
    }
}

} // namespace

bool ApplyColourRule(const ColourRuleInput& in, AIColor& colour, const RandomSource& random,
                     const SwatchSource& swatches) {
    if (in.mode == kRandomSwatches) {
        const AIReal r = random();
        const ASInt32 drawn = static_cast<ASInt32>(r * static_cast<AIReal>(in.swatchCount)) + 1;
        AIColor chosen{};
        if (!SwatchColour(swatches, ChooseSwatch(drawn, in.swatchCount), &chosen)) return false;
        colour = chosen;
        return true;
    }
    const int count = ComponentCount(colour.kind);
    if (count == 0 || in.mode <= kColourIgnore || in.mode >= kColourModeCount) return false;

    const RuleColour c{colour.c, count, colour.kind == kThreeColor, Fraction(in.index, in.period),
                       Fraction(in.index, 2 * in.period)};
    bool changed = true;
    switch (in.mode) {
    case kRandomColours: RandomiseColour(colour, random); break;
    case kAlternateWhite:
    case kAlternateBlack:
    case kAlternateSwatch:
    case kAlternateInverted: changed = AlternateColour(in, c, swatches); break;
    default: changed = ProgressColour(in, c, colour.kind == kGrayColor, swatches); break;
    }
    if (!changed) return false;
    for (int k = 0; k < count; ++k) c.x[k] = Clamp01(c.x[k]);
    return true;
}

SwatchSource HostSwatches() {
    return {[](void*, ASInt32 index, AIColor* colour) {
                AISwatchRef swatch = nullptr;
                if (SwatchList()->GetNthSwatch(nullptr, index, &swatch) != kNoErr || swatch == nullptr) return false;
                return SwatchList()->GetAIColor(swatch, colour) == kNoErr;
            },
            nullptr};
}

void ApplyFillRule(AIArtHandle art, const ColourRuleInput& input) {
    if (input.mode == kColourIgnore) return;
    AIPathStyle style{};
    if (PathStyle()->GetPathStyle(art, &style) != kNoErr) return;
    ApplyColourRule(input, style.fill.color, HostRandomSource(), HostSwatches());
    static_cast<void>(PathStyle()->SetPathStyle(art, &style));
}

void ApplyStrokeRule(AIArtHandle art, const ColourRuleInput& input) {
    if (input.mode == kColourIgnore) return;
    AIPathStyle style{};
    if (PathStyle()->GetPathStyle(art, &style) != kNoErr) return;
    if (StrokeRuleChangesColour(input.mode))
        ApplyColourRule(input, style.stroke.color, HostRandomSource(), HostSwatches());
    static_cast<void>(PathStyle()->SetPathStyle(art, &style));
}

void RandomiseWidth(AIArtHandle art) {
    AIPathStyle style{};
    if (PathStyle()->GetPathStyle(art, &style) != kNoErr) return;
    style.stroke.width = style.stroke.width * HostRandom();
    if (style.stroke.width < 0.0f) style.stroke.width = 0.0f;
    static_cast<void>(PathStyle()->SetPathStyle(art, &style));
}

ASErr LineScale(ASInt32 mode, AIReal sx, AIReal sy, bool evenIndex, AIReal* factor) {
    *factor = 1.0f;
    if (mode != 1 && !(mode == 2 && evenIndex)) return kNoErr;
    // A mirrored copy keeps its line widths' size: the magnitudes count.
    AIReal rootX = 0.0f;
    AIReal rootY = 0.0f;
    ASErr error = RealMath()->AIRealSqrt(sx < 0.0f ? -sx : sx, &rootX);
    if (error == kNoErr) error = RealMath()->AIRealSqrt(sy < 0.0f ? -sy : sy, &rootY);
    if (error == kNoErr) *factor = rootX * rootY;
    return error;
}

ASInt32 BlendModeOfDraw(AIReal draw) {
    const ASInt32 mode = static_cast<ASInt32>(draw * 20.0f);
    return mode > 15 || mode < 0 ? 0 : mode;
}

ASErr ApplyOpacityAndBlend(AIArtHandle art, const OpacityOptions& options) {
    ASErr code = kNoErr;
    if (options.randomOpacity) code = BlendStyle()->SetOpacity(art, HostRandom());
    if (options.usePressure) code = BlendStyle()->SetOpacity(art, options.pressureFactor);
    if (options.randomBlend) code = BlendStyle()->SetBlendingMode(art, BlendModeOfDraw(HostRandom()));
    return code;
}

} // namespace brivane::engine

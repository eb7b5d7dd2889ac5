#include "Styling.h"

#include "Suites.h"

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

    const bool three = colour.kind == kThreeColor;
    const bool odd = (in.index % 2) != 0;
    const AIReal f = Fraction(in.index, in.period);
    const AIReal halfF = Fraction(in.index, 2 * in.period);
    AIReal* x = colour.c;

    switch (in.mode) {
    case kToWhite:
        for (int k = 0; k < count; ++k) x[k] = three ? x[k] + (1.0f - x[k]) * f : x[k] - x[k] * f;
        break;
    case kToBlack:
        for (int k = 0; k < count; ++k) x[k] = three ? x[k] - x[k] * f : x[k] + (1.0f - x[k]) * f;
        break;
    case kRandomColours:
        if (colour.kind == kGrayColor) {
            x[0] = random();
        } else {
            for (int k = 0; k < 3; ++k) x[k] = random();
            if (colour.kind == kFourColor) x[3] = random() * x[3];
        }
        break;
    case kToWhiteMidpoint: {
        const ASInt32 half = in.period / 2;
        const AIReal t = Fraction(in.index <= half ? in.index : half - in.index, in.period);
        for (int k = 0; k < count; ++k) x[k] = three ? x[k] + (1.0f - x[k]) * t : x[k] - x[k] * t;
        break;
    }
    case kToSwatch: {
        AIColor s{};
        if (!SwatchColour(swatches, ChooseSwatch(in.swatchOption, in.swatchCount), &s)) return false;
        for (int k = 0; k < count; ++k) x[k] = x[k] + (s.c[k] - x[k]) * f;
        break;
    }
    case kToHalfColour:
        for (int k = 0; k < count; ++k) x[k] = x[k] - x[k] * halfF;
        break;
    case kToInverted:
        for (int k = 0; k < count; ++k) x[k] = x[k] + (1.0f - 2.0f * x[k]) * f;
        break;
    case kAlternateWhite:
        if (!odd) return false;
        for (int k = 0; k < count; ++k) x[k] = three ? 1.0f : 0.0f;
        break;
    case kAlternateBlack:
        if (!odd) return false;
        for (int k = 0; k < count; ++k) x[k] = three ? 0.0f : 1.0f;
        break;
    case kAlternateSwatch: {
        if (!odd) return false;
        AIColor s{};
        if (!SwatchColour(swatches, ChooseSwatch(in.swatchOption, in.swatchCount), &s)) return false;
        for (int k = 0; k < count; ++k) x[k] = s.c[k];
        break;
    }
    case kAlternateInverted:
        if (!odd) return false;
        for (int k = 0; k < count; ++k) x[k] = 1.0f - x[k];
        break;
    case kToHalfColourInverted:
        if (colour.kind == kGrayColor) {
            x[0] = x[0] - (1.0f - x[0]) * halfF;
        } else {
            for (int k = 0; k < count; ++k) {
                const AIReal s = (1.0f - x[k]) * halfF;
                x[k] = x[k] > 1.0f - x[k] / 2.0f ? x[k] - s : x[k] + s;
            }
        }
        break;
    case kTenPercentReduction:
        for (int k = 0; k < count; ++k) x[k] = x[k] - kNinetyPercent * x[k] * f;
        break;
    default:
        return false;
    }
    for (int k = 0; k < count; ++k) x[k] = Clamp01(x[k]);
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

#include "model/Names.h"

#include "host/AISuites.h"
#include "host/ASTypes.h"

namespace easel {

namespace {

const char* const kBlendNames[16] = {"normal",     "multiply",   "screen",      "overlay",
                                     "soft-light", "hard-light", "color-dodge", "color-burn",
                                     "darken",     "lighten",    "difference",  "exclusion",
                                     "hue",        "saturation", "color",       "luminosity"};

struct TypeName {
    int16_t type;
    const char* name;
};
const TypeName kTypeNames[] = {{kGroupArt, "group"},   {kPathArt, "path"},     {kCompoundPathArt, "compound"},
                               {kTextArt, "text"},     {kPlacedArt, "image"},  {kTextPathArt, "textpath"},
                               {kRasterArt, "raster"}, {kMeshArt, "mesh"},     {kSymbolArt, "symbol"},
                               {kEnvelopeArt, "envelope"}};

struct KindName {
    int32_t kind;
    const char* name;
};
const KindName kKindNames[] = {{kGrayColor, "gray"},         {kFourColor, "cmyk"},    {kThreeColor, "rgb"},
                               {kPatternColor, "pattern"},   {kGradientColor, "gradient"},
                               {kCustomColor, "spot"},       {kNoneColor, "none"}};

}  // namespace

const char* artTypeName(int16_t type) {
    for (const TypeName& n : kTypeNames) {
        if (n.type == type) return n.name;
    }
    return "unknown";
}

int16_t artTypeFromName(std::string_view name) {
    for (const TypeName& n : kTypeNames) {
        if (name == n.name) return n.type;
    }
    return kUnknownArt;
}

const char* blendModeName(int32_t mode) { return mode >= 0 && mode < 16 ? kBlendNames[mode] : "normal"; }

int32_t blendModeFromName(std::string_view name) {
    for (int32_t i = 0; i < 16; ++i) {
        if (name == kBlendNames[i]) return i;
    }
    return -1;
}

const char* colorKindName(int32_t kind) {
    for (const KindName& k : kKindNames) {
        if (k.kind == kind) return k.name;
    }
    return "none";
}

int32_t colorKindFromName(std::string_view name) {
    for (const KindName& k : kKindNames) {
        if (name == k.name) return k.kind;
    }
    return -1;
}

size_t colorKindValueCount(int32_t kind) {
    switch (kind) {
        case kGrayColor: return 1;
        case kFourColor: return 4;
        case kThreeColor: return 3;
        case kCustomColor: return 1;
        default: return 0;
    }
}

bool colorKindHasRef(int32_t kind) {
    return kind == kPatternColor || kind == kGradientColor || kind == kCustomColor;
}

}  // namespace easel

#include "HostCalls.h"

#include "frame/Suites.h"

namespace brivane::engine {

using namespace frame;

AIReal HostRandom() {
    AIReal value = 0.0f;
    if (Random()->FloatRnd(&value) != kNoErr) return 0.0f;
    return value;
}

RandomSource HostRandomSource() {
    return {[](void*) { return HostRandom(); }, nullptr};
}

MatrixBuilder::MatrixBuilder(AIReal tx, AIReal ty) { error_ = RealMath()->AIRealMatrixSetTranslate(&matrix_, tx, ty); }

MatrixBuilder& MatrixBuilder::Translate(AIReal tx, AIReal ty) {
    if (error_ == kNoErr) error_ = RealMath()->AIRealMatrixConcatTranslate(&matrix_, tx, ty);
    return *this;
}

MatrixBuilder& MatrixBuilder::Rotate(AIReal radians) {
    if (error_ == kNoErr) error_ = RealMath()->AIRealMatrixConcatRotate(&matrix_, radians);
    return *this;
}

MatrixBuilder& MatrixBuilder::Scale(AIReal sh, AIReal sv) {
    if (error_ == kNoErr) error_ = RealMath()->AIRealMatrixConcatScale(&matrix_, sh, sv);
    return *this;
}

void TagCopy(AIArtHandle art) { static_cast<void>(Tag()->SetTag(art, "brivane", "string", "brivane")); }

ASErr TagAndTransform(AIArtHandle art, const AIRealMatrix& matrix, AIReal lineScale, ASInt32 flags) {
    ASInt16 type = kUnknownArt;
    ASErr error = Art()->GetArtType(art, &type);
    if (error != kNoErr) return error;
    if (type != kCompoundPathArt) {
        TagCopy(art);
        return TransformArt()->TransformArt(art, &matrix, lineScale, flags);
    }
    AIArtHandle child = nullptr;
    error = Art()->GetArtFirstChild(art, &child);
    while (error == kNoErr && child != nullptr) {
        TagCopy(child);
        error = TransformArt()->TransformArt(child, &matrix, lineScale, flags);
        if (error == kNoErr) error = Art()->GetArtSibling(child, &child);
    }
    return error;
}

} // namespace brivane::engine

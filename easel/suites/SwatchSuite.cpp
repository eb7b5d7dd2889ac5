// AI Swatch List: the current document's swatches. A NULL list means the
// current document's list, which is the only list there is; a swatch handle
// is checked against that list before it is read.
#include "SuiteSupport.h"
#include "SuiteTables.h"

namespace easel {
namespace {

AISwatchListRef listOf(Document* doc) { return reinterpret_cast<AISwatchListRef>(doc); }

Document* resolveList(AISwatchListRef list) {
    Document* doc = currentDocument();
    if (doc == nullptr || (list != nullptr && list != listOf(doc))) return nullptr;
    return doc;
}

ASErr countSwatches(AISwatchListRef list, ASInt32* count) {
    Document* doc = resolveList(list);
    if (doc == nullptr || count == nullptr) return kBadParameterErr;
    *count = static_cast<ASInt32>(doc->swatchCount());
    return kNoErr;
}

ASErr getNthSwatch(AISwatchListRef list, ASInt32 n, AISwatchRef* swatch) {
    Document* doc = resolveList(list);
    if (doc == nullptr || swatch == nullptr) return kBadParameterErr;
    Swatch* s = n >= 0 ? doc->swatch(static_cast<size_t>(n)) : nullptr;
    *swatch = s ? s->handle() : nullptr;
    return kNoErr;
}

Swatch* resolveSwatch(AISwatchRef swatch) {
    Document* doc = currentDocument();
    Swatch* s = Swatch::fromHandle(swatch);
    return (doc != nullptr && s != nullptr && doc->isSwatch(s)) ? s : nullptr;
}

ASErr getAIColor(AISwatchRef swatch, AIColor* color) {
    Swatch* s = resolveSwatch(swatch);
    if (s == nullptr || color == nullptr) return kBadParameterErr;
    *color = s->color;
    return kNoErr;
}

ASErr getSwatchName(AISwatchRef swatch, char* name, ASInt32 max) {
    Swatch* s = resolveSwatch(swatch);
    if (s == nullptr) return kBadParameterErr;
    return copyText(s->name, name, max);
}

const AISwatchListSuite kSuite = {countSwatches, getNthSwatch, getAIColor, getSwatchName};

}  // namespace

const AISwatchListSuite* suites::swatchListSuite() { return &kSuite; }

}  // namespace easel

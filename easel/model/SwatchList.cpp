#include "SwatchList.h"

#include "Journal.h"
#include "PaintChecks.h"

namespace easel {

ASErr appendSwatch(Document& doc, const std::string& name, const AIColor& color) {
    if (!finiteColor(color)) return kBadParameterErr;
    Journal::of(doc).recordSwatches();
    return doc.addSwatch(name, color);
}

ASErr removeSwatch(Document& doc, size_t n) {
    auto& list = Journal::swatchesOf(doc);
    if (n >= list.size()) return kBadParameterErr;
    Journal::of(doc).recordSwatches();
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(n));
    return kNoErr;
}

ASErr renameSwatch(Document& doc, size_t n, const std::string& name) {
    auto& list = Journal::swatchesOf(doc);
    if (n >= list.size()) return kBadParameterErr;
    Journal::of(doc).recordSwatches();
    list[n]->name = name;
    return kNoErr;
}

}  // namespace easel

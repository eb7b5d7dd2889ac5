// libFuzzer target for the JSON document reader. Any input must be read or
// refused without a crash, a sanitizer report or a partial document; what
// is read stores only finite numbers and writes back as a file that reads
// again to the same document. The streamed and the whole reading must give
// the same verdict, error and document.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/Document.h"
#include "io/json/DocumentJson.h"

namespace {
bool finitePoint(const AIRealPoint& p) { return std::isfinite(p.h) && std::isfinite(p.v); }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<easel::Document> doc, whole;
    std::string error, wholeError;
    const bool read = easel::readDocumentJson(text, doc, error);
    if (read != easel::readDocumentJson(text, whole, wholeError, easel::JsonReading::Whole) || error != wholeError)
        std::abort();
    if (!read) {
        if (doc || whole || error.empty()) std::abort();
        return 0;
    }
    if (!doc || !whole) std::abort();
    bool finite = std::isfinite(doc->width()) && std::isfinite(doc->height());
    doc->forEachArt([&](easel::Art* a) {
        finite = finite && std::isfinite(a->opacity());
        if (a->hasPath())
            for (const AIPathSegment& s : a->segments())
                finite = finite && finitePoint(s.p) && finitePoint(s.in) && finitePoint(s.out);
    });
    if (!finite) std::abort();
    const std::string written = easel::writeDocumentJson(*doc);
    if (easel::writeDocumentJson(*whole) != written) std::abort();
    std::unique_ptr<easel::Document> again;
    if (!easel::readDocumentJson(written, again, error)) std::abort();
    if (easel::writeDocumentJson(*again) != written) std::abort();
    return 0;
}

// libFuzzer target for the SVG reader. Any input must be read or refused
// without a crash, a sanitizer report or a partial document; what is read
// must write back as SVG that reads again to the same document.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "DocumentJson.h"
#include "SvgExport.h"
#include "SvgImport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    easel::SvgLimits limits;
    limits.maxObjects = 20000;  // keeps each run short
    limits.maxTotalPoints = 200000;
    std::unique_ptr<easel::Document> doc;
    easel::SvgReport report;
    std::string error;
    if (!easel::readSvg(text, doc, report, error, limits)) {
        if (doc || error.empty()) std::abort();  // refused: no document, and a reason
        return 0;
    }
    if (!doc) std::abort();
    const std::string svg = easel::writeSvg(*doc);
    std::unique_ptr<easel::Document> again;
    easel::SvgReport report2;
    if (!easel::readSvg(svg, again, report2, error)) std::abort();
    if (easel::writeDocumentJson(*again) != easel::writeDocumentJson(*doc)) std::abort();
    return 0;
}

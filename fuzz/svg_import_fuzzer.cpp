// libFuzzer target for the SVG reader. Any input must be read or refused
// without a crash, a sanitizer report or a partial document, alike whether
// it is read as it streams in or whole; what is read must write back as SVG
// that reads again to the same document.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "io/json/DocumentJson.h"
#include "io/svg/SvgExport.h"
#include "io/svg/SvgImport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    easel::SvgLimits limits;
    limits.maxObjects = 20000;  // keeps each run short
    limits.maxTotalPoints = 200000;
    std::unique_ptr<easel::Document> doc;
    easel::SvgReport report;
    std::string error;
    const bool ok = easel::readSvg(text, doc, report, error, limits);
    // Read whole rather than as the XML streams in, the file gives the same
    // verdict, document and notes.
    easel::SvgLimits whole = limits;
    whole.stream = false;
    std::unique_ptr<easel::Document> wholeDoc;
    easel::SvgReport wholeReport;
    std::string wholeError;
    if (easel::readSvg(text, wholeDoc, wholeReport, wholeError, whole) != ok || wholeError != error ||
        wholeReport.notes != report.notes ||
        (ok && doc && wholeDoc && easel::writeDocumentJson(*doc) != easel::writeDocumentJson(*wholeDoc))) {
        std::fprintf(stderr, "read as a stream and read whole differ: %s / %s\n", error.c_str(), wholeError.c_str());
        std::abort();
    }
    if (!ok) {
        if (doc || error.empty()) std::abort();  // refused: no document, and a reason
        return 0;
    }
    if (!doc) std::abort();
    const std::string svg = easel::writeSvg(*doc);
    std::unique_ptr<easel::Document> again;
    easel::SvgReport report2;
    if (!easel::readSvg(svg, again, report2, error)) std::abort();
    const std::string first = easel::writeDocumentJson(*doc), second = easel::writeDocumentJson(*again);
    if (first != second) {
        // Says where the two documents part, so that a finding can be read without a debugger.
        size_t at = 0;
        while (at < first.size() && at < second.size() && first[at] == second[at]) ++at;
        const size_t from = at > 200 ? at - 200 : 0;
        std::fprintf(stderr, "read back differs at byte %zu:\n--- read\n%s\n--- written and read again\n%s\n--- SVG written\n%s\n", at,
                     first.substr(from, 400).c_str(), second.substr(from, 400).c_str(), svg.c_str());
        std::abort();
    }
    return 0;
}

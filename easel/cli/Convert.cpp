// The convert and render commands.
#include <cmath>
#include <ostream>

#include "io/FileWrite.h"
#include "io/render/Render.h"
#include "cli/Program.h"
#include "model/Document.h"
#include "run/DocumentFiles.h"
#include "io/render/RenderPdf.h"

namespace easel::cli {

namespace fs = std::filesystem;
using run::lowerExtension;
using run::readDocumentFile;
using run::writeDocumentFile;

int convert(const ConvertOptions& o, std::ostream& out, std::ostream& err) {
    for (const fs::path& p : {o.input, o.output}) {
        const std::string e = lowerExtension(p);
        if (e != ".svg" && e != ".json") {
            err << "easel convert: " << p.string() << ": expected a .json or .svg file\n";
            return 2;
        }
    }
    std::unique_ptr<Document> doc;
    std::string error;
    if (!readDocumentFile(o.input, doc, error, err)) {
        err << "easel convert: " << o.input.string() << ": " << error << "\n";
        return 1;
    }
    if (!writeDocumentFile(o.output, *doc, error)) {
        err << "easel convert: " << error << "\n";
        return 1;
    }
    out << "wrote " << o.output.string() << "\n";
    return 0;
}

namespace {

bool isPdfPath(const fs::path& p) { return lowerExtension(p) == ".pdf"; }

// A PDF's page is the document's: a picture size does not apply.
int renderPdfFile(const Document& doc, const RenderOptions& o, std::ostream& out, std::ostream& err) {
    if (o.width != 0 || o.scale != 0) {
        err << "easel render: a PDF has the document's page size; --width and --scale are for PNG pictures\n";
        return 2;
    }
    std::string pdf, error;
    if (!renderPdf(doc, pdf, error) || !writeFileAtomically(o.output.string(), pdf, error)) {
        err << "easel render: " << error << "\n";
        return 1;
    }
    out << "wrote " << o.output.string() << " (" << doc.width() << " x " << doc.height() << " pt)\n";
    return 0;
}

}  // namespace

int render(const RenderOptions& o, std::ostream& out, std::ostream& err) {
    if (o.width != 0 && o.scale != 0) {
        err << "easel render: give --width or --scale, not both\n";
        return 2;
    }
    if (o.width < 0 || o.scale < 0 || !std::isfinite(o.scale)) {
        err << "easel render: --width and --scale must be positive\n";
        return 2;
    }
    std::unique_ptr<Document> doc;
    std::string error;
    if (!readDocumentFile(o.document, doc, error, err)) {
        err << "easel render: " << o.document.string() << ": " << error << "\n";
        return 1;
    }
    if (isPdfPath(o.output)) return renderPdfFile(*doc, o, out, err);
    Image image;
    std::string png;
    if (!renderDocument(*doc, RenderSize{o.width, o.scale}, image, error) || !encodePng(image, png, error) ||
        !writeFileAtomically(o.output.string(), png, error)) {
        err << "easel render: " << error << "\n";
        return 1;
    }
    out << "wrote " << o.output.string() << " (" << image.width << " x " << image.height << ")\n";
    return 0;
}

}  // namespace easel::cli

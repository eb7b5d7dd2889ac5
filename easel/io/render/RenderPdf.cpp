#include "RenderPdf.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <cmath>
#include <memory>

#include "model/Document.h"
#include "RenderCairo.h"
#include "Rsvg.h"
#include "io/svg/SvgExport.h"

namespace easel {

namespace {

// The largest page PDF readers take: 200 inches a side (14,400 points).
constexpr double kMaxPagePoints = 14400;

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};

}  // namespace

bool renderPdf(const Document& doc, std::string& pdf, std::string& error) {
    const double width = static_cast<double>(doc.width()), height = static_cast<double>(doc.height());
    if (!(width >= 1 && height >= 1 && width <= kMaxPagePoints && height <= kMaxPagePoints)) {
        error = "page size " + std::to_string(width) + " x " + std::to_string(height) +
                " points out of range for PDF (1 to 14400 points a side)";
        return false;
    }
    std::unique_ptr<RsvgHandle, RsvgHandleDeleter> svg(loadSvgHandle(writeSvg(doc), error));
    const Rsvg* lib = svg ? rsvg(error) : nullptr;  // loaded: the handle exists
    if (!lib) return false;
    std::string bytes;
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
        cairo_pdf_surface_create_for_stream(appendBytes, &bytes, width, height));
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, "easel");
    {
        std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(surface.get()));
        // The SVG's user units are the document's points, the PDF's too.
        const RsvgRectangle page{0, 0, width, height};
        GError* err = nullptr;
        if (!lib->renderDocument(svg.get(), cr.get(), &page, &err)) {
            error = std::string("librsvg cannot draw the document: ") +
                    (err && err->message ? err->message : "unknown error");
            if (err) lib->errorFree(err);
            return false;
        }
    }
    cairo_surface_finish(surface.get());
    if (const cairo_status_t st = cairo_surface_status(surface.get()); st != CAIRO_STATUS_SUCCESS) {
        error = std::string("cannot write the PDF: ") + cairo_status_to_string(st);
        return false;
    }
    pdf = std::move(bytes);
    return true;
}

}  // namespace easel

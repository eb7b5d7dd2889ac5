// librsvg, opened the first time SVG text is drawn. A command that draws no
// SVG (most renders draw the model with cairo directly) then never loads it
// nor what it brings (pango, gdk-pixbuf, gio and some thirty more), which
// took most of every command's start-up time and memory.
#pragma once

#include <librsvg/rsvg.h>

#include <string>

namespace easel {

struct Rsvg {
    decltype(&rsvg_handle_new_from_data) newFromData;
    decltype(&rsvg_handle_set_dpi) setDpi;
    decltype(&rsvg_handle_get_intrinsic_size_in_pixels) intrinsicSize;
    decltype(&rsvg_handle_get_geometry_for_element) geometryForElement;
    decltype(&rsvg_handle_render_document) renderDocument;
    decltype(&g_object_unref) unref;
    decltype(&g_error_free) errorFree;
};

// The library's functions, loaded once; nullptr and why when it cannot be.
const Rsvg* rsvg(std::string& error);

// Lets go of a handle (for std::unique_ptr): only handles rsvg() gave exist.
struct RsvgHandleDeleter {
    void operator()(RsvgHandle* h) const;
};

}  // namespace easel

#include "Rsvg.h"

#include <dlfcn.h>

namespace easel {

namespace {

// librsvg 2's file name as the dynamic linker knows it (its soname).
constexpr const char* kLibrary = "librsvg-2.so.2";

struct Loaded {
    Rsvg functions{};
    std::string error;  // empty when loaded
};

template <typename F>
bool find(void* library, const char* name, F& out, std::string& error) {
    out = reinterpret_cast<F>(dlsym(library, name));
    if (!out && error.empty()) error = std::string(kLibrary) + " has no " + name;
    return out != nullptr;
}

Loaded load() {
    Loaded l;
    // Kept open for the rest of the run: handles may live until the end.
    void* library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = dlerror();
        l.error = std::string("cannot load ") + kLibrary + " to draw SVG" + (why ? std::string(": ") + why : "") +
                  " (install librsvg2-2)";
        return l;
    }
    Rsvg& f = l.functions;
    // GLib's functions come with librsvg, which depends on them.
    const bool ok = find(library, "rsvg_handle_new_from_data", f.newFromData, l.error) &
                    find(library, "rsvg_handle_set_dpi", f.setDpi, l.error) &
                    find(library, "rsvg_handle_get_intrinsic_size_in_pixels", f.intrinsicSize, l.error) &
                    find(library, "rsvg_handle_get_geometry_for_element", f.geometryForElement, l.error) &
                    find(library, "rsvg_handle_render_document", f.renderDocument, l.error) &
                    find(library, "g_object_unref", f.unref, l.error) &
                    find(library, "g_error_free", f.errorFree, l.error);
    if (!ok) dlclose(library);
    return l;
}

const Loaded& loaded() {
    static const Loaded l = load();
    return l;
}

}  // namespace

const Rsvg* rsvg(std::string& error) {
    const Loaded& l = loaded();
    if (!l.error.empty()) {
        error = l.error;
        return nullptr;
    }
    return &l.functions;
}

void RsvgHandleDeleter::operator()(RsvgHandle* h) const {
    // A handle exists only when the library was loaded.
    if (h) loaded().functions.unref(h);
}

}  // namespace easel

// libFuzzer target for documents to SVG and pictures. Any document the JSON
// reader takes must write SVG that is well-formed and holds nothing the rule
// of what kept SVG may hold refuses (no script, handler or script link, the
// writer's own data-easel-* attributes and layer labels aside, which are
// inert text), and draw as a small picture, without a crash or a sanitizer
// report.
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "io/json/DocumentJson.h"
#include "io/render/Render.h"
#include "io/svg/SvgAllow.h"
#include "io/svg/SvgExport.h"

namespace {

// Leaves out the attributes that carry the document's own text as data.
void dropDataAttributes(xmlNodePtr n) {
    std::vector<xmlNodePtr> stack{n};
    while (!stack.empty()) {
        xmlNodePtr e = stack.back();
        stack.pop_back();
        if (e->type != XML_ELEMENT_NODE) continue;
        for (xmlAttrPtr a = e->properties; a;) {
            xmlAttrPtr next = a->next;
            const std::string name = reinterpret_cast<const char*>(a->name);
            if (name.rfind("data-easel-", 0) == 0 || (name == "label" && a->ns)) xmlRemoveProp(a);
            a = next;
        }
        for (xmlNodePtr c = e->children; c; c = c->next) stack.push_back(c);
    }
}

}  // namespace

// Text is drawn through fontconfig, whose process-wide font caches are
// never freed: not leaks of the code under test.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<easel::Document> doc;
    std::string error;
    if (!easel::readDocumentJson(text, doc, error)) return 0;
    const std::string svg = easel::writeSvg(*doc);
    if (svg.size() > 0x7fffffff) std::abort();
    xmlDocPtr parsed = xmlReadMemory(svg.data(), static_cast<int>(svg.size()), "written.svg", nullptr,
                                     XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!parsed) {
        std::fprintf(stderr, "the SVG written is not well-formed:\n%s\n", svg.c_str());
        std::abort();
    }
    dropDataAttributes(xmlDocGetRootElement(parsed));
    const std::string why = easel::refusedSvgTree(xmlDocGetRootElement(parsed));
    xmlFreeDoc(parsed);
    if (!why.empty()) {
        std::fprintf(stderr, "the SVG written holds what the rule refuses (%s):\n%s\n", why.c_str(), svg.c_str());
        std::abort();
    }
    easel::Image picture;
    if (easel::renderDocument(*doc, easel::RenderSize{24, 0}, picture, error)) {
        std::string png;
        if (!easel::encodePng(picture, png, error)) std::abort();
    } else if (error.empty()) {
        std::abort();
    }
    return 0;
}

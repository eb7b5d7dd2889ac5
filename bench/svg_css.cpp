// Style sheets in SVG files: reading a 10,000-element file with and without
// a 50-rule sheet, and two ways of finding each element's rules: the
// selector engine over the libxml2 tree (as the reader does), and the same
// selectors written as XPath and evaluated by libxml2, the results gathered
// per element.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "io/svg/SvgCss.h"
#include "io/svg/SvgImport.h"

namespace {

// 100 groups of 99 shapes each (paths, rects, circles), classes, ids and
// data attributes for the rules to find.
std::string bigFile(const std::string& sheet) {
    std::string s = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1000\" height=\"1000\">";
    if (!sheet.empty()) s += "<style>" + sheet + "</style>";
    int n = 0;
    for (int g = 0; g < 100; ++g) {
        s += "<g class=\"g" + std::to_string(g % 10) + "\" id=\"grp" + std::to_string(g) + "\">";
        for (int k = 0; k < 99; ++k, ++n) {
            const std::string common = " id=\"e" + std::to_string(n) + "\" class=\"c" + std::to_string(n % 10) +
                                       " s" + std::to_string(n % 7) + "\" data-k=\"v" + std::to_string(n % 20) + "\"";
            const int x = (n * 7) % 1000, y = (n * 13) % 1000;
            if (k % 3 == 0)
                s += "<path" + common + " d=\"M" + std::to_string(x) + " " + std::to_string(y) + "h5v5h-5z\"/>";
            else if (k % 3 == 1)
                s += "<rect" + common + " x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) +
                     "\" width=\"4\" height=\"4\"/>";
            else
                s += "<circle" + common + " cx=\"" + std::to_string(x) + "\" cy=\"" + std::to_string(y) + "\" r=\"2\"/>";
        }
        s += "</g>";
    }
    return s + "</svg>";
}

// Fifty rules: ten of each kind, as CSS and as XPath.
struct Rules {
    std::string css;
    std::vector<std::string> xpath;
};
Rules fiftyRules() {
    Rules r;
    auto hasClass = [](const std::string& c) {
        return "contains(concat(' ', normalize-space(@class), ' '), ' " + c + " ')";
    };
    for (int k = 0; k < 10; ++k) {
        const std::string n = std::to_string(k), fill = " { fill: #" + std::to_string(100000 + k) + " }\n";
        r.css += ".c" + n + fill;
        r.xpath.push_back("//*[" + hasClass("c" + n) + "]");
        r.css += "g.g" + n + " path" + fill;
        r.xpath.push_back("//svg:g[" + hasClass("g" + n) + "]//svg:path");
        r.css += "#e" + std::to_string(k * 997) + fill;
        r.xpath.push_back("//*[@id='e" + std::to_string(k * 997) + "']");
        r.css += "g > rect:nth-child(3n+" + std::to_string(k % 3 + 1) + ")" + fill;
        r.xpath.push_back("//svg:g/svg:rect[(count(preceding-sibling::*) + 1 - " + std::to_string(k % 3 + 1) +
                          ") mod 3 = 0]");
        r.css += "[data-k^=v" + n + "]" + fill;
        r.xpath.push_back("//*[starts-with(@data-k, 'v" + n + "')]");
    }
    return r;
}

void elements(xmlNodePtr n, std::vector<xmlNodePtr>& out) {
    for (; n; n = n->next) {
        if (n->type != XML_ELEMENT_NODE) continue;
        out.push_back(n);
        elements(n->children, out);
    }
}

void readWithoutSheet(benchmark::State& state) {
    const std::string file = bigFile("");
    for (auto _ : state) {
        std::unique_ptr<easel::Document> doc;
        easel::SvgReport report;
        std::string error;
        benchmark::DoNotOptimize(easel::readSvg(file, doc, report, error));
    }
}
BENCHMARK(readWithoutSheet)->Unit(benchmark::kMillisecond);

void readWithSheet(benchmark::State& state) {
    const std::string file = bigFile(fiftyRules().css);
    for (auto _ : state) {
        std::unique_ptr<easel::Document> doc;
        easel::SvgReport report;
        std::string error;
        benchmark::DoNotOptimize(easel::readSvg(file, doc, report, error));
    }
}
BENCHMARK(readWithSheet)->Unit(benchmark::kMillisecond);

struct Tree {
    xmlDocPtr doc;
    std::vector<xmlNodePtr> all;
    Tree() : doc(nullptr) {
        const std::string file = bigFile("");
        doc = xmlReadMemory(file.data(), static_cast<int>(file.size()), nullptr, nullptr, XML_PARSE_NONET);
        elements(xmlDocGetRootElement(doc), all);
    }
    ~Tree() { xmlFreeDoc(doc); }
};

// The rules of every element through the selector engine.
void matchBySelectorEngine(benchmark::State& state) {
    Tree t;
    easel::svg::StyleSheet sheet;
    sheet.read(fiftyRules().css, [](const std::string&) {});
    for (auto _ : state) {
        size_t taken = 0;
        for (xmlNodePtr n : t.all) sheet.cascade(n, {}, [&](const std::string&, const std::string&) { ++taken; });
        benchmark::DoNotOptimize(taken);
        state.counters["matches"] = static_cast<double>(taken);
    }
    state.counters["elements"] = static_cast<double>(t.all.size());
}
BENCHMARK(matchBySelectorEngine)->Unit(benchmark::kMillisecond);

// The rules of every element through XPath: each rule's expression (compiled
// once) evaluated over the document, the rules then gathered per element in
// order, as the cascade needs them.
void matchByXPath(benchmark::State& state) {
    Tree t;
    const Rules rules = fiftyRules();
    std::vector<xmlXPathCompExprPtr> compiled;
    for (const std::string& x : rules.xpath) compiled.push_back(xmlXPathCompile(reinterpret_cast<const xmlChar*>(x.c_str())));
    xmlXPathContextPtr ctx = xmlXPathNewContext(t.doc);
    xmlXPathRegisterNs(ctx, reinterpret_cast<const xmlChar*>("svg"),
                       reinterpret_cast<const xmlChar*>("http://www.w3.org/2000/svg"));
    for (auto _ : state) {
        std::unordered_map<xmlNodePtr, std::vector<int>> byElement;
        for (size_t r = 0; r < compiled.size(); ++r) {
            xmlXPathObjectPtr found = xmlXPathCompiledEval(compiled[r], ctx);
            if (found && found->nodesetval) {
                for (int i = 0; i < found->nodesetval->nodeNr; ++i)
                    byElement[found->nodesetval->nodeTab[i]].push_back(static_cast<int>(r));
            }
            xmlXPathFreeObject(found);
        }
        size_t taken = 0;
        for (xmlNodePtr n : t.all) {
            auto it = byElement.find(n);
            if (it == byElement.end()) continue;
            std::sort(it->second.begin(), it->second.end());
            taken += it->second.size();
        }
        benchmark::DoNotOptimize(taken);
        state.counters["matches"] = static_cast<double>(taken);
    }
    for (xmlXPathCompExprPtr c : compiled) xmlXPathFreeCompExpr(c);
    xmlXPathFreeContext(ctx);
}
BENCHMARK(matchByXPath)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

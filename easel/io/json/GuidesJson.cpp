#include "io/json/GuidesJson.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "core/Input.h"
#include "io/json/DocumentJsonShared.h"

namespace easel {

using Json = nlohmann::ordered_json;

namespace {

Json number(float v) { return documentJsonNumber(v); }

std::vector<float> positions(const Input& in, const char* axis) {
    std::vector<float> out;
    if (!in.has(axis)) return out;
    const Json& list = in.list(axis);
    const std::string where = std::string("guides.") + axis;
    if (list.size() > kMaxGuides)
        refuseInput(where + ": more than " + std::to_string(kMaxGuides) + " guides (the limit of an axis)");
    for (size_t i = 0; i < list.size(); ++i)
        out.push_back(static_cast<float>(
            Input::numberOf(list[i], where + "[" + std::to_string(i) + "]", -kMaxCoordinate, kMaxCoordinate)));
    return out;
}

}  // namespace

void writeGuides(const Document& doc, Json& root) {
    const Guides& g = doc.guides();
    if (g == Guides{}) return;
    Json out = Json::object();
    for (const auto& [name, axis] : {std::pair{"vertical", &g.vertical}, std::pair{"horizontal", &g.horizontal}}) {
        if (axis->empty()) continue;
        Json list = Json::array();
        for (float at : *axis) list.push_back(number(at));
        out[name] = list;
    }
    if (g.gridSpacing != kDefaultGridSpacing) out["gridSpacing"] = number(g.gridSpacing);
    root["guides"] = out;
}

bool readGuides(const Json& root, Document& doc, std::string& error) {
    if (!root.contains("guides")) return true;
    try {
        const Json& j = root["guides"];
        if (!j.is_object()) refuseInput("guides must be an object {\"vertical\": [...], \"horizontal\": [...]}");
        for (auto it = j.begin(); it != j.end(); ++it)
            if (it.key() != "vertical" && it.key() != "horizontal" && it.key() != "gridSpacing")
                refuseInput("guides: unknown member \"" + it.key() + "\" (expected vertical, horizontal, gridSpacing)");
        const Input in(j);
        Guides g;
        g.vertical = positions(in, "vertical");
        g.horizontal = positions(in, "horizontal");
        if (in.has("gridSpacing"))
            g.gridSpacing = static_cast<float>(Input::numberOf(j["gridSpacing"], "guides.gridSpacing", 1, 10000));
        if (doc.setGuides(g) != kNoErr) refuseInput("guides: refused by the document");
    } catch (const InputError& e) {
        error = e.what();
        return false;
    }
    return true;
}

}  // namespace easel

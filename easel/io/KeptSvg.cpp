#include "KeptSvg.h"

#include <initializer_list>
#include <limits>
#include <utility>

#include "core/Input.h"

namespace easel {

namespace {

using Json = nlohmann::ordered_json;

// Each check refuses (InputError) the first part of the wrong type, named
// by its path `at`.
using Check = void (*)(const Json& j, const std::string& at);

void text(const Json& j, const std::string& at) { Input::textOf(j, at); }

// SVG attributes: names to string values.
void attributes(const Json& j, const std::string& at) {
    if (!j.is_object()) refuseInput(at + " must be an object of strings (SVG attributes)");
    for (const auto& [k, v] : j.items()) Input::textOf(v, at + "." + k);
}

void numbers(const Json& j, size_t n, const std::string& at) {
    if (!j.is_array() || j.size() != n) refuseInput(at + " must be " + std::to_string(n) + " numbers");
    for (size_t i = 0; i < n; ++i)
        Input::numberOf(j[i], at + "[" + std::to_string(i) + "]", std::numeric_limits<double>::lowest(),
                        std::numeric_limits<double>::max());
}
void point(const Json& j, const std::string& at) { numbers(j, 2, at); }
void matrix(const Json& j, const std::string& at) { numbers(j, 6, at); }

// An object whose listed members, those present, pass their checks.
void record(const Json& j, const std::string& at, std::initializer_list<std::pair<const char*, Check>> members) {
    if (!j.is_object()) refuseInput(at + " must be an object");
    for (const auto& [name, check] : members) {
        const auto it = j.find(name);
        if (it != j.end()) check(*it, at + "." + name);
    }
}

void patternPaint(const Json& j, const std::string& at) {
    record(j, at, {{"color", text}, {"pattern", text}, {"tile", attributes}, {"transform", matrix}, {"definitions", text}});
}

void check(KeptSvgOwner owner, std::string_view key, const Json& v) {
    const std::string at(key);
    switch (owner) {
        case KeptSvgOwner::Document:
            if (key == "svg") record(v, at, {{"attributes", attributes}, {"elements", text}});
            return;
        case KeptSvgOwner::Layer:
            if (key == "svg") record(v, at, {{"attributes", attributes}});
            return;
        case KeptSvgOwner::Art: break;
    }
    if (key == "svg") attributes(v, at);
    else if (key == "svgKept") record(v, at, {{"before", text}, {"after", text}, {"inside", text}});
    else if (key == "svgPaint") record(v, at, {{"fill", patternPaint}, {"stroke", patternPaint}});
    else if (key == "svgText")
        record(v, at, {{"text", text}, {"markup", text}, {"attributes", attributes}, {"origin", point}});
    else if (key == "svgEffects") record(v, at, {{"attributes", attributes}, {"definitions", text}});
    else if (key == "svgElement" || key == "svgSymbol" || key == "svgStroke") text(v, at);
}

}  // namespace

std::optional<std::string> keptSvgTypeError(KeptSvgOwner owner, std::string_view key, const Json& value) {
    try {
        check(owner, key, value);
        return std::nullopt;
    } catch (const InputError& e) {
        return std::string(e.what());
    }
}

bool dropMistypedKeptSvg(KeptSvgOwner owner, Json& members) {
    if (!members.is_object()) return false;
    bool dropped = false;
    for (auto it = members.begin(); it != members.end();) {
        if (keptSvgTypeError(owner, it.key(), it.value())) {
            it = members.erase(it);
            dropped = true;
        } else {
            ++it;
        }
    }
    return dropped;
}

}  // namespace easel

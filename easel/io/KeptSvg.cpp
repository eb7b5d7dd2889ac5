#include "KeptSvg.h"

#include <initializer_list>
#include <utility>

namespace easel {

namespace {

using Json = nlohmann::ordered_json;

// The first mistyped part found, spelled from the owner.
struct Finding {
    std::optional<KeptTypeError> error;
    bool fail(const std::string& member, const char* expected) {
        error = KeptTypeError{member, expected};
        return false;
    }
};

using Check = bool (*)(const Json& j, const std::string& at, Finding& f);

bool text(const Json& j, const std::string& at, Finding& f) { return j.is_string() || f.fail(at, "a string"); }

// SVG attributes: names to string values.
bool attributes(const Json& j, const std::string& at, Finding& f) {
    if (!j.is_object()) return f.fail(at, "an object of strings (SVG attributes)");
    for (const auto& [k, v] : j.items()) {
        if (!v.is_string()) return f.fail(at + "." + k, "a string");
    }
    return true;
}

bool numbers(const Json& j, size_t n, const std::string& at, Finding& f) {
    const char* expected = n == 2 ? "2 numbers" : "6 numbers";
    if (!j.is_array() || j.size() != n) return f.fail(at, expected);
    for (const Json& e : j) {
        if (!e.is_number()) return f.fail(at, expected);
    }
    return true;
}
bool point(const Json& j, const std::string& at, Finding& f) { return numbers(j, 2, at, f); }
bool matrix(const Json& j, const std::string& at, Finding& f) { return numbers(j, 6, at, f); }

// An object whose listed members, those present, pass their checks.
bool record(const Json& j, const std::string& at, Finding& f,
            std::initializer_list<std::pair<const char*, Check>> members) {
    if (!j.is_object()) return f.fail(at, "an object");
    for (const auto& [name, check] : members) {
        const auto it = j.find(name);
        if (it != j.end() && !check(*it, at + "." + name, f)) return false;
    }
    return true;
}

bool patternPaint(const Json& j, const std::string& at, Finding& f) {
    return record(j, at, f,
                  {{"color", text}, {"pattern", text}, {"tile", attributes}, {"transform", matrix}, {"definitions", text}});
}

bool check(KeptSvgOwner owner, std::string_view key, const Json& v, Finding& f) {
    const std::string at(key);
    switch (owner) {
        case KeptSvgOwner::Document:
            return key != "svg" || record(v, at, f, {{"attributes", attributes}, {"elements", text}});
        case KeptSvgOwner::Layer: return key != "svg" || record(v, at, f, {{"attributes", attributes}});
        case KeptSvgOwner::Art: break;
    }
    if (key == "svg") return attributes(v, at, f);
    if (key == "svgKept") return record(v, at, f, {{"before", text}, {"after", text}, {"inside", text}});
    if (key == "svgPaint") return record(v, at, f, {{"fill", patternPaint}, {"stroke", patternPaint}});
    if (key == "svgText")
        return record(v, at, f, {{"text", text}, {"markup", text}, {"attributes", attributes}, {"origin", point}});
    if (key == "svgEffects") return record(v, at, f, {{"attributes", attributes}, {"definitions", text}});
    if (key == "svgElement" || key == "svgSymbol") return text(v, at, f);
    return true;
}

}  // namespace

bool isKeptSvgKey(KeptSvgOwner owner, std::string_view key) {
    if (owner != KeptSvgOwner::Art) return key == "svg";
    for (const char* k : {"svg", "svgKept", "svgPaint", "svgText", "svgEffects", "svgElement", "svgSymbol"}) {
        if (key == k) return true;
    }
    return false;
}

std::optional<KeptTypeError> keptSvgTypeError(KeptSvgOwner owner, std::string_view key, const Json& value) {
    Finding f;
    check(owner, key, value, f);
    return f.error;
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

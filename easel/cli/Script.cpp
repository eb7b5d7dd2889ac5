#include "Script.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "Edit.h"

namespace easel::cli {

namespace {

using json = nlohmann::ordered_json;

// Parse failures carry the place and what was expected there.
struct Fail {
    std::string message;
};

[[noreturn]] void fail(const std::string& where, const std::string& what) { throw Fail{where + ": " + what}; }

double number(const json& j, const std::string& where, const char* what) {
    if (!j.is_number()) fail(where, std::string("expected ") + what + ", found " + j.dump());
    double v = j.get<double>();
    if (!std::isfinite(v)) fail(where, std::string("expected a finite ") + what);
    return v;
}

int64_t integer(const json& j, const std::string& where, const char* what, int64_t lo, int64_t hi) {
    double v = number(j, where, what);
    if (v != std::floor(v) || v < static_cast<double>(lo) || v > static_cast<double>(hi))
        fail(where, std::string("expected ") + what + " (a whole number from " + std::to_string(lo) + " to " +
                        std::to_string(hi) + "), found " + j.dump());
    return static_cast<int64_t>(v);
}

std::string text(const json& j, const std::string& where, const char* what) {
    if (!j.is_string()) fail(where, std::string("expected ") + what + " (a string), found " + j.dump());
    return j.get<std::string>();
}

void onlyKeys(const json& j, const std::string& where, std::initializer_list<const char*> keys) {
    for (auto it = j.begin(); it != j.end(); ++it) {
        bool known = false;
        std::string list;
        for (const char* k : keys) {
            known = known || it.key() == k;
            list += std::string(list.empty() ? "" : ", ") + "\"" + k + "\"";
        }
        if (!known) fail(where, "unknown field \"" + it.key() + "\" (expected " + list + ")");
    }
}

AIRealPoint point(const json& j, const std::string& where) {
    if (!j.is_array() || j.size() != 2) fail(where, "expected a point [h, v], found " + j.dump());
    return AIRealPoint{static_cast<float>(number(j[0], where + "[0]", "a number")),
                       static_cast<float>(number(j[1], where + "[1]", "a number"))};
}

void input(const json& j, const std::string& where, Event& e) {
    if (!j.is_object()) fail(where, "expected {\"modifiers\": m, \"pressure\": p}, found " + j.dump());
    onlyKeys(j, where, {"modifiers", "pressure"});
    if (j.contains("modifiers"))
        e.modifiers = static_cast<int32_t>(integer(j["modifiers"], where + ".modifiers", "a modifier word", 0, 0xFFFF));
    if (j.contains("pressure"))
        e.pressure = static_cast<int16_t>(integer(j["pressure"], where + ".pressure", "a pressure", 0, 255));
}

std::string toolName(const json& j, const std::string& where) {
    if (!j.is_object() || !j.contains("tool")) fail(where, "expected {\"tool\": NAME, ...}");
    return text(j["tool"], where + ".tool", "a tool name");
}

// The studio's history steps: {"undo": n}, {"redo": n}, {"seed": s} and
// {"open": FILE or inline document}. false when `key` is none of them.
bool parseHistoryStep(const std::string& key, const json& v, const std::string& at, Step& s) {
    if (key == "undo" || key == "redo") {
        s.kind = key == "undo" ? Step::Kind::Undo : Step::Kind::Redo;
        s.count = static_cast<int32_t>(integer(v, at, "a number of steps", 1, 1000000));
    } else if (key == "seed") {
        s.kind = Step::Kind::Seed;
        s.seed = static_cast<int32_t>(integer(v, at, "a seed", INT32_MIN, INT32_MAX));
    } else if (key == "open") {
        s.kind = Step::Kind::Open;
        if (v.is_string())
            s.documentPath = v.get<std::string>();
        else if (v.is_object())
            s.inlineDocument = v.dump();
        else
            fail(at, "expected a file name or an inline document object, found " + v.dump());
    } else {
        return false;
    }
    return true;
}

Step parseStep(const json& j, const std::string& where) {
    if (!j.is_object() || j.size() != 1)
        fail(where, "expected one step: {\"select\": ...}, {\"options\": ...}, {\"inspect\": ...}, {\"drag\": ...}, "
                    "{\"edit\": ...}, {\"undo\": n}, {\"redo\": n}, {\"seed\": s} or {\"open\": ...}");
    Step s;
    s.where = where;
    const std::string key = j.begin().key();
    const json& v = j.begin().value();
    const std::string at = where + "." + key;
    if (key == "select") {
        s.kind = Step::Kind::Select;
        if (v.is_string() && v.get<std::string>() == "all") {
            s.selectAll = true;
        } else if (v.is_array()) {
            for (size_t i = 0; i < v.size(); ++i)
                s.ids.push_back(integer(v[i], at + "[" + std::to_string(i) + "]", "an art id", 0, INT64_C(1) << 53));
        } else {
            fail(at, "expected \"all\" or a list of art ids, found " + v.dump());
        }
    } else if (key == "options") {
        s.kind = Step::Kind::Options;
        s.tool = toolName(v, at);
        onlyKeys(v, at, {"tool", "set", "press"});
        if (v.contains("set")) {
            const json& set = v["set"];
            if (!set.is_object()) fail(at + ".set", "expected {\"ITEM ID\": value, ...}");
            for (auto it = set.begin(); it != set.end(); ++it) {
                const std::string place = at + ".set[\"" + it.key() + "\"]";
                char* end = nullptr;
                long id = std::strtol(it.key().c_str(), &end, 10);
                if (it.key().empty() || *end != '\0' || id < INT32_MIN || id > INT32_MAX)
                    fail(place, "item ids are whole numbers, not \"" + it.key() + "\"");
                adm::SetAction a;
                a.id = static_cast<int32_t>(id);
                if (it.value().is_boolean())
                    a.number = it.value().get<bool>() ? 1.0 : 0.0;
                else if (it.value().is_number())
                    a.number = number(it.value(), place, "a number");
                else if (it.value().is_string())
                    a.text = it.value().get<std::string>();
                else
                    fail(place, "expected a number, true/false or an entry's text, found " + it.value().dump());
                s.sets.push_back(std::move(a));
            }
        }
        if (v.contains("press")) {
            const json& p = v["press"];
            auto one = [&](const json& b, const std::string& place) {
                if (b.is_string()) return b.get<std::string>();
                return std::to_string(integer(b, place, "a button (\"OK\", \"Cancel\", \"Reset\" or an item id)", INT32_MIN, INT32_MAX));
            };
            if (p.is_array())
                for (size_t i = 0; i < p.size(); ++i) s.presses.push_back(one(p[i], at + ".press[" + std::to_string(i) + "]"));
            else
                s.presses.push_back(one(p, at + ".press"));
        }
    } else if (key == "inspect") {
        s.kind = Step::Kind::Inspect;
        s.tool = toolName(v, at);
        onlyKeys(v, at, {"tool"});
    } else if (key == "drag") {
        s.kind = Step::Kind::Drag;
        s.tool = toolName(v, at);
        onlyKeys(v, at, {"tool", "events", "from", "to", "steps", "modifiers", "pressure", "pen"});
        bool anyPressure = v.contains("pressure");
        Event common;
        json shared = json::object();
        if (v.contains("modifiers")) shared["modifiers"] = v["modifiers"];
        if (v.contains("pressure")) shared["pressure"] = v["pressure"];
        input(shared, at, common);
        if (v.contains("events")) {
            if (v.contains("from") || v.contains("to"))
                fail(at, "give either \"events\" or \"from\"/\"to\"/\"steps\", not both");
            const json& ev = v["events"];
            if (!ev.is_array() || ev.empty()) fail(at + ".events", "expected a list of at least one [h, v]");
            for (size_t i = 0; i < ev.size(); ++i) {
                const std::string place = at + ".events[" + std::to_string(i) + "]";
                const json& e = ev[i];
                if (!e.is_array() || (e.size() != 2 && e.size() != 3))
                    fail(place, "expected [h, v] or [h, v, {\"modifiers\": m, \"pressure\": p}], found " + e.dump());
                Event event = common;
                event.point = point(json::array({e[0], e[1]}), place);
                if (e.size() == 3) {
                    input(e[2], place + "[2]", event);
                    anyPressure = anyPressure || (e[2].is_object() && e[2].contains("pressure"));
                }
                s.events.push_back(event);
            }
        } else {
            if (!v.contains("from") || !v.contains("to"))
                fail(at, "expected \"events\": [[h, v], ...] or \"from\": [h, v], \"to\": [h, v], \"steps\": n");
            AIRealPoint from = point(v["from"], at + ".from"), to = point(v["to"], at + ".to");
            int64_t n = v.contains("steps") ? integer(v["steps"], at + ".steps", "a number of steps", 1, 100000) : 1;
            for (int64_t i = 0; i <= n; ++i) {
                const float t = static_cast<float>(i) / static_cast<float>(n);
                Event e = common;
                e.point = AIRealPoint{from.h + (to.h - from.h) * t, from.v + (to.v - from.v) * t};
                s.events.push_back(e);
            }
        }
        // A drag that gives pressures comes from a pressure device unless it says otherwise.
        s.pen = anyPressure;
        if (v.contains("pen")) {
            if (!v["pen"].is_boolean()) fail(at + ".pen", "expected true or false, found " + v["pen"].dump());
            s.pen = v["pen"].get<bool>();
        }
    } else if (key == "edit") {
        // The arguments are checked when the edit runs, against the document.
        s.kind = Step::Kind::Edit;
        if (!v.is_object() || !v.contains("op") || !v["op"].is_string())
            fail(at, "expected {\"op\": NAME, ...arguments}, found " + v.dump());
        if (!edit::isOp(v["op"].get<std::string>())) fail(at + ".op", "unknown edit " + v["op"].dump() + " (see docs/formats.md)");
        s.edit = v.dump();
    } else if (!parseHistoryStep(key, v, at, s)) {
        fail(where, "unknown step \"" + key + "\" (expected select, options, inspect, drag, edit, undo, redo, seed or open)");
    }
    return s;
}

}  // namespace

const char* stepKindName(Step::Kind kind) {
    switch (kind) {
    case Step::Kind::Select: return "select";
    case Step::Kind::Options: return "options";
    case Step::Kind::Inspect: return "inspect";
    case Step::Kind::Drag: return "drag";
    case Step::Kind::Undo: return "undo";
    case Step::Kind::Redo: return "redo";
    case Step::Kind::Seed: return "seed";
    case Step::Kind::Open: return "open";
    case Step::Kind::Edit: return "edit";
    }
    return "";
}

bool parseScript(const std::string& textIn, Script& script, std::string& error) {
    json j;
    try {
        j = json::parse(textIn);
    } catch (const json::exception& e) {  // also a number past the range of a double
        error = std::string("not valid JSON: ") + e.what();
        return false;
    }
    try {
        if (!j.is_object()) fail("script", "expected a JSON object {\"document\": ..., \"steps\": [...]}");
        onlyKeys(j, "script", {"document", "plugins", "seed", "steps", "output"});
        if (!j.contains("document")) fail("document", "missing: give a file name or an inline document");
        const json& d = j["document"];
        if (d.is_string())
            script.documentPath = d.get<std::string>();
        else if (d.is_object())
            script.inlineDocument = d.dump();
        else
            fail("document", "expected a file name or an inline document object, found " + d.dump());
        if (!j.contains("plugins")) fail("plugins", "missing: list the plug-ins to load, e.g. [\"Brivane\"]");
        const json& p = j["plugins"];
        if (!p.is_array()) fail("plugins", "expected a list of plug-in names");
        for (size_t i = 0; i < p.size(); ++i)
            script.plugins.push_back(text(p[i], "plugins[" + std::to_string(i) + "]", "a plug-in name"));
        if (j.contains("seed")) script.seed = static_cast<int32_t>(integer(j["seed"], "seed", "a seed", INT32_MIN, INT32_MAX));
        if (j.contains("output")) script.output = text(j["output"], "output", "an output file name");
        if (!j.contains("steps")) fail("steps", "missing: give a list of steps (may be empty)");
        const json& steps = j["steps"];
        if (!steps.is_array()) fail("steps", "expected a list of steps");
        for (size_t i = 0; i < steps.size(); ++i) script.steps.push_back(parseStep(steps[i], "steps[" + std::to_string(i) + "]"));
        return true;
    } catch (const Fail& f) {
        error = f.message;
        return false;
    } catch (const json::exception& e) {
        error = e.what();
        return false;
    }
}

}  // namespace easel::cli

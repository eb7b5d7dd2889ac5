#include "run/Script.h"

#include <limits>
#include <nlohmann/json.hpp>

#include "core/Input.h"
#include "edit/Edit.h"

namespace easel::run {

namespace {

using json = nlohmann::ordered_json;

// Parse failures carry the place and what was expected there.
struct Fail {
    std::string message;
};

[[noreturn]] void fail(const std::string& where, const std::string& what) { throw Fail{where + ": " + what}; }

// Values are read through easel::Input, whose messages name the place.
double number(const json& j, const std::string& where) {
    return Input::numberOf(j, where, -std::numeric_limits<double>::max(), std::numeric_limits<double>::max());
}

int64_t integer(const json& j, const std::string& where, int64_t lo, int64_t hi) { return Input::wholeOf(j, where, lo, hi); }

std::string text(const json& j, const std::string& where) { return Input::textOf(j, where); }

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

// Drag points are coordinates on the page, up to kMaxCoordinate.
AIRealPoint point(const json& j, const std::string& where) { return Input::pointOf(j, where); }

void input(const json& j, const std::string& where, Event& e) {
    if (!j.is_object()) fail(where, "expected {\"modifiers\": m, \"pressure\": p}, found " + showInput(j));
    onlyKeys(j, where, {"modifiers", "pressure"});
    if (j.contains("modifiers"))
        e.modifiers = static_cast<int32_t>(integer(j["modifiers"], where + ".modifiers", 0, 0xFFFF));
    if (j.contains("pressure"))
        e.pressure = static_cast<int16_t>(integer(j["pressure"], where + ".pressure", 0, 255));
}

std::string toolName(const json& j, const std::string& where) {
    if (!j.is_object() || !j.contains("tool")) fail(where, "expected {\"tool\": NAME, ...}");
    return text(j["tool"], where + ".tool");
}

void readSelect(const json& v, const std::string& at, Step& s) {
    if (v.is_string() && v.get<std::string>() == "all") {
        s.selectAll = true;
    } else if (v.is_array()) {
        for (size_t i = 0; i < v.size(); ++i)
            s.ids.push_back(integer(v[i], at + "[" + std::to_string(i) + "]", 0, INT64_C(1) << 53));
    } else {
        fail(at, "expected \"all\" or a list of art ids, found " + showInput(v));
    }
}

// {"ITEM ID": number, true/false or an entry's text, ...}
void readOptionSets(const json& set, const std::string& at, Step& s) {
    if (!set.is_object()) fail(at, "expected {\"ITEM ID\": value, ...}");
    for (auto it = set.begin(); it != set.end(); ++it) {
        const std::string place = at + "[\"" + it.key() + "\"]";
        char* end = nullptr;
        long id = std::strtol(it.key().c_str(), &end, 10);
        if (it.key().empty() || *end != '\0' || id < INT32_MIN || id > INT32_MAX)
            fail(place, "item ids are whole numbers, not \"" + it.key() + "\"");
        adm::SetAction a;
        a.id = static_cast<int32_t>(id);
        if (it.value().is_boolean())
            a.number = it.value().get<bool>() ? 1.0 : 0.0;
        else if (it.value().is_number())
            a.number = number(it.value(), place);
        else if (it.value().is_string())
            a.text = it.value().get<std::string>();
        else
            fail(place, "expected a number, true/false or an entry's text, found " + showInput(it.value()));
        s.sets.push_back(std::move(a));
    }
}

void readOptions(const json& v, const std::string& at, Step& s) {
    s.tool = toolName(v, at);
    onlyKeys(v, at, {"tool", "set", "press"});
    if (v.contains("set")) readOptionSets(v["set"], at + ".set", s);
    if (v.contains("press")) {
        const json& p = v["press"];
        auto one = [&](const json& b, const std::string& place) {
            if (b.is_string()) return b.get<std::string>();
            if (!b.is_number()) fail(place, "expected a button (\"OK\", \"Cancel\", \"Reset\") or an item id, found " + showInput(b));
            return std::to_string(integer(b, place, INT32_MIN, INT32_MAX));
        };
        if (p.is_array())
            for (size_t i = 0; i < p.size(); ++i) s.presses.push_back(one(p[i], at + ".press[" + std::to_string(i) + "]"));
        else
            s.presses.push_back(one(p, at + ".press"));
    }
}

void readInspect(const json& v, const std::string& at, Step& s) {
    s.tool = toolName(v, at);
    onlyKeys(v, at, {"tool"});
}

// "events": [[h, v], [h, v, {"modifiers": m, "pressure": p}], ...]; true when one gives a pressure.
bool readDragEvents(const json& ev, const std::string& at, const Event& common, Step& s) {
    if (!ev.is_array() || ev.empty()) fail(at, "expected a list of at least one [h, v]");
    bool anyPressure = false;
    for (size_t i = 0; i < ev.size(); ++i) {
        const std::string place = at + "[" + std::to_string(i) + "]";
        const json& e = ev[i];
        if (!e.is_array() || (e.size() != 2 && e.size() != 3))
            fail(place, "expected [h, v] or [h, v, {\"modifiers\": m, \"pressure\": p}], found " + showInput(e));
        Event event = common;
        event.point = point(json::array({e[0], e[1]}), place);
        if (e.size() == 3) {
            input(e[2], place + "[2]", event);
            anyPressure = anyPressure || (e[2].is_object() && e[2].contains("pressure"));
        }
        s.events.push_back(event);
    }
    return anyPressure;
}

// "from": [h, v], "to": [h, v], "steps": n: n + 1 points on the line.
void readDragLine(const json& v, const std::string& at, const Event& common, Step& s) {
    if (!v.contains("from") || !v.contains("to"))
        fail(at, "expected \"events\": [[h, v], ...] or \"from\": [h, v], \"to\": [h, v], \"steps\": n");
    AIRealPoint from = point(v["from"], at + ".from"), to = point(v["to"], at + ".to");
    int64_t n = v.contains("steps") ? integer(v["steps"], at + ".steps", 1, 100000) : 1;
    for (int64_t i = 0; i <= n; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(n);
        Event e = common;
        e.point = AIRealPoint{from.h + (to.h - from.h) * t, from.v + (to.v - from.v) * t};
        s.events.push_back(e);
    }
}

void readDrag(const json& v, const std::string& at, Step& s) {
    s.tool = toolName(v, at);
    onlyKeys(v, at, {"tool", "events", "from", "to", "steps", "modifiers", "pressure", "pen"});
    bool anyPressure = v.contains("pressure");
    Event common;
    json shared = json::object();
    if (v.contains("modifiers")) shared["modifiers"] = v["modifiers"];
    if (v.contains("pressure")) shared["pressure"] = v["pressure"];
    input(shared, at, common);
    if (v.contains("events")) {
        if (v.contains("from") || v.contains("to")) fail(at, "give either \"events\" or \"from\"/\"to\"/\"steps\", not both");
        anyPressure = readDragEvents(v["events"], at + ".events", common, s) || anyPressure;
    } else {
        readDragLine(v, at, common, s);
    }
    // A drag that gives pressures comes from a pressure device unless it says otherwise.
    s.pen = anyPressure;
    if (v.contains("pen")) {
        if (!v["pen"].is_boolean()) fail(at + ".pen", "expected true or false, found " + showInput(v["pen"]));
        s.pen = v["pen"].get<bool>();
    }
}

void readEdit(const json& v, const std::string& at, Step& s) {
    // The arguments are checked when the edit runs, against the document.
    if (!v.is_object() || !v.contains("op") || !v["op"].is_string())
        fail(at, "expected {\"op\": NAME, ...arguments}, found " + showInput(v));
    if (!edit::isOp(v["op"].get<std::string>())) fail(at + ".op", "unknown edit " + showInput(v["op"]) + " (see docs/formats.md)");
    s.edit = v.dump();
}

// The studio's history steps: {"undo": n}, {"redo": n}, {"seed": s} and
// {"open": FILE or inline document}.
void readCount(const json& v, const std::string& at, Step& s) { s.count = static_cast<int32_t>(integer(v, at, 1, 1000000)); }

void readSeed(const json& v, const std::string& at, Step& s) {
    s.seed = static_cast<int32_t>(integer(v, at, INT32_MIN, INT32_MAX));
}

void readOpen(const json& v, const std::string& at, Step& s) {
    if (v.is_string())
        s.documentPath = v.get<std::string>();
    else if (v.is_object())
        s.inlineDocument = v.dump();
    else
        fail(at, "expected a file name or an inline document object, found " + showInput(v));
}

// Each kind of step: its name in scripts and its reader.
struct StepReader {
    const char* name;
    Step::Kind kind;
    void (*read)(const json& v, const std::string& at, Step& s);
};
constexpr StepReader kStepReaders[] = {
    {"select", Step::Kind::Select, readSelect}, {"options", Step::Kind::Options, readOptions},
    {"inspect", Step::Kind::Inspect, readInspect}, {"drag", Step::Kind::Drag, readDrag},
    {"undo", Step::Kind::Undo, readCount}, {"redo", Step::Kind::Redo, readCount},
    {"seed", Step::Kind::Seed, readSeed}, {"open", Step::Kind::Open, readOpen},
    {"edit", Step::Kind::Edit, readEdit},
};

Step parseStep(const json& j, const std::string& where) {
    if (!j.is_object() || j.size() != 1)
        fail(where, "expected one step: {\"select\": ...}, {\"options\": ...}, {\"inspect\": ...}, {\"drag\": ...}, "
                    "{\"edit\": ...}, {\"undo\": n}, {\"redo\": n}, {\"seed\": s} or {\"open\": ...}");
    Step s;
    s.where = where;
    const std::string key = j.begin().key();
    for (const StepReader& r : kStepReaders)
        if (key == r.name) {
            s.kind = r.kind;
            r.read(j.begin().value(), where + "." + key, s);
            return s;
        }
    fail(where, "unknown step \"" + key + "\" (expected select, options, inspect, drag, edit, undo, redo, seed or open)");
}

}  // namespace

const char* stepKindName(Step::Kind kind) {
    for (const StepReader& r : kStepReaders)
        if (r.kind == kind) return r.name;
    return "";
}

bool parseScript(const std::string& textIn, Script& script, std::string& error) {
    try {
        // Nesting is counted before the text is parsed: every later walk over
        // the parsed script (messages quote values) recurses at most that deep.
        const json j = parseInput(textIn, "script");
        if (!j.is_object()) fail("script", "expected a JSON object {\"document\": ..., \"steps\": [...]}");
        onlyKeys(j, "script", {"document", "plugins", "seed", "steps", "output"});
        if (!j.contains("document")) fail("document", "missing: give a file name or an inline document");
        const json& d = j["document"];
        if (d.is_string())
            script.documentPath = d.get<std::string>();
        else if (d.is_object())
            script.inlineDocument = d.dump();
        else
            fail("document", "expected a file name or an inline document object, found " + showInput(d));
        if (!j.contains("plugins")) fail("plugins", "missing: list the plug-ins to load, e.g. [\"Brivane\"]");
        const json& p = j["plugins"];
        if (!p.is_array()) fail("plugins", "expected a list of plug-in names");
        for (size_t i = 0; i < p.size(); ++i)
            script.plugins.push_back(text(p[i], "plugins[" + std::to_string(i) + "]"));
        if (j.contains("seed")) script.seed = static_cast<int32_t>(integer(j["seed"], "seed", INT32_MIN, INT32_MAX));
        if (j.contains("output")) script.output = text(j["output"], "output");
        if (!j.contains("steps")) fail("steps", "missing: give a list of steps (may be empty)");
        const json& steps = j["steps"];
        if (!steps.is_array()) fail("steps", "expected a list of steps");
        for (size_t i = 0; i < steps.size(); ++i) script.steps.push_back(parseStep(steps[i], "steps[" + std::to_string(i) + "]"));
        return true;
    } catch (const Fail& f) {
        error = f.message;
        return false;
    } catch (const InputError& e) {
        error = e.what();
        return false;
    } catch (const json::exception& e) {
        error = e.what();
        return false;
    }
}

}  // namespace easel::run

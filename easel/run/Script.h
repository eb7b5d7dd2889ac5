// Scripts of `easel play`: a document, the plug-ins to load, a seed, and
// steps (select, options, inspect, drag, edit, and the studio's history steps:
// undo, redo, seed, open), read from JSON.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/ASTypes.h"
#include "adm/Dialog.h"

namespace easel::run {

struct Event {
    AIRealPoint point{0, 0};
    int32_t modifiers = 0;
    int16_t pressure = 0;
};

struct Step {
    enum class Kind { Select, Options, Inspect, Drag, Undo, Redo, Seed, Open, Edit };
    Kind kind = Kind::Select;
    std::string where;  // "steps[3]" for messages
    // select
    bool selectAll = false;
    std::vector<int64_t> ids;
    // options, inspect, drag
    std::string tool;
    // options
    std::vector<adm::SetAction> sets;
    std::vector<std::string> presses;
    // drag
    std::vector<Event> events;
    bool pen = false;  // from a pressure device: given as "pen", or implied by any event's "pressure"
    // undo, redo: how many steps
    int32_t count = 1;
    // seed
    int32_t seed = 1;
    // open: a file (relative to the script) or an inline document
    std::optional<std::string> documentPath;
    std::string inlineDocument;
    // edit: {"op": NAME, ...} as JSON text (easel/edit runs it)
    std::string edit;
};

struct Script {
    std::optional<std::string> documentPath;  // as written, relative to the script
    std::string inlineDocument;               // JSON text of an inline document
    std::vector<std::string> plugins;
    std::optional<int32_t> seed;
    std::vector<Step> steps;
    std::string output;  // may be empty
};

// Reads a script. On failure returns false with a message naming the place
// ("steps[2].drag.events[1]: ...") and what is expected there.
bool parseScript(const std::string& text, Script& script, std::string& error);

const char* stepKindName(Step::Kind kind);

}  // namespace easel::run

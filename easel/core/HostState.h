// The state the host's suites act on. Suite tables are plain C function
// pointers without a context argument, so they reach the host through this
// one process-wide object; a session (command line run, studio, test) fills
// it in before it sends messages to plug-ins.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/ASTypes.h"
#include "Random.h"
#include "SuiteRegistry.h"

namespace easel {

class Document;

// A tool a plug-in registered through the AI Tool suite.
struct RegisteredTool {
    std::string name;     // the registered name (the title)
    std::string title;
    std::string tooltip;
    ADMIconRef icon = nullptr;
    int32_t number = 0;         // tool number, in registration order from 0
    int32_t sameGroupAs = -2;   // tool number or -2
    int32_t sameToolsetAs = -2; // tool number or -2
    int32_t options = 0;
    SPPluginRef plugin = nullptr;
    AIToolHandle handle() { return reinterpret_cast<AIToolHandle>(this); }
};

// Something the host showed the user on a plug-in's behalf (alert, dialog).
struct ShownMessage {
    std::string kind;   // "message alert", "error alert", "dialog"
    std::string title;
    std::vector<std::string> texts;
};

struct HostState {
    SuiteRegistry suites;
    Document* document = nullptr;  // the current document; art suites refuse without one
    Random random{1};
    std::vector<std::unique_ptr<RegisteredTool>> tools;
    int32_t modifiers = 0;     // tracker modifier word while an event is delivered
    bool hasPressure = false;  // whether the input device reports pressure
    // Called for every alert or dialog a plug-in shows (the session records them).
    std::function<void(const ShownMessage&)> onShown;

    RegisteredTool* toolByHandle(AIToolHandle h);
    RegisteredTool* toolByName(const std::string& name);
    void reset();  // forgets tools and input, keeps registered suites
};

HostState& hostState();

// A tool's title as people read it: without the blanks around it and the
// "ZR5 " group prefix the plug-ins put before their tools' titles.
std::string shortToolTitle(const std::string& title);

}  // namespace easel

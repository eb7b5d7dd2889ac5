#include "HostState.h"

namespace easel {

HostState& hostState() {
    static HostState state;
    return state;
}

RegisteredTool* HostState::toolByHandle(AIToolHandle h) {
    for (auto& t : tools)
        if (t->handle() == h) return t.get();
    return nullptr;
}

RegisteredTool* HostState::toolByName(const std::string& name) {
    for (auto& t : tools)
        if (t->name == name) return t.get();
    return nullptr;
}

std::string shortToolTitle(const std::string& title) {
    std::string t = title;
    while (!t.empty() && t.front() == ' ') t.erase(t.begin());
    if (t.rfind("ZR5 ", 0) == 0) t.erase(0, 4);
    while (!t.empty() && t.back() == ' ') t.pop_back();
    return t;
}

void HostState::reset() {
    document = nullptr;
    tools.clear();
    modifiers = 0;
    hasPressure = false;
    random.reseed(1);
}

}  // namespace easel

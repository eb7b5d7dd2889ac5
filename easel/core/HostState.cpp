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

void HostState::reset() {
    document = nullptr;
    tools.clear();
    modifiers = 0;
    hasPressure = false;
    random.reseed(1);
}

}  // namespace easel

// AI Tool: tools registered by plug-ins live in hostState().tools, numbered
// in registration order; the handle is the address of the record.
#include <memory>
#include <new>

#include "core/HostState.h"
#include "SuiteTables.h"

namespace easel {
namespace {

ASErr addTool(SPPluginRef plugin, const char* name, const AIAddToolData* data, ASInt32 options,
              AIToolHandle* tool) {
    if (name == nullptr || name[0] == '\0' || data == nullptr || tool == nullptr) return kBadParameterErr;
    HostState& host = hostState();
    RegisteredTool* record = host.toolByName(name);
    if (record != nullptr && record->plugin != plugin) return kBadParameterErr;  // name taken
    if (record == nullptr) {
        auto fresh = std::unique_ptr<RegisteredTool>(new (std::nothrow) RegisteredTool);
        if (!fresh) return kOutOfMemoryErr;
        fresh->number = static_cast<int32_t>(host.tools.size());
        fresh->name = name;
        record = fresh.get();
        host.tools.push_back(std::move(fresh));
    }
    // A plug-in that registers again (a restart within the session) keeps its number.
    record->plugin = plugin;
    record->title = data->title ? data->title : name;
    record->tooltip = data->tooltip ? data->tooltip : "";
    record->icon = data->icon;
    record->sameGroupAs = data->sameGroupAs;
    record->sameToolsetAs = data->sameToolsetAs;
    record->options = options;
    *tool = record->handle();
    return kNoErr;
}

ASErr getToolNumberFromName(const char* name, ASInt32* number) {
    if (name == nullptr || number == nullptr) return kBadParameterErr;
    RegisteredTool* t = hostState().toolByName(name);
    if (t == nullptr) return kBadParameterErr;
    *number = t->number;
    return kNoErr;
}

ASErr getToolNumberFromHandle(AIToolHandle tool, ASInt32* number) {
    if (number == nullptr) return kBadParameterErr;
    RegisteredTool* t = hostState().toolByHandle(tool);
    if (t == nullptr) return kBadParameterErr;
    *number = t->number;
    return kNoErr;
}

ASErr getToolName(AIToolHandle tool, const char** name) {
    if (name == nullptr) return kBadParameterErr;
    RegisteredTool* t = hostState().toolByHandle(tool);
    if (t == nullptr) return kBadParameterErr;
    *name = t->name.c_str();
    return kNoErr;
}

ASErr systemHasPressure(ASBoolean* hasPressure) {
    if (hasPressure == nullptr) return kBadParameterErr;
    *hasPressure = hostState().hasPressure ? 1 : 0;
    return kNoErr;
}

const AIToolSuite kSuite = {addTool, getToolNumberFromName, getToolNumberFromHandle, getToolName,
                            systemHasPressure};

}  // namespace

const AIToolSuite* suites::toolSuite() { return &kSuite; }

}  // namespace easel

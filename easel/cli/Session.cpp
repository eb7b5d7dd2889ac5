#include "Session.h"

#include "Commands.h"
#include "Document.h"
#include "adm/Dialog.h"
#include "adm/RegisterADM.h"
#include "suites/AISuites.h"

namespace easel::cli {

Session::Session(const std::vector<std::filesystem::path>& dirs) : loader_(Loader::searchPath(dirs)) {
    hostState().reset();
    registerAISuites(hostState().suites);
    registerADMSuites(hostState().suites);
    registerSPSuites(hostState().suites);
    adm::dialogManager().setDefaultDriver(nullptr);
    adm::dialogManager().setNextDriver(nullptr);
}

Session::~Session() {
    // The callbacks may refer to a caller's locals that are already gone.
    hostState().onShown = nullptr;
    adm::dialogManager().onClosed = nullptr;
    adm::dialogManager().setNextDriver(nullptr);
    adm::dialogManager().setDefaultDriver(nullptr);
    onResult_ = nullptr;
    for (auto it = started_.rbegin(); it != started_.rend(); ++it)
        if ((*it)->loaded()) loader_.shutdown(**it);
    hostState().document = nullptr;
    hostState().reset();
}

Plugin* Session::startOne(const std::string& name, std::string& error) {
    Plugin* p = loader_.load(name, error);
    if (!p) return nullptr;
    ASErr r = loader_.startup(*p);
    started_.push_back(p);
    if (onResult_) onResult_(*p, "Startup", r);
    return p;
}

bool Session::start(const std::vector<std::string>& names, std::string& error) {
    for (const auto& name : names)
        if (!startOne(name, error)) return false;
    return true;
}

ASErr Session::send(RegisteredTool& tool, const char* selector, AIRealPoint cursor, int16_t pressure,
                    int32_t modifiers) {
    Plugin* p = pluginOf(tool);
    if (!p) return kBadParameterErr;
    ASErr r = loader_.sendTool(*p, selector, tool.handle(), cursor, pressure, modifiers);
    if (onResult_) onResult_(*p, selector, r);
    return r;
}

ASErr Session::editOptions(RegisteredTool& tool, adm::DialogDriver* driver) {
    adm::dialogManager().setNextDriver(driver);
    ASErr r = send(tool, kSelectorAIEditToolOptions);
    adm::dialogManager().setNextDriver(nullptr);
    return r;
}

Session::Drag::~Drag() {
    if (open_) doc_.commitUndoContext();
}

void Session::Drag::down(AIRealPoint p, int16_t pressure, int32_t modifiers) {
    if (tool_.options & kToolWantsToTrackCursorOption)
        session_.send(tool_, kSelectorAITrackToolCursor, p, pressure, modifiers);
    doc_.beginUndoContext();
    open_ = true;
    session_.send(tool_, kSelectorAIToolMouseDown, p, pressure, modifiers);
}

void Session::Drag::move(AIRealPoint p, int16_t pressure, int32_t modifiers) {
    session_.send(tool_, kSelectorAIToolMouseDrag, p, pressure, modifiers);
}

void Session::Drag::up(AIRealPoint p, int16_t pressure, int32_t modifiers, bool sendUp) {
    // The drag is one user step, named after its tool unless the plug-in
    // named it; mouse up gets a fresh context of its own.
    if (open_ && doc_.contextChanged() && doc_.undoText().empty()) {
        const std::string name = toolName(tool_.title);
        doc_.setUndoText("Undo " + name, "Redo " + name);
    }
    if (open_) doc_.commitUndoContext();
    open_ = false;
    doc_.beginUndoContext();
    if (sendUp) session_.send(tool_, kSelectorAIToolMouseUp, p, pressure, modifiers);
    doc_.commitUndoContext();
}

}  // namespace easel::cli

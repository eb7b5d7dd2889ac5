#include "run/PluginSession.h"

#include <algorithm>
#include <cstdio>

#include "adm/Dialog.h"
#include "adm/RegisterADM.h"
#include "model/Document.h"
#include "suites/RegisterAISuites.h"

namespace easel::run {

namespace fs = std::filesystem;

PluginSession::PluginSession(const std::vector<std::filesystem::path>& dirs) : loader_(Loader::searchPath(dirs)) {
    hostState().reset();
    registerAISuites(hostState().suites);
    registerADMSuites(hostState().suites);
    registerSPSuites(hostState().suites);
    adm::dialogManager().setDefaultDriver(nullptr);
    adm::dialogManager().setNextDriver(nullptr);
}

PluginSession::~PluginSession() {
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

Plugin* PluginSession::startOne(const std::string& name, std::string& error) {
    Plugin* p = loader_.load(name, error);
    if (!p) return nullptr;
    ASErr r = loader_.startup(*p);
    started_.push_back(p);
    if (onResult_) onResult_(*p, "Startup", r);
    return p;
}

bool PluginSession::start(const std::vector<std::string>& names, std::string& error) {
    for (const auto& name : names)
        if (!startOne(name, error)) return false;
    return true;
}

ASErr PluginSession::send(RegisteredTool& tool, const char* selector, AIRealPoint cursor, int16_t pressure,
                    int32_t modifiers) {
    Plugin* p = pluginOf(tool);
    if (!p) return kBadParameterErr;
    ASErr r = loader_.sendTool(*p, selector, tool.handle(), cursor, pressure, modifiers);
    if (onResult_) onResult_(*p, selector, r);
    return r;
}

ASErr PluginSession::editOptions(RegisteredTool& tool, adm::DialogDriver* driver) {
    adm::dialogManager().setNextDriver(driver);
    ASErr r = send(tool, kSelectorAIEditToolOptions);
    adm::dialogManager().setNextDriver(nullptr);
    return r;
}

PluginSession::Drag::~Drag() {
    if (open_) doc_.commitUndoContext();
}

void PluginSession::Drag::down(AIRealPoint p, int16_t pressure, int32_t modifiers) {
    if (tool_.options & kToolWantsToTrackCursorOption)
        session_.send(tool_, kSelectorAITrackToolCursor, p, pressure, modifiers);
    doc_.beginUndoContext();
    open_ = true;
    session_.send(tool_, kSelectorAIToolMouseDown, p, pressure, modifiers);
}

void PluginSession::Drag::move(AIRealPoint p, int16_t pressure, int32_t modifiers) {
    session_.send(tool_, kSelectorAIToolMouseDrag, p, pressure, modifiers);
}

void PluginSession::Drag::up(AIRealPoint p, int16_t pressure, int32_t modifiers, bool sendUp) {
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

std::string resultText(ASErr code) {
    const auto u = static_cast<uint32_t>(code);
    const uint32_t high = u >> 16;
    if (high == 0 || high == 0xFFFF) return std::to_string(code);
    std::string s = "'";
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((u >> shift) & 0xFF);
        s += (c >= 32 && c < 127) ? c : '?';
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08X", u);
    return s + "' (0x" + hex + ")";
}

std::string toolName(const std::string& title) { return shortToolTitle(title); }

RegisteredTool* findTool(const std::string& name) {
    for (auto& t : hostState().tools)
        if (t->title == name || t->name == name) return t.get();
    const std::string want = shortToolTitle(name);
    for (auto& t : hostState().tools)
        if (shortToolTitle(t->title) == want || shortToolTitle(t->name) == want) return t.get();
    return nullptr;
}

std::string unknownToolMessage(const std::string& name) {
    std::string known;
    for (const auto& t : hostState().tools)
        known += (known.empty() ? "" : ", ") + std::string("\"") + shortToolTitle(t->title) + "\"";
    return "unknown tool \"" + name + "\"; the loaded plug-ins have " + (known.empty() ? "no tools" : known);
}

std::vector<std::string> bundlesOnPath(const std::vector<fs::path>& dirs) {
    std::vector<std::string> names;
    for (const auto& d : dirs) {
        std::error_code ec;
        std::vector<std::string> here;
        for (fs::directory_iterator it(d, ec), end; !ec && it != end; it.increment(ec))
            if (it->path().extension() == ".aip" && it->is_directory()) here.push_back(it->path().stem().string());
        std::sort(here.begin(), here.end());
        for (auto& n : here)
            if (std::find(names.begin(), names.end(), n) == names.end()) names.push_back(n);
    }
    return names;
}

}  // namespace easel::run

// Plug-in bundles: finding them, reading their property list, loading their
// library and sending them messages the way the host does. Also home of the
// SP Basic, SP Blocks, SP Access and AI Plugin suites, which answer about the
// loaded plug-ins.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/SPSuites.h"
#include "core/SuiteRegistry.h"
#include "adm/Resources.h"

namespace easel {

// What the property list (PiPL/16000.pipl) says about a plug-in.
struct PropertyList {
    uint32_t kind = 0;             // 'kind' property, e.g. 'SPEA'
    int32_t interfaceVersion = 0;  // 'ivrs' property
    std::string entryName;         // 'wx86' property: the exported entry
};

// Parses a property list; nullopt and a message naming the fault when it is
// malformed or has no entry property.
std::optional<PropertyList> parsePropertyList(const std::vector<uint8_t>& data, std::string& error);

// A cursor resource a plug-in loaded through SP Access.
struct Cursor {
    int32_t id = 0;
    adm::Image image;
};

class Plugin {
public:
    const std::string& name() const { return name_; }
    const std::filesystem::path& bundle() const { return bundle_; }
    const PropertyList& properties() const { return properties_; }
    SPPluginRef ref() { return reinterpret_cast<SPPluginRef>(this); }
    // The module instance handed out as the first word of the access info: on
    // Windows the DLL's module handle, which the plug-in loads its cursor from.
#ifdef _WIN32
    void* instance() { return handle_; }
#else
    void* instance() { return this; }
#endif
    bool loaded() const { return main_ != nullptr; }
    // The globals slot the host keeps for the plug-in.
    void* globals() const { return globals_; }
    int32_t options = 0;  // the AI Plugin option word
    // Messages sent and how many nested in another call of this plug-in.
    int messagesSent = 0;
    int deepestNesting = 0;
    std::vector<std::unique_ptr<Cursor>> cursors;

private:
    friend class Loader;
    std::string name_;
    std::filesystem::path bundle_, library_;
    PropertyList properties_;
    void* handle_ = nullptr;
    PluginMainProc main_ = nullptr;
    void* globals_ = nullptr;
    int depth_ = 0;
};

class Loader {
public:
    // Bundles are looked up in these folders, in order.
    explicit Loader(std::vector<std::filesystem::path> searchDirs);
    ~Loader();  // unloads libraries still loaded (without messages)
    Loader(const Loader&) = delete;
    Loader& operator=(const Loader&) = delete;

    // The search path: the given folders, then EASEL_PLUGINS (folders separated
    // by ':', on Windows by ';'), then easel's own folder (ownPluginDir).
    static std::vector<std::filesystem::path> searchPath(const std::vector<std::filesystem::path>& dirs);
    // The build tree's plug-in folder for a program run from that tree, else
    // the installed one beside the program: <exe>/../../lib/easel/plugins.
    static std::optional<std::filesystem::path> ownPluginDir();
    const std::vector<std::filesystem::path>& searchDirs() const { return dirs_; }

    // The bundle <dir>/<name>.aip of the first folder that has one: a bundle
    // folder, or on Windows also the plug-in DLL itself.
    std::optional<std::filesystem::path> find(const std::string& name) const;

    // Finds, validates and loads a bundle (no message is sent). On failure
    // returns nullptr with a message saying what is wrong; nothing stays loaded.
    Plugin* load(const std::string& name, std::string& error);
    Plugin* loadBundle(const std::filesystem::path& bundle, std::string& error);

    // Messages. Each sends exactly one PluginMain call.
    ASErr startup(Plugin& p);
    ASErr about(Plugin& p);
    ASErr shutdown(Plugin& p);
    // "SP Access"/"Unload", then the library is closed; the globals slot stays with the host.
    ASErr unload(Plugin& p);
    // The library is opened again, then "SP Access"/"Reload" hands the globals slot back.
    ASErr reload(Plugin& p, std::string& error);
    // An "AI Tool" message; modifiers are the tracker's modifier word during the call.
    ASErr sendTool(Plugin& p, const char* selector, AIToolHandle tool, AIRealPoint cursor, int16_t pressure,
                   int32_t modifiers);
    // Any message with a record whose common part the loader fills in.
    ASErr send(Plugin& p, const char* caller, const char* selector, SPMessageData* message);

    const std::vector<std::unique_ptr<Plugin>>& plugins() const { return plugins_; }
    Plugin* byRef(SPPluginRef ref) const;
    Plugin* byInstance(const void* instance) const;
    Plugin* byName(const std::string& name) const;

    // The loader the SP suites answer for (the most recently created one).
    static Loader* active();

private:
    bool open(Plugin& p, std::string& error);
    // What the progress monitor shows for a tool message ("<title> drag event 3").
    std::string toolEventName(const char* selector, AIToolHandle tool);
    std::vector<std::filesystem::path> dirs_;
    int dragEvents_ = 0;  // drag events since the last mouse down
    std::vector<std::unique_ptr<Plugin>> plugins_;
};

// SP Basic, SP Blocks, SP Access and AI Plugin.
void registerSPSuites(SuiteRegistry& registry);
// The SP Basic suite handed to plug-ins in every message.
SPBasicSuite* spBasicSuite();
// The cursor made current through SetCursor (nullptr: none).
const Cursor* currentCursor();
// Blocks allocated through SP Blocks and not yet freed.
size_t liveBlocks();

}  // namespace easel

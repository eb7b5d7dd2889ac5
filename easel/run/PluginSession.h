// The host side of a run of the plug-ins, shared by `easel play`, the listing
// commands and the studio: the suites registered, the plug-ins loaded and
// started (and shut down again, last first), tool messages sent with their
// results reported, and drags carried out as one undoable step.
//
// A session owns the process-wide host state while it lives: create, use and
// destroy it on one thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/HostState.h"
#include "loader/Loader.h"

namespace easel {
class Document;
}
namespace easel::adm {
class DialogDriver;
}

namespace easel::run {

class PluginSession {
public:
    // Called with the result of every message a session sends, start-up included.
    using ResultFn = std::function<void(Plugin&, const char* selector, ASErr)>;

    explicit PluginSession(const std::vector<std::filesystem::path>& dirs);
    ~PluginSession();
    PluginSession(const PluginSession&) = delete;
    PluginSession& operator=(const PluginSession&) = delete;

    // Loads and starts the plug-ins in order; a plug-in that cannot be
    // loaded is an error (the ones before it stay started).
    bool start(const std::vector<std::string>& names, std::string& error);
    // Loads and starts one plug-in; nullptr with a message when it cannot be loaded.
    Plugin* startOne(const std::string& name, std::string& error);

    Loader& loader() { return loader_; }
    Plugin* pluginOf(const RegisteredTool& t) { return loader_.byRef(t.plugin); }
    const std::vector<Plugin*>& started() const { return started_; }

    void onResult(ResultFn fn) { onResult_ = std::move(fn); }

    // Sends a tool message and reports its result.
    ASErr send(RegisteredTool& tool, const char* selector, AIRealPoint cursor = {0, 0}, int16_t pressure = 0,
               int32_t modifiers = 0);
    // Asks the tool for its option dialog; `driver` runs that dialog (nullptr:
    // the dialog manager's default driver).
    ASErr editOptions(RegisteredTool& tool, adm::DialogDriver* driver);

    // A drag with one tool, sent as the host sends it: cursor tracking when
    // the tool asks for it, mouse down and the drag events in one undo
    // context, mouse up in a fresh context of its own.
    class Drag {
    public:
        Drag(PluginSession& session, Document& doc, RegisteredTool& tool) : session_(session), doc_(doc), tool_(tool) {}
        ~Drag();  // an unfinished drag closes its undo context
        Drag(const Drag&) = delete;
        Drag& operator=(const Drag&) = delete;

        void down(AIRealPoint p, int16_t pressure, int32_t modifiers);
        void move(AIRealPoint p, int16_t pressure, int32_t modifiers);
        // Closes the drag's context; with `sendUp`, mouse up goes at `p` in its own context.
        void up(AIRealPoint p, int16_t pressure, int32_t modifiers, bool sendUp = true);
        RegisteredTool& tool() { return tool_; }

    private:
        PluginSession& session_;
        Document& doc_;
        RegisteredTool& tool_;
        bool open_ = false;
    };

private:
    Loader loader_;
    std::vector<Plugin*> started_;
    ResultFn onResult_;
};

// A tool named by its title, with or without the leading blank and "ZR5 ".
RegisteredTool* findTool(const std::string& name);
// A tool's name as people read it: its title without the leading blank and "ZR5 ".
std::string toolName(const std::string& title);
// "unknown tool "X"; the loaded plug-ins have "A", "B"", for messages.
std::string unknownToolMessage(const std::string& name);

// The names of the bundles (<Name>.aip) in the search path folders, first
// folder first, each name once.
std::vector<std::string> bundlesOnPath(const std::vector<std::filesystem::path>& dirs);

// "'SEGM' (0x5345474D)" or "-108".
std::string resultText(ASErr code);

}  // namespace easel::run

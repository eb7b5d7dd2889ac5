// Random sessions of the tools of both plug-ins, sent through easel's loader,
// suites and dialog manager exactly as the host sends them, and the checks
// every session must pass. A session is fully described by its seed and its
// tool, so every failure replays from the two.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "host/ASTypes.h"
#include "model/Document.h"
#include "core/HostState.h"
#include "adm/Dialog.h"
#include "loader/Loader.h"

namespace reliability {

// One tool of either plug-in and the dialog items its rules may change
// during a drag.
struct ToolCase {
    const char* name;    // short title, for test names and messages
    int index;           // Brivane tool index, or -1 for Kestova's tool
    std::vector<int32_t> stepped;  // items the modifier keys step
    int32_t trailItem;   // the "Trail" check box, 0: none
    int32_t deleteItem;  // the "Delete" check box that "Trail" clears, 0: none
    bool editsSources;   // transforms or reshapes the selected art itself
};
// Test names and messages show a case by its tool's name.
inline void PrintTo(const ToolCase& c, std::ostream* os) { *os << c.name; }

const std::vector<ToolCase>& toolCases();

// What one PluginMain call returned and what it showed.
struct CallRecord {
    std::string selector;
    ASErr result = 0;
    std::vector<easel::adm::DialogRecord> dialogs;  // closed during the call
};

struct SessionStats {
    int events = 0;
    int selected = 0;
    int artNodes = 0;
    std::vector<ASErr> errors;  // non-zero results of the drag
    bool replayed = false;      // the one-arrangement replay (Paint: the whole drag) ran
    bool deleteChecked = false; // the drag's "Delete" was checked against the same event without it
};

// Both plug-ins loaded and started once; every session starts from the
// options the plug-ins had right after start-up.
class Host {
public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // Empty when the plug-ins are loaded, else why not.
    const std::string& error() const { return error_; }

    // Plays one random session of the tool; returns what failed (empty: all
    // checks passed).
    std::vector<std::string> runSession(const ToolCase& tool, uint64_t seed, SessionStats& stats);

    // Building blocks, also used by the focused regression cases.
    easel::Plugin* pluginFor(const ToolCase& tool) const;
    AIToolHandle handleFor(const ToolCase& tool) const;
    void restoreDefaults();
    CallRecord send(const ToolCase& tool, const char* selector, AIRealPoint p, int16_t pressure, int32_t modifiers);
    // Opens the tool's dialog with the given driver (nullptr: inspect only).
    CallRecord openOptions(const ToolCase& tool, easel::adm::DialogDriver* driver,
                           std::optional<easel::adm::DialogRecord>* inspected = nullptr);
    void* globals(const ToolCase& tool) const;
    size_t globalsSize(const ToolCase& tool) const;

private:
    std::unique_ptr<easel::Loader> loader_;
    easel::Plugin* brivane_ = nullptr;
    easel::Plugin* kestova_ = nullptr;
    std::vector<unsigned char> brivaneDefaults_, kestovaDefaults_;
    std::vector<easel::adm::DialogRecord> closed_;
    std::string error_;
};

// The messages the plug-ins' error table gives each code.
std::string expectedErrorMessage(ASErr code);
// The code text the error dialog shows ("-108", "SEGM").
std::string expectedCodeText(ASErr code);
// Checks one call's dialogs against its result: a reported result shows the
// error dialog once with the table's message and the code; 0 and 'STOP' show
// none. Empty when it holds.
std::string checkReported(const CallRecord& call);

// Every real number the document stores is finite; empty when so, else the
// first offending art.
std::string findNonFinite(const easel::Document& doc);

// Number of sessions per tool (EASEL_PROPERTY_SESSIONS, default given) and
// the single seed to replay (EASEL_PROPERTY_SEED), if any.
int sessionsPerTool(int fallback);
std::optional<uint64_t> replaySeed();

}  // namespace reliability

// The plug-in frame linked into the test program, run against easel's own
// suites. The bundle is loaded through easel's loader so that its resources
// (strings, dialogs, icons, cursor) resolve for the plug-in reference the
// messages carry. SP Basic is wrapped: it logs every acquisition and release,
// hides suites named in `missing`, and hands out edited copies of suite
// tables, which is how the tests reach the frame's failure paths.
#ifndef TESTS_FRAME_FRAMEHOST_H
#define TESTS_FRAME_FRAMEHOST_H

#include "model/Document.h"
#include "core/HostState.h"
#include "adm/Dialog.h"
#include "loader/Loader.h"

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

extern "C" ASErr PluginMain(const char* caller, const char* selector, void* message);

namespace framehost {

struct Modal {
    std::string name;
    ASInt32 id = 0, style = -1;
    easel::adm::DialogRecord record; // as it closed
    std::string Text(ASInt32 item) const;
};

struct Host {
    explicit Host(const std::string& bundle, float width = 612, float height = 792);
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    std::vector<std::string> acquired, released; // "name version", in call order
    std::set<std::string> missing;               // suites SP Basic does not find
    std::vector<std::string> alerts;
    std::vector<Modal> modals;
    std::function<void()> duringModal; // runs while a dialog is open

    // What the edited tables record, and the failures tests make them report.
    int calls = 0;                // calls of the edited function so far
    int failAt = -1;              // the edited function fails at this call (0-based)
    ASErr failWith = kNoErr;
    AIArtHandle failingArt = nullptr;
    std::vector<AIMatchingArtSpec> lastCriteria;
    std::vector<std::size_t> blockSizes; // of the blocks SP Blocks allocated
    ASErr allocateError = kNoErr;
    int undoCount = 0;
    std::vector<std::string> stringList; // when set, replaces every string list of the bundle

    // Hands out a copy of the table of the suite name, changed by edit.
    template <class Suite>
    void Edit(const char* name, ASInt32 version, void (*edit)(Suite&)) {
        auto copy = std::make_unique<unsigned char[]>(sizeof(Suite));
        std::memcpy(copy.get(), easel::hostState().suites.find(name, version), sizeof(Suite));
        edit(*reinterpret_cast<Suite*>(copy.get()));
        edited[name] = std::move(copy);
    }
    // The table easel itself answers for name.
    template <class Suite>
    static const Suite& Real(const char* name, ASInt32 version) {
        return *static_cast<const Suite*>(easel::hostState().suites.find(name, version));
    }
    SPMessageData Message() const;
    AIToolMessage ToolMessage(AIToolHandle tool, AIRealPoint cursor) const;
    ASErr Call(const char* caller, const char* selector);
    ASErr Tool(const char* selector, AIToolHandle tool, AIRealPoint cursor = {0, 0});
    // A selected closed square in the document.
    AIArtHandle Square(float left, float bottom, float size, AIArtHandle inside = nullptr);

    std::unique_ptr<easel::Document> doc;
    std::unique_ptr<easel::Loader> loader;
    easel::Plugin* plugin = nullptr;
    SPBasicSuite basic{};
    std::map<std::string, std::unique_ptr<unsigned char[]>> edited;
};

// The host the wrapped and edited suite functions report to.
extern Host* current;

} // namespace framehost

#endif

// A small host for driving the plug-in frame in tests: SP Basic hands out
// suite tables that record what the plug-in does with them.
#ifndef TESTS_FRAME_FAKEHOST_H
#define TESTS_FRAME_FAKEHOST_H

#include "Host.h"

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace fake {

struct Art {
    ASInt16 type = kPathArt;
    AIRealRect bounds{};
    std::vector<Art*> children;
    Art* next = nullptr; // sibling above
    ASErr boundsError = kNoErr;
};

struct AddedTool {
    std::string name;
    std::string title;
    std::string tooltip;
    ADMIconRef icon = nullptr;
    ASInt32 sameGroupAs = 0;
    ASInt32 sameToolsetAs = 0;
    ASInt32 options = 0;
};

struct Modal {
    std::string name;
    ASInt32 dialogId = 0;
    ASInt32 style = -1;
    std::map<ASInt32, std::string> texts;       // item id -> text set by the plug-in
    std::set<ASInt32> notifyProcs;              // items given a notify procedure
};

struct Host {
    Host();
    ~Host();

    // Suites: every suite of the ABI is offered unless named here.
    std::set<std::string> missing;
    std::vector<std::string> acquired; // "name version", in call order
    std::vector<std::string> released;
    std::map<std::string, int> held;   // acquisitions minus releases

    // SP Blocks.
    std::vector<std::string> blockNames;
    std::vector<std::size_t> blockSizes;
    int blocksFreed = 0;
    std::set<void*> liveBlocks; // freed at the end of the test if the plug-in did not
    ASErr allocateError = kNoErr;

    // AI Plugin.
    ASInt32 pluginOptions = 0x10;

    // ADM Basic and Dialog.
    std::vector<std::string> alerts;
    std::map<ASInt32, std::vector<std::string>> stringLists;
    std::vector<Modal> modals;
    std::function<void()> duringModal; // runs inside Modal after the init procedure

    // ADM Icon: icon types by index of list 16050 (default: bitmap).
    std::map<ASInt32, ASInt32> iconTypes;
    std::vector<std::pair<ASInt32, ASInt32>> iconRequests; // list, index
    int iconsDestroyed = 0;

    // AI Tool.
    std::vector<AddedTool> tools;
    std::map<std::string, ASInt32> knownTools; // tools other plug-ins registered
    int addToolFailsAt = -1;
    ASErr addToolError = kNoErr;

    // Art, matching art and memory.
    std::vector<std::unique_ptr<Art>> art;
    Art* NewArt(ASInt16 type, AIRealRect bounds);
    std::vector<Art*> selection; // what GetMatchingArt returns, in order
    ASErr matchError = kNoErr;
    std::vector<AIMatchingArtSpec> lastCriteria;
    int handlesOut = 0; // match arrays handed out and not yet disposed
    int handlesDisposed = 0;

    // Undo, document, cursor.
    int undoCount = 0;
    AIDocumentSetup setup{612.0f, 792.0f, 1};
    int documentReads = 0;
    void* cursorToLoad = nullptr;
    std::vector<ASInt32> cursorIds;
    std::vector<void*> instancesAsked;
    void* currentCursor = nullptr;
    void* instance = nullptr;

    SPBasicSuite basic{};
    SPPluginRef self = nullptr;

    // A message record for this host.
    SPMessageData Message() const;
    AIToolMessage ToolMessage(AIToolHandle tool, AIRealPoint cursor) const;
    int Held() const; // suites held right now
};

// The host the suite functions report to.
extern Host* current;

} // namespace fake

#endif

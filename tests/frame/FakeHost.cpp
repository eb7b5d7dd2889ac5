#include "FakeHost.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fake {

Host* current = nullptr;

namespace {

std::string Key(const char* name, ASInt32 version) { return std::string(name) + " " + std::to_string(version); }

template <typename T>
T* Handle(std::uintptr_t value) {
    return reinterpret_cast<T*>(value);
}

std::uintptr_t Value(const void* handle) { return reinterpret_cast<std::uintptr_t>(handle); }

Art* ArtOf(AIArtHandle handle) { return reinterpret_cast<Art*>(handle); }
AIArtHandle HandleOf(Art* art) { return reinterpret_cast<AIArtHandle>(art); }

struct Dialog {
    std::size_t modal;
    void* userData;
};
struct Item {
    std::size_t modal;
    ASInt32 id;
};
std::vector<std::unique_ptr<Dialog>> dialogs;
std::vector<std::unique_ptr<Item>> items;

const SPBlocksSuite kBlocks = {
    [](size_t size, const char* name, void** block) -> ASErr {
        if (current->allocateError != kNoErr) return current->allocateError;
        current->blockNames.emplace_back(name);
        current->blockSizes.push_back(size);
        *block = std::calloc(1, size);
        current->liveBlocks.insert(*block);
        return kNoErr;
    },
    [](void* block) -> ASErr {
        current->liveBlocks.erase(block);
        std::free(block);
        ++current->blocksFreed;
        return kNoErr;
    },
    nullptr,
};

const SPAccessSuite kAccess = {
    [](SPPluginRef, SPAccessRef* access) -> ASErr {
        *access = Handle<_t_SPAccess>(0x77);
        return kNoErr;
    },
    [](SPAccessRef access, SPPlatformAccessInfo* info) -> ASErr {
        if (Value(access) != 0x77) return kBadParameterErr;
        info->defaultInstance = current->instance;
        info->LoadCursorA = [](void* instance, ASInt32 id) -> void* {
            current->instancesAsked.push_back(instance);
            current->cursorIds.push_back(id);
            return current->cursorToLoad;
        };
        info->SetCursor = [](void* cursor) -> void* {
            void* previous = current->currentCursor;
            current->currentCursor = cursor;
            return previous;
        };
        return kNoErr;
    },
};

const AIPluginSuite kPlugin = {
    [](SPPluginRef, ASInt32* options) -> ASErr {
        *options = current->pluginOptions;
        return kNoErr;
    },
    [](SPPluginRef, ASInt32 options) -> ASErr {
        current->pluginOptions = options;
        return kNoErr;
    },
    nullptr,
};

const AIMdMemorySuite kMemory = {
    nullptr,
    [](AIMdMemoryHandle handle) -> ASErr {
        auto** array = reinterpret_cast<AIArtHandle**>(handle);
        delete[] *array;
        delete array;
        --current->handlesOut;
        ++current->handlesDisposed;
        return kNoErr;
    },
    nullptr,
    nullptr,
};

AIArtSuite MakeArtSuite() {
    AIArtSuite s{};
    s.GetArtType = [](AIArtHandle art, ASInt16* type) -> ASErr {
        *type = ArtOf(art)->type;
        return kNoErr;
    };
    s.GetArtBounds = [](AIArtHandle art, AIRealRect* bounds) -> ASErr {
        if (ArtOf(art)->boundsError != kNoErr) return ArtOf(art)->boundsError;
        *bounds = ArtOf(art)->bounds;
        return kNoErr;
    };
    s.GetArtFirstChild = [](AIArtHandle art, AIArtHandle* child) -> ASErr {
        *child = ArtOf(art)->children.empty() ? nullptr : HandleOf(ArtOf(art)->children.front());
        return kNoErr;
    };
    s.GetArtSibling = [](AIArtHandle art, AIArtHandle* sibling) -> ASErr {
        *sibling = HandleOf(ArtOf(art)->next);
        return kNoErr;
    };
    return s;
}
const AIArtSuite kArt = MakeArtSuite();

const AIUserSuite kUser = {
    [](const unsigned char* pstring, AIReal* value) -> ASErr {
        std::string text(reinterpret_cast<const char*>(pstring + 1), pstring[0]);
        char* end = nullptr;
        const double parsed = std::strtod(text.c_str(), &end);
        if (end == text.c_str()) return kBadParameterErr;
        *value = static_cast<AIReal>(parsed);
        return kNoErr;
    },
    [](AIReal value, ASInt16 precision, unsigned char* pstring) -> ASErr {
        char text[256];
        const int n = std::snprintf(text, sizeof text, "%.*f", static_cast<int>(precision), static_cast<double>(value));
        pstring[0] = static_cast<unsigned char>(n);
        std::memcpy(pstring + 1, text, static_cast<std::size_t>(n));
        return kNoErr;
    },
};

const AIUndoSuite kUndo = {
    []() -> ASErr {
        ++current->undoCount;
        return kNoErr;
    },
    nullptr,
};

const AIMatchingArtSuite kMatching = {
    [](const AIMatchingArtSpec* criteria, ASInt16 count, AIArtHandle*** matches, ASInt32* numMatches) -> ASErr {
        current->lastCriteria.assign(criteria, criteria + count);
        if (current->matchError != kNoErr) return current->matchError;
        *numMatches = static_cast<ASInt32>(current->selection.size());
        if (current->selection.empty()) {
            *matches = nullptr;
            return kNoErr;
        }
        auto* array = new AIArtHandle[current->selection.size()];
        for (std::size_t i = 0; i < current->selection.size(); ++i) array[i] = HandleOf(current->selection[i]);
        *matches = new AIArtHandle*(array);
        ++current->handlesOut;
        return kNoErr;
    },
    nullptr,
};

const AIDocumentSuite kDocument = {
    [](AIDocumentSetup* setup) -> ASErr {
        ++current->documentReads;
        *setup = current->setup;
        return kNoErr;
    },
    nullptr,
};

ASInt32 ToolNumber(std::size_t position) { return 1000 + static_cast<ASInt32>(position); }

const AIToolSuite kTool = {
    [](SPPluginRef, const char* name, const AIAddToolData* data, ASInt32 options, AIToolHandle* tool) -> ASErr {
        if (current->addToolFailsAt == static_cast<int>(current->tools.size())) return current->addToolError;
        current->tools.push_back(
            {name, data->title, data->tooltip, data->icon, data->sameGroupAs, data->sameToolsetAs, options});
        *tool = Handle<_t_AITool>(0x100 + current->tools.size() - 1);
        return kNoErr;
    },
    [](const char* name, ASInt32* number) -> ASErr {
        for (std::size_t i = 0; i < current->tools.size(); ++i)
            if (current->tools[i].name == name) {
                *number = ToolNumber(i);
                return kNoErr;
            }
        auto known = current->knownTools.find(name);
        if (known == current->knownTools.end()) return kBadParameterErr;
        *number = known->second;
        return kNoErr;
    },
    nullptr,
    nullptr,
    nullptr,
};

const ADMBasicSuite kADMBasic = {
    [](const char* text) -> ASErr {
        current->alerts.emplace_back(text);
        return kNoErr;
    },
    nullptr,
    [](SPPluginRef, ASInt32 list, ASInt32 index, char* buffer, ASInt32 max) -> ASErr {
        buffer[0] = '\0';
        auto found = current->stringLists.find(list);
        if (found == current->stringLists.end() || index < 0 ||
            static_cast<std::size_t>(index) >= found->second.size())
            return kNoErr;
        std::snprintf(buffer, static_cast<std::size_t>(max), "%s", found->second[static_cast<std::size_t>(index)].c_str());
        return kNoErr;
    },
    nullptr,
};

ADMDialogSuite MakeDialogSuite() {
    ADMDialogSuite s{};
    s.Modal = [](SPPluginRef, const char* name, ASInt32 id, ASInt32 style, ADMDialogInitProc init, void* userData,
                 ASInt32* result) -> ASErr {
        current->modals.push_back({name, id, style, {}, {}});
        dialogs.push_back(std::make_unique<Dialog>(Dialog{current->modals.size() - 1, userData}));
        auto* dialog = reinterpret_cast<ADMDialogRef>(dialogs.back().get());
        if (init != nullptr) init(dialog);
        if (current->duringModal) current->duringModal();
        *result = 1;
        return kNoErr;
    };
    s.GetItem = [](ADMDialogRef dialog, ASInt32 id, ADMItemRef* item) -> ASErr {
        items.push_back(std::make_unique<Item>(Item{reinterpret_cast<Dialog*>(dialog)->modal, id}));
        *item = reinterpret_cast<ADMItemRef>(items.back().get());
        return kNoErr;
    };
    s.GetUserData = [](ADMDialogRef dialog, void** userData) -> ASErr {
        *userData = reinterpret_cast<Dialog*>(dialog)->userData;
        return kNoErr;
    };
    return s;
}
const ADMDialogSuite kADMDialog = MakeDialogSuite();

ADMItemSuite MakeItemSuite() {
    ADMItemSuite s{};
    s.SetNotifyProc = [](ADMItemRef item, ADMItemNotifyProc proc) -> ASErr {
        auto* it = reinterpret_cast<Item*>(item);
        if (proc != nullptr) current->modals[it->modal].notifyProcs.insert(it->id);
        return kNoErr;
    };
    s.SetText = [](ADMItemRef item, const char* text) -> ASErr {
        auto* it = reinterpret_cast<Item*>(item);
        current->modals[it->modal].texts[it->id] = text;
        return kNoErr;
    };
    s.DefaultNotify = [](ADMItemRef, ADMNotifierRef) -> ASErr { return kNoErr; };
    return s;
}
const ADMItemSuite kADMItem = MakeItemSuite();

const ADMIconSuite kADMIcon = {
    [](SPPluginRef, ASInt32 list, ASInt32 index, ADMIconRef* icon) -> ASErr {
        current->iconRequests.emplace_back(list, index);
        *icon = Handle<_t_ADMIcon>(static_cast<std::uintptr_t>(0x5000 + index));
        return kNoErr;
    },
    [](ADMIconRef icon, ASInt32* type) -> ASErr {
        const auto index = static_cast<ASInt32>(Value(icon) - 0x5000);
        auto found = current->iconTypes.find(index);
        *type = found == current->iconTypes.end() ? kADMIconBitmapType : found->second;
        return kNoErr;
    },
    nullptr,
    [](ADMIconRef) -> ASErr {
        ++current->iconsDestroyed;
        return kNoErr;
    },
};

// Suites the frame only holds in these tests: tables nobody calls.
const unsigned char kBlank[512] = {};

struct Offer {
    const char* name;
    ASInt32 version;
    const void* table;
};

const Offer kOffers[] = {
    {kSPBlocksSuite, kSPBlocksSuiteVersion, &kBlocks},
    {kSPAccessSuite, kSPAccessSuiteVersion, &kAccess},
    {kAIPluginSuite, kAIPluginSuiteVersion, &kPlugin},
    {kAIMdMemorySuite, kAIMdMemorySuiteVersion, &kMemory},
    {kAIRealMathSuite, kAIRealMathSuiteVersion, kBlank},
    {kAIArtSuite, kAIArtSuiteVersion, &kArt},
    {kAIUserSuite, kAIUserSuiteVersion, &kUser},
    {kAIPathSuite, kAIPathSuiteVersion, kBlank},
    {kAIPathfinderSuite, kAIPathfinderSuiteVersion, kBlank},
    {kAIPathStyleSuite, kAIPathStyleSuiteVersion, kBlank},
    {kAIUndoSuite, kAIUndoSuiteVersion, &kUndo},
    {kAIMatchingArtSuite, kAIMatchingArtSuiteVersion, &kMatching},
    {kAITransformArtSuite, kAITransformArtSuiteVersion, kBlank},
    {kAITagSuite, kAITagSuiteVersion, kBlank},
    {kAIRandomSuite, kAIRandomSuiteVersion, kBlank},
    {kAIBlendStyleSuite, kAIBlendStyleSuiteVersion, kBlank},
    {kAIArtStyleSuite, kAIArtStyleSuiteVersion, kBlank},
    {kAISwatchListSuite, kAISwatchListSuiteVersion, kBlank},
    {kAIShapeConstructionSuite, kAIShapeConstructionSuiteVersion, kBlank},
    {kAIPreferenceSuite, kAIPreferenceSuiteVersion, kBlank},
    {kAIDocumentSuite, kAIDocumentSuiteVersion, &kDocument},
    {kAIEnvelopeSuite, kAIEnvelopeSuiteVersion, kBlank},
    {kAILayerSuite, kAILayerSuiteVersion, kBlank},
    {kAIToolSuite, kAIToolSuiteVersion, &kTool},
    {kADMBasicSuite, kADMBasicSuiteVersion, &kADMBasic},
    {kADMDialogSuite, kADMDialogSuiteVersion, &kADMDialog},
    {kADMItemSuite, kADMItemSuiteVersion, &kADMItem},
    {kADMIconSuite, kADMIconSuiteVersion, &kADMIcon},
    {kADMTrackerSuite, kADMTrackerSuiteVersion, kBlank},
    {kADMListSuite, kADMListSuiteVersion, kBlank},
    {kADMEntrySuite, kADMEntrySuiteVersion, kBlank},
    {kADMNotifierSuite, kADMNotifierSuiteVersion, kBlank},
};

} // namespace

Host::Host() {
    current = this;
    basic.AcquireSuite = [](const char* name, ASInt32 version, const void** suite) -> ASErr {
        current->acquired.push_back(Key(name, version));
        if (current->missing.count(name) != 0) return kSuiteNotFoundErr;
        for (const Offer& offer : kOffers)
            if (std::strcmp(offer.name, name) == 0 && offer.version == version) {
                *suite = offer.table;
                ++current->held[name];
                return kNoErr;
            }
        return kSuiteNotFoundErr;
    };
    basic.ReleaseSuite = [](const char* name, ASInt32 version) -> ASErr {
        current->released.push_back(Key(name, version));
        if (current->held[name] <= 0) return kBadParameterErr;
        --current->held[name];
        return kNoErr;
    };
    basic.IsEqual = [](const char* a, const char* b, ASBoolean* equal) -> ASErr {
        *equal = std::strcmp(a, b) == 0 ? 1 : 0;
        return kNoErr;
    };
    self = Handle<_t_SPPlugin>(0x42);
    instance = Handle<void>(0x99);
}

Host::~Host() {
    for (void* block : liveBlocks) std::free(block);
    dialogs.clear();
    items.clear();
    if (current == this) current = nullptr;
}

Art* Host::NewArt(ASInt16 type, AIRealRect bounds) {
    art.push_back(std::make_unique<Art>());
    art.back()->type = type;
    art.back()->bounds = bounds;
    return art.back().get();
}

SPMessageData Host::Message() const {
    SPMessageData message{};
    message.self = self;
    message.basic = const_cast<SPBasicSuite*>(&basic);
    return message;
}

AIToolMessage Host::ToolMessage(AIToolHandle tool, AIRealPoint cursor) const {
    AIToolMessage message{};
    message.d = Message();
    message.tool = tool;
    message.cursor = cursor;
    message.pressure = 128;
    return message;
}

int Host::Held() const {
    int total = 0;
    for (const auto& [name, count] : held) total += count;
    return total;
}

} // namespace fake

#include "FrameHost.h"

#include "tests/support/HostStartup.h"

#include <cstdio>

namespace framehost {

Host* current = nullptr;

namespace {

std::string Key(const char* name, ASInt32 version) { return std::string(name) + " " + std::to_string(version); }

// Runs the test's hook inside the open dialog, then closes it as a batch run does.
struct HookDriver : easel::adm::DialogDriver {
    void run(easel::adm::Dialog& dialog) override {
        if (current->duringModal) current->duringModal();
        easel::adm::DismissDriver().run(dialog);
    }
};
HookDriver hookDriver;

ASErr AcquireSuite(const char* name, ASInt32 version, const void** suite) {
    current->acquired.push_back(Key(name, version));
    if (current->missing.count(name) != 0) return kSuiteNotFoundErr;
    const ASErr err = easel::spBasicSuite()->AcquireSuite(name, version, suite);
    auto found = current->edited.find(name);
    if (err == kNoErr && found != current->edited.end()) *suite = found->second.get();
    return err;
}

ASErr ReleaseSuite(const char* name, ASInt32 version) {
    current->released.push_back(Key(name, version));
    return easel::spBasicSuite()->ReleaseSuite(name, version);
}

} // namespace

std::string Modal::Text(ASInt32 item) const {
    for (const auto& it : record.items)
        if (it.id == item) return it.text;
    return "<no item " + std::to_string(item) + ">";
}

Host::Host(const std::string& bundle, float width, float height) {
    current = this;
    easel::HostState& state = easel::hostState();
    easel::test::startHost();
    doc = easel::newDocument(width, height);
    state.document = doc.get();
    state.onShown = [](const easel::ShownMessage& m) {
        if (m.kind.find("alert") != std::string::npos) current->alerts.push_back(m.texts.at(0));
    };
    loader = std::make_unique<easel::Loader>(std::vector<std::filesystem::path>{EASEL_PLUGIN_DIR});
    std::string error;
    plugin = loader->load(bundle, error);
    if (plugin == nullptr) std::fprintf(stderr, "cannot load %s: %s\n", bundle.c_str(), error.c_str());
    basic = *easel::spBasicSuite();
    basic.AcquireSuite = AcquireSuite;
    basic.ReleaseSuite = ReleaseSuite;

    Edit<ADMDialogSuite>(kADMDialogSuite, kADMDialogSuiteVersion, [](ADMDialogSuite& s) {
        s.Modal = [](SPPluginRef self, const char* name, ASInt32 id, ASInt32 style, ADMDialogInitProc init,
                     void* userData, ASInt32* result) -> ASErr {
            current->modals.push_back({name, id, style, {}});
            const std::size_t at = current->modals.size() - 1;
            easel::adm::dialogManager().onClosed = [at](const easel::adm::DialogRecord& r) {
                current->modals[at].record = r;
            };
            easel::adm::dialogManager().setNextDriver(&hookDriver);
            return Real<ADMDialogSuite>(kADMDialogSuite, kADMDialogSuiteVersion)
                .Modal(self, name, id, style, init, userData, result);
        };
    });
    Edit<ADMBasicSuite>(kADMBasicSuite, kADMBasicSuiteVersion, [](ADMBasicSuite& s) {
        s.GetIndexString = [](SPPluginRef self, ASInt32 list, ASInt32 index, char* buffer, ASInt32 max) -> ASErr {
            const auto& strings = current->stringList;
            if (strings.empty())
                return Real<ADMBasicSuite>(kADMBasicSuite, kADMBasicSuiteVersion)
                    .GetIndexString(self, list, index, buffer, max);
            const bool in = index >= 0 && static_cast<std::size_t>(index) < strings.size();
            std::snprintf(buffer, static_cast<std::size_t>(max), "%s",
                          in ? strings[static_cast<std::size_t>(index)].c_str() : "");
            return kNoErr;
        };
    });
    Edit<AIUndoSuite>(kAIUndoSuite, kAIUndoSuiteVersion, [](AIUndoSuite& s) {
        s.UndoChanges = []() -> ASErr {
            ++current->undoCount;
            return Real<AIUndoSuite>(kAIUndoSuite, kAIUndoSuiteVersion).UndoChanges();
        };
    });
    Edit<AIMatchingArtSuite>(kAIMatchingArtSuite, kAIMatchingArtSuiteVersion, [](AIMatchingArtSuite& s) {
        s.GetMatchingArt = [](const AIMatchingArtSpec* specs, ASInt16 n, AIArtHandle*** matches,
                              ASInt32* count) -> ASErr {
            current->lastCriteria.assign(specs, specs + n);
            return Real<AIMatchingArtSuite>(kAIMatchingArtSuite, kAIMatchingArtSuiteVersion)
                .GetMatchingArt(specs, n, matches, count);
        };
    });
    Edit<SPBlocksSuite>(kSPBlocksSuite, kSPBlocksSuiteVersion, [](SPBlocksSuite& s) {
        s.AllocateBlock = [](size_t size, const char* name, void** block) -> ASErr {
            if (current->allocateError != kNoErr) return current->allocateError;
            current->blockSizes.push_back(size);
            return Real<SPBlocksSuite>(kSPBlocksSuite, kSPBlocksSuiteVersion).AllocateBlock(size, name, block);
        };
    });
}

Host::~Host() {
    easel::adm::dialogManager().onClosed = nullptr;
    easel::adm::dialogManager().setNextDriver(nullptr);
    easel::HostState& state = easel::hostState();
    state.onShown = nullptr;
    state.document = nullptr;
    loader.reset();
    state.reset();
    if (current == this) current = nullptr;
}

SPMessageData Host::Message() const {
    SPMessageData message{};
    message.self = plugin != nullptr ? plugin->ref() : nullptr;
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

ASErr Host::Call(const char* caller, const char* selector) {
    SPMessageData message = Message();
    return PluginMain(caller, selector, &message);
}

ASErr Host::Tool(const char* selector, AIToolHandle tool, AIRealPoint cursor) {
    AIToolMessage message = ToolMessage(tool, cursor);
    return PluginMain(kCallerAITool, selector, &message);
}

AIArtHandle Host::Square(float left, float bottom, float size, AIArtHandle inside) {
    easel::Art* art = nullptr;
    doc->newArt(kPathArt, inside != nullptr ? kPlaceInsideOnTop : kPlaceAboveAll, easel::Art::fromHandle(inside),
                &art);
    const AIPathSegment segs[] = {{{left, bottom}, {left, bottom}, {left, bottom}, 1},
                                  {{left + size, bottom}, {left + size, bottom}, {left + size, bottom}, 1},
                                  {{left + size, bottom + size}, {left + size, bottom + size}, {left + size, bottom + size}, 1},
                                  {{left, bottom + size}, {left, bottom + size}, {left, bottom + size}, 1}};
    doc->setSegmentCount(art, 4);
    doc->setSegments(art, 0, 4, segs);
    doc->setClosed(art, true);
    doc->setSelected(art, true);
    return art->handle();
}

} // namespace framehost

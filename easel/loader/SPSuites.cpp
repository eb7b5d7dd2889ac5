// SP Basic, SP Blocks, SP Access and AI Plugin: the suites that answer about
// suites themselves, host memory blocks and the loaded plug-ins.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

#include "host/AISuites.h"
#include "core/HostState.h"
#include "Loader.h"

namespace easel {

namespace {

// ---- SP Basic ----
ASErr basicAcquireSuite(const char* name, ASInt32 version, const void** suite) {
    if (!name || !suite) return kBadParameterErr;
    const void* table = hostState().suites.find(name, version);
    if (!table) {
        *suite = nullptr;
        return kSuiteNotFoundErr;
    }
    hostState().suites.noteAcquired(name, version);
    *suite = table;
    return kNoErr;
}

ASErr basicReleaseSuite(const char* name, ASInt32 version) {
    if (!name) return kBadParameterErr;
    if (!hostState().suites.find(name, version)) return kSuiteNotFoundErr;
    return hostState().suites.noteReleased(name, version) ? kNoErr : kBadParameterErr;
}

ASErr basicIsEqual(const char* a, const char* b, ASBoolean* equal) {
    if (!a || !b || !equal) return kBadParameterErr;
    *equal = std::strcmp(a, b) == 0 ? 1 : 0;
    return kNoErr;
}

SPBasicSuite gBasic = {basicAcquireSuite, basicReleaseSuite, basicIsEqual};

// ---- SP Blocks ----
// Blocks belong to the host: they outlive library unloads, and whatever a
// plug-in never frees is freed when the host exits.
struct Blocks {
    std::map<void*, size_t> live;
    ~Blocks() {
        for (auto& [p, size] : live) std::free(p);
    }
};

Blocks& blocks() {
    static Blocks b;
    return b;
}

ASErr blocksAllocate(size_t size, const char* /*debugName*/, void** block) {
    if (!block) return kBadParameterErr;
    *block = std::calloc(size ? size : 1, 1);
    if (!*block) return kOutOfMemoryErr;
    blocks().live[*block] = size;
    return kNoErr;
}

ASErr blocksFree(void* block) {
    auto& live = blocks().live;
    auto it = live.find(block);
    if (it == live.end()) return kBadParameterErr;
    std::free(block);
    live.erase(it);
    return kNoErr;
}

ASErr blocksReallocate(void* block, size_t newSize, const char* /*debugName*/, void** newBlock) {
    if (!newBlock) return kBadParameterErr;
    if (!block) return blocksAllocate(newSize, nullptr, newBlock);
    auto& live = blocks().live;
    auto it = live.find(block);
    if (it == live.end()) return kBadParameterErr;
    const size_t oldSize = it->second;
    void* grown = std::realloc(block, newSize ? newSize : 1);
    if (!grown) return kOutOfMemoryErr;
    if (newSize > oldSize) std::memset(static_cast<char*>(grown) + oldSize, 0, newSize - oldSize);
    live.erase(it);
    live[grown] = newSize;
    *newBlock = grown;
    return kNoErr;
}

const SPBlocksSuite kBlocks = {blocksAllocate, blocksFree, blocksReallocate};

// ---- SP Access ----
const void*& currentCursorSlot() {
    static const void* cursor = nullptr;
    return cursor;
}

void* accessLoadCursor(void* instance, ASInt32 resourceId) {
    Loader* loader = Loader::active();
    Plugin* p = loader ? loader->byInstance(instance) : nullptr;
    if (!p) return nullptr;
    for (auto& c : p->cursors)
        if (c->id == resourceId) return c.get();
    auto img = adm::readCursor(p->bundle(), resourceId);
    if (!img) return nullptr;
    auto cursor = std::make_unique<Cursor>();
    cursor->id = resourceId;
    cursor->image = std::move(*img);
    p->cursors.push_back(std::move(cursor));
    return p->cursors.back().get();
}

void* accessSetCursor(void* cursor) {
    const void* previous = currentCursorSlot();
    currentCursorSlot() = cursor;
    return const_cast<void*>(previous);
}

ASErr accessGetPluginAccess(SPPluginRef plugin, SPAccessRef* access) {
    Loader* loader = Loader::active();
    if (!access || !loader || !loader->byRef(plugin)) return kBadParameterErr;
    *access = reinterpret_cast<SPAccessRef>(plugin);
    return kNoErr;
}

ASErr accessGetAccessInfo(SPAccessRef access, SPPlatformAccessInfo* info) {
    Loader* loader = Loader::active();
    Plugin* p = loader ? loader->byRef(reinterpret_cast<SPPluginRef>(access)) : nullptr;
    if (!p || !info) return kBadParameterErr;
    info->defaultInstance = p->instance();
    info->LoadCursorA = accessLoadCursor;
    info->SetCursor = accessSetCursor;
    return kNoErr;
}

const SPAccessSuite kAccess = {accessGetPluginAccess, accessGetAccessInfo};

// ---- AI Plugin ----
Plugin* pluginOf(SPPluginRef ref) {
    Loader* loader = Loader::active();
    return loader ? loader->byRef(ref) : nullptr;
}

ASErr pluginGetOptions(SPPluginRef ref, ASInt32* options) {
    Plugin* p = pluginOf(ref);
    if (!p || !options) return kBadParameterErr;
    *options = p->options;
    return kNoErr;
}

ASErr pluginSetOptions(SPPluginRef ref, ASInt32 options) {
    Plugin* p = pluginOf(ref);
    if (!p) return kBadParameterErr;
    p->options = options;
    return kNoErr;
}

ASErr pluginGetName(SPPluginRef ref, char* name, ASInt32 max) {
    Plugin* p = pluginOf(ref);
    if (!p || !name || max <= 0) return kBadParameterErr;
    const size_t n = std::min(p->name().size(), static_cast<size_t>(max) - 1);
    std::memcpy(name, p->name().data(), n);
    name[n] = '\0';
    return kNoErr;
}

const AIPluginSuite kPlugin = {pluginGetOptions, pluginSetOptions, pluginGetName};

}  // namespace

void registerSPSuites(SuiteRegistry& r) {
    r.add(kSPBasicSuite, kSPBasicSuiteVersion, &gBasic);
    r.add(kSPBlocksSuite, kSPBlocksSuiteVersion, &kBlocks);
    r.add(kSPAccessSuite, kSPAccessSuiteVersion, &kAccess);
    r.add(kAIPluginSuite, kAIPluginSuiteVersion, &kPlugin);
}

SPBasicSuite* spBasicSuite() { return &gBasic; }

const Cursor* currentCursor() { return static_cast<const Cursor*>(currentCursorSlot()); }

size_t liveBlocks() { return blocks().live.size(); }

}  // namespace easel

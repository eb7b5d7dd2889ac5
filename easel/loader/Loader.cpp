#include "Loader.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "host/AISuites.h"
#include "core/HostState.h"
#include "core/Progress.h"

#ifndef EASEL_BUILD_PLUGIN_DIR
#define EASEL_BUILD_PLUGIN_DIR ""
#endif
#ifndef EASEL_BUILD_DIR
#define EASEL_BUILD_DIR ""
#endif
#ifndef EASEL_INSTALLED_PLUGIN_DIR
#define EASEL_INSTALLED_PLUGIN_DIR "lib/easel/plugins"
#endif

namespace easel {

namespace {

Loader*& activeLoader() {
    static Loader* loader = nullptr;
    return loader;
}

uint32_t le32(const std::vector<uint8_t>& d, size_t at) {
    return static_cast<uint32_t>(d[at]) | (static_cast<uint32_t>(d[at + 1]) << 8) |
           (static_cast<uint32_t>(d[at + 2]) << 16) | (static_cast<uint32_t>(d[at + 3]) << 24);
}

constexpr uint32_t fourcc(char a, char b, char c, char d) {
    return (static_cast<uint32_t>(static_cast<uint8_t>(a)) << 24) |
           (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 8) | static_cast<uint32_t>(static_cast<uint8_t>(d));
}

std::string fourccText(uint32_t code) {
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = static_cast<char>((code >> shift) & 0xFF);
        s += (c >= 32 && c < 127) ? c : '?';
    }
    return s;
}

// The platform's dynamic libraries.
#ifdef _WIN32
constexpr char kPathSeparator = ';';
void* openLibrary(const std::filesystem::path& file, std::string& why) {
    HMODULE module = LoadLibraryW(file.c_str());
    if (module == nullptr) why = "Windows error " + std::to_string(GetLastError());
    return module;
}
void* librarySymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
void closeLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }
#else
constexpr char kPathSeparator = ':';
void* openLibrary(const std::filesystem::path& file, std::string& why) {
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* error = dlerror();
        why = error ? error : "unknown error";
    }
    return handle;
}
void* librarySymbol(void* library, const char* name) { return dlsym(library, name); }
void closeLibrary(void* library) { dlclose(library); }
#endif

// Restores a value when the scope ends.
template <typename T>
struct Restore {
    T& ref;
    T saved;
    explicit Restore(T& r) : ref(r), saved(r) {}
    ~Restore() { ref = saved; }
    Restore(const Restore&) = delete;
    Restore& operator=(const Restore&) = delete;
};

}  // namespace

std::optional<PropertyList> parsePropertyList(const std::vector<uint8_t>& d, std::string& error) {
    if (d.size() < 10) {
        error = "property list is " + std::to_string(d.size()) + " bytes, too short for its header";
        return std::nullopt;
    }
    const unsigned format = static_cast<unsigned>(d[0] | (d[1] << 8));
    if (format != 1) {
        error = "property list format word is " + std::to_string(format) + ", expected 1";
        return std::nullopt;
    }
    if (le32(d, 2) != 0) {
        error = "property list version is " + std::to_string(le32(d, 2)) + ", expected 0";
        return std::nullopt;
    }
    const uint32_t count = le32(d, 6);
    PropertyList pl;
    bool haveEntry = false;
    size_t at = 10;
    for (uint32_t i = 0; i < count; ++i) {
        if (d.size() - at < 16) {
            error = "property " + std::to_string(i) + " of " + std::to_string(count) + " is cut off at byte " +
                    std::to_string(at);
            return std::nullopt;
        }
        const uint32_t vendor = le32(d, at), key = le32(d, at + 4), length = le32(d, at + 12);
        at += 16;
        if (length % 4 != 0 || length > d.size() - at) {
            error = "property '" + fourccText(key) + "' has a bad data length " + std::to_string(length);
            return std::nullopt;
        }
        if (vendor == fourcc('A', 'D', 'B', 'E')) {
            if (key == fourcc('k', 'i', 'n', 'd') && length >= 4) pl.kind = le32(d, at);
            if (key == fourcc('i', 'v', 'r', 's') && length >= 4) pl.interfaceVersion = static_cast<int32_t>(le32(d, at));
            if (key == fourcc('w', 'x', '8', '6')) {
                auto begin = d.begin() + static_cast<std::ptrdiff_t>(at);
                auto end = begin + static_cast<std::ptrdiff_t>(length);
                auto nul = std::find(begin, end, uint8_t{0});
                if (nul == end) {
                    error = "entry name in the 'wx86' property is not terminated";
                    return std::nullopt;
                }
                pl.entryName.assign(begin, nul);
                haveEntry = !pl.entryName.empty();
            }
        }
        at += length;
    }
    // Up to three pad bytes may follow the last property.
    if (d.size() - at > 3 || std::any_of(d.begin() + static_cast<std::ptrdiff_t>(at), d.end(), [](uint8_t b) { return b != 0; })) {
        error = "property list has " + std::to_string(d.size() - at) + " unexpected bytes after its " +
                std::to_string(count) + " properties";
        return std::nullopt;
    }
    if (!haveEntry) {
        error = "property list has no 'wx86' entry name";
        return std::nullopt;
    }
    return pl;
}

Loader::Loader(std::vector<std::filesystem::path> dirs) : dirs_(std::move(dirs)) {
    activeLoader() = this;
    adm::setBundleResolver([](SPPluginRef ref) -> std::optional<std::filesystem::path> {
        Loader* l = Loader::active();
        Plugin* p = l ? l->byRef(ref) : nullptr;
        if (!p) return std::nullopt;
        return p->bundle();
    });
}

Loader::~Loader() {
    for (auto& p : plugins_)
        if (p->handle_) closeLibrary(p->handle_);
    if (activeLoader() == this) {
        activeLoader() = nullptr;
        adm::setBundleResolver(nullptr);
    }
}

Loader* Loader::active() { return activeLoader(); }

std::vector<std::filesystem::path> Loader::searchPath(const std::vector<std::filesystem::path>& dirs) {
    std::vector<std::filesystem::path> out = dirs;
    if (const char* env = std::getenv("EASEL_PLUGINS")) {
        std::string s = env;
        size_t start = 0;
        while (start <= s.size()) {
            size_t colon = s.find(kPathSeparator, start);
            if (colon == std::string::npos) colon = s.size();
            if (colon > start) out.emplace_back(s.substr(start, colon - start));
            start = colon + 1;
        }
    }
    if (auto own = ownPluginDir()) out.push_back(*own);
    return out;
}

std::optional<std::filesystem::path> Loader::ownPluginDir() {
    const std::string build = EASEL_BUILD_PLUGIN_DIR;
#ifdef _WIN32
    // Windows builds are used from their build tree (or given --plugins).
    if (build.empty()) return std::nullopt;
    return std::filesystem::path(build);
#else
    // A program inside the build tree it was made in uses that tree's
    // bundles; anywhere else it is an installed easel: PREFIX/bin/easel
    // finds them in PREFIX/lib/easel/plugins, never in the build tree.
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return build.empty() ? std::nullopt : std::optional<std::filesystem::path>(build);
    const auto buildDir = std::filesystem::weakly_canonical(EASEL_BUILD_DIR, ec);
    if (!build.empty() && !buildDir.empty()) {
        const auto rel = exe.lexically_relative(buildDir);
        if (!rel.empty() && *rel.begin() != "..") return std::filesystem::path(build);
    }
    return exe.parent_path().parent_path() / EASEL_INSTALLED_PLUGIN_DIR;
#endif
}

std::optional<std::filesystem::path> Loader::find(const std::string& name) const {
    for (const auto& dir : dirs_) {
        auto bundle = dir / (name + ".aip");
        std::error_code ec;
        if (std::filesystem::is_directory(bundle, ec)) return bundle;
#ifdef _WIN32
        if (adm::isDllBundle(bundle)) return bundle;  // the plug-in DLL with its resources inside
#endif
    }
    return std::nullopt;
}

Plugin* Loader::load(const std::string& name, std::string& error) {
    if (Plugin* p = byName(name)) return p;
    auto bundle = find(name);
    if (!bundle) {
        error = "plug-in '" + name + "' not found: no " + name + ".aip in";
        if (dirs_.empty()) error += " any folder (give --plugins DIR or set EASEL_PLUGINS)";
        for (const auto& d : dirs_) error += " " + d.string();
        return nullptr;
    }
    return loadBundle(*bundle, error);
}

Plugin* Loader::loadBundle(const std::filesystem::path& bundle, std::string& error) {
    auto p = std::make_unique<Plugin>();
    p->bundle_ = bundle;
    p->name_ = bundle.stem().string();
    const bool dll = adm::isDllBundle(bundle);
    const auto piplFile = dll ? bundle : bundle / "PiPL" / "16000.pipl";
    std::optional<std::vector<uint8_t>> data;
    if (dll) {
        std::string why;
        data = adm::dllResources(bundle, &why)({0, "PIPL"}, 16000);
    } else if (std::ifstream in(piplFile, std::ios::binary); in) {
        data.emplace((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    if (!data) {
        error = "plug-in '" + p->name_ + "': cannot read its property list " +
                (dll ? "(resource PIPL 16000) in " : "") + piplFile.string();
        return nullptr;
    }
    std::string why;
    auto pl = parsePropertyList(*data, why);
    if (!pl) {
        error = "plug-in '" + p->name_ + "' refused: " + piplFile.string() + ": " + why;
        return nullptr;
    }
    p->properties_ = *pl;
    p->library_ = dll ? bundle : bundle / (p->name_ + ".so");
    if (!open(*p, error)) return nullptr;
    plugins_.push_back(std::move(p));
    return plugins_.back().get();
}

bool Loader::open(Plugin& p, std::string& error) {
    std::string why;
    void* handle = openLibrary(p.library_, why);
    if (!handle) {
        error = "plug-in '" + p.name_ + "': cannot load " + p.library_.string() + ": " + why;
        return false;
    }
    void* sym = librarySymbol(handle, p.properties_.entryName.c_str());
    if (!sym) {
        closeLibrary(handle);
        error = "plug-in '" + p.name_ + "': " + p.library_.string() + " exports no '" + p.properties_.entryName +
                "' (the entry its property list names)";
        return false;
    }
    p.handle_ = handle;
    p.main_ = reinterpret_cast<PluginMainProc>(sym);
    return true;
}

ASErr Loader::send(Plugin& p, const char* caller, const char* selector, SPMessageData* message) {
    if (!p.main_) return kBadParameterErr;
    message->SPCheck = fourcc('S', 'P', 'C', 'k');
    message->self = p.ref();
    message->globals = p.globals_;
    message->basic = spBasicSuite();
    ++p.depth_;
    ++p.messagesSent;
    p.deepestNesting = std::max(p.deepestNesting, p.depth_ - 1);
    ASErr err = p.main_(caller, selector, message);
    --p.depth_;
    p.globals_ = message->globals;
    return err;
}

ASErr Loader::startup(Plugin& p) {
    SPMessageData m{};
    return send(p, kSPInterfaceCaller, kSPInterfaceStartupSelector, &m);
}

ASErr Loader::about(Plugin& p) {
    SPMessageData m{};
    return send(p, kSPInterfaceCaller, kSPInterfaceAboutSelector, &m);
}

ASErr Loader::shutdown(Plugin& p) {
    SPMessageData m{};
    return send(p, kSPInterfaceCaller, kSPInterfaceShutdownSelector, &m);
}

ASErr Loader::unload(Plugin& p) {
    if (!p.main_) return kBadParameterErr;
    SPMessageData m{};
    ASErr err = send(p, kSPAccessCaller, kSPAccessUnloadSelector, &m);
    closeLibrary(p.handle_);
    p.handle_ = nullptr;
    p.main_ = nullptr;
    return err;
}

ASErr Loader::reload(Plugin& p, std::string& error) {
    if (p.main_) return kNoErr;
    if (!open(p, error)) return kBadParameterErr;
    SPMessageData m{};
    return send(p, kSPAccessCaller, kSPAccessReloadSelector, &m);
}

ASErr Loader::sendTool(Plugin& p, const char* selector, AIToolHandle tool, AIRealPoint cursor, int16_t pressure,
                       int32_t modifiers) {
    Restore<int32_t> keep(hostState().modifiers);
    hostState().modifiers = modifiers;
    AIToolMessage m{};
    m.tool = tool;
    m.cursor = cursor;
    m.pressure = pressure;
    Progress::Event event(progress(), toolEventName(selector, tool));
    return send(p, kCallerAITool, selector, &m.d);
}

std::string Loader::toolEventName(const char* selector, AIToolHandle tool) {
    std::string what;
    if (RegisteredTool* t = hostState().toolByHandle(tool)) {
        // The short title the command line shows: no padding, no product prefix.
        what = shortToolTitle(t->title.empty() ? t->name : t->title);
    }
    if (what.empty()) what = "tool";
    const std::string s = selector ? selector : "";
    if (s == kSelectorAIToolMouseDown) {
        dragEvents_ = 0;
        return what + " mouse down";
    }
    if (s == kSelectorAIToolMouseDrag) return what + " drag event " + std::to_string(++dragEvents_);
    if (s == kSelectorAIToolMouseUp) return what + " mouse up";
    if (s == kSelectorAIEditToolOptions) return what + " options";
    return what + " " + s;
}

Plugin* Loader::byRef(SPPluginRef ref) const {
    for (const auto& p : plugins_)
        if (p->ref() == ref) return p.get();
    return nullptr;
}

Plugin* Loader::byInstance(const void* instance) const {
    for (const auto& p : plugins_)
        if (p->instance() == instance) return p.get();
    return nullptr;
}

Plugin* Loader::byName(const std::string& name) const {
    for (const auto& p : plugins_)
        if (p->name() == name) return p.get();
    return nullptr;
}

}  // namespace easel

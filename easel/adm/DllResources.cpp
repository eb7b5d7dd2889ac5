// Resources of a bundle that is a plug-in DLL: the lookup through the
// Windows resource functions, and the readers of the Win32 formats (STR#
// lists, DIALOGEX templates, icon and cursor groups), which are plain byte
// parsing and work on any platform.
#include <filesystem>
#include <memory>
#include <type_traits>

#include "Resources.h"
#include "host/Win32Controls.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace easel::adm {

namespace {

using Bytes = std::vector<uint8_t>;

void setError(std::string* error, std::string message) {
    if (error) *error = std::move(message);
}

// A little-endian reader that reports running past the end.
struct Reader {
    const Bytes& d;
    size_t at = 0;
    bool ok = true;
    uint16_t u16() {
        if (d.size() - at < 2 || at > d.size()) {
            ok = false;
            return 0;
        }
        const auto v = static_cast<uint16_t>(d[at] | (d[at + 1] << 8));
        at += 2;
        return v;
    }
    uint32_t u32() {
        const uint32_t lo = u16();
        return lo | (static_cast<uint32_t>(u16()) << 16);
    }
    int16_t s16() { return static_cast<int16_t>(u16()); }
    // A UTF-16 text ending in 0; characters past 0x7F become '?'.
    std::string wide() {
        std::string s;
        for (uint16_t c = u16(); ok && c != 0; c = u16()) s += c < 0x80 ? static_cast<char>(c) : '?';
        return s;
    }
    // A class, menu or title field: 0, 0xFFFF and a number, or a text.
    void numberOrText(uint16_t& number, std::string& text) {
        const uint16_t first = u16();
        if (first == 0xFFFF) {
            number = u16();
        } else if (first != 0) {
            at -= 2;
            text = wide();
        }
    }
    void align4() { at = (at + 3) & ~size_t{3}; }
};

std::string resourceName(const char* type, int32_t id) { return std::string(type) + " " + std::to_string(id); }

}  // namespace

bool isDllBundle(const std::filesystem::path& bundle) {
    std::error_code ec;
    return std::filesystem::is_regular_file(bundle, ec);
}

#ifdef _WIN32
ResourceLookup dllResources(const std::filesystem::path& dll, std::string*) {
    return [dll](const ResourceType& type, int32_t id) -> std::optional<Bytes> {
        // Loaded as data only: no code of the plug-in runs.
        HMODULE module = LoadLibraryExW(dll.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (module == nullptr) return std::nullopt;
        std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&FreeLibrary)> keep(module, FreeLibrary);
        const std::wstring name(type.name.begin(), type.name.end());
        // A number stands for itself in a name's place (what MAKEINTRESOURCE writes).
        auto number = [](uint16_t n) { return reinterpret_cast<const wchar_t*>(static_cast<ULONG_PTR>(n)); };
        const wchar_t* typeArg = type.name.empty() ? number(type.id) : name.c_str();
        HRSRC found = FindResourceW(module, number(static_cast<uint16_t>(id)), typeArg);
        if (found == nullptr) return std::nullopt;
        HGLOBAL loaded = LoadResource(module, found);
        const void* data = loaded ? LockResource(loaded) : nullptr;
        if (data == nullptr) return std::nullopt;
        const auto* bytes = static_cast<const uint8_t*>(data);
        return Bytes(bytes, bytes + SizeofResource(module, found));
    };
}
#else
ResourceLookup dllResources(const std::filesystem::path& dll, std::string* error) {
    setError(error, dll.string() + ": plug-in DLLs are read on Windows only");
    return [](const ResourceType&, int32_t) -> std::optional<Bytes> { return std::nullopt; };
}
#endif

std::optional<std::vector<std::string>> stringListFrom(const ResourceLookup& lookup, int32_t id, const std::string& where,
                                                       std::string* error) {
    auto data = lookup({0, resources::win32::kStringListType}, id);
    if (!data) {
        setError(error, "no string list " + std::to_string(id) + " in " + where);
        return std::nullopt;
    }
    // A 16-bit count, then each entry's bytes ending in 0.
    Reader r{*data};
    const uint16_t count = r.u16();
    std::vector<std::string> out;
    for (uint16_t i = 0; r.ok && i < count; ++i) {
        std::string s;
        while (r.at < data->size() && (*data)[r.at] != 0) s += static_cast<char>((*data)[r.at++]);
        if (r.at >= data->size()) r.ok = false;
        ++r.at;
        out.push_back(std::move(s));
    }
    if (!r.ok) {
        setError(error, where + ": " + resourceName("STR#", id) + " is cut off after " + std::to_string(out.size()) +
                            " of its " + std::to_string(count) + " entries");
        return std::nullopt;
    }
    return out;
}

std::optional<DialogTemplate> dialogTemplateFrom(const ResourceLookup& lookup, int32_t id, const std::string& where,
                                                 std::string* error) {
    auto data = lookup({resources::win32::kDialogType, {}}, id);
    if (!data) return std::nullopt;  // as for a bundle folder: a dialog may have no template
    namespace w = resources::win32;
    Reader r{*data};
    const uint16_t version = r.u16(), signature = r.u16();
    if (version != 1 || signature != 0xFFFF) {
        setError(error, where + ": dialog " + std::to_string(id) + " is not a DIALOGEX template");
        return std::nullopt;
    }
    r.u32();  // help id
    r.u32();  // extended style
    const uint32_t style = r.u32();
    const uint16_t count = r.u16();
    r.s16();
    r.s16();
    DialogTemplate t;
    t.width = w::UnitsToPixelsX(r.s16());
    t.height = w::UnitsToPixelsY(r.s16());
    uint16_t number = 0;
    std::string text;
    r.numberOrText(number, text);  // menu
    r.numberOrText(number, text);  // class
    t.caption = r.wide();
    if (style & 0x40) {  // DS_SETFONT
        t.fontSize = r.u16();
        r.u16();  // weight
        r.u16();  // italic, character set
        t.font = r.wide();
    }
    for (uint16_t i = 0; r.ok && i < count; ++i) {
        r.align4();
        r.u32();  // help id
        r.u32();  // extended style
        const uint32_t itemStyle = r.u32();
        const int16_t x = r.s16(), y = r.s16(), cx = r.s16(), cy = r.s16();
        TemplateItem item;
        item.id = static_cast<int32_t>(r.u32());
        uint16_t windowClass = 0;
        std::string className;
        r.numberOrText(windowClass, className);
        uint16_t titleNumber = 0;
        r.numberOrText(titleNumber, item.text);
        const uint16_t extra = r.u16();
        r.at += extra;
        const w::Control* control = className.empty() ? w::ControlForClass(windowClass, itemStyle) : nullptr;
        if (!r.ok) break;
        if (control == nullptr) {
            setError(error, where + ": dialog " + std::to_string(id) + ": item " + std::to_string(item.id) +
                                " is a control easel does not know (class " +
                                (className.empty() ? std::to_string(windowClass) : className) + ")");
            return std::nullopt;
        }
        item.kind = std::string(control->kind);
        item.rect = ASRect{w::UnitsToPixelsX(x), w::UnitsToPixelsY(y), w::UnitsToPixelsX(x + cx),
                           w::UnitsToPixelsY(y + cy)};
        t.items.push_back(std::move(item));
    }
    if (!r.ok) {
        setError(error, where + ": dialog " + std::to_string(id) + " is cut off");
        return std::nullopt;
    }
    return t;
}

std::optional<Image> iconFrom(const ResourceLookup& lookup, bool cursor, int32_t id, const std::string& where,
                              std::string* error) {
    namespace w = resources::win32;
    const char* what = cursor ? "cursor" : "icon";
    auto group = lookup({cursor ? w::kGroupCursorType : w::kGroupIconType, {}}, id);
    if (!group) {
        setError(error, "no " + std::string(what) + " " + std::to_string(id) + " in " + where);
        return std::nullopt;
    }
    // The group's first entry names the image resource; an .ico or .cur file
    // is rebuilt around that image for the decoder.
    // Header (reserved, type, count), then 14-byte entries: an icon entry
    // starts with width, height, colours and a reserved byte, a cursor entry
    // with width and height (the image and its mask) as 16-bit numbers.
    Reader r{*group};
    r.at = 4;
    const uint16_t count = r.u16();
    uint8_t width = 0, height = 0, colours = 0;
    if (r.ok && group->size() >= 6 + 14) {
        if (cursor) {
            width = (*group)[6];
            height = static_cast<uint8_t>((*group)[8] / 2);
        } else {
            width = (*group)[6];
            height = (*group)[7];
            colours = (*group)[8];
        }
    }
    r.at = 6 + 4;
    uint16_t planes = r.u16();
    uint16_t bits = r.u16();
    r.u32();  // bytes in the image
    const uint16_t imageId = r.u16();
    if (!r.ok || count == 0) {
        setError(error, where + ": " + what + " group " + std::to_string(id) + " is malformed");
        return std::nullopt;
    }
    auto image = lookup({cursor ? w::kCursorType : w::kIconType, {}}, imageId);
    if (!image || (cursor && image->size() < 4)) {
        setError(error, where + ": " + what + " " + std::to_string(id) + " names a missing image " +
                            std::to_string(imageId));
        return std::nullopt;
    }
    uint16_t hotX = 0, hotY = 0;
    size_t skip = 0;
    if (cursor) {
        Reader hot{*image};
        hotX = hot.u16();
        hotY = hot.u16();
        skip = 4;
        planes = hotX;  // a cursor file keeps the hot spot where an icon keeps planes and bits
        bits = hotY;
    }
    Bytes file = {0, 0, static_cast<uint8_t>(cursor ? 2 : 1), 0, 1, 0, width, height, colours, 0,
                  static_cast<uint8_t>(planes & 0xFF), static_cast<uint8_t>(planes >> 8),
                  static_cast<uint8_t>(bits & 0xFF), static_cast<uint8_t>(bits >> 8)};
    const auto size = static_cast<uint32_t>(image->size() - skip);
    for (uint32_t v : {size, uint32_t{22}})
        for (int shift = 0; shift < 32; shift += 8) file.push_back(static_cast<uint8_t>(v >> shift));
    file.insert(file.end(), image->begin() + static_cast<std::ptrdiff_t>(skip), image->end());
    std::string why;
    auto decoded = decodeIcon(file, &why);
    if (!decoded) setError(error, where + ": " + what + " " + std::to_string(id) + ": " + why);
    return decoded;
}

std::optional<Image> readIcon(const std::filesystem::path& bundle, int32_t id, std::string* error) {
    if (isDllBundle(bundle)) return iconFrom(dllResources(bundle, error), false, id, bundle.string(), error);
    return readIconFile(bundle / "ICON" / (std::to_string(id) + ".ico"), error);
}

std::optional<Image> readCursor(const std::filesystem::path& bundle, int32_t id, std::string* error) {
    if (isDllBundle(bundle)) return iconFrom(dllResources(bundle, error), true, id, bundle.string(), error);
    return readIconFile(bundle / "CURS" / (std::to_string(id) + ".cur"), error);
}

std::string iconSource(const std::filesystem::path& bundle, int32_t id) {
    if (isDllBundle(bundle)) return bundle.string() + " (icon " + std::to_string(id) + ")";
    return (bundle / "ICON" / (std::to_string(id) + ".ico")).string();
}

}  // namespace easel::adm

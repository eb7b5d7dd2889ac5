// Plug-in resources as the bundle folder holds them: string lists, dialog
// templates, icons and cursors, found by resource type and id. The loader
// tells the dialog manager where each plug-in's bundle is.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/ASTypes.h"

namespace easel::adm {

// Maps a plug-in reference to its bundle folder (nullopt: unknown plug-in).
using BundleResolver = std::function<std::optional<std::filesystem::path>(SPPluginRef)>;
void setBundleResolver(BundleResolver resolver);
std::optional<std::filesystem::path> bundleOf(SPPluginRef plugin);

// STR#/<id>.json: a JSON array of strings. nullopt when missing or malformed.
std::optional<std::vector<std::string>> readStringList(const std::filesystem::path& bundle, int32_t id,
                                                       std::string* error = nullptr);

struct TemplateItem {
    int32_t id = 0;
    std::string kind;  // dialog manager type name
    ASRect rect{0, 0, 0, 0};
    std::string text;
};

struct DialogTemplate {
    std::string caption;
    std::string font;
    int32_t fontSize = 0;
    int32_t width = 0, height = 0;  // pixels
    std::vector<TemplateItem> items;  // rectangles in pixels
};

// DLOG/<id>.json; dialog units are converted to pixels (4 horizontal units
// make one average character width of 6 pixels, 8 vertical units one line of
// 13). nullopt when missing; a malformed template sets *error.
std::optional<DialogTemplate> readDialogTemplate(const std::filesystem::path& bundle, int32_t id,
                                                 std::string* error = nullptr);

// A decoded icon or cursor image: RGBA, rows top first.
struct Image {
    int32_t width = 0, height = 0;
    int32_t bitCount = 0;  // of the source image
    int32_t hotX = 0, hotY = 0;  // cursors only
    std::vector<uint8_t> rgba;
};

// Decodes the first image of a Windows .ico or .cur file (1, 4, 8, 24 and
// 32 bits per pixel, with its transparency mask). nullopt and *error when the
// data is not such a file.
std::optional<Image> decodeIcon(const std::vector<uint8_t>& data, std::string* error = nullptr);
std::optional<Image> readIconFile(const std::filesystem::path& file, std::string* error = nullptr);

// ---- Bundles that are DLLs (Windows) ----
// On Windows a bundle may be the plug-in DLL itself (<Name>.aip, a file) with
// its resources inside: "PIPL" 16000, "STR#" string lists, DIALOGEX dialogs,
// icon and cursor groups (docs/bundles.md). The functions above read those
// when given such a bundle.
bool isDllBundle(const std::filesystem::path& bundle);

// A resource type: a number (RT_DIALOG is 5) or a name ("STR#").
struct ResourceType {
    uint16_t id = 0;
    std::string name;  // used when not empty
};
// The data of one resource, nullopt when there is none.
using ResourceLookup = std::function<std::optional<std::vector<uint8_t>>(const ResourceType& type, int32_t id)>;
// The resources of a DLL file. Only Windows reads them; elsewhere every
// lookup fails and *error says why.
ResourceLookup dllResources(const std::filesystem::path& dll, std::string* error = nullptr);

// The readers over any lookup; `where` names the source in messages.
std::optional<std::vector<std::string>> stringListFrom(const ResourceLookup& lookup, int32_t id, const std::string& where,
                                                       std::string* error = nullptr);
std::optional<DialogTemplate> dialogTemplateFrom(const ResourceLookup& lookup, int32_t id, const std::string& where,
                                                 std::string* error = nullptr);
std::optional<Image> iconFrom(const ResourceLookup& lookup, bool cursor, int32_t id, const std::string& where,
                              std::string* error = nullptr);

// Icon (ICON/<id>.ico) or cursor (CURS/<id>.cur) of a bundle in either layout.
std::optional<Image> readIcon(const std::filesystem::path& bundle, int32_t id, std::string* error = nullptr);
std::optional<Image> readCursor(const std::filesystem::path& bundle, int32_t id, std::string* error = nullptr);
// What names icon <id> of a bundle in messages and listings.
std::string iconSource(const std::filesystem::path& bundle, int32_t id);

// PNG file bytes of an RGBA image.
std::vector<uint8_t> encodePng(const Image& image);

}  // namespace easel::adm

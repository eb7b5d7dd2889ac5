// The bundle resources of both plug-ins as bytes: property list, string
// lists, dialog templates, icons and the tool cursor.
#ifndef RESOURCES_RESOURCEWRITER_H
#define RESOURCES_RESOURCEWRITER_H

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace resources {

using Bytes = std::vector<std::uint8_t>;

// The 79-byte property list through which the host finds PluginMain.
Bytes PropertyList();

// A 32 x 32 image of indexes into the 16-colour palette; 0 is transparent.
struct Image {
    std::array<std::array<std::uint8_t, 32>, 32> pixel{}; // [y][x], y = 0 at the top
};

// Palette indexes (the classic 16-colour palette).
enum Colour : std::uint8_t {
    kClear = 0, // black, drawn transparent
    kMaroon, kGreen, kOlive, kNavy, kPurple, kTeal, kSilver,
    kGrey, kRed, kLime, kYellow, kBlue, kFuchsia, kAqua, kWhite
};

// A 32 x 32, 16-colour Windows icon; index 0 becomes transparent.
Bytes IconFile(const Image& image);

// A 32 x 32 monochrome Windows cursor: 1 = black, 2 = white, 0 transparent.
Bytes CursorFile(const Image& image, int hotX, int hotY);

// The drawings: Brivane's thirteen tools in tool order, Kestova's tool, the cursor.
Image BrivaneToolIcon(int toolIndex);
Image KestovaToolIcon();
Image ToolCursor();

// JSON text of a string list and of a dialog template.
struct DialogItem {
    int id;
    std::string kind;
    std::array<int, 4> rect; // left, top, right, bottom
    std::string text;
};
struct DialogTemplate {
    std::string caption;
    std::string units; // "pixels" or "dialog"
    int width;
    int height;
    std::vector<DialogItem> items;
};
std::string StringListJson(const std::vector<std::string>& strings);
std::string DialogJson(const DialogTemplate& dialog);

// What a bundle holds, before it is written in either layout.
struct StringListResource {
    int id;
    std::vector<std::string> strings;
};
struct DialogResource {
    int id;
    DialogTemplate dialog;
};
struct IconResource {
    int id;
    Image image;
};
struct BundleContents {
    Bytes propertyList; // id 16000
    std::vector<StringListResource> stringLists;
    std::vector<DialogResource> dialogs;
    std::vector<IconResource> icons;
    int cursorId;
    Image cursor;
    int cursorHotX, cursorHotY;
};
BundleContents Contents(const std::string& plugin); // "Brivane" or "Kestova"

// The whole of a bundle's resources: relative path -> contents.
struct ResourceFile {
    std::string path; // e.g. "PiPL/16000.pipl"
    Bytes contents;
};
std::vector<ResourceFile> BundleResources(const std::string& plugin); // "Brivane" or "Kestova"

} // namespace resources

#endif

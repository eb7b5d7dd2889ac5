#include "ResourceWriter.h"

#include <cstddef>

namespace resources {

namespace {

void Put16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(Bytes& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

constexpr std::uint32_t FourCC(const char (&code)[5]) {
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) << 24) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[3]));
}

// The classic 16-colour palette as red, green, blue.
constexpr std::uint8_t kPalette[16][3] = {
    {0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};

void PutBitmapHeader(Bytes& out, std::uint16_t bitCount, std::uint32_t imageBytes, std::uint32_t colours) {
    Put32(out, 40);          // header size
    Put32(out, 32);          // width
    Put32(out, 64);          // height: colour rows and mask rows
    Put16(out, 1);           // planes
    Put16(out, bitCount);
    Put32(out, 0);           // no compression
    Put32(out, imageBytes);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, colours);     // colours used
    Put32(out, 0);           // colours important
}

// The transparency mask, bottom row first, 1 where the pixel is clear.
void PutMask(Bytes& out, const Image& image) {
    for (int row = 31; row >= 0; --row) {
        for (int byte = 0; byte < 4; ++byte) {
            std::uint8_t bits = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (image.pixel[static_cast<std::size_t>(row)][static_cast<std::size_t>(byte * 8 + bit)] == kClear)
                    bits = static_cast<std::uint8_t>(bits | (0x80 >> bit));
            out.push_back(bits);
        }
    }
}

Bytes ImageFile(std::uint16_t type, std::uint8_t colourCount, std::uint16_t planesOrHotX,
                std::uint16_t bitsOrHotY, const Bytes& image) {
    Bytes out;
    Put16(out, 0);    // reserved
    Put16(out, type); // 1 icon, 2 cursor
    Put16(out, 1);    // one image
    out.push_back(32);
    out.push_back(32);
    out.push_back(colourCount);
    out.push_back(0);
    Put16(out, planesOrHotX);
    Put16(out, bitsOrHotY);
    Put32(out, static_cast<std::uint32_t>(image.size()));
    Put32(out, 22); // the image follows the directory
    out.insert(out.end(), image.begin(), image.end());
    return out;
}

void AppendJsonString(std::string& out, const std::string& text) {
    out += '"';
    for (char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        default: out += c;
        }
    }
    out += '"';
}

} // namespace

Bytes PropertyList() {
    Bytes out;
    Put16(out, 1); // resource format
    Put32(out, 0); // version
    Put32(out, 3); // properties
    auto property = [&out](const char (&key)[5], const Bytes& data) {
        Put32(out, FourCC("ADBE"));
        Put32(out, FourCC(key));
        Put32(out, 0);
        Put32(out, static_cast<std::uint32_t>(data.size()));
        out.insert(out.end(), data.begin(), data.end());
    };
    Bytes kind;
    Put32(kind, FourCC("SPEA"));
    property("kind", kind);
    Bytes version;
    Put32(version, 2);
    property("ivrs", version);
    const char entry[12] = "PluginMain";
    property("wx86", Bytes(entry, entry + 12));
    out.push_back(0); // trailing pad
    return out;
}

Bytes IconFile(const Image& image) {
    Bytes bitmap;
    PutBitmapHeader(bitmap, 4, 32 * 16 + 32 * 4, 16);
    for (const auto& rgb : kPalette) {
        bitmap.push_back(rgb[2]);
        bitmap.push_back(rgb[1]);
        bitmap.push_back(rgb[0]);
        bitmap.push_back(0);
    }
    for (int row = 31; row >= 0; --row) {
        const auto& line = image.pixel[static_cast<std::size_t>(row)];
        for (std::size_t x = 0; x < 32; x += 2)
            bitmap.push_back(static_cast<std::uint8_t>(((line[x] & 0x0F) << 4) | (line[x + 1] & 0x0F)));
    }
    PutMask(bitmap, image);
    return ImageFile(1, 16, 1, 4, bitmap);
}

Bytes CursorFile(const Image& image, int hotX, int hotY) {
    Bytes bitmap;
    PutBitmapHeader(bitmap, 1, 32 * 4 * 2, 2);
    const std::uint8_t colours[2][4] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    for (const auto& colour : colours) bitmap.insert(bitmap.end(), colour, colour + 4);
    // Colour plane: 1 for white pixels; black and clear pixels are 0.
    for (int row = 31; row >= 0; --row) {
        for (int byte = 0; byte < 4; ++byte) {
            std::uint8_t bits = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (image.pixel[static_cast<std::size_t>(row)][static_cast<std::size_t>(byte * 8 + bit)] == 2)
                    bits = static_cast<std::uint8_t>(bits | (0x80 >> bit));
            bitmap.push_back(bits);
        }
    }
    PutMask(bitmap, image);
    return ImageFile(2, 2, static_cast<std::uint16_t>(hotX), static_cast<std::uint16_t>(hotY), bitmap);
}

std::string StringListJson(const std::vector<std::string>& strings) {
    std::string out = "[\n";
    for (std::size_t i = 0; i < strings.size(); ++i) {
        out += "  ";
        AppendJsonString(out, strings[i]);
        out += i + 1 < strings.size() ? ",\n" : "\n";
    }
    out += "]\n";
    return out;
}

std::string DialogJson(const DialogTemplate& dialog) {
    std::string out = "{\"caption\": ";
    AppendJsonString(out, dialog.caption);
    out += ", \"font\": \"MS Sans Serif\", \"fontSize\": 8, \"units\": ";
    AppendJsonString(out, dialog.units);
    out += ", \"width\": " + std::to_string(dialog.width) + ", \"height\": " + std::to_string(dialog.height);
    out += ",\n \"items\": [";
    for (std::size_t i = 0; i < dialog.items.size(); ++i) {
        const DialogItem& item = dialog.items[i];
        out += i == 0 ? "\n  " : ",\n  ";
        out += "{\"id\": " + std::to_string(item.id) + ", \"kind\": ";
        AppendJsonString(out, item.kind);
        out += ", \"rect\": [" + std::to_string(item.rect[0]) + ", " + std::to_string(item.rect[1]) + ", " +
               std::to_string(item.rect[2]) + ", " + std::to_string(item.rect[3]) + "], \"text\": ";
        AppendJsonString(out, item.text);
        out += "}";
    }
    out += dialog.items.empty() ? "]}\n" : "\n ]}\n";
    return out;
}

namespace {

Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

const char* const kMemoryMessage =
    "The filter cannot complete because there isn't enough memory (RAM) available.";

std::vector<std::string> ErrorTable() {
    return {
        "Error messages",
        "-108", kMemoryMessage,
        "271", kMemoryMessage,
        "SEGM", "The filter cannot complete because a layer is locked or invisible.",
        "NESS", "The filter cannot complete because a path has too many anchor points.",
        "!sel", "The selection is not valid for this filter.",
        "<Others>",
        "Unknown error - possible reason: filters require paths to be selected before use or too many paths "
        "have been selected",
    };
}

DialogTemplate ErrorDialog(const std::string& setName) {
    return {"Plug-in Error - " + setName,
            "dialog",
            185,
            92,
            {{1, "ADM Text Push Button Type", {130, 72, 180, 86}, "OK"},
             {2, "ADM Text Static Type", {49, 18, 182, 65}, "Message"},
             {3, "ADM Text Static Type", {3, 81, 33, 89}, "Code"},
             {4, "ADM Frame Type", {10, 10, 28, 30}, ""}}};
}

DialogTemplate AboutDialog(const std::string& name, const std::string& what) {
    return {"About " + name,
            "dialog",
            220,
            100,
            {{1, "ADM Text Push Button Type", {160, 80, 210, 94}, "OK"},
             {2, "ADM Text Static Type", {10, 10, 210, 22}, name + " 1.0"},
             {3, "ADM Text Static Type", {10, 26, 210, 56}, what},
             {4, "ADM Text Static Type", {10, 60, 150, 72}, "Made for easel and compatible hosts."}}};
}

const char* const kBrivaneCaptions[13] = {
    "Rows/Columns tool options", "Drag tool options",       "Soft center tool options",
    "Framed tool options",       "RimRandom tool options",  "Windmill tool options",
    "Scaledown tool options",    "Bounce along tool options", "Spiraled tool options",
    "Checkerboard tool options", "Paint tool options",      "Tile tool options",
    "Background tool options",
};

std::string Id(int id) { return std::to_string(id); }

} // namespace

BundleContents Contents(const std::string& plugin) {
    const bool brivane = plugin == "Brivane";
    BundleContents c;
    c.propertyList = PropertyList();
    c.stringLists.push_back({16050, ErrorTable()});
    c.dialogs.push_back({16051, ErrorDialog(brivane ? "Brivane Tools" : "Kestova Tools")});
    if (brivane) {
        c.dialogs.push_back({16050, AboutDialog("Brivane", "Thirteen tools that lay out transformed, restyled copies of the "
                                                           "selected art while you drag.")});
        for (int i = 0; i < 13; ++i) {
            c.dialogs.push_back({16101 + 2 * i, {kBrivaneCaptions[i], "pixels", 350, 485, {}}});
            c.icons.push_back({16051 + i, BrivaneToolIcon(i)});
        }
    } else {
        c.dialogs.push_back({16050, AboutDialog("Kestova", "One tool that moves the anchor and direction points of the "
                                                           "selected paths from the drag.")});
        c.dialogs.push_back({16101, {"Points Drag Tool Options", "pixels", 260, 540, {}}});
        c.icons.push_back({16051, KestovaToolIcon()});
    }
    c.cursorId = 16001;
    c.cursor = ToolCursor();
    c.cursorHotX = 16;
    c.cursorHotY = 15;
    return c;
}

std::vector<ResourceFile> BundleResources(const std::string& plugin) {
    const BundleContents c = Contents(plugin);
    std::vector<ResourceFile> files;
    files.push_back({"PiPL/16000.pipl", c.propertyList});
    for (const auto& list : c.stringLists)
        files.push_back({"STR#/" + Id(list.id) + ".json", TextBytes(StringListJson(list.strings))});
    for (const auto& dialog : c.dialogs)
        files.push_back({"DLOG/" + Id(dialog.id) + ".json", TextBytes(DialogJson(dialog.dialog))});
    for (const auto& icon : c.icons) files.push_back({"ICON/" + Id(icon.id) + ".ico", IconFile(icon.image)});
    files.push_back({"CURS/" + Id(c.cursorId) + ".cur", CursorFile(c.cursor, c.cursorHotX, c.cursorHotY)});
    return files;
}

} // namespace resources

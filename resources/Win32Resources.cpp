#include "Win32Resources.h"

#include "host/Win32Controls.h"

namespace resources {

namespace {

void Put16(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(Bytes& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void Align4(Bytes& out) {
    while (out.size() % 4 != 0) out.push_back(0);
}

// A text as UTF-16 with its terminating 0; the templates' texts are ASCII.
void PutWide(Bytes& out, const std::string& text) {
    for (char c : text) Put16(out, static_cast<unsigned char>(c));
    Put16(out, 0);
}

constexpr std::uint32_t kDialogStyle = 0x80000000 | 0x00C00000 | 0x00080000 | 0x00000080 | 0x00000040;
// WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT

int UnitsX(const DialogTemplate& d, int v) { return d.units == "dialog" ? v : win32::PixelsToUnitsX(v); }
int UnitsY(const DialogTemplate& d, int v) { return d.units == "dialog" ? v : win32::PixelsToUnitsY(v); }

// The image of an .ico or .cur file of one image: what follows its directory.
Bytes ImageOf(const Bytes& file) { return Bytes(file.begin() + 22, file.end()); }

} // namespace

bool DialogExTemplate(const DialogTemplate& d, Bytes& out, std::string& error) {
    out.clear();
    Put16(out, 1);      // version
    Put16(out, 0xFFFF); // extended template
    Put32(out, 0);      // help id
    Put32(out, 0);      // extended style
    Put32(out, kDialogStyle);
    Put16(out, static_cast<unsigned>(d.items.size()));
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<unsigned>(UnitsX(d, d.width)));
    Put16(out, static_cast<unsigned>(UnitsY(d, d.height)));
    Put16(out, 0); // no menu
    Put16(out, 0); // the standard dialog class
    PutWide(out, d.caption);
    Put16(out, 8);   // point size
    Put16(out, 400); // weight
    out.push_back(0); // not italic
    out.push_back(1); // DEFAULT_CHARSET
    PutWide(out, "MS Sans Serif");
    for (const DialogItem& item : d.items) {
        const win32::Control* control = win32::ControlForKind(item.kind);
        if (control == nullptr) {
            error = "dialog \"" + d.caption + "\": item " + std::to_string(item.id) + " has kind \"" + item.kind +
                    "\", which has no Win32 control";
            return false;
        }
        Align4(out);
        Put32(out, 0); // help id
        Put32(out, 0); // extended style
        std::uint32_t style = control->style;
        if (control->windowClass == win32::kButtonClass && item.id == 1 && (style & 0xF) == 0)
            style |= win32::kDefaultPushButton;
        Put32(out, style);
        const int left = UnitsX(d, item.rect[0]), top = UnitsY(d, item.rect[1]);
        Put16(out, static_cast<unsigned>(left));
        Put16(out, static_cast<unsigned>(top));
        Put16(out, static_cast<unsigned>(UnitsX(d, item.rect[2]) - left));
        Put16(out, static_cast<unsigned>(UnitsY(d, item.rect[3]) - top));
        Put32(out, static_cast<std::uint32_t>(item.id));
        Put16(out, 0xFFFF);
        Put16(out, control->windowClass);
        PutWide(out, item.text);
        Put16(out, 0); // no creation data
    }
    return true;
}

Bytes StringListData(const std::vector<std::string>& strings) {
    Bytes out;
    Put16(out, static_cast<unsigned>(strings.size()));
    for (const std::string& s : strings) {
        out.insert(out.end(), s.begin(), s.end());
        out.push_back(0);
    }
    return out;
}

std::vector<Win32Resource> Win32Resources(const std::string& plugin, std::string& error) {
    const BundleContents c = Contents(plugin);
    std::vector<Win32Resource> out;
    out.push_back({win32::kPropertyListType, 0, 16000, c.propertyList});
    for (const auto& list : c.stringLists)
        out.push_back({win32::kStringListType, 0, static_cast<unsigned>(list.id), StringListData(list.strings)});
    for (const auto& dialog : c.dialogs) {
        Bytes data;
        if (!DialogExTemplate(dialog.dialog, data, error)) return {};
        out.push_back({"", win32::kDialogType, static_cast<unsigned>(dialog.id), data});
    }
    // Each icon and the cursor: one image resource and a group naming it by the same id.
    for (const auto& icon : c.icons) {
        const Bytes image = ImageOf(IconFile(icon.image));
        const auto id = static_cast<unsigned>(icon.id);
        out.push_back({"", win32::kIconType, id, image});
        Bytes group;
        Put16(group, 0);
        Put16(group, 1); // icons
        Put16(group, 1);
        group.insert(group.end(), {32, 32, 16, 0});
        Put16(group, 1); // planes
        Put16(group, 4); // bits per pixel
        Put32(group, static_cast<std::uint32_t>(image.size()));
        Put16(group, id);
        out.push_back({"", win32::kGroupIconType, id, group});
    }
    const auto cursorId = static_cast<unsigned>(c.cursorId);
    Bytes cursor;
    Put16(cursor, static_cast<unsigned>(c.cursorHotX));
    Put16(cursor, static_cast<unsigned>(c.cursorHotY));
    const Bytes image = ImageOf(CursorFile(c.cursor, c.cursorHotX, c.cursorHotY));
    cursor.insert(cursor.end(), image.begin(), image.end());
    out.push_back({"", win32::kCursorType, cursorId, cursor});
    Bytes group;
    Put16(group, 0);
    Put16(group, 2); // cursors
    Put16(group, 1);
    Put16(group, 32); // width
    Put16(group, 64); // height of the image and its mask
    Put16(group, 1);  // planes
    Put16(group, 1);  // bits per pixel
    Put32(group, static_cast<std::uint32_t>(cursor.size()));
    Put16(group, cursorId);
    out.push_back({"", win32::kGroupCursorType, cursorId, group});
    return out;
}

bool CompiledResources(const std::string& plugin, Bytes& out, std::string& error) {
    const std::vector<Win32Resource> resources = Win32Resources(plugin, error);
    if (resources.empty()) return false;
    // A resource file starts with an empty entry.
    out.assign(32, 0);
    out[4] = 32; // its header size
    out[8] = out[9] = out[12] = out[13] = 0xFF; // type 0 and name 0, as numbers
    for (const Win32Resource& r : resources) {
        Bytes header;
        if (r.typeName.empty()) {
            Put16(header, 0xFFFF);
            Put16(header, r.typeId);
        } else {
            PutWide(header, r.typeName);
        }
        Put16(header, 0xFFFF);
        Put16(header, r.id);
        Align4(header);
        Put32(header, 0);      // data version
        Put16(header, 0x1030); // moveable, pure, discardable
        Put16(header, 0);      // language neutral
        Put32(header, 0);      // version
        Put32(header, 0);      // characteristics
        Put32(out, static_cast<std::uint32_t>(r.data.size()));
        Put32(out, static_cast<std::uint32_t>(header.size() + 8));
        out.insert(out.end(), header.begin(), header.end());
        out.insert(out.end(), r.data.begin(), r.data.end());
        Align4(out);
    }
    return true;
}

} // namespace resources

// How the dialog templates' item kinds become Win32 dialog controls, and back.
// Shared by the resource generator, which writes DIALOGEX templates, and by
// easel, which reads them from a plug-in DLL. Each kind maps to one predefined
// window class and one type style; the reverse lookup compares the class and
// the style bits under the kind's mask.
#ifndef HOST_WIN32CONTROLS_H
#define HOST_WIN32CONTROLS_H

#include <cstdint>
#include <string_view>

namespace resources::win32 {

// Predefined window class atoms of dialog templates.
inline constexpr std::uint16_t kButtonClass = 0x0080;
inline constexpr std::uint16_t kEditClass = 0x0081;
inline constexpr std::uint16_t kStaticClass = 0x0082;
inline constexpr std::uint16_t kComboBoxClass = 0x0085;

inline constexpr std::uint32_t kChildVisible = 0x50000000;  // WS_CHILD | WS_VISIBLE
inline constexpr std::uint32_t kTabStop = 0x00010000;       // WS_TABSTOP
inline constexpr std::uint32_t kBorder = 0x00800000;        // WS_BORDER
inline constexpr std::uint32_t kVScroll = 0x00200000;       // WS_VSCROLL
inline constexpr std::uint32_t kDefaultPushButton = 0x0001; // BS_DEFPUSHBUTTON, given to item 1

struct Control {
    std::string_view kind;     // the dialog manager's type name
    std::uint16_t windowClass;
    std::uint32_t style;       // type style and flags written for the kind
    std::uint32_t typeMask;    // style bits that identify the kind within its class
};

inline constexpr Control kControls[] = {
    // SS_LEFT
    {"ADM Text Static Type", kStaticClass, kChildVisible | 0x0000, 0x001F},
    // SS_ETCHEDFRAME
    {"ADM Frame Type", kStaticClass, kChildVisible | 0x0012, 0x001F},
    // BS_PUSHBUTTON (BS_DEFPUSHBUTTON for item 1 matches under the mask too)
    {"ADM Text Push Button Type", kButtonClass, kChildVisible | kTabStop | 0x0000, 0x000E},
    // BS_AUTOCHECKBOX
    {"ADM Text Check Box Type", kButtonClass, kChildVisible | kTabStop | 0x0003, 0x000F},
    // ES_AUTOHSCROLL with a border
    {"ADM Spin Edit Type", kEditClass, kChildVisible | kTabStop | kBorder | 0x0080, 0x0000},
    // CBS_DROPDOWNLIST
    {"ADM Popup List Type", kComboBoxClass, kChildVisible | kTabStop | kVScroll | 0x0003, 0x0003},
};

inline const Control* ControlForKind(std::string_view kind) {
    for (const Control& c : kControls)
        if (c.kind == kind) return &c;
    return nullptr;
}

inline const Control* ControlForClass(std::uint16_t windowClass, std::uint32_t style) {
    for (const Control& c : kControls)
        if (c.windowClass == windowClass && (style & c.typeMask) == (c.style & c.typeMask)) return &c;
    return nullptr;
}

// Dialog units: 4 horizontal units make one average character width of the
// 8-point "MS Sans Serif" (6 pixels), 8 vertical units one line (13 pixels).
// Templates in pixels are converted to the nearest unit.
inline int PixelsToUnitsX(int pixels) { return (pixels * 4 + (pixels >= 0 ? 3 : -3)) / 6; }
inline int PixelsToUnitsY(int pixels) { return (pixels * 8 + (pixels >= 0 ? 6 : -6)) / 13; }
inline int UnitsToPixelsX(int units) { return units * 6 / 4; }
inline int UnitsToPixelsY(int units) { return units * 13 / 8; }

// Resource ids and types of a bundle DLL.
inline constexpr std::uint16_t kCursorType = 1;       // RT_CURSOR
inline constexpr std::uint16_t kIconType = 3;         // RT_ICON
inline constexpr std::uint16_t kDialogType = 5;       // RT_DIALOG
inline constexpr std::uint16_t kGroupCursorType = 12; // RT_GROUP_CURSOR
inline constexpr std::uint16_t kGroupIconType = 14;   // RT_GROUP_ICON
inline constexpr const char* kPropertyListType = "PIPL";
inline constexpr const char* kStringListType = "STR#";

} // namespace resources::win32

#endif

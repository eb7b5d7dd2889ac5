// The bundle resources: the property list byte for byte, icon and cursor
// files a Windows reader accepts, the shared string list and the error and
// about dialog templates. The tool dialogs' templates are checked where the
// dialogs are opened.
#include "resources/ResourceWriter.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

using resources::Bytes;

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t U32(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t U16(const Bytes& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

const std::string kBundles = EASEL_PLUGIN_DIR;

TEST(PropertyList, IsTheSeventyNineBytesThatNamePluginMain) {
    const Bytes expected = {
        0x01, 0x00,                                     // format 1
        0x00, 0x00, 0x00, 0x00,                         // version 0
        0x03, 0x00, 0x00, 0x00,                         // three properties
        'E', 'B', 'D', 'A', 'd', 'n', 'i', 'k', 0, 0, 0, 0, 4, 0, 0, 0, 'A', 'E', 'P', 'S',
        'E', 'B', 'D', 'A', 's', 'r', 'v', 'i', 0, 0, 0, 0, 4, 0, 0, 0, 2, 0, 0, 0,
        'E', 'B', 'D', 'A', '6', '8', 'x', 'w', 0, 0, 0, 0, 12, 0, 0, 0,
        'P', 'l', 'u', 'g', 'i', 'n', 'M', 'a', 'i', 'n', 0, 0,
        0x00,                                           // trailing pad
    };
    ASSERT_EQ(expected.size(), 79u);
    EXPECT_EQ(resources::PropertyList(), expected);
    EXPECT_EQ(ReadFile(kBundles + "/Brivane.aip/PiPL/16000.pipl"), expected);
    EXPECT_EQ(ReadFile(kBundles + "/Kestova.aip/PiPL/16000.pipl"), expected);
}

class IconFile : public ::testing::TestWithParam<int> {};

TEST_P(IconFile, IsA32By32SixteenColourIconWithSomethingDrawn) {
    const int tool = GetParam();
    const Bytes icon = tool < 13 ? resources::IconFile(resources::BrivaneToolIcon(tool))
                                 : resources::IconFile(resources::KestovaToolIcon());
    ASSERT_EQ(icon.size(), 22u + 40u + 64u + 512u + 128u);
    EXPECT_EQ(U16(icon, 2), 1) << "icon";
    EXPECT_EQ(U16(icon, 4), 1) << "one image";
    EXPECT_EQ(icon[6], 32);
    EXPECT_EQ(icon[7], 32);
    EXPECT_EQ(icon[8], 16) << "16 colours";
    EXPECT_EQ(U16(icon, 12), 4) << "4 bits per pixel";
    EXPECT_EQ(U32(icon, 14), icon.size() - 22);
    EXPECT_EQ(U32(icon, 18), 22u);
    EXPECT_EQ(U32(icon, 22), 40u);
    EXPECT_EQ(U32(icon, 26), 32u);
    EXPECT_EQ(U32(icon, 30), 64u) << "colour and mask rows";
    // A drawing: a fair share of opaque pixels in at least two colours.
    int opaque = 0;
    for (std::size_t i = 22 + 40 + 64 + 512; i < icon.size(); ++i)
        for (int bit = 0; bit < 8; ++bit) opaque += (icon[i] >> bit & 1) == 0;
    EXPECT_GT(opaque, 40) << "tool " << tool;
    std::set<int> colours;
    for (std::size_t i = 22 + 40 + 64; i < 22 + 40 + 64 + 512; ++i) {
        colours.insert(icon[i] >> 4);
        colours.insert(icon[i] & 0x0F);
    }
    colours.erase(0); // the transparent index
    EXPECT_GE(colours.size(), 2u) << "tool " << tool;
}

INSTANTIATE_TEST_SUITE_P(EveryTool, IconFile, ::testing::Range(0, 14));

TEST(IconFiles, EachToolHasItsOwnDrawingInItsBundle) {
    std::vector<Bytes> files;
    for (int i = 0; i < 13; ++i) {
        files.push_back(ReadFile(kBundles + "/Brivane.aip/ICON/" + std::to_string(16051 + i) + ".ico"));
        EXPECT_EQ(files.back(), resources::IconFile(resources::BrivaneToolIcon(i)));
    }
    files.push_back(ReadFile(kBundles + "/Kestova.aip/ICON/16051.ico"));
    // Compared pairwise rather than in an ordered set: GCC 12 at -O3 reports
    // the byte-vector ordering inside std::set as a memcmp overread.
    for (std::size_t a = 0; a < files.size(); ++a)
        for (std::size_t b = a + 1; b < files.size(); ++b) EXPECT_NE(files[a], files[b]) << "icons " << a << ", " << b;
}

TEST(CursorFile, IsA32By32MonochromeCursorWithHotSpot16And15) {
    const Bytes cursor = ReadFile(kBundles + "/Brivane.aip/CURS/16001.cur");
    EXPECT_EQ(cursor, ReadFile(kBundles + "/Kestova.aip/CURS/16001.cur"));
    ASSERT_EQ(cursor.size(), 22u + 40u + 8u + 128u + 128u);
    EXPECT_EQ(U16(cursor, 2), 2) << "cursor";
    EXPECT_EQ(cursor[6], 32);
    EXPECT_EQ(cursor[7], 32);
    EXPECT_EQ(U16(cursor, 10), 16) << "hot spot x";
    EXPECT_EQ(U16(cursor, 12), 15) << "hot spot y";
    EXPECT_EQ(U16(cursor, 22 + 14), 1) << "one bit per pixel";
    // The hot spot is a black, opaque pixel: row 15 from the top is mask row 16 from the bottom.
    const std::size_t maskRow = 22 + 40 + 8 + 128 + (31 - 15) * 4;
    EXPECT_EQ(cursor[maskRow + 2] & 0x80, 0) << "x 16 is opaque";
}

nlohmann::json ReadJson(const std::string& path) {
    std::ifstream in(path);
    EXPECT_TRUE(in.good()) << path;
    return nlohmann::json::parse(in);
}

// The error test reads Brivane's table; Kestova ships the same one.
TEST(StringList, BothBundlesShipTheSameErrorTable) {
    const auto brivane = ReadJson(kBundles + "/Brivane.aip/STR#/16050.json");
    EXPECT_EQ(brivane.size(), 13u);
    EXPECT_EQ(ReadJson(kBundles + "/Kestova.aip/STR#/16050.json"), brivane);
}

TEST(DialogTemplates, ErrorDialogHasItsFourItems) {
    const auto dialog = ReadJson(kBundles + "/Brivane.aip/DLOG/16051.json");
    EXPECT_EQ(dialog["caption"], "Plug-in Error - Brivane Tools");
    EXPECT_EQ(dialog["units"], "dialog");
    EXPECT_EQ(dialog["width"], 185);
    EXPECT_EQ(dialog["height"], 92);
    ASSERT_EQ(dialog["items"].size(), 4u);
    EXPECT_EQ(dialog["items"][0]["id"], 1);
    EXPECT_EQ(dialog["items"][0]["kind"], "ADM Text Push Button Type");
    EXPECT_EQ(dialog["items"][1]["rect"], (std::vector<int>{49, 18, 182, 65}));
    EXPECT_EQ(dialog["items"][2]["rect"], (std::vector<int>{3, 81, 33, 89}));
    EXPECT_EQ(dialog["items"][3]["kind"], "ADM Frame Type");
    EXPECT_EQ(dialog["items"][3]["rect"], (std::vector<int>{10, 10, 28, 30}));
}

TEST(DialogTemplates, AboutBoxesNameTheirPlugInAndHaveAnOkButton) {
    for (const std::string name : {"Brivane", "Kestova"}) {
        const auto dialog = ReadJson(kBundles + "/" + name + ".aip/DLOG/16050.json");
        EXPECT_NE(dialog["caption"].get<std::string>().find(name), std::string::npos);
        ASSERT_FALSE(dialog["items"].empty());
        EXPECT_EQ(dialog["items"][0]["id"], 1);
        EXPECT_EQ(dialog["items"][0]["kind"], "ADM Text Push Button Type");
    }
}

} // namespace

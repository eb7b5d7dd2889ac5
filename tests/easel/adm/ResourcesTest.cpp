#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/HostState.h"
#include "adm/Dialog.h"
#include "adm/RegisterADM.h"
#include "adm/Resources.h"

using namespace easel;
using namespace easel::adm;
namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> readBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

SPPluginRef fakePlugin() { return reinterpret_cast<SPPluginRef>(0x1000); }

}  // namespace

// A temporary bundle that the dialog manager resolves for fakePlugin().
class BundleTest : public ::testing::Test {
protected:
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() / ("easel-adm-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                           "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        registerADMSuites(hostState().suites);
        fs::path bundle = dir;
        setBundleResolver([bundle](SPPluginRef p) -> std::optional<fs::path> {
            if (p == fakePlugin()) return bundle;
            return std::nullopt;
        });
    }
    void TearDown() override {
        setBundleResolver(nullptr);
        fs::remove_all(dir);
    }
    template <typename T>
    static const T* suite(const char* name, int32_t version) {
        return static_cast<const T*>(hostState().suites.find(name, version));
    }
    const ADMBasicSuite* basic() { return suite<ADMBasicSuite>(kADMBasicSuite, kADMBasicSuiteVersion); }
    const ADMIconSuite* icons() { return suite<ADMIconSuite>(kADMIconSuite, kADMIconSuiteVersion); }
    const ADMDialogSuite* dialogs() { return suite<ADMDialogSuite>(kADMDialogSuite, kADMDialogSuiteVersion); }
};

TEST_F(BundleTest, IndexStringsReadTheListAndGiveEmptyPastTheEnd) {
    write(dir / "STR#" / "16050.json", R"(["", "-108", "Not enough memory for this long message"])");
    char buf[16];
    EXPECT_EQ(basic()->GetIndexString(fakePlugin(), 16050, 1, buf, sizeof buf), kNoErr);
    EXPECT_STREQ(buf, "-108");
    EXPECT_EQ(basic()->GetIndexString(fakePlugin(), 16050, 2, buf, sizeof buf), kNoErr);
    EXPECT_STREQ(buf, "Not enough memo");  // at most max - 1 characters
    std::strcpy(buf, "stale");
    EXPECT_EQ(basic()->GetIndexString(fakePlugin(), 16050, 3, buf, sizeof buf), kNoErr);
    EXPECT_STREQ(buf, "");
    EXPECT_NE(basic()->GetIndexString(fakePlugin(), 999, 0, buf, sizeof buf), kNoErr);
    EXPECT_STREQ(buf, "");
}

TEST_F(BundleTest, TemplateGivesCaptionSizeAndItemsBeforeInit) {
    write(dir / "DLOG" / "16051.json",
          R"({"caption": "Plug-in Error", "units": "dialog", "width": 184, "height": 96,
              "items": [{"id": 1, "kind": "ADM Text Push Button Type", "rect": [4, 8, 44, 24], "text": "OK"},
                        {"id": 2, "kind": "ADM Text Static Type", "rect": [49, 18, 182, 65], "text": "Message"}]})");
    static int itemsSeenByInit = 0;
    InspectDriver driver;
    dialogManager().setNextDriver(&driver);
    ASInt32 result = 0;
    ASSERT_EQ(dialogs()->Modal(fakePlugin(), "Error Dialog", 16051, 0,
                             [](ADMDialogRef d) -> ASErr {
                                 itemsSeenByInit = static_cast<int>(reinterpret_cast<Dialog*>(d)->items.size());
                                 return kNoErr;
                             },
                             nullptr, &result),
              kNoErr);
    EXPECT_EQ(itemsSeenByInit, 2);
    ASSERT_TRUE(driver.record());
    const auto& r = *driver.record();
    EXPECT_EQ(r.caption, "Plug-in Error");
    // Dialog units: 4 across make 6 pixels, 8 down make 13.
    EXPECT_EQ(r.bounds.right - r.bounds.left, 276);
    EXPECT_EQ(r.bounds.bottom - r.bounds.top, 156);
    EXPECT_EQ(r.items[1].rect.left, 73);
    EXPECT_EQ(r.items[1].rect.bottom, 105);
    EXPECT_EQ(r.items[1].text, "Message");
    EXPECT_EQ(result, 2);  // the inspector always closes with Cancel
}

TEST_F(BundleTest, MalformedTemplateFailsTheModalCall) {
    write(dir / "DLOG" / "7.json", R"({"items": [{"id": 1, "kind": "ADM Text Push Button Type", "rect": [1, 2]}]})");
    ASInt32 result = -1;
    EXPECT_EQ(dialogs()->Modal(fakePlugin(), "Bad", 7, 0, nullptr, nullptr, &result), kBadParameterErr);
    EXPECT_EQ(dialogManager().depth(), 0);
}

TEST_F(BundleTest, IconsLoadAsBitmapsOrTheUnknownTypeWhenMissingOrUnreadable) {
    fs::create_directories(dir / "ICON");
    fs::copy_file(fs::path(TESTPLUGIN_BUNDLE) / "ICON" / "16051.ico", dir / "ICON" / "16051.ico");
    write(dir / "ICON" / "16052.ico", "not an icon at all, just text");
    ADMIconRef icon = nullptr;
    ASInt32 type = 0, w = 0, h = 0;
    ASSERT_EQ(icons()->GetFromResource(fakePlugin(), 16050, 1, &icon), kNoErr);  // 16051: a 16-colour icon
    icons()->GetType(icon, &type);
    icons()->GetSize(icon, &w, &h);
    EXPECT_EQ(type, kADMIconBitmapType);
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 32);
    ASSERT_NE(iconOf(icon), nullptr);
    EXPECT_EQ(iconOf(icon)->image.bitCount, 4);
    icons()->Destroy(icon);
    for (ASInt32 index : {2, 3}) {  // 16052: unreadable; 16053: missing
        SCOPED_TRACE(index);
        ASSERT_EQ(icons()->GetFromResource(fakePlugin(), 16050, index, &icon), kNoErr);
        icons()->GetType(icon, &type);
        EXPECT_EQ(type, kADMUnknownIconType);
        EXPECT_EQ(icons()->Destroy(icon), kNoErr);
    }
    EXPECT_EQ(icons()->Destroy(icon), kBadParameterErr);
}

class IconDecodeTest : public ::testing::Test {
protected:
    static Image load(const char* rel) {
        std::string error;
        auto img = decodeIcon(readBytes(fs::path(TESTPLUGIN_BUNDLE) / rel), &error);
        EXPECT_TRUE(img) << error;
        return img.value_or(Image{});
    }
    static const uint8_t* px(const Image& img, int x, int y) { return &img.rgba[size_t(y * img.width + x) * 4]; }
    static std::vector<int> rgba(const Image& img, int x, int y) { return {px(img, x, y), px(img, x, y) + 4}; }
};

TEST_F(IconDecodeTest, FourBitIconDecodesColoursTopRowFirstAndMasksTheBackground) {
    Image img = load("ICON/16051.ico");
    ASSERT_EQ(img.rgba.size(), 32u * 32u * 4u);
    EXPECT_EQ(px(img, 0, 0)[3], 0);                                // background: masked, transparent
    EXPECT_EQ(rgba(img, 24, 8), (std::vector<int>{255, 255, 0, 255}));   // the upper right square is yellow
    EXPECT_EQ(rgba(img, 8, 22), (std::vector<int>{128, 128, 128, 255}));  // the lower left one grey
    EXPECT_EQ(rgba(img, 3, 17), (std::vector<int>{0, 0, 0, 255}));       // with a black outline
}

TEST_F(IconDecodeTest, MonochromeCursorKeepsItsHotSpot) {
    Image img = load("CURS/16001.cur");
    EXPECT_EQ(img.bitCount, 1);
    EXPECT_EQ(img.hotX, 16);
    EXPECT_EQ(img.hotY, 15);
    EXPECT_EQ(px(img, 16, 15)[0], 255);  // white centre
    EXPECT_EQ(px(img, 20, 15)[3], 255);  // the cross arm is opaque
    EXPECT_EQ(px(img, 2, 2)[3], 0);
}

TEST_F(IconDecodeTest, TruncatedOrForeignDataIsRefused) {
    auto data = readBytes(fs::path(TESTPLUGIN_BUNDLE) / "ICON/16051.ico");
    std::string error;
    auto cut = data;
    cut.resize(data.size() - 40);
    EXPECT_FALSE(decodeIcon(cut, &error));
    EXPECT_FALSE(error.empty());
    auto wrongType = data;
    wrongType[2] = 3;
    EXPECT_FALSE(decodeIcon(wrongType, &error));
    EXPECT_FALSE(decodeIcon({}, &error));
}

TEST_F(IconDecodeTest, PngHoldsTheImageRowsUnchanged) {
    Image img = load("ICON/16051.ico");
    auto png = encodePng(img);
    ASSERT_GT(png.size(), 8u + 25u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    // IHDR follows the signature; IDAT the IHDR.
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
    const size_t idat = 8 + 25;
    const uint32_t len = uint32_t(png[idat]) << 24 | uint32_t(png[idat + 1]) << 16 | uint32_t(png[idat + 2]) << 8 | png[idat + 3];
    EXPECT_EQ(std::string(png.begin() + idat + 4, png.begin() + idat + 8), "IDAT");
    std::vector<uint8_t> raw(32 * (1 + 32 * 4));
    uLongf rawSize = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &rawSize, png.data() + idat + 8, len), Z_OK);
    ASSERT_EQ(rawSize, raw.size());
    for (int y = 0; y < 32; ++y) {
        EXPECT_EQ(raw[size_t(y) * 129], 0);
        EXPECT_EQ(0, std::memcmp(&raw[size_t(y) * 129 + 1], px(img, 0, y), 128)) << "row " << y;
    }
    // The file ends with an empty IEND chunk and its CRC.
    EXPECT_EQ(std::string(png.end() - 8, png.end() - 4), "IEND");
}

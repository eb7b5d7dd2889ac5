// The plug-ins' Windows resources: the generator's Win32 form reads back to
// what the bundle folders hold, and the cross-built DLLs (scripts/build-windows)
// are PE32 i386 / PE32+ x86-64 DLLs that export PluginMain alone, import only
// system DLLs and carry every resource byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "PeFile.h"
#include "resources/ResourceWriter.h"
#include "resources/Win32Resources.h"
#include "adm/Resources.h"

namespace {

namespace fs = std::filesystem;

const char* const kPlugins[] = {"Brivane", "Kestova"};

// A lookup over the resources the generator writes into the DLL.
easel::adm::ResourceLookup generated(const std::vector<resources::Win32Resource>& list) {
    return [&list](const easel::adm::ResourceType& type, int32_t id) -> std::optional<std::vector<uint8_t>> {
        for (const auto& r : list)
            if (r.typeName == type.name && (!r.typeName.empty() || r.typeId == type.id) &&
                r.id == static_cast<unsigned>(id))
                return r.data;
        return std::nullopt;
    };
}

TEST(WindowsResources, ReadBackAsTheBundleFolderHoldsThem) {
    for (const char* plugin : kPlugins) {
        SCOPED_TRACE(plugin);
        std::string error;
        const auto list = resources::Win32Resources(plugin, error);
        ASSERT_FALSE(list.empty()) << error;
        const auto lookup = generated(list);
        const fs::path folder = fs::path(EASEL_PLUGIN_DIR) / (std::string(plugin) + ".aip");
        const resources::BundleContents contents = resources::Contents(plugin);

        for (const auto& s : contents.stringLists) {
            auto fromDll = easel::adm::stringListFrom(lookup, s.id, plugin, &error);
            ASSERT_TRUE(fromDll) << error;
            EXPECT_EQ(*fromDll, s.strings);
            EXPECT_EQ(*fromDll, easel::adm::readStringList(folder, s.id).value_or(std::vector<std::string>{}));
        }
        for (const auto& d : contents.dialogs) {
            SCOPED_TRACE("dialog " + std::to_string(d.id));
            auto fromDll = easel::adm::dialogTemplateFrom(lookup, d.id, plugin, &error);
            auto fromFolder = easel::adm::readDialogTemplate(folder, d.id, &error);
            ASSERT_TRUE(fromDll && fromFolder) << error;
            EXPECT_EQ(fromDll->caption, fromFolder->caption);
            EXPECT_EQ(fromDll->font, "MS Sans Serif");
            EXPECT_EQ(fromDll->fontSize, 8);
            // Templates in pixels go through dialog units: at most a pixel is lost.
            EXPECT_NEAR(fromDll->width, fromFolder->width, 1);
            EXPECT_NEAR(fromDll->height, fromFolder->height, 1);
            ASSERT_EQ(fromDll->items.size(), fromFolder->items.size());
            for (size_t i = 0; i < fromDll->items.size(); ++i) {
                const auto &a = fromDll->items[i], &b = fromFolder->items[i];
                EXPECT_EQ(a.id, b.id);
                EXPECT_EQ(a.kind, b.kind);
                EXPECT_EQ(a.text, b.text);
                EXPECT_NEAR(a.rect.left, b.rect.left, 1);
                EXPECT_NEAR(a.rect.top, b.rect.top, 1);
                EXPECT_NEAR(a.rect.right, b.rect.right, 1);
                EXPECT_NEAR(a.rect.bottom, b.rect.bottom, 1);
            }
        }
        for (const auto& icon : contents.icons) {
            auto fromDll = easel::adm::iconFrom(lookup, false, icon.id, plugin, &error);
            auto fromFolder = easel::adm::readIcon(folder, icon.id, &error);
            ASSERT_TRUE(fromDll && fromFolder) << error;
            EXPECT_EQ(fromDll->rgba, fromFolder->rgba) << "icon " << icon.id;
        }
        auto cursor = easel::adm::iconFrom(lookup, true, contents.cursorId, plugin, &error);
        auto cursorFile = easel::adm::readCursor(folder, contents.cursorId, &error);
        ASSERT_TRUE(cursor && cursorFile) << error;
        EXPECT_EQ(cursor->rgba, cursorFile->rgba);
        EXPECT_EQ(std::make_pair(cursor->hotX, cursor->hotY), std::make_pair(contents.cursorHotX, contents.cursorHotY));
    }
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// One row per cross build: where its DLLs are and what they must be.
struct Target {
    const char* arch;
    const char* compiler;  // present when the cross compiler was found at configure time
    uint16_t machine;
    uint16_t optionalMagic;
};

class WindowsDll : public testing::TestWithParam<Target> {};

TEST_P(WindowsDll, IsASystemOnlyDllExportingPluginMainWithEveryResource) {
    const Target& t = GetParam();
    if (std::string(t.compiler).empty())
        GTEST_SKIP() << t.arch << "-w64-mingw32-g++-posix was not found: install mingw-w64 (scripts/setup does)";
    // The system DLLs a plug-in may import: the C runtime and the Windows API.
    const std::vector<std::string> system = {"kernel32.dll", "user32.dll", "msvcrt.dll", "advapi32.dll"};
    for (const char* plugin : kPlugins) {
        SCOPED_TRACE(plugin);
        const fs::path dll = fs::path(EASEL_WINDOWS_BUILDS) / (std::string("windows-") + t.arch) / "plugins" /
                             (std::string(plugin) + ".aip");
        std::ifstream in(dll, std::ios::binary);
        ASSERT_TRUE(in) << dll << " is missing: build it with scripts/build-windows " << t.arch;
        const pe::Bytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string error;
        auto file = pe::read(data, error);
        ASSERT_TRUE(file) << dll << ": " << error;
        EXPECT_EQ(file->machine, t.machine);
        EXPECT_EQ(file->optionalMagic, t.optionalMagic);
        EXPECT_TRUE(file->dll);
        EXPECT_EQ(file->exports, std::vector<std::string>{"PluginMain"});
        for (const auto& name : file->imports)
            EXPECT_NE(std::find(system.begin(), system.end(), lower(name)), system.end()) << "imports " << name;

        const auto expected = resources::Win32Resources(plugin, error);
        ASSERT_FALSE(expected.empty()) << error;
        EXPECT_EQ(file->resources.size(), expected.size());
        for (const auto& r : expected) {
            const pe::ResourceKey key{r.typeName.empty() ? "#" + std::to_string(r.typeId) : r.typeName, r.id};
            auto found = file->resources.find(key);
            ASSERT_NE(found, file->resources.end()) << "no resource " << key.type << " " << key.id;
            EXPECT_EQ(found->second, r.data) << "resource " << key.type << " " << key.id;
        }
        // The property list is the 79 bytes a bundle folder holds.
        EXPECT_EQ(file->resources.at({"PIPL", 16000}), resources::PropertyList());
        EXPECT_EQ(resources::PropertyList().size(), 79u);
    }
}

INSTANTIATE_TEST_SUITE_P(CrossBuilds, WindowsDll,
                         testing::Values(Target{"i686", EASEL_I686_COMPILER, 0x14c, 0x10b},
                                         Target{"x86_64", EASEL_X86_64_COMPILER, 0x8664, 0x20b}),
                         [](const testing::TestParamInfo<Target>& row) { return std::string(row.param.arch); });

}  // namespace

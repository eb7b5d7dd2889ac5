#include "core/MappedInput.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/Input.h"

namespace easel {
namespace {

namespace fs = std::filesystem;

fs::path fileWith(const std::string& name, const std::string& text) {
    const fs::path p = fs::temp_directory_path() / ("easel-mapped-" + std::to_string(::getpid()) + "-" + name);
    std::ofstream(p, std::ios::binary) << text;
    return p;
}

// A file is read as readInputFile reads it, empty and oversized ones included.
TEST(MappedInput, GivesTheFileAsReadInputFileDoes) {
    const fs::path p = fileWith("doc.json", "{\"a\": [1, 2]}\n");
    EXPECT_EQ(MappedInput(p).text(), readInputFile(p));
    const fs::path empty = fileWith("empty.json", "");
    EXPECT_EQ(MappedInput(empty).text(), "");
    const fs::path big = fileWith("big.json", "");
    fs::resize_file(big, kMaxFileBytes + 1);  // sparse: nothing is read
    EXPECT_THROW(MappedInput{big}, InputError);
    EXPECT_THROW(MappedInput{p.string() + ".missing"}, InputError);
    for (const fs::path& f : {p, empty, big}) fs::remove(f);
}

// Cut short by another program while it is mapped: easel ends with a
// message naming the file, not with a crash.
TEST(MappedInputDeathTest, AFileCutShortWhileItIsReadEndsWithAMessage) {
    const fs::path p = fileWith("cut.json", std::string(3 * 4096, 'x'));
    EXPECT_EXIT(
        {
            const MappedInput in(p);
            fs::resize_file(p, 0);
            volatile char c = in.text()[2 * 4096];
            (void)c;
        },
        ::testing::ExitedWithCode(1), "cut.json: the file changed while it was read");
    fs::remove(p);
}

}  // namespace
}  // namespace easel

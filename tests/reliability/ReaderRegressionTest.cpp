// Inputs the readers' fuzz targets found, kept as cases of their own.
#include <gtest/gtest.h>

#include "run/Script.h"

namespace reliability {
namespace {

// A number past the range of a double is refused with a reason, not thrown
// out of the reader.
TEST(ScriptReaderTest, ANumberPastTheRangeOfADoubleIsRefusedWithAReason) {
    const std::string text =
        R"({"document": "d.json", "plugins": ["Brivane"], "steps": [)"
        R"({"options": {"tool": "Paint", "set": {"251": 921e3952}, "press": "OK"}}]})";
    easel::run::Script script;
    std::string error;
    EXPECT_FALSE(easel::run::parseScript(text, script, error));
    EXPECT_NE(error.find("not valid JSON"), std::string::npos) << error;
}

}  // namespace
}  // namespace reliability

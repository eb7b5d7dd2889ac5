// libFuzzer target for the script reader of `easel play`. Any input must be
// read or refused without a crash or a sanitizer report; a refusal says
// where and why, and a script that is read has at least one event in every
// drag.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "run/Script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    easel::run::Script script;
    std::string error;
    if (!easel::run::parseScript(text, script, error)) {
        if (error.empty()) std::abort();  // refused without a reason
        return 0;
    }
    for (const auto& step : script.steps)
        if (step.kind == easel::run::Step::Kind::Drag && step.events.empty()) std::abort();
    return 0;
}

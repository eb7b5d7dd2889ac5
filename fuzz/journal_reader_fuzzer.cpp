// libFuzzer target for the studio's recovery journal reader. Any input must
// be read or refused without a crash or a sanitizer report; a refusal says
// what is wrong, and a journal that is read holds a script with a list of
// steps.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/Input.h"
#include "studio/JournalFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const easel::studio::JournalContents c = easel::studio::parseJournal(text);
        if (!c.script.is_object() || !c.script.contains("steps") || !c.script["steps"].is_array()) std::abort();
    } catch (const easel::InputError& e) {
        if (std::string_view(e.what()).empty()) std::abort();  // refused without a reason
    }
    return 0;
}

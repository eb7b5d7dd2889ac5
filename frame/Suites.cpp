#include "Suites.h"

#include <cstdio>

namespace frame {

const void* gSuiteSlots[kSuiteSlotCount] = {};

namespace {
ASInt16 gSuiteNesting = 0;
} // namespace

ASInt16 SuiteNesting() { return gSuiteNesting; }

void SetSuiteNesting(ASInt16 nesting) { gSuiteNesting = nesting; }

ASErr AcquireSuites(SPBasicSuite* basic, const SuiteEntry* list, std::size_t count) {
    ASErr status = kNoErr;
    if (gSuiteNesting == 0) {
        for (std::size_t i = 0; i < count; ++i) {
            const SuiteEntry& entry = list[i];
            const void* table = nullptr;
            status = basic->AcquireSuite(entry.name, entry.version, &table);
            if (status == kNoErr) {
                gSuiteSlots[entry.slot] = table;
                continue;
            }
            const ADMBasicSuite* admBasic = AdmBasic();
            if (admBasic != nullptr) {
                char text[256];
                std::snprintf(text, sizeof text, "Suite Loading Error: %d, suite: %s, version: %d!",
                              static_cast<int>(status), entry.name, static_cast<int>(entry.version));
                admBasic->MessageAlert(text);
            }
            // A suite missing before ADM Basic is held cannot be shown to the
            // user, but going on would let the handlers run with an empty slot:
            // the walk stops here with that error in both cases.
            break;
        }
    }
    ++gSuiteNesting;
    return status;
}

void ReleaseSuites(SPBasicSuite* basic, const SuiteEntry* list, std::size_t count) {
    if (gSuiteNesting == 1) {
        for (std::size_t i = 0; i < count; ++i) {
            const SuiteEntry& entry = list[i];
            // Only what was acquired is released: a walk that stopped early
            // left the later slots empty.
            if (gSuiteSlots[entry.slot] == nullptr) continue;
            if (basic->ReleaseSuite(entry.name, entry.version) != kNoErr) break;
            gSuiteSlots[entry.slot] = nullptr;
        }
    }
    --gSuiteNesting;
}

} // namespace frame

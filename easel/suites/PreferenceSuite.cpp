// AI Preference: integer preferences kept for the host session (nothing is
// written to disk).
#include <map>
#include <string>

#include "SuiteTables.h"

namespace easel {
namespace {

std::map<std::string, ASInt32>& store() {
    static std::map<std::string, ASInt32> prefs;
    return prefs;
}

std::string key(const char* prefix, const char* suffix) {
    return std::string(prefix) + '\x1f' + (suffix ? suffix : "");
}

ASErr getInteger(const char* prefix, const char* suffix, ASInt32* value) {
    if (prefix == nullptr || value == nullptr) return kBadParameterErr;
    auto it = store().find(key(prefix, suffix));
    if (it == store().end()) return kBadParameterErr;
    *value = it->second;
    return kNoErr;
}

ASErr putInteger(const char* prefix, const char* suffix, ASInt32 value) {
    if (prefix == nullptr) return kBadParameterErr;
    store()[key(prefix, suffix)] = value;
    return kNoErr;
}

const AIPreferenceSuite kSuite = {getInteger, putInteger};

}  // namespace

const AIPreferenceSuite* suites::preferenceSuite() { return &kSuite; }

}  // namespace easel

// AI Tag: named string or real values attached to art.
#include <cstring>
#include <string>

#include "SuiteSupport.h"
#include "SuiteTables.h"

namespace easel {
namespace {

bool isString(const char* type) { return type != nullptr && std::strcmp(type, "string") == 0; }
bool isReal(const char* type) { return type != nullptr && std::strcmp(type, "real") == 0; }
bool validName(const char* name) { return name != nullptr && name[0] != '\0'; }

ASErr setTag(AIArtHandle art, const char* name, const char* type, const void* value) {
    ArtRef r = passArt(art);  // setTagString and setTagReal check it
    if (r.err) return r.err;
    if (!validName(name) || value == nullptr) return kBadParameterErr;
    if (isString(type)) return r.doc->setTagString(r.art, name, static_cast<const char*>(value));
    if (isReal(type)) {
        const AIReal v = *static_cast<const AIReal*>(value);
        if (!finite(v)) return kBadParameterErr;
        return r.doc->setTagReal(r.art, name, v);
    }
    return kBadParameterErr;
}

ASErr getTag(AIArtHandle art, const char* name, const char* type, void* value, ASInt32 max) {
    ArtRef r = resolveArt(art);
    if (r.err) return r.err;
    if (!validName(name) || value == nullptr) return kBadParameterErr;
    const Tag* tag = r.art->findTag(name);
    if (tag == nullptr) return kBadParameterErr;
    if (isString(type) && !tag->isReal) return copyText(tag->text, static_cast<char*>(value), max);
    if (isReal(type) && tag->isReal) {
        *static_cast<AIReal*>(value) = tag->real;
        return kNoErr;
    }
    return kBadParameterErr;  // unknown type, or not the type the tag holds
}

ASErr deleteTag(AIArtHandle art, const char* name) {
    ArtRef r = resolveArt(art);
    if (r.err) return r.err;
    if (!validName(name) || r.art->findTag(name) == nullptr) return kBadParameterErr;
    return r.doc->deleteTag(r.art, name);
}

ASErr hasTag(AIArtHandle art, const char* name, ASBoolean* has) {
    ArtRef r = resolveArt(art);
    if (r.err) return r.err;
    if (!validName(name) || has == nullptr) return kBadParameterErr;
    *has = r.art->findTag(name) != nullptr ? 1 : 0;
    return kNoErr;
}

const AITagSuite kSuite = {setTag, getTag, deleteTag, hasTag};

}  // namespace

const AITagSuite* suites::tagSuite() { return &kSuite; }

}  // namespace easel

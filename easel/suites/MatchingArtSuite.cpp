// AI Matching Art: the art of the current document that matches a list of
// type and attribute requirements, front to back, handed out as an MdMemory
// handle to an array of art handles.
//
// Front to back: the top layer first, the top-most art of each layer or group
// first, a group (or compound path) before its members. The tools visit the
// list from its last entry and put each copy above all art, so the copies of
// the frontmost object are made last and end up in front, as the objects they
// copy stood.
#include <cstddef>
#include <vector>

#include "SuiteSupport.h"
#include "SuiteTables.h"
#include "suites/RegisterAISuites.h"

namespace easel {
namespace {

bool isInside(const Art* a, const Art* container) {
    for (const Art* p = a->parent(); p; p = p->parent())
        if (p == container) return true;
    return false;
}

// Art in document order (bottom first, a container before its members) put
// front to back. Read backwards, the members of a container found so far
// stand together at the end of the result: the container goes before them.
std::vector<Art*> frontToBack(const std::vector<Art*>& documentOrder) {
    std::vector<Art*> out;
    out.reserve(documentOrder.size());
    for (auto it = documentOrder.rbegin(); it != documentOrder.rend(); ++it) {
        Art* a = *it;
        size_t at = out.size();
        if (a->firstChild())
            while (at > 0 && isInside(out[at - 1], a)) --at;
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(at), a);
    }
    return out;
}

ASErr handOut(const std::vector<Art*>& documentOrder, AIArtHandle*** matches, ASInt32* numMatches) {
    const std::vector<Art*> found = frontToBack(documentOrder);
    *matches = nullptr;
    *numMatches = 0;
    if (found.empty()) return kNoErr;
    AIMdMemoryHandle h = newMemoryHandle(found.size() * sizeof(AIArtHandle));
    if (h == nullptr) return kOutOfMemoryErr;
    // The handle points at the block pointer; the block holds the array.
    auto** block = reinterpret_cast<AIArtHandle**>(h);
    for (size_t i = 0; i < found.size(); ++i) (*block)[i] = found[i]->handle();
    *matches = block;
    *numMatches = static_cast<ASInt32>(found.size());
    return kNoErr;
}

ASErr getMatchingArt(const AIMatchingArtSpec* specs, ASInt16 numSpecs, AIArtHandle*** matches,
                     ASInt32* numMatches) {
    Document* doc = currentDocument();
    if (doc == nullptr || matches == nullptr || numMatches == nullptr || numSpecs < 0 ||
        (specs == nullptr && numSpecs > 0))
        return kBadParameterErr;
    std::vector<MatchSpec> wanted(static_cast<size_t>(numSpecs));
    for (size_t i = 0; i < wanted.size(); ++i) {
        wanted[i].type = specs[i].type;
        wanted[i].whichAttr = specs[i].whichAttr;
        wanted[i].attr = specs[i].attr;
    }
    return handOut(doc->matchingArt(wanted.data(), wanted.size()), matches, numMatches);
}

ASErr getSelectedArt(AIArtHandle*** matches, ASInt32* numMatches) {
    Document* doc = currentDocument();
    if (doc == nullptr || matches == nullptr || numMatches == nullptr) return kBadParameterErr;
    return handOut(doc->selectedArt(), matches, numMatches);
}

const AIMatchingArtSuite kSuite = {getMatchingArt, getSelectedArt};

}  // namespace

const AIMatchingArtSuite* suites::matchingArtSuite() { return &kSuite; }

}  // namespace easel

// The selection snapshot: the host's matching-art array, taken and given back.
#include "frame/Selection.h"

namespace frame {

namespace {

void DisposeArray(AIArtHandle** array) {
    if (array != nullptr) MdMemory()->MdMemoryDisposeHandle(reinterpret_cast<AIMdMemoryHandle>(array));
}

} // namespace

ASErr TakeSelection(const AIMatchingArtSpec* criteria, ASInt16 criteriaCount, SelectionFields fields) {
    fields.art = nullptr;
    fields.count = 0;
    AIArtHandle** matches = nullptr;
    ASInt32 count = 0;
    const ASErr error = MatchingArt()->GetMatchingArt(criteria, criteriaCount, &matches, &count);
    if (error != kNoErr) return error;
    if (count <= 0 || matches == nullptr) {
        DisposeArray(matches);
        return kNoErr;
    }
    fields.art = matches;
    fields.count = count;
    return kNoErr;
}

void DropSelection(SelectionFields fields) {
    DisposeArray(fields.art);
    fields.art = nullptr;
    fields.count = 0;
}

} // namespace frame

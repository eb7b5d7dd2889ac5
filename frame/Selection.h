// The selection snapshot both plug-ins take at mouse down: the host's array
// of the selected art that matches the plug-in's criteria, held in the
// Globals block until mouse up gives it back.
#ifndef FRAME_SELECTION_H
#define FRAME_SELECTION_H

#include "frame/Suites.h"

namespace frame {

// The snapshot fields of a Globals block.
struct SelectionFields {
    AIArtHandle**& art;
    ASInt32& count;
};

// Fills the fields with the selected art matching the criteria. Nothing
// matched: the fields are null and 0 (an empty array from the host is given
// back). A host error is returned with the fields null and 0.
ASErr TakeSelection(const AIMatchingArtSpec* criteria, ASInt16 criteriaCount, SelectionFields fields);

// Gives the array back to the host (if any) and clears the fields.
void DropSelection(SelectionFields fields);

} // namespace frame

#endif

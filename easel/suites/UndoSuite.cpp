// AI Undo: reverting and naming the open undo context of the current document.
#include "SuiteSupport.h"
#include "SuiteTables.h"

namespace easel {
namespace {

ASErr undoChanges() {
    Document* doc = currentDocument();
    if (doc == nullptr) return kBadParameterErr;
    return doc->undoChanges();
}

ASErr setUndoText(const char* undoText, const char* redoText) {
    Document* doc = currentDocument();
    if (doc == nullptr || undoText == nullptr || redoText == nullptr) return kBadParameterErr;
    doc->setUndoText(undoText, redoText);
    return kNoErr;
}

const AIUndoSuite kSuite = {undoChanges, setUndoText};

}  // namespace

const AIUndoSuite* suites::undoSuite() { return &kSuite; }

}  // namespace easel

// AI Document: the current document's page setup.
#include "SuiteSupport.h"
#include "SuiteTables.h"

namespace easel {
namespace {

ASErr getDocumentSetup(AIDocumentSetup* setup) {
    Document* doc = currentDocument();
    if (doc == nullptr || setup == nullptr) return kBadParameterErr;
    *setup = AIDocumentSetup{doc->width(), doc->height(), 1};
    return kNoErr;
}

ASErr setDocumentSetup(const AIDocumentSetup* setup) {
    Document* doc = currentDocument();
    if (doc == nullptr || setup == nullptr || !finite(setup->width) || !finite(setup->height) ||
        setup->width <= 0 || setup->height <= 0)
        return kBadParameterErr;
    return doc->setPageSize(setup->width, setup->height);
}

const AIDocumentSuite kSuite = {getDocumentSetup, setDocumentSetup};

}  // namespace

const AIDocumentSuite* suites::documentSuite() { return &kSuite; }

}  // namespace easel

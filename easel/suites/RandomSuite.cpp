// AI Random: the host's seeded generator (hostState().random), so a run with
// the same seed and events gives the same result bit for bit.
#include "core/HostState.h"
#include "SuiteTables.h"

namespace easel {
namespace {

ASErr floatRnd(AIReal* value) {
    if (value == nullptr) return kBadParameterErr;
    *value = hostState().random.next();
    return kNoErr;
}

ASErr setRndSeed(ASInt32 seed) {
    hostState().random.reseed(seed);
    return kNoErr;
}

ASErr getRndSeed(ASInt32* seed) {
    if (seed == nullptr) return kBadParameterErr;
    *seed = hostState().random.seed();
    return kNoErr;
}

const AIRandomSuite kSuite = {floatRnd, setRndSeed, getRndSeed};

}  // namespace

const AIRandomSuite* suites::randomSuite() { return &kSuite; }

}  // namespace easel

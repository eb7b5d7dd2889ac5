// The warp step as the tools run it through the suites: duplicate the member
// as the envelope object, make the envelope with options {0, 50}, then set a
// random style and parameters. The bounds the tools read back are warped.
#include <cstring>

#include "SuiteTestSupport.h"

namespace easel::test {
namespace {

class WarpStep : public DocumentSuiteTest {
protected:
    // The step on `member` with the random draws of the tools; returns the
    // style drawn (0 to 17) and the envelope.
    ASInt32 warpStep(AIArtHandle member, AIArtHandle* env) {
        AIArtHandle object = nullptr;
        EXPECT_EQ(art->DuplicateArt(member, kPlaceAboveAll, member, &object), kNoErr);
        AIEnvelopeOptions options{0, 50};
        EXPECT_EQ(envelope->MakeEnvelope(&member, 1, object, &options, env), kNoErr);
        const auto drawn = static_cast<ASInt32>(draw() * 18.0f);
        AIReal values[3];
        for (AIReal& v : values) {
            const AIReal sign = draw() > 0.5f ? -1.0f : 1.0f;
            v = draw() * sign;
        }
        const ASBoolean turn = draw() > 0.5f ? 1 : 0;
        if (drawn >= 1 && drawn <= 15) {
            EXPECT_EQ(envelope->SetEnvelopeWarp(*env, drawn, values[0], values[1], values[2], turn), kNoErr);
        }
        return drawn;
    }
    AIReal draw() {
        AIReal r = 0;
        EXPECT_EQ(random->FloatRnd(&r), kNoErr);
        return r;
    }
};

TEST_F(WarpStep, WarpedEnvelopesReportWarpedBoundsAndUndoTakesThemBack) {
    ASSERT_EQ(random->SetRndSeed(7), kNoErr);
    std::vector<AIArtHandle> members;
    std::vector<AIRealRect> plain;
    for (int i = 0; i < 12; ++i) {
        members.push_back(square(static_cast<AIReal>(40 * i), 100, 30));
        plain.push_back(boundsOf(members.back()));
    }
    doc->commitUndoContext();  // the squares are one step, the warps the next

    int warped = 0;
    for (size_t i = 0; i < members.size(); ++i) {
        AIArtHandle env = nullptr;
        const ASInt32 drawn = warpStep(members[i], &env);
        const AIRealRect r = boundsOf(env);
        EXPECT_TRUE(std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.right) &&
                    std::isfinite(r.bottom));
        if (drawn >= 1 && drawn <= 15) {
            ++warped;
            EXPECT_NE(std::memcmp(&r, &plain[i], sizeof r), 0) << "style " << drawn;
        } else {
            EXPECT_EQ(std::memcmp(&r, &plain[i], sizeof r), 0);  // the host's default: no warp
        }
    }
    EXPECT_GT(warped, 6);

    ASSERT_EQ(undo->UndoChanges(), kNoErr);
    AIMatchingArtSpec envelopes{kEnvelopeArt, 0, 0};
    AIArtHandle** matches = nullptr;
    ASInt32 count = -1;
    ASSERT_EQ(matching->GetMatchingArt(&envelopes, 1, &matches, &count), kNoErr);
    EXPECT_EQ(count, 0);
    if (matches) memory->MdMemoryDisposeHandle(reinterpret_cast<AIMdMemoryHandle>(matches));
    for (size_t i = 0; i < members.size(); ++i) {
        ASSERT_TRUE(valid(members[i]));
        const AIRealRect r = boundsOf(members[i]);
        EXPECT_EQ(std::memcmp(&r, &plain[i], sizeof r), 0);
    }
}

}  // namespace
}  // namespace easel::test

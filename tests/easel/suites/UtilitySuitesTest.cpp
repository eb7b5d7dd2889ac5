#include <cstring>
#include <string>

#include "core/Random.h"
#include "SuiteTestSupport.h"

namespace easel::test {
namespace {

// ---- AI Random ----

using RandomSuite = SuiteTest;

TEST_F(RandomSuite, FloatRndStaysInTheUnitIntervalAndFollowsTheHostGenerator) {
    ASSERT_EQ(random->SetRndSeed(7), kNoErr);
    Random reference(7);
    float low = 1, high = 0;
    for (int i = 0; i < 20000; ++i) {
        AIReal r = -1;
        ASSERT_EQ(random->FloatRnd(&r), kNoErr);
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        ASSERT_EQ(r, reference.next());
        low = std::min(low, r);
        high = std::max(high, r);
    }
    // Uniform over the whole interval, not a constant or a narrow band.
    EXPECT_LT(low, 0.01f);
    EXPECT_GT(high, 0.99f);
}

TEST_F(RandomSuite, TheSameSeedGivesTheSameSequence) {
    auto draw = [this](int n) {
        std::vector<float> v;
        for (int i = 0; i < n; ++i) {
            AIReal r = 0;
            random->FloatRnd(&r);
            v.push_back(r);
        }
        return v;
    };
    random->SetRndSeed(42);
    auto first = draw(100);
    random->SetRndSeed(43);
    auto other = draw(100);
    random->SetRndSeed(42);
    EXPECT_EQ(draw(100), first);
    EXPECT_NE(other, first);
    ASSERT_EQ(random->SetRndSeed(42), kNoErr);
    ASSERT_EQ(random->GetRndSeed(nullptr), kBadParameterErr);
    ASSERT_EQ(random->FloatRnd(nullptr), kBadParameterErr);
    ASSERT_EQ(first.size(), 100u);
    ASSERT_EQ(hostState().random.seed(), 42);
}

// ---- AI User ----

class UserSuite : public SuiteTest {
protected:
    static std::string pascal(const std::string& s) { return std::string(1, static_cast<char>(s.size())) + s; }
    ASErr toReal(const std::string& text, AIReal* out) {
        std::string p = pascal(text);
        return user->AIStringToReal(reinterpret_cast<const unsigned char*>(p.data()), out);
    }
    std::string toText(AIReal v, ASInt16 precision) {
        unsigned char buf[256];
        std::memset(buf, 0xEE, sizeof buf);
        EXPECT_EQ(user->AIRealToString(v, precision, buf), kNoErr);
        return std::string(reinterpret_cast<const char*>(buf + 1), buf[0]);
    }
};

TEST_F(UserSuite, StringToRealReadsTheLengthPrefixedText) {
    AIReal v = 0;
    ASSERT_EQ(toReal("12.5", &v), kNoErr);
    EXPECT_EQ(v, 12.5f);
    ASSERT_EQ(toReal("  -3 ", &v), kNoErr);
    EXPECT_EQ(v, -3.0f);
    ASSERT_EQ(toReal("+1e2", &v), kNoErr);
    EXPECT_EQ(v, 100.0f);
    // Only the counted bytes are read: "7" of "75".
    const unsigned char counted[] = {1, '7', '5'};
    ASSERT_EQ(user->AIStringToReal(counted, &v), kNoErr);
    EXPECT_EQ(v, 7.0f);
}

TEST_F(UserSuite, StringToRealRefusesWhatIsNotANumber) {
    AIReal v = 99;
    EXPECT_EQ(toReal("", &v), kBadParameterErr);
    EXPECT_EQ(toReal("abc", &v), kBadParameterErr);
    EXPECT_EQ(toReal("12pt", &v), kBadParameterErr);
    EXPECT_EQ(toReal("nan", &v), kBadParameterErr);
    EXPECT_EQ(toReal("inf", &v), kBadParameterErr);
    EXPECT_EQ(toReal("1e60", &v), kBadParameterErr);
    EXPECT_EQ(v, 99.0f);
    EXPECT_EQ(user->AIStringToReal(nullptr, &v), kBadParameterErr);
}

TEST_F(UserSuite, RealToStringRoundsToThePrecision) {
    EXPECT_EQ(toText(-108, 0), "-108");
    EXPECT_EQ(toText(3.14159f, 2), "3.14");
    EXPECT_EQ(toText(2.5f, 0), "3");
    EXPECT_EQ(toText(-2.5f, 0), "-3");
    EXPECT_EQ(toText(0.75f, 1), "0.8");
    EXPECT_EQ(toText(5, 3), "5.000");
    EXPECT_EQ(toText(-0.001f, 2), "0.00");
    EXPECT_EQ(toText(3e38f, 0).size(), 39u);
}

TEST_F(UserSuite, RealToStringRefusesBadArguments) {
    unsigned char buf[256] = {0};
    EXPECT_EQ(user->AIRealToString(std::nanf(""), 2, buf), kBadParameterErr);
    EXPECT_EQ(user->AIRealToString(1, -1, buf), kBadParameterErr);
    EXPECT_EQ(user->AIRealToString(1, 0, nullptr), kBadParameterErr);
    EXPECT_EQ(buf[0], 0);
}

// ---- AI Tool ----

class ToolSuite : public SuiteTest {
protected:
    AIToolHandle add(const char* name, ASInt32 group = kNoTool, SPPluginRef plugin = nullptr) {
        AIAddToolData data{name, "tip", nullptr, 0, group, group};
        AIToolHandle h = nullptr;
        EXPECT_EQ(tool->AddTool(plugin, name, &data, kToolWantsToTrackCursorOption, &h), kNoErr);
        return h;
    }
};

TEST_F(ToolSuite, ToolsAreNumberedInRegistrationOrderAndFoundByName) {
    AIToolHandle first = add(" ZR5 Rows Columns");
    ASInt32 n = -1;
    ASSERT_EQ(tool->GetToolNumberFromName(" ZR5 Rows Columns", &n), kNoErr);
    EXPECT_EQ(n, 0);
    AIToolHandle second = add(" ZR5 Drag", n);
    ASSERT_NE(first, second);
    ASSERT_EQ(tool->GetToolNumberFromName(" ZR5 Drag", &n), kNoErr);
    EXPECT_EQ(n, 1);
    ASSERT_EQ(tool->GetToolNumberFromHandle(second, &n), kNoErr);
    EXPECT_EQ(n, 1);
    const char* name = nullptr;
    ASSERT_EQ(tool->GetToolName(first, &name), kNoErr);
    EXPECT_STREQ(name, " ZR5 Rows Columns");

    ASSERT_EQ(hostState().tools.size(), 2u);
    const RegisteredTool& drag = *hostState().tools[1];
    EXPECT_EQ(drag.title, " ZR5 Drag");
    EXPECT_EQ(drag.tooltip, "tip");
    EXPECT_EQ(drag.sameGroupAs, 0);
    EXPECT_EQ(drag.sameToolsetAs, 0);
    EXPECT_EQ(drag.options, kToolWantsToTrackCursorOption);
    EXPECT_EQ(hostState().tools[0]->sameGroupAs, kNoTool);
}

TEST_F(ToolSuite, UnknownNamesAndHandlesAreRefused) {
    add(" ZR5 Drag");
    ASInt32 n = 123;
    EXPECT_EQ(tool->GetToolNumberFromName(" ZR5 Rows Columns", &n), kBadParameterErr);
    EXPECT_EQ(n, 123);
    int local = 0;
    EXPECT_EQ(tool->GetToolNumberFromHandle(reinterpret_cast<AIToolHandle>(&local), &n), kBadParameterErr);
    const char* name = nullptr;
    EXPECT_EQ(tool->GetToolName(nullptr, &name), kBadParameterErr);
    AIToolHandle h = nullptr;
    EXPECT_EQ(tool->AddTool(nullptr, nullptr, nullptr, 0, &h), kBadParameterErr);
}

TEST_F(ToolSuite, ANameTakenByAnotherPluginIsRefusedButTheSamePluginMayRegisterAgain) {
    auto* a = reinterpret_cast<SPPluginRef>(0x1000);
    auto* b = reinterpret_cast<SPPluginRef>(0x2000);
    AIToolHandle first = add("Tool", kNoTool, a);
    AIAddToolData data{"Tool", "other", nullptr, 0, kNoTool, kNoTool};
    AIToolHandle h = nullptr;
    EXPECT_EQ(tool->AddTool(b, "Tool", &data, 0, &h), kBadParameterErr);
    ASSERT_EQ(tool->AddTool(a, "Tool", &data, 0, &h), kNoErr);
    EXPECT_EQ(h, first);
    EXPECT_EQ(hostState().tools.size(), 1u);
    EXPECT_EQ(hostState().tools[0]->tooltip, "other");
}

TEST_F(ToolSuite, SystemHasPressureFollowsTheInputDevice) {
    ASBoolean has = 7;
    ASSERT_EQ(tool->SystemHasPressure(&has), kNoErr);
    EXPECT_EQ(has, 0);
    hostState().hasPressure = true;
    ASSERT_EQ(tool->SystemHasPressure(&has), kNoErr);
    EXPECT_EQ(has, 1);
}

// ---- AI MdMemory ----

using MemorySuite = SuiteTest;

TEST_F(MemorySuite, HandlesPointAtZeroFilledBlocksThatKeepTheirContentWhenResized) {
    const size_t before = liveMemoryHandles();
    AIMdMemoryHandle h = nullptr;
    ASSERT_EQ(memory->MdMemoryNewHandle(16, &h), kNoErr);
    auto* bytes = *reinterpret_cast<unsigned char**>(h);
    for (int i = 0; i < 16; ++i) ASSERT_EQ(bytes[i], 0);
    std::memset(bytes, 0xAB, 16);
    ASSERT_EQ(memory->MdMemoryResize(h, 4096), kNoErr);
    bytes = *reinterpret_cast<unsigned char**>(h);
    EXPECT_EQ(bytes[15], 0xAB);
    EXPECT_EQ(bytes[16], 0);
    EXPECT_EQ(bytes[4095], 0);
    size_t size = 0;
    ASSERT_EQ(memory->MdMemoryGetSize(h, &size), kNoErr);
    EXPECT_EQ(size, 4096u);
    EXPECT_EQ(liveMemoryHandles(), before + 1);
    ASSERT_EQ(memory->MdMemoryDisposeHandle(h), kNoErr);
    EXPECT_EQ(liveMemoryHandles(), before);
}

TEST_F(MemorySuite, ForeignAndFreedHandlesAreRefused) {
    AIMdMemoryHandle h = nullptr;
    ASSERT_EQ(memory->MdMemoryNewHandle(8, &h), kNoErr);
    ASSERT_EQ(memory->MdMemoryDisposeHandle(h), kNoErr);
    EXPECT_EQ(memory->MdMemoryDisposeHandle(h), kBadParameterErr);
    size_t size = 0;
    EXPECT_EQ(memory->MdMemoryGetSize(h, &size), kBadParameterErr);
    void* local = nullptr;
    EXPECT_EQ(memory->MdMemoryResize(reinterpret_cast<AIMdMemoryHandle>(&local), 8), kBadParameterErr);
    EXPECT_EQ(memory->MdMemoryDisposeHandle(nullptr), kBadParameterErr);
    EXPECT_EQ(memory->MdMemoryNewHandle(8, nullptr), kBadParameterErr);
}

// ---- AI Preference ----

using PreferenceSuite = SuiteTest;

TEST_F(PreferenceSuite, IntegersAreKeptForTheSession) {
    ASInt32 v = 0;
    EXPECT_EQ(prefs->GetIntegerPreference("suites-test", "never-set", &v), kBadParameterErr);
    ASSERT_EQ(prefs->PutIntegerPreference("suites-test", "width", 12), kNoErr);
    ASSERT_EQ(prefs->GetIntegerPreference("suites-test", "width", &v), kNoErr);
    EXPECT_EQ(v, 12);
    EXPECT_EQ(prefs->GetIntegerPreference("suites-test", "widt", &v), kBadParameterErr);
}

}  // namespace
}  // namespace easel::test

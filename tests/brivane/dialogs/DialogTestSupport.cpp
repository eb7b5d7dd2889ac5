#include "DialogTestSupport.h"

#include <cstring>
#include <type_traits>

namespace dialogtest {

using namespace easel;

namespace {

#define F(name) \
    Field { offsetof(BrivaneGlobals, name), std::is_same_v<decltype(BrivaneGlobals::name), AIReal>, false }
const Field kNone{};

}  // namespace

const char* const kCaptions[brivane::kToolCount] = {
    "Rows/Columns tool options", "Drag tool options",      "Soft center tool options",  "Framed tool options",
    "RimRandom tool options",    "Windmill tool options",  "Scaledown tool options",    "Bounce along tool options",
    "Spiraled tool options",     "Checkerboard tool options", "Paint tool options",     "Tile tool options",
    "Background tool options",
};

const std::vector<ExpectedItem>& OwnItems() {
    static const std::vector<ExpectedItem> items = {
        {0, 20, K::Int, nullptr, F(rcColumns), 1, 300},
        {0, 21, K::Int, nullptr, F(rcRows), 1, 300},
        {0, 22, K::Real, nullptr, F(rcRotation), -360, 360},
        {0, 23, K::Real, nullptr, F(rcJitter), 0, 1000},
        {0, 32, K::Popup, nullptr, F(rcCheckerboard), 0, 0},
        {0, 35, K::Popup, nullptr, F(rcTurn), 0, 0},
        {0, 33, K::Popup, nullptr, F(rcHApply), 0, 0},
        {0, 34, K::Popup, nullptr, F(rcVApply), 0, 0},
        {0, 24, K::Check, "Selected", F(rcSelected), 0, 0},
        {0, 25, K::Check, "Locked", F(rcLocked), 0, 0},
        {0, 26, K::Check, "Trail", F(rcTrail), 0, 0},
        {0, 27, K::Check, "Touch", F(rcTouch), 0, 0},
        {0, 28, K::Check, "Warp [R]", F(rcWarp), 0, 0},
        {0, 29, K::Check, "Create [R]", F(rcCreate), 0, 0},
        {0, 30, K::Check, "Rotation [R]", F(rcRotationR), 0, 0},
        {0, 31, K::Check, "Box", F(rcBox), 0, 0},
        {0, 36, K::Check, "Locked golden (h) ", F(rcGoldenH), 0, 0},
        {0, 37, K::Check, "Locked golden (v) ", F(rcGoldenV), 0, 0},
        {1, 38, K::Int, nullptr, F(dragCopies), 2, 500},
        {1, 39, K::Real, nullptr, F(dragRotation), -360, 360},
        {1, 40, K::Real, nullptr, F(dragJitterH), 0, 1000},
        {1, 41, K::Real, nullptr, F(dragJitterV), 0, 1000},
        {1, 42, K::Check, "Selected", F(dragSelected), 0, 0},
        {1, 43, K::Check, "Locked", F(dragLocked), 0, 0},
        {1, 44, K::Check, "Trail", F(dragTrail), 0, 0},
        {1, 45, K::Check, "Warp [R]", F(dragWarp), 0, 0},
        {1, 46, K::Check, "Create [R]", F(dragCreate), 0, 0},
        {2, 50, K::Int, nullptr, F(softCopies), 2, 500},
        {2, 55, K::Real, nullptr, F(softGap), -200, 200},
        {2, 51, K::Real, nullptr, F(softJitter), 0, 1000},
        {2, 56, K::Popup, nullptr, F(softGapUnit), 0, 0},
        {2, 57, K::Check, "Locked", F(softLocked), 0, 0},
        {2, 58, K::Check, "Trail", F(softTrail), 0, 0},
        {2, 59, K::Check, "Warp [R]", F(softWarp), 0, 0},
        {2, 60, K::Check, "Create [R]", F(softCreate), 0, 0},
        {3, 70, K::Int, nullptr, F(frameCopiesWide), 2, 300},
        {3, 71, K::Int, nullptr, F(frameCopiesHigh), 2, 300},
        {3, 72, K::Real, nullptr, F(frameRotation), -360, 360},
        {3, 73, K::Real, nullptr, F(frameJitter), 0, 1000},
        {3, 75, K::Real, nullptr, F(frameScale), 3, 120},
        {3, 79, K::Popup, nullptr, F(frameEdge), 0, 0},
        {3, 74, K::Check, "Selected", F(frameSelected), 0, 0},
        {3, 77, K::Check, "Locked", F(frameLocked), 0, 0},
        {3, 78, K::Check, "Trail", F(frameTrail), 0, 0},
        {3, 76, K::Check, "Delete", F(frameDelete), 0, 0},
        {3, 80, K::Check, "Warp [R]", F(frameWarp), 0, 0},
        {3, 81, K::Check, "Create [R]", F(frameCreate), 0, 0},
        {4, 90, K::Int, nullptr, F(rimCopies), 2, 300},
        {4, 91, K::Real, nullptr, F(rimScaleMin), 3, 200},
        {4, 92, K::Real, nullptr, F(rimScaleMax), 3, 200},
        {4, 93, K::Real, nullptr, F(rimJitter), 0, 1000},
        {4, 94, K::Check, "Selected", F(rimSelected), 0, 0},
        {4, 96, K::Check, "Locked", F(rimLocked), 0, 0},
        {4, 97, K::Check, "Trail", F(rimTrail), 0, 0},
        {4, 98, K::Check, "Warp [R]", F(rimWarp), 0, 0},
        {4, 95, K::Check, "Apply", F(rimApply), 0, 0},
        {4, 99, K::Check, "Rotation [R]", F(rimRotate), 0, 0},
        {5, 110, K::Int, nullptr, F(windmillCopies), 2, 300},
        {5, 113, K::Real, nullptr, F(windmillRotation), -360, 360},
        {5, 119, K::Real, nullptr, F(windmillScale), -120, 120},
        {5, 116, K::Real, nullptr, F(windmillAltShift), -500, 500},
        {5, 123, K::Real, nullptr, F(windmillInitial), 0, 1000},
        {5, 124, K::Real, nullptr, F(windmillInitialScale), 3, 110},
        {5, 114, K::Real, nullptr, F(windmillJitter), 0, 1000},
        {5, 128, K::Real, nullptr, F(windmillRotateFactor), -1000, 1000},
        {5, 117, K::Popup, nullptr, F(windmillUnits), 0, 0},
        {5, 118, K::Popup, nullptr, F(windmillApply), 0, 0},
        {5, 111, K::Check, "Selected", F(windmillSelected), 0, 0},
        {5, 120, K::Check, "Delete", F(windmillDelete), 0, 0},
        {5, 112, K::Check, "Align", F(windmillAlign), 0, 0},
        {5, 121, K::Check, "Match", F(windmillMatch), 0, 0},
        {5, 122, K::Check, "Trail", F(windmillTrail), 0, 0},
        {5, 125, K::Check, "Warp [R]", F(windmillWarp), 0, 0},
        {5, 126, K::Check, "Create [R]", F(windmillCreate), 0, 0},
        {5, 127, K::Check, "Object-copies", F(windmillObjectCopies), 0, 0},
        {6, 140, K::Int, nullptr, F(scaledownCopies), 2, 500},
        {6, 142, K::Real, nullptr, F(scaledownScaleH), -120, 120},
        {6, 143, K::Real, nullptr, F(scaledownScaleV), -120, 120},
        {6, 145, K::Real, nullptr, F(scaledownJitter), 0, 1000},
        {6, 144, K::Int, nullptr, F(scaledownTwists), 0, 50},
        {6, 152, K::Real, nullptr, F(scaledownOpacityFade), 0, 200},
        {6, 154, K::Real, nullptr, F(scaledownTurn), -360, 360},
        {6, 153, K::Popup, nullptr, F(scaledownApply), 0, 0},
        {6, 141, K::Check, "Selected", F(scaledownSelected), 0, 0},
        {6, 147, K::Check, "Locked", F(scaledownLocked), 0, 0},
        {6, 148, K::Check, "Trail", F(scaledownTrail), 0, 0},
        {6, 150, K::Check, "Warp [R]", F(scaledownWarp), 0, 0},
        {6, 151, K::Check, "Create [R]", F(scaledownCreate), 0, 0},
        {6, 155, K::Check, "Object-copies", F(scaledownObjectCopies), 0, 0},
        {7, 180, K::Int, nullptr, F(bounceCopies), 2, 500},
        {7, 182, K::Real, nullptr, F(bounceScale), 3, 120},
        {7, 184, K::Real, nullptr, F(bounceJitter), 0, 1000},
        {7, 183, K::Int, nullptr, F(bounceBounces), 0, 50},
        {7, 181, K::Check, "Selected", F(bounceSelected), 0, 0},
        {7, 186, K::Check, "Locked", F(bounceLocked), 0, 0},
        {7, 187, K::Check, "Trail", F(bounceTrail), 0, 0},
        {7, 188, K::Check, "Warp [R]", F(bounceWarp), 0, 0},
        {7, 189, K::Check, "Create [R]", F(bounceCreate), 0, 0},
        {7, 185, K::Check, "Crunch", F(bounceCrunch), 0, 0},
        {8, 200, K::Int, nullptr, F(spiralCopies), 2, 500},
        {8, 206, K::Real, nullptr, F(spiralScale), 3, 120},
        {8, 203, K::Real, nullptr, F(spiralRotation), -360, 360},
        {8, 207, K::Int, nullptr, F(spiralArms), 1, 50},
        {8, 208, K::Real, nullptr, F(spiralDecay), 3, 150},
        {8, 204, K::Real, nullptr, F(spiralJitter), 0, 1000},
        {8, 201, K::Check, "Selected", F(spiralSelected), 0, 0},
        {8, 211, K::Check, "Delete", F(spiralDelete), 0, 0},
        {8, 202, K::Check, "Align", F(spiralAlign), 0, 0},
        {8, 212, K::Check, "Match", F(spiralMatch), 0, 0},
        {8, 213, K::Check, "Reverse", F(spiralReverse), 0, 0},
        {8, 214, K::Check, "Trail", F(spiralTrail), 0, 0},
        {8, 215, K::Check, "Warp [R]", F(spiralWarp), 0, 0},
        {8, 216, K::Check, "Create [R]", F(spiralCreate), 0, 0},
        {9, 230, K::Int, nullptr, F(checkerColumns), 2, 300},
        {9, 231, K::Int, nullptr, F(checkerRows), 2, 300},
        {9, 235, K::Real, nullptr, F(checkerRotation), -360, 360},
        {9, 236, K::Real, nullptr, F(checkerJitter), 0, 1000},
        {9, 232, K::Check, "Selected", F(checkerSelected), 0, 0},
        {9, 233, K::Check, "Locked", F(checkerLocked), 0, 0},
        {9, 234, K::Check, "Touch", F(checkerTouch), 0, 0},
        {9, 238, K::Check, "Warp [R]", F(checkerWarp), 0, 0},
        {9, 239, K::Check, "Create [R]", F(checkerCreate), 0, 0},
        {10, 250, K::Real, nullptr, F(paintScaleH), 1, 120},
        {10, 251, K::Real, nullptr, F(paintScaleV), 1, 120},
        {10, 252, K::Real, nullptr, F(paintOpacityFade), 0, 200},
        {10, 254, K::Real, nullptr, F(paintIntensity), -100, 100},
        {10, 253, K::Real, nullptr, F(paintJitter), 0, 1000},
        {10, 255, K::Check, "Follow", F(paintFollow), 0, 0},
        {10, 256, K::Check, "Warp [R]", F(paintWarp), 0, 0},
        {10, 258, K::Check, "Create [R]", F(paintCreate), 0, 0},
        {10, 257, K::Check, "Rotation [R]", F(paintRotationR), 0, 0},
        {11, 270, K::Real, nullptr, F(tileJitter), 0, 1000},
        {11, 271, K::Check, "Locked", F(tileLocked), 0, 0},
        {12, 290, K::Int, nullptr, F(backCopies), 2, 300},
        {12, 291, K::Real, nullptr, F(backScaleMin), 3, 200},
        {12, 292, K::Real, nullptr, F(backScaleMax), 3, 200},
        {12, 293, K::Real, nullptr, F(backFrame), 0, 50},
        {12, 294, K::Check, "Selected", F(backSelected), 0, 0},
        {12, 296, K::Check, "Locked", F(backLocked), 0, 0},
        {12, 295, K::Check, "Apply", F(backApply), 0, 0},
        {12, 297, K::Check, "Trail", F(backTrail), 0, 0},
        {12, 298, K::Check, "Warp [R]", F(backWarp), 0, 0},
        {12, 299, K::Check, "Rotation [R]", F(backRotate), 0, 0},
    };
    return items;
}

const std::vector<ExpectedItem>& SharedItems() {
    static const std::vector<ExpectedItem> items = {
        {-1, 10, K::Popup, nullptr, F(fillMode), 0, 0},
        {-1, 12, K::Int, nullptr, F(fillSwatch), 0, 0},
        {-1, 16, K::Int, nullptr, F(fillPeriod), 0, 1000},
        {-1, 11, K::Popup, nullptr, F(strokeMode), 0, 0},
        {-1, 13, K::Int, nullptr, F(strokeSwatch), 0, 0},
        {-1, 17, K::Int, nullptr, F(strokePeriod), 0, 1000},
        {-1, 15, K::Popup, nullptr, F(patternCentre), 0, 0},
        {-1, 18, K::Popup, nullptr, F(lineWidthMode), 0, 0},
        {-1, 6, K::Popup, nullptr, F(placement), 0, 0},
        {-1, 9, K::Int, nullptr, F(slowdown), 0, 300},
        {-1, 8, K::Check, "Blend [R]", F(randomBlend), 0, 0},
        {-1, 7, K::Check, "Opacity [R]", F(randomOpacity), 0, 0},
        {-1, 5, K::Check, "Pressure", F(usePressure), 0, 0},
        {-1, 4, K::Check, "Layer", F(layerPerEvent), 0, 0},
        {-1, 14, K::Check, "Width [R]", F(randomWidth), 0, 0},
        {-1, 1, K::Button, "OK", kNone, 0, 0},
        {-1, 2, K::Button, "Cancel", kNone, 0, 0},
        {-1, 3, K::Button, "Reset", kNone, 0, 0},
    };
    return items;
}

std::vector<ExpectedItem> ItemsOf(int tool) {
    std::vector<ExpectedItem> items;
    for (const auto& it : OwnItems())
        if (it.tool == tool) items.push_back(it);
    items.insert(items.end(), SharedItems().begin(), SharedItems().end());
    return items;
}

adm::ItemKind KindOf(K kind) {
    switch (kind) {
    case K::Int:
    case K::Real: return adm::ItemKind::SpinEdit;
    case K::Check: return adm::ItemKind::CheckBox;
    case K::Popup: return adm::ItemKind::PopupList;
    case K::Button: return adm::ItemKind::PushButton;
    }
    return adm::ItemKind::Frame;
}

const adm::ItemRecord* Find(const adm::DialogRecord& record, int32_t id) {
    for (const auto& it : record.items)
        if (it.id == id) return &it;
    return nullptr;
}

adm::SetAction Set(int32_t id, double value) { return adm::SetAction{id, value, std::nullopt}; }
adm::SetAction Set(int32_t id, const char* entryText) { return adm::SetAction{id, std::nullopt, std::string(entryText)}; }

void BrivaneDialogTest::SetUp() {
    DragFixture::SetUp();
    g = plugin != nullptr ? static_cast<BrivaneGlobals*>(plugin->globals()) : nullptr;
    ASSERT_NE(g, nullptr);
}

void BrivaneDialogTest::TearDown() {
    adm::dialogManager().setNextDriver(nullptr);
    DragFixture::TearDown();
}

ASErr BrivaneDialogTest::run(int tool, adm::DialogDriver& driver) {
    adm::dialogManager().setNextDriver(&driver);
    const ASErr err = loader->sendTool(*plugin, kSelectorAIEditToolOptions, g->toolHandles[tool], AIRealPoint{0, 0}, 0, 0);
    adm::dialogManager().setNextDriver(nullptr);
    EXPECT_EQ(hostState().suites.outstanding(), 0);
    return err;
}

ASErr BrivaneDialogTest::script(int tool, std::vector<adm::SetAction> sets, std::vector<std::string> presses) {
    adm::ScriptedDriver driver(std::move(sets), std::move(presses));
    const ASErr err = run(tool, driver);
    EXPECT_TRUE(driver.ran()) << "tool " << tool << " opened no dialog";
    EXPECT_EQ(driver.error(), "");
    return err;
}

adm::DialogRecord BrivaneDialogTest::inspect(int tool) {
    adm::InspectDriver driver;
    EXPECT_EQ(run(tool, driver), kCancelErr);
    EXPECT_TRUE(driver.record().has_value()) << "tool " << tool << " opened no dialog";
    return driver.record().value_or(adm::DialogRecord{});
}

double BrivaneDialogTest::get(const Field& f) const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(g) + f.offset;
    if (f.real) {
        AIReal v;
        std::memcpy(&v, bytes, sizeof v);
        return static_cast<double>(v);
    }
    ASInt32 v;
    std::memcpy(&v, bytes, sizeof v);
    return v;
}

void BrivaneDialogTest::put(const Field& f, double value) {
    auto* bytes = reinterpret_cast<unsigned char*>(g) + f.offset;
    if (f.real) {
        const auto v = static_cast<AIReal>(value);
        std::memcpy(bytes, &v, sizeof v);
    } else {
        const auto v = static_cast<ASInt32>(value);
        std::memcpy(bytes, &v, sizeof v);
    }
}

}  // namespace dialogtest

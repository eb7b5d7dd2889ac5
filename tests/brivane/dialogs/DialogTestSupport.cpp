#include "DialogTestSupport.h"

#include <cstring>
#include <filesystem>
#include <type_traits>

#include "HostState.h"
#include "adm/RegisterADM.h"
#include "suites/AISuites.h"

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
        {0, 310, K::Label, {10, 10, 185, 30}, "Columns", kNone, 0, 0},
        {0, 311, K::Label, {10, 32, 185, 52}, "Rows", kNone, 0, 0},
        {0, 312, K::Label, {10, 54, 185, 74}, "Rotation (o)", kNone, 0, 0},
        {0, 313, K::Label, {10, 76, 185, 96}, "Jitter (p)", kNone, 0, 0},
        {0, 20, K::Int, {190, 10, 250, 30}, nullptr, F(rcColumns), 1, 300},
        {0, 21, K::Int, {190, 32, 250, 52}, nullptr, F(rcRows), 1, 300},
        {0, 22, K::Real, {190, 54, 250, 74}, nullptr, F(rcRotation), -360, 360},
        {0, 23, K::Real, {190, 76, 250, 96}, nullptr, F(rcJitter), 0, 1000},
        {0, 32, K::Popup, {10, 104, 180, 124}, nullptr, F(rcCheckerboard), 0, 0},
        {0, 35, K::Popup, {190, 104, 330, 124}, nullptr, F(rcTurn), 0, 0},
        {0, 33, K::Popup, {10, 134, 180, 154}, nullptr, F(rcHApply), 0, 0},
        {0, 34, K::Popup, {190, 134, 330, 154}, nullptr, F(rcVApply), 0, 0},
        {0, 24, K::Check, {10, 162, 190, 176}, "Selected", F(rcSelected), 0, 0},
        {0, 25, K::Check, {191, 162, 370, 176}, "Locked", F(rcLocked), 0, 0},
        {0, 26, K::Check, {10, 179, 190, 193}, "Trail", F(rcTrail), 0, 0},
        {0, 27, K::Check, {191, 179, 370, 193}, "Touch", F(rcTouch), 0, 0},
        {0, 28, K::Check, {10, 196, 190, 210}, "Warp [R]", F(rcWarp), 0, 0},
        {0, 29, K::Check, {191, 196, 370, 210}, "Create [R]", F(rcCreate), 0, 0},
        {0, 30, K::Check, {10, 213, 190, 227}, "Rotation [R]", F(rcRotationR), 0, 0},
        {0, 31, K::Check, {191, 213, 370, 227}, "Box", F(rcBox), 0, 0},
        {0, 36, K::Check, {10, 230, 191, 244}, "Locked golden (h) ", F(rcGoldenH), 0, 0},
        {0, 37, K::Check, {191, 230, 370, 244}, "Locked golden (v) ", F(rcGoldenV), 0, 0},
        {1, 310, K::Label, {10, 10, 185, 30}, "Copies", kNone, 0, 0},
        {1, 311, K::Label, {10, 32, 185, 52}, "Rotation (o)", kNone, 0, 0},
        {1, 312, K::Label, {10, 54, 185, 74}, "Jitter (p) (Horz)", kNone, 0, 0},
        {1, 313, K::Label, {10, 76, 185, 96}, "Jitter (p) (Vert)", kNone, 0, 0},
        {1, 38, K::Int, {190, 10, 250, 30}, nullptr, F(dragCopies), 2, 500},
        {1, 39, K::Real, {190, 32, 250, 52}, nullptr, F(dragRotation), -360, 360},
        {1, 40, K::Real, {190, 54, 250, 74}, nullptr, F(dragJitterH), 0, 1000},
        {1, 41, K::Real, {190, 76, 250, 96}, nullptr, F(dragJitterV), 0, 1000},
        {1, 42, K::Check, {10, 100, 190, 114}, "Selected", F(dragSelected), 0, 0},
        {1, 43, K::Check, {191, 100, 370, 114}, "Locked", F(dragLocked), 0, 0},
        {1, 44, K::Check, {10, 117, 190, 131}, "Trail", F(dragTrail), 0, 0},
        {1, 45, K::Check, {191, 117, 370, 131}, "Warp [R]", F(dragWarp), 0, 0},
        {1, 46, K::Check, {10, 134, 190, 148}, "Create [R]", F(dragCreate), 0, 0},
        {2, 310, K::Label, {10, 10, 185, 30}, "Copies", kNone, 0, 0},
        {2, 311, K::Label, {10, 32, 185, 52}, "Initial gap (p)", kNone, 0, 0},
        {2, 312, K::Label, {10, 54, 185, 74}, "Jitter (p)", kNone, 0, 0},
        {2, 50, K::Int, {190, 10, 250, 30}, nullptr, F(softCopies), 2, 500},
        {2, 55, K::Real, {190, 32, 250, 52}, nullptr, F(softGap), -200, 200},
        {2, 51, K::Real, {190, 54, 250, 74}, nullptr, F(softJitter), 0, 1000},
        {2, 56, K::Popup, {10, 80, 185, 100}, nullptr, F(softGapUnit), 0, 0},
        {2, 57, K::Check, {10, 105, 190, 119}, "Locked", F(softLocked), 0, 0},
        {2, 58, K::Check, {191, 105, 370, 119}, "Trail", F(softTrail), 0, 0},
        {2, 59, K::Check, {10, 122, 190, 136}, "Warp [R]", F(softWarp), 0, 0},
        {2, 60, K::Check, {191, 122, 370, 136}, "Create [R]", F(softCreate), 0, 0},
        {3, 310, K::Label, {10, 10, 185, 30}, "Copies / width", kNone, 0, 0},
        {3, 311, K::Label, {10, 32, 185, 52}, "Copies / height", kNone, 0, 0},
        {3, 312, K::Label, {10, 54, 185, 74}, "Rotation (o)", kNone, 0, 0},
        {3, 313, K::Label, {10, 76, 185, 96}, "Jitter (p)", kNone, 0, 0},
        {3, 315, K::Label, {10, 98, 185, 118}, "Scale (%)", kNone, 0, 0},
        {3, 70, K::Int, {190, 10, 250, 30}, nullptr, F(frameCopiesWide), 2, 300},
        {3, 71, K::Int, {190, 32, 250, 52}, nullptr, F(frameCopiesHigh), 2, 300},
        {3, 72, K::Real, {190, 54, 250, 74}, nullptr, F(frameRotation), -360, 360},
        {3, 73, K::Real, {190, 76, 250, 96}, nullptr, F(frameJitter), 0, 1000},
        {3, 75, K::Real, {190, 98, 250, 118}, nullptr, F(frameScale), 3, 120},
        {3, 79, K::Popup, {10, 125, 250, 145}, nullptr, F(frameEdge), 0, 0},
        {3, 74, K::Check, {10, 150, 190, 164}, "Selected", F(frameSelected), 0, 0},
        {3, 77, K::Check, {191, 150, 370, 164}, "Locked", F(frameLocked), 0, 0},
        {3, 78, K::Check, {10, 167, 190, 181}, "Trail", F(frameTrail), 0, 0},
        {3, 76, K::Check, {191, 167, 370, 181}, "Delete", F(frameDelete), 0, 0},
        {3, 80, K::Check, {10, 184, 190, 198}, "Warp [R]", F(frameWarp), 0, 0},
        {3, 81, K::Check, {191, 184, 370, 198}, "Create [R]", F(frameCreate), 0, 0},
        {4, 310, K::Label, {10, 10, 185, 30}, "Copies", kNone, 0, 0},
        {4, 311, K::Label, {10, 32, 185, 52}, "Scale (% Min)", kNone, 0, 0},
        {4, 312, K::Label, {10, 54, 185, 74}, "Scale (% Max)", kNone, 0, 0},
        {4, 313, K::Label, {10, 76, 185, 96}, "Jitter (p)", kNone, 0, 0},
        {4, 90, K::Int, {190, 10, 250, 30}, nullptr, F(rimCopies), 2, 300},
        {4, 91, K::Real, {190, 32, 250, 52}, nullptr, F(rimScaleMin), 3, 200},
        {4, 92, K::Real, {190, 54, 250, 74}, nullptr, F(rimScaleMax), 3, 200},
        {4, 93, K::Real, {190, 76, 250, 96}, nullptr, F(rimJitter), 0, 1000},
        {4, 94, K::Check, {10, 100, 190, 114}, "Selected", F(rimSelected), 0, 0},
        {4, 96, K::Check, {191, 100, 370, 114}, "Locked", F(rimLocked), 0, 0},
        {4, 97, K::Check, {10, 117, 190, 131}, "Trail", F(rimTrail), 0, 0},
        {4, 98, K::Check, {191, 117, 370, 131}, "Warp [R]", F(rimWarp), 0, 0},
        {4, 95, K::Check, {10, 134, 190, 148}, "Apply", F(rimApply), 0, 0},
        {4, 99, K::Check, {191, 134, 370, 148}, "Rotation [R]", F(rimRotate), 0, 0},
        {5, 310, K::Label, {10, 10, 185, 30}, "Copies", kNone, 0, 0},
        {5, 311, K::Label, {10, 32, 185, 52}, "Rotation (o)", kNone, 0, 0},
        {5, 312, K::Label, {10, 54, 185, 74}, "Scale (%)", kNone, 0, 0},
        {5, 313, K::Label, {10, 76, 185, 96}, "Alt. shift (p)", kNone, 0, 0},
        {5, 314, K::Label, {10, 98, 185, 118}, "Initial (p)/scale(%)", kNone, 0, 0},
        {5, 315, K::Label, {10, 120, 185, 140}, "Jitter (p)", kNone, 0, 0},
        {5, 316, K::Label, {10, 142, 185, 162}, "Rotate factor(%)", kNone, 0, 0},
        {5, 110, K::Int, {190, 10, 250, 30}, nullptr, F(windmillCopies), 2, 300},
        {5, 113, K::Real, {190, 32, 250, 52}, nullptr, F(windmillRotation), -360, 360},
        {5, 119, K::Real, {190, 54, 250, 74}, nullptr, F(windmillScale), -120, 120},
        {5, 116, K::Real, {190, 76, 250, 96}, nullptr, F(windmillAltShift), -500, 500},
        {5, 123, K::Real, {190, 98, 250, 118}, nullptr, F(windmillInitial), 0, 1000},
        {5, 124, K::Real, {260, 98, 320, 118}, nullptr, F(windmillInitialScale), 3, 110},
        {5, 114, K::Real, {190, 120, 250, 140}, nullptr, F(windmillJitter), 0, 1000},
        {5, 128, K::Real, {190, 142, 250, 162}, nullptr, F(windmillRotateFactor), -1000, 1000},
        {5, 117, K::Popup, {10, 170, 160, 190}, nullptr, F(windmillUnits), 0, 0},
        {5, 118, K::Popup, {165, 170, 315, 190}, nullptr, F(windmillApply), 0, 0},
        {5, 111, K::Check, {10, 200, 190, 214}, "Selected", F(windmillSelected), 0, 0},
        {5, 120, K::Check, {191, 200, 370, 214}, "Delete", F(windmillDelete), 0, 0},
        {5, 112, K::Check, {10, 217, 190, 231}, "Align", F(windmillAlign), 0, 0},
        {5, 121, K::Check, {191, 217, 370, 231}, "Match", F(windmillMatch), 0, 0},
        {5, 122, K::Check, {10, 234, 190, 248}, "Trail", F(windmillTrail), 0, 0},
        {5, 125, K::Check, {191, 234, 370, 248}, "Warp [R]", F(windmillWarp), 0, 0},
        {5, 126, K::Check, {10, 251, 190, 265}, "Create [R]", F(windmillCreate), 0, 0},
        {5, 127, K::Check, {191, 251, 370, 265}, "Object-copies", F(windmillObjectCopies), 0, 0},
        {6, 310, K::Label, {10, 10, 185, 30}, "Copies", kNone, 0, 0},
        {6, 311, K::Label, {10, 32, 185, 52}, "Scale (% Horz)", kNone, 0, 0},
        {6, 312, K::Label, {10, 54, 185, 74}, "Scale (% Vert)", kNone, 0, 0},
        {6, 313, K::Label, {10, 76, 185, 96}, "Jitter (p)", kNone, 0, 0},
        {6, 314, K::Label, {10, 98, 185, 118}, "Twists", kNone, 0, 0},
        {6, 315, K::Label, {10, 120, 185, 140}, "Opacity fade (%)", kNone, 0, 0},
        {6, 316, K::Label, {10, 142, 185, 162}, "Turn (o)", kNone, 0, 0},
        {6, 140, K::Int, {190, 10, 250, 30}, nullptr, F(scaledownCopies), 2, 500},
        {6, 142, K::Real, {190, 32, 250, 52}, nullptr, F(scaledownScaleH), -120, 120},
        {6, 143, K::Real, {190, 54, 250, 74}, nullptr, F(scaledownScaleV), -120, 120},
        {6, 145, K::Real, {190, 76, 250, 96}, nullptr, F(scaledownJitter), 0, 1000},
        {6, 144, K::Int, {190, 98, 250, 118}, nullptr, F(scaledownTwists), 0, 50},
        {6, 152, K::Real, {190, 120, 250, 140}, nullptr, F(scaledownOpacityFade), 0, 200},
        {6, 154, K::Real, {190, 142, 250, 162}, nullptr, F(scaledownTurn), -360, 360},
        {6, 153, K::Popup, {10, 166, 185, 186}, nullptr, F(scaledownApply), 0, 0},
        {6, 141, K::Check, {10, 192, 190, 206}, "Selected", F(scaledownSelected), 0, 0},
        {6, 147, K::Check, {191, 192, 370, 206}, "Locked", F(scaledownLocked), 0, 0},
        {6, 148, K::Check, {10, 209, 190, 223}, "Trail", F(scaledownTrail), 0, 0},
        {6, 150, K::Check, {191, 209, 370, 223}, "Warp [R]", F(scaledownWarp), 0, 0},
        {6, 151, K::Check, {10, 226, 190, 240}, "Create [R]", F(scaledownCreate), 0, 0},
        {6, 155, K::Check, {191, 226, 370, 240}, "Object-copies", F(scaledownObjectCopies), 0, 0},
        {7, 310, K::Label, {10, 10, 185, 30}, "Copies", kNone, 0, 0},
        {7, 311, K::Label, {10, 32, 185, 52}, "Scale (%)", kNone, 0, 0},
        {7, 312, K::Label, {10, 54, 185, 74}, "Jitter (p)", kNone, 0, 0},
        {7, 314, K::Label, {10, 76, 185, 96}, "Bounce", kNone, 0, 0},
        {7, 180, K::Int, {190, 10, 250, 30}, nullptr, F(bounceCopies), 2, 500},
        {7, 182, K::Real, {190, 32, 250, 52}, nullptr, F(bounceScale), 3, 120},
        {7, 184, K::Real, {190, 54, 250, 74}, nullptr, F(bounceJitter), 0, 1000},
        {7, 183, K::Int, {190, 76, 250, 96}, nullptr, F(bounceBounces), 0, 50},
        {7, 181, K::Check, {10, 100, 190, 114}, "Selected", F(bounceSelected), 0, 0},
        {7, 186, K::Check, {191, 100, 370, 114}, "Locked", F(bounceLocked), 0, 0},
        {7, 187, K::Check, {10, 117, 190, 131}, "Trail", F(bounceTrail), 0, 0},
        {7, 188, K::Check, {191, 117, 370, 131}, "Warp [R]", F(bounceWarp), 0, 0},
        {7, 189, K::Check, {10, 134, 190, 148}, "Create [R]", F(bounceCreate), 0, 0},
        {7, 185, K::Check, {191, 134, 370, 148}, "Crunch", F(bounceCrunch), 0, 0},
        {8, 310, K::Label, {10, 10, 185, 30}, "Copies", kNone, 0, 0},
        {8, 311, K::Label, {10, 32, 185, 52}, "Scale (%)", kNone, 0, 0},
        {8, 312, K::Label, {10, 54, 185, 74}, "Rotation (o)", kNone, 0, 0},
        {8, 313, K::Label, {10, 76, 185, 96}, "Arms", kNone, 0, 0},
        {8, 314, K::Label, {10, 98, 185, 118}, "Decay (%)", kNone, 0, 0},
        {8, 315, K::Label, {10, 120, 185, 140}, "Jitter (p)", kNone, 0, 0},
        {8, 200, K::Int, {190, 10, 250, 30}, nullptr, F(spiralCopies), 2, 500},
        {8, 206, K::Real, {190, 32, 250, 52}, nullptr, F(spiralScale), 3, 120},
        {8, 203, K::Real, {190, 54, 250, 74}, nullptr, F(spiralRotation), -360, 360},
        {8, 207, K::Int, {190, 76, 250, 96}, nullptr, F(spiralArms), 1, 50},
        {8, 208, K::Real, {190, 98, 250, 118}, nullptr, F(spiralDecay), 3, 150},
        {8, 204, K::Real, {190, 120, 250, 140}, nullptr, F(spiralJitter), 0, 1000},
        {8, 201, K::Check, {10, 145, 190, 159}, "Selected", F(spiralSelected), 0, 0},
        {8, 211, K::Check, {191, 145, 370, 159}, "Delete", F(spiralDelete), 0, 0},
        {8, 202, K::Check, {10, 162, 190, 176}, "Align", F(spiralAlign), 0, 0},
        {8, 212, K::Check, {191, 162, 370, 176}, "Match", F(spiralMatch), 0, 0},
        {8, 213, K::Check, {10, 179, 190, 193}, "Reverse", F(spiralReverse), 0, 0},
        {8, 214, K::Check, {191, 179, 370, 193}, "Trail", F(spiralTrail), 0, 0},
        {8, 215, K::Check, {10, 196, 190, 210}, "Warp [R]", F(spiralWarp), 0, 0},
        {8, 216, K::Check, {191, 196, 370, 210}, "Create [R]", F(spiralCreate), 0, 0},
        {9, 310, K::Label, {10, 10, 185, 30}, "Columns", kNone, 0, 0},
        {9, 311, K::Label, {10, 32, 185, 52}, "Rows", kNone, 0, 0},
        {9, 312, K::Label, {10, 54, 185, 74}, "Rotation (o)", kNone, 0, 0},
        {9, 313, K::Label, {10, 76, 185, 96}, "Jitter (p)", kNone, 0, 0},
        {9, 230, K::Int, {190, 10, 250, 30}, nullptr, F(checkerColumns), 2, 300},
        {9, 231, K::Int, {190, 32, 250, 52}, nullptr, F(checkerRows), 2, 300},
        {9, 235, K::Real, {190, 54, 250, 74}, nullptr, F(checkerRotation), -360, 360},
        {9, 236, K::Real, {190, 76, 250, 96}, nullptr, F(checkerJitter), 0, 1000},
        {9, 232, K::Check, {10, 100, 190, 114}, "Selected", F(checkerSelected), 0, 0},
        {9, 233, K::Check, {191, 100, 370, 114}, "Locked", F(checkerLocked), 0, 0},
        {9, 234, K::Check, {10, 117, 190, 131}, "Touch", F(checkerTouch), 0, 0},
        {9, 238, K::Check, {191, 117, 370, 131}, "Warp [R]", F(checkerWarp), 0, 0},
        {9, 239, K::Check, {10, 134, 190, 148}, "Create [R]", F(checkerCreate), 0, 0},
        {10, 310, K::Label, {10, 10, 185, 30}, "Scale (% Horz)", kNone, 0, 0},
        {10, 311, K::Label, {10, 32, 185, 52}, "Scale (% Vert)", kNone, 0, 0},
        {10, 312, K::Label, {10, 54, 185, 74}, "Opacity fade (%)", kNone, 0, 0},
        {10, 313, K::Label, {10, 76, 185, 96}, "Intensity color", kNone, 0, 0},
        {10, 314, K::Label, {10, 98, 185, 118}, "Jitter (p)", kNone, 0, 0},
        {10, 250, K::Real, {190, 10, 250, 30}, nullptr, F(paintScaleH), 1, 120},
        {10, 251, K::Real, {190, 32, 250, 52}, nullptr, F(paintScaleV), 1, 120},
        {10, 252, K::Real, {190, 54, 250, 74}, nullptr, F(paintOpacityFade), 0, 200},
        {10, 254, K::Real, {190, 76, 250, 96}, nullptr, F(paintIntensity), -100, 100},
        {10, 253, K::Real, {190, 98, 250, 118}, nullptr, F(paintJitter), 0, 1000},
        {10, 255, K::Check, {10, 125, 190, 139}, "Follow", F(paintFollow), 0, 0},
        {10, 256, K::Check, {191, 125, 370, 139}, "Warp [R]", F(paintWarp), 0, 0},
        {10, 258, K::Check, {10, 142, 190, 156}, "Create [R]", F(paintCreate), 0, 0},
        {10, 257, K::Check, {191, 142, 370, 156}, "Rotation [R]", F(paintRotationR), 0, 0},
        {11, 310, K::Label, {10, 10, 185, 30}, "Jitter (p)", kNone, 0, 0},
        {11, 270, K::Real, {190, 10, 250, 30}, nullptr, F(tileJitter), 0, 1000},
        {11, 271, K::Check, {10, 33, 190, 47}, "Locked", F(tileLocked), 0, 0},
        {12, 310, K::Label, {10, 10, 185, 30}, "Copies", kNone, 0, 0},
        {12, 311, K::Label, {10, 32, 185, 52}, "Scale (%Min)", kNone, 0, 0},
        {12, 312, K::Label, {10, 54, 185, 74}, "Scale (%Max)", kNone, 0, 0},
        {12, 313, K::Label, {10, 76, 185, 96}, "Frame (%)", kNone, 0, 0},
        {12, 290, K::Int, {190, 10, 250, 30}, nullptr, F(backCopies), 2, 300},
        {12, 291, K::Real, {190, 32, 250, 52}, nullptr, F(backScaleMin), 3, 200},
        {12, 292, K::Real, {190, 54, 250, 74}, nullptr, F(backScaleMax), 3, 200},
        {12, 293, K::Real, {190, 76, 250, 96}, nullptr, F(backFrame), 0, 50},
        {12, 294, K::Check, {10, 100, 190, 114}, "Selected", F(backSelected), 0, 0},
        {12, 296, K::Check, {191, 100, 370, 114}, "Locked", F(backLocked), 0, 0},
        {12, 295, K::Check, {10, 117, 190, 131}, "Apply", F(backApply), 0, 0},
        {12, 297, K::Check, {191, 117, 370, 131}, "Trail", F(backTrail), 0, 0},
        {12, 298, K::Check, {10, 134, 190, 148}, "Warp [R]", F(backWarp), 0, 0},
        {12, 299, K::Check, {191, 134, 370, 148}, "Rotation [R]", F(backRotate), 0, 0},
    };
    return items;
}

const std::vector<ExpectedItem>& SharedItems() {
    static const std::vector<ExpectedItem> items = {
        {-1, 10, K::Popup, {10, 280, 180, 300}, nullptr, F(fillMode), 0, 0},
        {-1, 12, K::Int, {190, 280, 250, 300}, nullptr, F(fillSwatch), 0, 0},
        {-1, 16, K::Int, {260, 280, 320, 300}, nullptr, F(fillPeriod), 0, 1000},
        {-1, 11, K::Popup, {10, 310, 180, 330}, nullptr, F(strokeMode), 0, 0},
        {-1, 13, K::Int, {190, 310, 250, 330}, nullptr, F(strokeSwatch), 0, 0},
        {-1, 17, K::Int, {260, 310, 320, 330}, nullptr, F(strokePeriod), 0, 1000},
        {-1, 15, K::Popup, {10, 340, 180, 360}, nullptr, F(patternCentre), 0, 0},
        {-1, 18, K::Popup, {190, 340, 330, 360}, nullptr, F(lineWidthMode), 0, 0},
        {-1, 6, K::Popup, {10, 370, 180, 390}, nullptr, F(placement), 0, 0},
        {-1, 319, K::Label, {10, 400, 185, 420}, "Slowdown", kNone, 0, 0},
        {-1, 9, K::Int, {190, 400, 250, 420}, nullptr, F(slowdown), 0, 300},
        {-1, 8, K::Check, {10, 430, 190, 444}, "Blend [R]", F(randomBlend), 0, 0},
        {-1, 7, K::Check, {191, 430, 370, 444}, "Opacity [R]", F(randomOpacity), 0, 0},
        {-1, 5, K::Check, {10, 447, 190, 461}, "Pressure", F(usePressure), 0, 0},
        {-1, 4, K::Check, {191, 447, 370, 461}, "Layer", F(layerPerEvent), 0, 0},
        {-1, 14, K::Check, {191, 464, 370, 478}, "Width [R]", F(randomWidth), 0, 0},
        {-1, 1, K::Button, {260, 10, 340, 30}, "OK", kNone, 0, 0},
        {-1, 2, K::Button, {260, 40, 340, 60}, "Cancel", kNone, 0, 0},
        {-1, 3, K::Button, {260, 70, 340, 90}, "Reset", kNone, 0, 0},
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
    case K::Label: return adm::ItemKind::StaticText;
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
    hostState().reset();
    registerAISuites(hostState().suites);
    registerADMSuites(hostState().suites);
    registerSPSuites(hostState().suites);
    doc = newDocument(612, 792);
    hostState().document = doc.get();
    loader = std::make_unique<Loader>(std::vector<std::filesystem::path>{EASEL_PLUGIN_DIR});
    std::string error;
    plugin = loader->load("Brivane", error);
    ASSERT_NE(plugin, nullptr) << error;
    ASSERT_EQ(loader->startup(*plugin), kNoErr);
    // The host holds the Globals block while the library is unloaded; take
    // it from there (the plug-in gets the same block back at reload).
    ASSERT_EQ(loader->unload(*plugin), kNoErr);
    ASSERT_EQ(loader->reload(*plugin, error), kNoErr) << error;
    g = static_cast<BrivaneGlobals*>(plugin->globals());
    ASSERT_NE(g, nullptr);
}

void BrivaneDialogTest::TearDown() {
    if (plugin && plugin->loaded()) {
        EXPECT_EQ(loader->shutdown(*plugin), kNoErr);
    }
    EXPECT_EQ(hostState().suites.outstanding(), 0);
    adm::dialogManager().setNextDriver(nullptr);
    loader.reset();
    hostState().document = nullptr;
    hostState().reset();
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

// The point-drag tool's option dialog, "Points Drag Tool Options": the mode
// popup, four real spin edits, twenty-two check boxes, OK and Cancel, all
// created in code. OK writes every item back into Globals; Cancel writes
// nothing. The dialog opens at the dialog manager's place every time.
#include "PointDrag.h"

#include <iterator>

namespace pointdrag {

using namespace frame;

namespace {

constexpr const char* kDialogName = "Tool Dialog 0";
constexpr ASInt32 kDialogId = kFirstToolDialogId; // 16101
constexpr ASInt32 kDialogWidth = 260;
constexpr ASInt32 kDialogHeight = 540;

constexpr ASInt32 kOkItem = 1;
constexpr ASInt32 kCancelItem = 2;
constexpr ASInt32 kModePopupItem = 12;
constexpr ASInt32 kFirstFocusItem = 3;

struct Label {
    ASInt32 id;
    ASRect rect;
    const char* text;
};

constexpr Label kLabels[] = {
    {14, {10, 35, 185, 55}, "Interpolate in"},
    {15, {10, 58, 185, 78}, "Interpolate out"},
    {16, {10, 81, 185, 101}, "Interpolate point"},
    {22, {10, 104, 185, 124}, "Limit direction(p)"},
};

struct Spin {
    ASInt32 id;
    ASRect rect;
    AIReal min;
    AIReal max;
    AIReal KestovaGlobals::*field;
};

constexpr Spin kSpins[] = {
    {18, {190, 35, 250, 55}, 0.0f, 100.0f, &KestovaGlobals::pdInterpIn},
    {19, {190, 58, 250, 78}, 0.0f, 100.0f, &KestovaGlobals::pdInterpOut},
    {20, {190, 81, 250, 101}, 0.0f, 100.0f, &KestovaGlobals::pdInterpPoint},
    {21, {190, 104, 250, 124}, 0.0f, 20000.0f, &KestovaGlobals::pdLimit},
};
constexpr ASInt32 kSpinPrecision = 2;

// Check boxes in creation order, one row of 17 pixels each from the top.
struct CheckBox {
    ASInt32 id;
    const char* text;
    ASInt32 KestovaGlobals::*field;
};

constexpr CheckBox kCheckBoxes[] = {
    {3, "Locked vertical/horizontal", &KestovaGlobals::pdLocked},
    {4, "Drag or not (randomized apply)", &KestovaGlobals::pdRandomApply},
    {6, "Pre-swap direction points", &KestovaGlobals::pdPreSwap},
    {5, "Swap in/out direction", &KestovaGlobals::pdSwap},
    {7, "Alternating points", &KestovaGlobals::pdAlternate},
    {8, "Horizontal component", &KestovaGlobals::pdHorizontal},
    {9, "Vertical component", &KestovaGlobals::pdVertical},
    {10, "Apply to in component", &KestovaGlobals::pdApplyIn},
    {11, "Apply to 'out' component", &KestovaGlobals::pdApplyOut},
    {17, "Pressure / interpolate", &KestovaGlobals::pdPressure},
    {26, "Anchor / direction (R)", &KestovaGlobals::pdAnchorDirectionR},
    {28, "Type per point (R)", &KestovaGlobals::pdTypePerPointR},
    {27, "Type per path (R)", &KestovaGlobals::pdTypePerPathR},
    {23, "Trail / trace", &KestovaGlobals::pdTrailTrace},
    {24, "Trail / new layer", &KestovaGlobals::pdTrailNewLayer},
    {25, "Trail / beneath", &KestovaGlobals::pdTrailBeneath},
    {29, "Fill (R)", &KestovaGlobals::pdFillR},
    {30, "Fill swatch (R)", &KestovaGlobals::pdFillSwatchR},
    {31, "Stroke (R)", &KestovaGlobals::pdStrokeR},
    {32, "Stroke swatch (R)", &KestovaGlobals::pdStrokeSwatchR},
    {33, "Width (R)", &KestovaGlobals::pdWidthR},
    {34, "Opacity (R)", &KestovaGlobals::pdOpacityR},
};
constexpr ASInt32 kCheckBoxTop = 128;
constexpr ASInt32 kCheckBoxPitch = 17;
constexpr ASInt32 kCheckBoxHeight = 14;

struct Button {
    ASInt32 id;
    ASRect rect;
    const char* text;
};
constexpr Button kOkButton = {kOkItem, {40, 510, 120, 530}, "OK"};
constexpr Button kCancelButton = {kCancelItem, {140, 510, 220, 530}, "Cancel"};
constexpr ASRect kModePopupRect = {10, 10, 250, 30};

ASRect CheckBoxRect(std::size_t row) {
    const ASInt32 top = kCheckBoxTop + kCheckBoxPitch * static_cast<ASInt32>(row);
    return {10, top, 250, top + kCheckBoxHeight};
}

ASErr CreateText(ADMDialogRef dialog, ASInt32 id, const char* kind, const ASRect& rect, const char* text,
                 ADMItemRef* item) {
    ASErr error = AdmDialog()->CreateItem(dialog, id, kind, &rect, item);
    if (error != kNoErr) return error;
    return AdmItem()->SetText(*item, text);
}

ASErr CreateModePopup(ADMDialogRef dialog, ASInt32 mode) {
    ADMItemRef popup = nullptr;
    ASErr error = AdmDialog()->CreateItem(dialog, kModePopupItem, kADMPopupListType, &kModePopupRect, &popup);
    if (error != kNoErr) return error;
    ADMListRef list = nullptr;
    error = AdmItem()->GetList(popup, &list);
    if (error != kNoErr) return error;
    for (ASInt32 i = 0; i < kModeCount; ++i) {
        ADMEntryRef entry = nullptr;
        error = AdmList()->InsertEntry(list, -1, &entry);
        if (error != kNoErr) return error;
        error = AdmEntry()->SetText(entry, kModeNames[i]);
        if (error != kNoErr) return error;
        error = AdmEntry()->SetID(entry, i);
        if (error != kNoErr) return error;
    }
    // A stored mode outside the list shows the nearest entry.
    if (mode < 0) mode = 0;
    if (mode > kModeCount - 1) mode = kModeCount - 1;
    ADMEntryRef chosen = nullptr;
    error = AdmList()->IndexEntry(list, mode, &chosen);
    if (error != kNoErr) return error;
    return chosen != nullptr ? AdmEntry()->Select(chosen, 1) : kNoErr;
}

ASErr CreateSpin(ADMDialogRef dialog, const Spin& spin, AIReal value) {
    ADMItemRef item = nullptr;
    ASErr error = AdmDialog()->CreateItem(dialog, spin.id, kADMSpinEditType, &spin.rect, &item);
    if (error != kNoErr) return error;
    const ADMItemSuite* items = AdmItem();
    if ((error = items->SetUnits(item, 0)) != kNoErr) return error;
    if ((error = items->SetMinFloatValue(item, spin.min)) != kNoErr) return error;
    if ((error = items->SetMaxFloatValue(item, spin.max)) != kNoErr) return error;
    if ((error = items->SetFloatValue(item, value)) != kNoErr) return error;
    return items->SetPrecision(item, kSpinPrecision);
}

ADMItemRef ItemOf(ADMDialogRef dialog, ASInt32 id) {
    ADMItemRef item = nullptr;
    if (AdmDialog()->GetItem(dialog, id, &item) != kNoErr) return nullptr;
    return item;
}

// OK: ends the dialog, then reads every item back into Globals.
void OkNotify(ADMItemRef okItem, ADMNotifierRef notifier) {
    AdmItem()->DefaultNotify(okItem, notifier);
    KestovaGlobals* g = kestova::Globals();
    ADMDialogRef dialog = nullptr;
    if (g == nullptr || AdmItem()->GetDialog(okItem, &dialog) != kNoErr || dialog == nullptr) return;

    if (ADMItemRef popup = ItemOf(dialog, kModePopupItem)) {
        ADMListRef list = nullptr;
        ADMEntryRef active = nullptr;
        ASInt32 id = 0;
        if (AdmItem()->GetList(popup, &list) == kNoErr && list != nullptr &&
            AdmList()->GetActiveEntry(list, &active) == kNoErr && active != nullptr &&
            AdmEntry()->GetID(active, &id) == kNoErr)
            g->pdMode = id;
    }
    for (const CheckBox& box : kCheckBoxes) {
        ADMItemRef item = ItemOf(dialog, box.id);
        ASBoolean value = 0;
        if (item != nullptr && AdmItem()->GetBooleanValue(item, &value) == kNoErr) g->*box.field = value != 0 ? 1 : 0;
    }
    for (const Spin& spin : kSpins) {
        ADMItemRef item = ItemOf(dialog, spin.id);
        AIReal value = 0.0f;
        if (item != nullptr && AdmItem()->GetFloatValue(item, &value) == kNoErr) g->*spin.field = value;
    }
}

ASErr DialogInit(ADMDialogRef dialog) {
    const KestovaGlobals& g = *kestova::Globals();
    ASErr error = AdmDialog()->Size(dialog, kDialogWidth, kDialogHeight);
    if (error != kNoErr) return error;
    if ((error = CreateModePopup(dialog, g.pdMode)) != kNoErr) return error;

    ADMItemRef item = nullptr;
    for (const Label& label : kLabels)
        if ((error = CreateText(dialog, label.id, kADMTextStaticType, label.rect, label.text, &item)) != kNoErr)
            return error;
    for (const Spin& spin : kSpins)
        if ((error = CreateSpin(dialog, spin, g.*spin.field)) != kNoErr) return error;
    for (std::size_t row = 0; row < std::size(kCheckBoxes); ++row) {
        const CheckBox& box = kCheckBoxes[row];
        error = CreateText(dialog, box.id, kADMTextCheckBoxType, CheckBoxRect(row), box.text, &item);
        if (error != kNoErr) return error;
        if ((error = AdmItem()->SetBooleanValue(item, g.*box.field != 0 ? 1 : 0)) != kNoErr) return error;
    }

    ADMItemRef ok = nullptr;
    if ((error = CreateText(dialog, kOkButton.id, kADMTextPushButtonType, kOkButton.rect, kOkButton.text, &ok)) !=
        kNoErr)
        return error;
    if ((error = AdmItem()->SetNotifyProc(ok, OkNotify)) != kNoErr) return error;
    if ((error = CreateText(dialog, kCancelButton.id, kADMTextPushButtonType, kCancelButton.rect, kCancelButton.text,
                            &item)) != kNoErr)
        return error;

    if (ADMItemRef first = ItemOf(dialog, kFirstFocusItem)) {
        AdmItem()->Activate(first, 1);
        AdmItem()->SelectAll(first);
    }
    return AdmItem()->SetNotifyProc(ok, OkNotify);
}

} // namespace

ASErr EditOptions(AIToolMessage* message) {
    using namespace frame;
    const KestovaGlobals& g = *kestova::Globals();
    if (message->tool != g.pdToolHandle) return kNoErr; // another plug-in's tool: no dialog
    ASInt32 result = 0;
    const ASErr error = AdmDialog()->Modal(message->d.self, kDialogName, kDialogId,
                                           kADMModalDialogStyle, DialogInit, nullptr, &result);
    if (error != kNoErr) return error;
    return result == kOkItem ? kNoErr : kCancelErr;
}

} // namespace pointdrag

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/HostState.h"
#include "adm/Dialog.h"
#include "adm/RegisterADM.h"

using namespace easel;
using namespace easel::adm;

namespace {

struct Suites {
    const ADMBasicSuite* basic;
    const ADMDialogSuite* dialog;
    const ADMItemSuite* item;
    const ADMListSuite* list;
    const ADMEntrySuite* entry;
    const ADMNotifierSuite* notifier;
    const ADMTrackerSuite* tracker;
};
Suites s;

template <typename T>
const T* table(const char* name, int32_t version) {
    return static_cast<const T*>(hostState().suites.find(name, version));
}

int notified = 0;
std::string lastNotifierType;
ADMItemRef lastNotifiedItem = nullptr;

void countingNotify(ADMItemRef item, ADMNotifierRef notifier) {
    ++notified;
    lastNotifiedItem = item;
    ASBoolean isUser = 0;
    s.notifier->IsNotifierType(notifier, kADMUserChangedNotifier, &isUser);
    lastNotifierType = isUser ? kADMUserChangedNotifier : "other";
    s.item->DefaultNotify(item, notifier);
}

// Check box 13 is enabled only while popup entry 2 is chosen.
void popupNotify(ADMItemRef item, ADMNotifierRef notifier) {
    s.item->DefaultNotify(item, notifier);
    ASInt32 index = -1;
    s.item->GetIntValue(item, &index);
    ADMDialogRef d = nullptr;
    s.item->GetDialog(item, &d);
    ADMItemRef box = nullptr;
    s.dialog->GetItem(d, 13, &box);
    s.item->Enable(box, index == 2);
}

ADMItemRef make(ADMDialogRef d, ASInt32 id, const char* kind, const char* text = "") {
    ASRect r{10, 10 + id, 100, 30 + id};
    ADMItemRef it = nullptr;
    s.dialog->CreateItem(d, id, kind, &r, &it);
    s.item->SetText(it, text);
    return it;
}

// Items every test dialog gets: a real spin 10 (0..100, two decimals), an
// integer spin 11 (1..5), a popup 12 with three entries, a check box 13
// that popup entry 2 enables, OK (1), Cancel (2) and Apply (7).
ASErr standardInit(ADMDialogRef d) {
    ADMItemRef spin = make(d, 10, kADMSpinEditType);
    s.item->SetMinFloatValue(spin, 0);
    s.item->SetMaxFloatValue(spin, 100);
    s.item->SetPrecision(spin, 2);
    s.item->SetFloatValue(spin, 12.5f);
    ADMItemRef ispin = make(d, 11, kADMSpinEditType);
    s.item->SetMinIntValue(ispin, 1);
    s.item->SetMaxIntValue(ispin, 5);
    s.item->SetIntValue(ispin, 3);
    ADMItemRef popup = make(d, 12, kADMPopupListType);
    ADMListRef list = nullptr;
    s.item->GetList(popup, &list);
    const char* names[] = {" Place above", " Place beneath", " Alternate 1"};
    for (ASInt32 i = 0; i < 3; ++i) {
        ADMEntryRef e = nullptr;
        s.list->InsertEntry(list, -1, &e);
        s.entry->SetText(e, names[i]);
        s.entry->SetID(e, 100 + i);
    }
    ADMEntryRef first = nullptr;
    s.list->IndexEntry(list, 0, &first);
    s.entry->Select(first, 1);
    s.item->SetNotifyProc(popup, popupNotify);
    make(d, 13, kADMTextCheckBoxType, "Trail");
    s.item->SendNotify(popup, kADMUserChangedNotifier);
    make(d, 1, kADMTextPushButtonType, "OK");
    make(d, 2, kADMTextPushButtonType, "Cancel");
    make(d, 7, kADMTextPushButtonType, "Apply");
    return kNoErr;
}

// Runs the standard dialog under a driver; returns the result item id and
// the dialog's record at close.
struct RunResult {
    ASInt32 result = 0;
    DialogRecord record;
};

RunResult runStandard(DialogDriver& driver, ADMDialogInitProc init = standardInit) {
    RunResult run;
    dialogManager().onClosed = [&](const DialogRecord& r) { run.record = r; };
    dialogManager().setNextDriver(&driver);
    EXPECT_EQ(s.dialog->Modal(nullptr, "Test", 16101, kADMModalDialogStyle, init, nullptr, &run.result), kNoErr);
    dialogManager().onClosed = nullptr;
    return run;
}

const ItemRecord& itemOf(const DialogRecord& r, int32_t id) {
    for (const auto& i : r.items)
        if (i.id == id) return i;
    static ItemRecord none;
    ADD_FAILURE() << "no item " << id;
    return none;
}

// A driver that runs a function on the open dialog.
struct LambdaDriver : DialogDriver {
    std::function<void(Dialog&)> f;
    explicit LambdaDriver(std::function<void(Dialog&)> fn) : f(std::move(fn)) {}
    void run(Dialog& d) override { f(d); }
};

}  // namespace

class DialogManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerADMSuites(hostState().suites);
        s = Suites{table<ADMBasicSuite>(kADMBasicSuite, kADMBasicSuiteVersion),
                   table<ADMDialogSuite>(kADMDialogSuite, kADMDialogSuiteVersion),
                   table<ADMItemSuite>(kADMItemSuite, kADMItemSuiteVersion),
                   table<ADMListSuite>(kADMListSuite, kADMListSuiteVersion),
                   table<ADMEntrySuite>(kADMEntrySuite, kADMEntrySuiteVersion),
                   table<ADMNotifierSuite>(kADMNotifierSuite, kADMNotifierSuiteVersion),
                   table<ADMTrackerSuite>(kADMTrackerSuite, kADMTrackerSuiteVersion)};
        ASSERT_NE(s.item, nullptr);
        notified = 0;
        lastNotifierType.clear();
    }
};

TEST_F(DialogManagerTest, SpinEditsClampToTheirRangeAndShowTheirPrecision) {
    LambdaDriver driver([](Dialog& d) {
        ADMItemRef spin = d.item(10)->ref();
        AIReal v = 0;
        s.item->SetFloatValue(spin, -3.0f);
        s.item->GetFloatValue(spin, &v);
        EXPECT_EQ(v, 0.0f);
        s.item->SetFloatValue(spin, 7.126f);
        char text[32];
        s.item->GetText(spin, text, sizeof text);
        EXPECT_STREQ(text, "7.13");  // two decimals, rounded
        // Narrowing the range clamps the value at once.
        s.item->SetMaxFloatValue(spin, 5.0f);
        s.item->GetFloatValue(spin, &v);
        EXPECT_EQ(v, 5.0f);
    });
    runStandard(driver);
}

// A scripted run of the standard dialog: the button that closed it, the
// driver's complaint (empty: none) and one item's value afterwards (popups:
// the chosen entry's index).
struct ScriptedCase {
    const char* name;
    std::vector<SetAction> sets;
    std::vector<std::string> presses;
    ASInt32 result;
    std::string error;
    int32_t item;
    double value;
};

TEST_F(DialogManagerTest, ScriptedSetsAndPressesActLikeAUser) {
    const std::string none;
    const ScriptedCase cases[] = {
        {"a set above the range clamps", {{10, 999.0, {}}}, {"OK"}, 1, none, 10, 100.0},
        {"a set below the range clamps", {{11, 0.0, {}}}, {"OK"}, 1, none, 11, 1.0},
        {"popup by index", {{12, 1.0, {}}}, {"OK"}, 1, none, 12, 1},
        {"popup by text without its blank", {{12, {}, "Alternate 1"}}, {"OK"}, 1, none, 12, 2},
        {"popup index out of range cancels", {{12, 3.0, {}}}, {"OK"}, 2, "out of range 0..2", 12, 0},
        {"popup text unknown", {{12, {}, "Sideways"}}, {"OK"}, 2, "no entry 'Sideways'", 12, 0},
        {"a disabled box refuses", {{13, 1.0, {}}}, {"OK"}, 2, "item 13 of dialog 'Test' is disabled", 13, 0},
        {"the popup enables the box", {{12, 2.0, {}}, {13, 1.0, {}}}, {"OK"}, 1, none, 13, 1},
        {"a button by id", {}, {"7"}, 7, none, 7, 0},
        {"a button by text", {}, {"Apply"}, 7, none, 7, 0},
        {"left open: Cancel", {}, {}, 2, none, 7, 0},
        {"an unknown button", {}, {"Apply later"}, 2, "no button 'Apply later'", 7, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedDriver driver(c.sets, c.presses);
        RunResult run = runStandard(driver);
        EXPECT_EQ(run.result, c.result);
        EXPECT_EQ(run.record.result, c.result);
        if (c.error.empty()) {
            EXPECT_EQ(driver.error(), "");
        } else {
            EXPECT_NE(driver.error().find(c.error), std::string::npos) << driver.error();
        }
        const ItemRecord& i = itemOf(run.record, c.item);
        EXPECT_EQ(i.kind == ItemKind::PopupList ? i.selected : i.value, c.value);
        if (c.item == 13) {
            EXPECT_EQ(i.enabled, c.value == 1);
        }
    }
    ScriptedDriver byIndex({{12, 1.0, {}}}, {"OK"});
    EXPECT_EQ(itemOf(runStandard(byIndex).record, 12).text, " Place beneath");  // a popup shows its entry
}

TEST_F(DialogManagerTest, ActiveEntryKeepsItsIdWhenEntriesAreInsertedBeforeIt) {
    LambdaDriver driver([](Dialog& d) {
        ADMListRef list = nullptr;
        s.item->GetList(d.item(12)->ref(), &list);
        ADMEntryRef e = nullptr;
        s.list->IndexEntry(list, 1, &e);
        s.entry->Select(e, 1);
        ADMEntryRef inserted = nullptr;
        s.list->InsertEntry(list, 0, &inserted);
        ADMEntryRef active = nullptr;
        s.list->GetActiveEntry(list, &active);
        ASInt32 id = 0, index = 0;
        s.entry->GetID(active, &id);
        s.entry->GetIndex(active, &index);
        EXPECT_EQ(id, 101);
        EXPECT_EQ(index, 2);
        ADMEntryRef byId = nullptr;
        s.list->GetEntry(list, 102, &byId);
        s.list->IndexEntry(list, 3, &e);
        EXPECT_EQ(byId, e);
        s.list->IndexEntry(list, 4, &e);
        EXPECT_EQ(e, nullptr);
    });
    runStandard(driver);
}

TEST_F(DialogManagerTest, PressingACheckBoxTogglesItAndNotifies) {
    ASErr (*init)(ADMDialogRef) = [](ADMDialogRef d) -> ASErr {
        standardInit(d);
        ADMItemRef box = nullptr;
        s.dialog->GetItem(d, 13, &box);
        s.item->Enable(box, 1);
        s.item->SetNotifyProc(box, countingNotify);
        return kNoErr;
    };
    ScriptedDriver driver({}, {"13", "13", "13", "OK"});
    RunResult run = runStandard(driver, init);
    EXPECT_EQ(notified, 3);
    EXPECT_EQ(lastNotifierType, kADMUserChangedNotifier);
    EXPECT_EQ(itemOf(run.record, 13).value, 1.0);
}

TEST_F(DialogManagerTest, SendNotifyReachesTheNotifyProcedureWithItsType) {
    LambdaDriver driver([](Dialog& d) {
        ADMItemRef spin = d.item(10)->ref();
        s.item->SetNotifyProc(spin, countingNotify);
        s.item->SendNotify(spin, kADMUserChangedNotifier);
        EXPECT_EQ(notified, 1);
        EXPECT_EQ(lastNotifiedItem, spin);
        EXPECT_EQ(lastNotifierType, kADMUserChangedNotifier);
        s.item->SendNotify(spin, "ADM Something Else");
        EXPECT_EQ(lastNotifierType, "other");
        EXPECT_FALSE(d.ended);  // a spin's default notification does not end the dialog
        // Without a procedure, SendNotify runs the default: a button ends the dialog.
        s.item->SendNotify(d.item(1)->ref(), kADMUserChangedNotifier);
        EXPECT_TRUE(d.ended);
        EXPECT_EQ(d.result, 1);
    });
    EXPECT_EQ(runStandard(driver).result, 1);
}

TEST_F(DialogManagerTest, ModalDialogsNestAndTheNestedOneGetsTheDefaultDriver) {
    static int nestedDepth = 0;
    static ASInt32 nestedResult = 0;
    ADMItemNotifyProc openNested = [](ADMItemRef, ADMNotifierRef) {
        s.dialog->Modal(nullptr, "Nested", 16200, 0,
                        [](ADMDialogRef d) -> ASErr {
                            nestedDepth = dialogManager().depth();
                            make(d, 1, kADMTextPushButtonType, "OK");
                            return kNoErr;
                        },
                        nullptr, &nestedResult);
    };
    static ADMItemNotifyProc proc;
    proc = openNested;
    ASErr (*init)(ADMDialogRef) = [](ADMDialogRef d) -> ASErr {
        standardInit(d);
        ADMItemRef b = make(d, 8, kADMTextPushButtonType, "More");
        s.item->SetNotifyProc(b, proc);
        return kNoErr;
    };
    std::vector<std::string> closed;
    dialogManager().onClosed = [&](const DialogRecord& r) { closed.push_back(r.name); };
    ScriptedDriver driver({}, {"More", "OK"});
    dialogManager().setNextDriver(&driver);
    ASInt32 result = 0;
    ASSERT_EQ(s.dialog->Modal(nullptr, "Outer", 1, 0, init, nullptr, &result), kNoErr);
    dialogManager().onClosed = nullptr;
    EXPECT_TRUE(driver.error().empty()) << driver.error();
    EXPECT_EQ(nestedDepth, 2);
    EXPECT_EQ(nestedResult, 1);  // dismissed with its only button
    EXPECT_EQ(result, 1);        // the outer dialog went on and took OK
    EXPECT_EQ(closed, (std::vector<std::string>{"Nested", "Outer"}));
    EXPECT_EQ(dialogManager().depth(), 0);
}

TEST_F(DialogManagerTest, BoundsAreReadableAndSettableAndSizeKeepsTheTopLeft) {
    LambdaDriver driver([](Dialog& d) {
        ASRect r{};
        ASRect want{40, 50, 390, 535};
        EXPECT_EQ(s.dialog->SetBoundsRect(d.ref(), &want), kNoErr);
        s.dialog->GetBoundsRect(d.ref(), &r);
        EXPECT_EQ(r.left, 40);
        EXPECT_EQ(r.bottom, 535);
        s.dialog->Size(d.ref(), 260, 540);
        s.dialog->GetBoundsRect(d.ref(), &r);
        EXPECT_EQ(r.left, 40);
        EXPECT_EQ(r.top, 50);
        EXPECT_EQ(r.right, 300);
        EXPECT_EQ(r.bottom, 590);
        ASRect inverted{10, 10, 0, 0};
        EXPECT_EQ(s.dialog->SetBoundsRect(d.ref(), &inverted), kBadParameterErr);
    });
    runStandard(driver);
}

TEST_F(DialogManagerTest, InspectorRecordsEveryItemAndCancels) {
    InspectDriver driver;
    RunResult run = runStandard(driver);
    EXPECT_EQ(run.result, 2);
    ASSERT_TRUE(driver.record().has_value());
    const DialogRecord& r = *driver.record();
    ASSERT_EQ(r.items.size(), 7u);
    const ItemRecord& spin = itemOf(r, 10);
    EXPECT_EQ(spin.kind, ItemKind::SpinEdit);
    EXPECT_EQ(spin.min, 0.0);
    EXPECT_EQ(spin.max, 100.0);
    EXPECT_EQ(spin.precision, 2);
    EXPECT_EQ(spin.text, "12.50");
    const ItemRecord& popup = itemOf(r, 12);
    ASSERT_EQ(popup.entries.size(), 3u);
    EXPECT_EQ(popup.entries[2].text, " Alternate 1");
    EXPECT_EQ(popup.entries[2].id, 102);
    EXPECT_FALSE(itemOf(r, 13).enabled);
    EXPECT_EQ(itemOf(r, 1).rect.top, 11);
}

TEST_F(DialogManagerTest, DanglingHandlesAndUnknownItemKindsAreRefused) {
    ADMItemRef kept = nullptr;
    ASRect r{0, 0, 1, 1};
    ADMItemRef out = nullptr;
    LambdaDriver driver([&](Dialog& d) {
        kept = d.item(10)->ref();
        EXPECT_EQ(s.dialog->CreateItem(d.ref(), 40, "ADM Slider Type", &r, &out), kBadParameterErr);
        EXPECT_EQ(d.item(40), nullptr);
    });
    runStandard(driver);
    ASInt32 v = 0;
    EXPECT_EQ(s.item->GetIntValue(kept, &v), kBadParameterErr);
    EXPECT_EQ(s.dialog->CreateItem(nullptr, 1, kADMSpinEditType, &r, &out), kBadParameterErr);
}

TEST_F(DialogManagerTest, AlertsAreReportedThroughTheHost) {
    std::vector<ShownMessage> shown;
    hostState().onShown = [&](const ShownMessage& m) { shown.push_back(m); };
    s.basic->MessageAlert("Hello");
    s.basic->ErrorAlert("Broken");
    InspectDriver driver;
    runStandard(driver);
    hostState().onShown = nullptr;
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].kind, "message alert");
    EXPECT_EQ(shown[0].texts, std::vector<std::string>{"Hello"});
    EXPECT_EQ(shown[1].kind, "error alert");
    EXPECT_EQ(shown[2].kind, "dialog");
    EXPECT_EQ(shown[2].title, "Test");
}

TEST_F(DialogManagerTest, TrackerReportsTheHostModifierWord) {
    hostState().modifiers = kADMShiftKeyFlag | kADMControlKeyFlag;
    ASInt32 m = 0;
    EXPECT_EQ(s.tracker->GetModifiers(nullptr, &m), kNoErr);
    EXPECT_EQ(m, 0x220);
    hostState().modifiers = 0;
}

// easel's dialog manager. Plug-ins describe their dialogs through the ADM
// suites; the manager keeps the dialogs and items, applies the item rules
// (spin edits clamp to their range, check boxes hold 0 or 1, popups choose
// one entry) and hands every modal dialog to a driver: a script in batch
// runs, the inspector, or a person in the studio.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/ADMSuites.h"
#include "host/ASTypes.h"

namespace easel::adm {

enum class ItemKind { StaticText, SpinEdit, PopupList, CheckBox, PushButton, Frame };

// The kind for a dialog manager type name ("ADM Spin Edit Type"), if known.
std::optional<ItemKind> itemKindFromName(const char* name);
const char* itemKindName(ItemKind kind);       // the ADM type name
const char* itemKindShortName(ItemKind kind);  // "spin", "popup", ... for people

struct Item;
struct Dialog;

struct Entry {
    Item* item = nullptr;
    std::string text;
    int32_t id = 0;
    ADMEntryRef ref() { return reinterpret_cast<ADMEntryRef>(this); }
};

// The entry list of a popup. The chosen entry is kept as a pointer so that
// inserting entries before it does not change which one is chosen.
struct List {
    Item* item = nullptr;
    std::vector<std::unique_ptr<Entry>> entries;
    Entry* active = nullptr;
    int32_t indexOf(const Entry* e) const;
    ADMListRef ref() { return reinterpret_cast<ADMListRef>(this); }
};

struct Item {
    Dialog* dialog = nullptr;
    int32_t id = 0;
    ItemKind kind = ItemKind::StaticText;
    ASRect rect{0, 0, 0, 0};
    std::string text;
    double value = 0;  // spins: the number; check boxes: 0 or 1; popups: unused
    double min = -std::numeric_limits<double>::infinity();
    double max = std::numeric_limits<double>::infinity();
    int32_t precision = 0;
    int32_t units = 0;
    bool enabled = true;
    bool active = false;      // has the keyboard focus
    bool textSelected = false;
    void* userData = nullptr;
    ADMItemNotifyProc notify = nullptr;
    std::unique_ptr<List> list;  // popups only

    ADMItemRef ref() { return reinterpret_cast<ADMItemRef>(this); }
};

struct Dialog {
    std::string name;
    int32_t resourceId = 0;
    SPPluginRef plugin = nullptr;
    std::string caption;
    ASRect bounds{100, 100, 100, 100};
    void* userData = nullptr;
    std::vector<std::unique_ptr<Item>> items;
    bool ended = false;
    int32_t result = 0;

    Item* item(int32_t id);
    ADMDialogRef ref() { return reinterpret_cast<ADMDialogRef>(this); }
};

// ---- item behaviour shared by the suites and the drivers ----

// Sets the value as the kind allows: spins clamp to their range, check boxes
// take 0 or 1, popups choose the entry at that index (out of range: refused).
ASErr setItemValue(Item& item, double value);
double itemValue(const Item& item);
// The text an item shows: spins show their value with their precision.
std::string itemText(const Item& item);
// Sets the text; a spin edit reads it as a number (refused if it is none).
ASErr setItemText(Item& item, const std::string& text);
// Re-applies the range after it changed.
void clampToRange(Item& item);
// The kind's own reaction: a push button ends the modal dialog with its id.
void defaultNotify(Item& item);
// Calls the item's notify procedure with a notifier of that type, or its
// default notification when it has none.
void sendNotify(Item& item, const char* notifierType);

// A notifier handed to notify procedures; lives for the call only.
struct Notifier {
    std::string type;
    Item* item = nullptr;
    ADMNotifierRef ref() { return reinterpret_cast<ADMNotifierRef>(this); }
};

// ---- records of dialogs, for logs and inspection ----

struct EntryRecord {
    std::string text;
    int32_t id = 0;
};

struct ItemRecord {
    int32_t id = 0;
    ItemKind kind = ItemKind::StaticText;
    ASRect rect{0, 0, 0, 0};
    std::string text;
    double value = 0;
    double min = 0, max = 0;
    bool hasRange = false;
    int32_t precision = 0;
    bool enabled = true;
    std::vector<EntryRecord> entries;
    int32_t selected = -1;  // popups: index of the chosen entry
};

struct DialogRecord {
    std::string name;
    int32_t resourceId = 0;
    std::string caption;
    ASRect bounds{0, 0, 0, 0};
    std::vector<ItemRecord> items;
    int32_t result = 0;
};

DialogRecord snapshot(const Dialog& dialog);

// ---- drivers ----

class DialogDriver {
public:
    virtual ~DialogDriver() = default;
    // Runs the dialog until it ends or the driver has nothing more to do;
    // the manager closes a dialog still open afterwards with Cancel.
    virtual void run(Dialog& dialog) = 0;
};

// Presses a button the way a user would: by the names "OK", "Cancel" and
// "Reset" (ids 1, 2, 3) or a button's text, or by a decimal item id.
// Returns an empty string on success, else what went wrong.
std::string pressItem(Dialog& dialog, const std::string& button);
// Closes the dialog the way a user's Cancel would.
void cancelDialog(Dialog& dialog);

// One "set" of a script: a number (spin value, check box 0/1, popup entry
// index) or a text (popup entry text, or a number written as text).
struct SetAction {
    int32_t id = 0;
    std::optional<double> number;
    std::optional<std::string> text;
};

// Sets one item as a user would: the item must exist and be enabled; the
// value is clamped, then the item is notified. Empty string on success.
std::string userSet(Dialog& dialog, const SetAction& action);

// Runs the dialog from a list of sets and presses, then Cancel if it is
// still open. The first action it cannot carry out stops it; error() says why.
class ScriptedDriver : public DialogDriver {
public:
    ScriptedDriver(std::vector<SetAction> sets, std::vector<std::string> presses)
        : sets_(std::move(sets)), presses_(std::move(presses)) {}
    void run(Dialog& dialog) override;
    const std::string& error() const { return error_; }
    bool ran() const { return ran_; }

private:
    std::vector<SetAction> sets_;
    std::vector<std::string> presses_;
    std::string error_;
    bool ran_ = false;
};

// Records every item of the dialog and closes it with Cancel.
class InspectDriver : public DialogDriver {
public:
    void run(Dialog& dialog) override;
    const std::optional<DialogRecord>& record() const { return record_; }

private:
    std::optional<DialogRecord> record_;
};

// What a batch run does with a dialog nobody scripted (an error dialog, the
// about box): closes it with Cancel when it has a Cancel button, else with
// its first push button.
class DismissDriver : public DialogDriver {
public:
    void run(Dialog& dialog) override;
};

// ---- the manager ----

class DialogManager {
public:
    DialogManager();
    // The driver the next Modal call uses (once); later calls fall back to
    // the default driver.
    void setNextDriver(DialogDriver* driver) { next_ = driver; }
    void setDefaultDriver(DialogDriver* driver) { default_ = driver ? driver : &dismiss_; }

    ASErr modal(SPPluginRef plugin, const char* name, ASInt32 dialogId, ASInt32 style,
                ADMDialogInitProc initProc, void* userData, ASInt32* result);

    // Handle checks: is this pointer a live object of the manager?
    bool liveDialog(const void* p) const;
    bool liveItem(const void* p) const;
    bool liveList(const void* p) const;
    bool liveEntry(const void* p) const;
    Item* createItem(Dialog& dialog, int32_t id, ItemKind kind, const ASRect& rect);
    Entry* insertEntry(List& list, int32_t index);

    int depth() const { return static_cast<int>(stack_.size()); }
    Dialog* current() { return stack_.empty() ? nullptr : stack_.back(); }

    // Called with the record of every dialog when it closes (after its result is known).
    std::function<void(const DialogRecord&)> onClosed;

private:
    std::vector<Dialog*> stack_;
    DialogDriver* next_ = nullptr;
    DismissDriver dismiss_;
    DialogDriver* default_ = nullptr;
};

DialogManager& dialogManager();

}  // namespace easel::adm

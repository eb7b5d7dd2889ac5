#include "Dialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/HostState.h"
#include "Resources.h"

namespace easel::adm {

namespace {

struct KindName {
    ItemKind kind;
    const char* name;
    const char* shortName;
};

constexpr KindName kKinds[] = {
    {ItemKind::StaticText, kADMTextStaticType, "static text"},
    {ItemKind::SpinEdit, kADMSpinEditType, "spin edit"},
    {ItemKind::PopupList, kADMPopupListType, "popup"},
    {ItemKind::CheckBox, kADMTextCheckBoxType, "check box"},
    {ItemKind::PushButton, kADMTextPushButtonType, "push button"},
    {ItemKind::Frame, kADMFrameType, "frame"},
};

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

std::optional<double> parseNumber(const std::string& text) {
    std::string t = trim(text);
    if (t.empty()) return std::nullopt;
    char* end = nullptr;
    double v = std::strtod(t.c_str(), &end);
    if (end == t.c_str() || *end != '\0' || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<int32_t> parseId(const std::string& text) {
    auto v = parseNumber(text);
    if (!v || *v != std::floor(*v) || *v < INT32_MIN || *v > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(*v);
}

std::string describe(const Dialog& d) {
    return "dialog '" + (d.caption.empty() ? d.name : d.caption) + "'";
}

}  // namespace

std::optional<ItemKind> itemKindFromName(const char* name) {
    if (name == nullptr) return std::nullopt;
    for (const auto& k : kKinds)
        if (std::strcmp(k.name, name) == 0) return k.kind;
    return std::nullopt;
}

const char* itemKindName(ItemKind kind) {
    for (const auto& k : kKinds)
        if (k.kind == kind) return k.name;
    return "";
}

const char* itemKindShortName(ItemKind kind) {
    for (const auto& k : kKinds)
        if (k.kind == kind) return k.shortName;
    return "";
}

int32_t List::indexOf(const Entry* e) const {
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].get() == e) return static_cast<int32_t>(i);
    return -1;
}

Item* Dialog::item(int32_t id) {
    for (auto& it : items)
        if (it->id == id) return it.get();
    return nullptr;
}

// ---- item behaviour ----

void clampToRange(Item& item) {
    if (item.kind != ItemKind::SpinEdit) return;
    if (item.value < item.min) item.value = item.min;
    if (item.value > item.max) item.value = item.max;
}

ASErr setItemValue(Item& item, double value) {
    if (!std::isfinite(value)) return kBadParameterErr;
    switch (item.kind) {
    case ItemKind::PopupList: {
        if (!item.list) return kBadParameterErr;
        if (value < 0 || value >= static_cast<double>(item.list->entries.size())) return kBadParameterErr;
        item.list->active = item.list->entries[static_cast<size_t>(value)].get();
        return kNoErr;
    }
    case ItemKind::CheckBox:
        item.value = value != 0 ? 1 : 0;
        return kNoErr;
    case ItemKind::SpinEdit:
        item.value = value;
        clampToRange(item);
        return kNoErr;
    default:
        item.value = value;
        return kNoErr;
    }
}

double itemValue(const Item& item) {
    if (item.kind == ItemKind::PopupList) return item.list && item.list->active ? item.list->indexOf(item.list->active) : -1;
    return item.value;
}

std::string itemText(const Item& item) {
    if (item.kind == ItemKind::SpinEdit) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*f", std::clamp(item.precision, 0, 10), item.value);
        return buf;
    }
    if (item.kind == ItemKind::PopupList && item.list && item.list->active) return item.list->active->text;
    return item.text;
}

ASErr setItemText(Item& item, const std::string& text) {
    if (item.kind == ItemKind::SpinEdit) {
        auto v = parseNumber(text);
        if (!v) return kBadParameterErr;
        return setItemValue(item, *v);
    }
    item.text = text;
    return kNoErr;
}

void defaultNotify(Item& item) {
    if (item.kind == ItemKind::PushButton && item.dialog && !item.dialog->ended) {
        item.dialog->ended = true;
        item.dialog->result = item.id;
    }
}

void sendNotify(Item& item, const char* notifierType) {
    if (item.notify) {
        Notifier n{notifierType ? notifierType : "", &item};
        item.notify(item.ref(), n.ref());
    } else {
        defaultNotify(item);
    }
}

// ---- records ----

DialogRecord snapshot(const Dialog& dialog) {
    DialogRecord r;
    r.name = dialog.name;
    r.resourceId = dialog.resourceId;
    r.caption = dialog.caption;
    r.bounds = dialog.bounds;
    r.result = dialog.result;
    for (const auto& it : dialog.items) {
        ItemRecord ir;
        ir.id = it->id;
        ir.kind = it->kind;
        ir.rect = it->rect;
        ir.text = itemText(*it);
        ir.value = itemValue(*it);
        ir.hasRange = it->kind == ItemKind::SpinEdit;
        ir.min = it->min;
        ir.max = it->max;
        ir.precision = it->precision;
        ir.enabled = it->enabled;
        if (it->list) {
            for (const auto& e : it->list->entries) ir.entries.push_back({e->text, e->id});
            ir.selected = it->list->active ? it->list->indexOf(it->list->active) : -1;
        }
        r.items.push_back(std::move(ir));
    }
    return r;
}

// ---- user actions ----

std::string pressItem(Dialog& dialog, const std::string& button) {
    Item* item = nullptr;
    if (auto id = parseId(button)) {
        item = dialog.item(*id);
        if (!item) return "no item " + button + " in " + describe(dialog);
    } else {
        // A push button with that text, else the usual ids of OK, Cancel, Reset.
        for (auto& it : dialog.items)
            if (it->kind == ItemKind::PushButton && trim(it->text) == trim(button)) {
                item = it.get();
                break;
            }
        if (!item) {
            int32_t named = button == "OK" ? 1 : button == "Cancel" ? 2 : button == "Reset" ? 3 : 0;
            if (named != 0) item = dialog.item(named);
        }
        if (!item) return "no button '" + button + "' in " + describe(dialog);
    }
    if (dialog.ended) return "cannot press '" + button + "': " + describe(dialog) + " is already closed";
    if (!item->enabled) return "item " + std::to_string(item->id) + " of " + describe(dialog) + " is disabled";
    switch (item->kind) {
    case ItemKind::PushButton:
        sendNotify(*item, kADMUserChangedNotifier);
        return {};
    case ItemKind::CheckBox:
        item->value = item->value != 0 ? 0 : 1;
        sendNotify(*item, kADMUserChangedNotifier);
        return {};
    default:
        return "item " + std::to_string(item->id) + " of " + describe(dialog) + " is a " +
               itemKindShortName(item->kind) + ", which cannot be pressed";
    }
}

void cancelDialog(Dialog& dialog) {
    if (dialog.ended) return;
    Item* cancel = dialog.item(2);
    if (cancel && cancel->kind == ItemKind::PushButton) sendNotify(*cancel, kADMUserChangedNotifier);
    if (!dialog.ended) {
        dialog.ended = true;
        dialog.result = 2;
    }
}

std::string userSet(Dialog& dialog, const SetAction& a) {
    Item* item = dialog.item(a.id);
    const std::string where = "item " + std::to_string(a.id) + " of " + describe(dialog);
    if (!item) return "no " + where;
    if (dialog.ended) return "cannot set " + where + ": the dialog is already closed";
    if (!item->enabled) return where + " is disabled";
    switch (item->kind) {
    case ItemKind::PopupList: {
        const auto& entries = item->list->entries;
        int32_t index = -1;
        if (a.number) {
            if (*a.number != std::floor(*a.number) || *a.number < 0 ||
                *a.number >= static_cast<double>(entries.size()))
                return where + ": entry index " + std::to_string(*a.number) + " is out of range 0.." +
                       std::to_string(static_cast<long>(entries.size()) - 1);
            index = static_cast<int32_t>(*a.number);
        } else {
            for (size_t i = 0; i < entries.size() && index < 0; ++i)
                if (entries[i]->text == *a.text) index = static_cast<int32_t>(i);
            for (size_t i = 0; i < entries.size() && index < 0; ++i)
                if (trim(entries[i]->text) == trim(*a.text)) index = static_cast<int32_t>(i);
            if (index < 0) return where + " has no entry '" + *a.text + "'";
        }
        setItemValue(*item, index);
        break;
    }
    case ItemKind::SpinEdit:
    case ItemKind::CheckBox: {
        std::optional<double> v = a.number;
        if (!v && a.text) v = parseNumber(*a.text);
        if (!v) return where + " takes a number, not '" + a.text.value_or("") + "'";
        setItemValue(*item, *v);
        break;
    }
    default:
        return where + " is a " + std::string(itemKindShortName(item->kind)) + ", which takes no value";
    }
    sendNotify(*item, kADMUserChangedNotifier);
    return {};
}

// ---- drivers ----

void ScriptedDriver::run(Dialog& dialog) {
    ran_ = true;
    for (const auto& s : sets_) {
        error_ = userSet(dialog, s);
        if (!error_.empty()) return;
    }
    for (const auto& p : presses_) {
        error_ = pressItem(dialog, p);
        if (!error_.empty()) return;
    }
}

void InspectDriver::run(Dialog& dialog) {
    record_ = snapshot(dialog);
    cancelDialog(dialog);
    record_->result = dialog.result;
}

void DismissDriver::run(Dialog& dialog) {
    Item* cancel = dialog.item(2);
    if (cancel && cancel->kind == ItemKind::PushButton) {
        sendNotify(*cancel, kADMUserChangedNotifier);
        return;
    }
    for (auto& it : dialog.items)
        if (it->kind == ItemKind::PushButton) {
            sendNotify(*it, kADMUserChangedNotifier);
            return;
        }
}

// ---- manager ----

DialogManager::DialogManager() : default_(&dismiss_) {}

DialogManager& dialogManager() {
    static DialogManager m;
    return m;
}

bool DialogManager::liveDialog(const void* p) const {
    return p && std::any_of(stack_.begin(), stack_.end(), [p](const Dialog* d) { return d == p; });
}

bool DialogManager::liveItem(const void* p) const {
    if (!p) return false;
    for (const Dialog* d : stack_)
        for (const auto& it : d->items)
            if (it.get() == p) return true;
    return false;
}

bool DialogManager::liveList(const void* p) const {
    if (!p) return false;
    for (const Dialog* d : stack_)
        for (const auto& it : d->items)
            if (it->list.get() == p) return true;
    return false;
}

bool DialogManager::liveEntry(const void* p) const {
    if (!p) return false;
    for (const Dialog* d : stack_)
        for (const auto& it : d->items)
            if (it->list)
                for (const auto& e : it->list->entries)
                    if (e.get() == p) return true;
    return false;
}

Item* DialogManager::createItem(Dialog& dialog, int32_t id, ItemKind kind, const ASRect& rect) {
    auto item = std::make_unique<Item>();
    item->dialog = &dialog;
    item->id = id;
    item->kind = kind;
    item->rect = rect;
    if (kind == ItemKind::PopupList) {
        item->list = std::make_unique<List>();
        item->list->item = item.get();
    }
    dialog.items.push_back(std::move(item));
    return dialog.items.back().get();
}

Entry* DialogManager::insertEntry(List& list, int32_t index) {
    auto e = std::make_unique<Entry>();
    e->item = list.item;
    Entry* raw = e.get();
    if (index < 0 || static_cast<size_t>(index) >= list.entries.size())
        list.entries.push_back(std::move(e));
    else
        list.entries.insert(list.entries.begin() + index, std::move(e));
    return raw;
}

ASErr DialogManager::modal(SPPluginRef plugin, const char* name, ASInt32 dialogId, ASInt32 /*style*/,
                           ADMDialogInitProc initProc, void* userData, ASInt32* result) {
    auto dialog = std::make_unique<Dialog>();
    dialog->name = name ? name : "";
    dialog->resourceId = dialogId;
    dialog->plugin = plugin;
    dialog->userData = userData;
    dialog->caption = dialog->name;

    if (auto bundle = bundleOf(plugin)) {
        std::string error;
        auto t = readDialogTemplate(*bundle, dialogId, &error);
        if (!t && !error.empty()) {
            std::fprintf(stderr, "easel: %s\n", error.c_str());
            return kBadParameterErr;
        }
        if (t) {
            if (!t->caption.empty()) dialog->caption = t->caption;
            dialog->bounds.right = dialog->bounds.left + t->width;
            dialog->bounds.bottom = dialog->bounds.top + t->height;
            for (const auto& ti : t->items) {
                auto kind = itemKindFromName(ti.kind.c_str());
                if (!kind) {
                    std::fprintf(stderr, "easel: dialog template %d: unknown item kind '%s'\n",
                                 static_cast<int>(dialogId), ti.kind.c_str());
                    return kBadParameterErr;
                }
                createItem(*dialog, ti.id, *kind, ti.rect)->text = ti.text;
            }
        }
    }

    DialogDriver* driver = next_ ? next_ : default_;
    next_ = nullptr;

    stack_.push_back(dialog.get());
    ASErr err = initProc ? initProc(dialog->ref()) : kNoErr;
    if (err == kNoErr) {
        if (auto& onShown = hostState().onShown) {
            ShownMessage m{"dialog", dialog->caption, {}};
            for (const auto& it : dialog->items)
                if (it->kind == ItemKind::StaticText && !it->text.empty()) m.texts.push_back(it->text);
            onShown(m);
        }
        driver->run(*dialog);
        cancelDialog(*dialog);
        if (result) *result = dialog->result;
        if (onClosed) onClosed(snapshot(*dialog));
    }
    stack_.pop_back();
    return err;
}

}  // namespace easel::adm

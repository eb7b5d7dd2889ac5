// A Brivane session in easel for the option dialog tests: the real bundle,
// loaded and started by easel's loader, with a document and the host's
// dialog manager; and the items every dialog is expected to have.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/brivane/DragFixture.h"
#include "adm/Dialog.h"

namespace dialogtest {

// An option field of Globals, by its place in the block.
struct Field {
    std::size_t offset = 0;
    bool real = false;
    bool none = true;
};

enum class K { Int, Real, Check, Popup, Button };

struct ExpectedItem {
    int tool;  // -1: an item of every dialog
    int32_t id;
    K kind;
    const char* text;  // check boxes, buttons
    Field field;
    double min, max;   // spins (the swatch spins' maximum is the swatch count)
};

// Every tool's own items, in tool order.
const std::vector<ExpectedItem>& OwnItems();
// The items every dialog has besides its labels.
const std::vector<ExpectedItem>& SharedItems();
std::vector<ExpectedItem> ItemsOf(int tool);  // own items, then shared ones

extern const char* const kCaptions[brivane::kToolCount];

easel::adm::ItemKind KindOf(K kind);
const easel::adm::ItemRecord* Find(const easel::adm::DialogRecord& record, int32_t id);

// Drives a dialog with a function of the test.
class FunctionDriver : public easel::adm::DialogDriver {
public:
    explicit FunctionDriver(std::function<void(easel::adm::Dialog&)> f) : f_(std::move(f)) {}
    void run(easel::adm::Dialog& dialog) override {
        ran = true;
        f_(dialog);
    }
    bool ran = false;

private:
    std::function<void(easel::adm::Dialog&)> f_;
};

easel::adm::SetAction Set(int32_t id, double value);
easel::adm::SetAction Set(int32_t id, const char* entryText);

// The drag fixture's session (Brivane loaded, started, unloaded and
// reloaded) with the option dialogs run by the host's dialog manager.
class BrivaneDialogTest : public brivane_test::DragFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Sends "AI Edit Options" for the tool with the driver in charge of its dialog.
    ASErr run(int tool, easel::adm::DialogDriver& driver);
    // Sets items and presses buttons as a script would; the dialog must exist
    // and every action must succeed.
    ASErr script(int tool, std::vector<easel::adm::SetAction> sets, std::vector<std::string> presses);
    // Every item of the tool's dialog, which is then cancelled.
    easel::adm::DialogRecord inspect(int tool);

    // The value of an option field, and writing one.
    double get(const Field& f) const;
    void put(const Field& f, double value);

    BrivaneGlobals* g = nullptr;
};

}  // namespace dialogtest

// The dialog manager's suites: ADM Basic, Dialog, Item, Icon, Tracker, List,
// Entry and Notifier, answered over easel's own dialog manager.
#pragma once

#include <string>

#include "host/ADMSuites.h"
#include "Resources.h"
#include "core/SuiteRegistry.h"

namespace easel {

void registerADMSuites(SuiteRegistry& registry);

namespace adm {

// An icon the Icon suite handed out (GetFromResource). Its type is
// kADMUnknownIconType when the resource was missing or unreadable.
struct Icon {
    ASInt32 type = kADMUnknownIconType;
    Image image;
    std::string source;  // the file it came from
    ADMIconRef ref() { return reinterpret_cast<ADMIconRef>(this); }
};

// The icon behind a handle from GetFromResource, or nullptr.
const Icon* iconOf(ADMIconRef ref);

}  // namespace adm
}  // namespace easel

// A bundle's resources as Win32 resources: a compiled resource file (.res)
// that the linker merges into the plug-in DLL. Layout: docs/bundles.md.
#ifndef RESOURCES_WIN32RESOURCES_H
#define RESOURCES_WIN32RESOURCES_H

#include <string>
#include <vector>

#include "ResourceWriter.h"

namespace resources {

// A DIALOGEX template (RT_DIALOG data) of a dialog template, in dialog units.
// Returns false with a message for an item kind that has no control.
bool DialogExTemplate(const DialogTemplate& dialog, Bytes& out, std::string& error);

// "STR#" data: the entry count (16 bits), then each entry's bytes and a 0.
Bytes StringListData(const std::vector<std::string>& strings);

// One entry of a resource file: type and name are a number or a name.
struct Win32Resource {
    std::string typeName; // empty: typeId
    unsigned typeId;
    unsigned id;
    Bytes data;
};
std::vector<Win32Resource> Win32Resources(const std::string& plugin, std::string& error);

// The whole .res file of a plug-in; false with a message on failure.
bool CompiledResources(const std::string& plugin, Bytes& out, std::string& error);

} // namespace resources

#endif

// A small reader of Windows PE files (DLLs): machine, format, exported
// names, imported DLLs and the resource tree. Enough to check the plug-in
// DLLs without running them.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pe {

using Bytes = std::vector<uint8_t>;

struct ResourceKey {
    std::string type;  // a name ("PIPL") or "#<number>" ("#5")
    unsigned id = 0;
    bool operator<(const ResourceKey& o) const { return type != o.type ? type < o.type : id < o.id; }
};

struct File {
    uint16_t machine = 0;        // 0x14c i386, 0x8664 x86-64
    uint16_t optionalMagic = 0;  // 0x10b PE32, 0x20b PE32+
    bool dll = false;
    std::vector<std::string> exports;
    std::vector<std::string> imports;            // DLL names as written
    std::map<ResourceKey, Bytes> resources;      // every language of an id merged (the plug-ins write one)
};

// nullopt and a message when the bytes are not a PE file this reader follows.
std::optional<File> read(const Bytes& data, std::string& error);

}  // namespace pe

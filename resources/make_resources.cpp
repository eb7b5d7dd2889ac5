// Writes one plug-in's bundle resources:
//   make_resources Brivane|Kestova <bundle folder>   the files of a bundle folder
//   make_resources Brivane|Kestova --res <file.res>  a compiled Win32 resource file
#include "ResourceWriter.h"
#include "Win32Resources.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

bool WriteFile(const std::filesystem::path& path, const resources::Bytes& contents) {
    std::error_code error;
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), error);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(contents.data()), static_cast<std::streamsize>(contents.size()));
    if (!out) {
        std::cerr << "make_resources: cannot write " << path << "\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const bool res = argc == 4 && std::string(argv[2]) == "--res";
    if ((argc != 3 && !res) || (std::string(argv[1]) != "Brivane" && std::string(argv[1]) != "Kestova")) {
        std::cerr << "usage: make_resources Brivane|Kestova <bundle folder>\n"
                     "       make_resources Brivane|Kestova --res <file.res>\n";
        return 2;
    }
    if (res) {
        resources::Bytes data;
        std::string error;
        if (!resources::CompiledResources(argv[1], data, error)) {
            std::cerr << "make_resources: " << error << "\n";
            return 1;
        }
        return WriteFile(argv[3], data) ? 0 : 1;
    }
    const std::filesystem::path bundle = argv[2];
    for (const auto& file : resources::BundleResources(argv[1]))
        if (!WriteFile(bundle / file.path, file.contents)) return 1;
    return 0;
}

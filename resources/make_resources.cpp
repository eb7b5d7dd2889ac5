// Writes one plug-in's bundle resources into its bundle folder:
//   make_resources Brivane|Kestova <bundle folder>
#include "ResourceWriter.h"

#include <filesystem>
#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 3 || (std::string(argv[1]) != "Brivane" && std::string(argv[1]) != "Kestova")) {
        std::cerr << "usage: make_resources Brivane|Kestova <bundle folder>\n";
        return 2;
    }
    const std::filesystem::path bundle = argv[2];
    for (const auto& file : resources::BundleResources(argv[1])) {
        const std::filesystem::path path = bundle / file.path;
        std::error_code error;
        std::filesystem::create_directories(path.parent_path(), error);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.contents.data()), static_cast<std::streamsize>(file.contents.size()));
        if (!out) {
            std::cerr << "make_resources: cannot write " << path << "\n";
            return 1;
        }
    }
    return 0;
}

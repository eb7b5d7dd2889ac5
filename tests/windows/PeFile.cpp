#include "PeFile.h"

#include <algorithm>

namespace pe {

namespace {

struct Image {
    const Bytes& d;
    struct Section {
        uint32_t va, size, raw, rawSize;
    };
    std::vector<Section> sections;
    bool ok = true;

    uint32_t u16(size_t at) {
        if (at + 2 > d.size()) return fail();
        return static_cast<uint32_t>(d[at] | (d[at + 1] << 8));
    }
    uint32_t u32(size_t at) { return u16(at) | (u16(at + 2) << 16); }
    uint32_t fail() {
        ok = false;
        return 0;
    }
    // File offset of a relative virtual address.
    size_t offset(uint32_t rva) {
        for (const Section& s : sections)
            if (rva >= s.va && rva < s.va + std::max(s.size, s.rawSize) && rva - s.va < s.rawSize)
                return s.raw + (rva - s.va);
        fail();
        return d.size();
    }
    std::string text(size_t at) {
        std::string s;
        while (at < d.size() && d[at] != 0) s += static_cast<char>(d[at++]);
        if (at >= d.size()) fail();
        return s;
    }
};

void readResources(Image& img, size_t base, size_t dir, int level, ResourceKey key, File& out) {
    if (level > 2 || !img.ok) return;
    const uint32_t named = img.u16(dir + 12), numbered = img.u16(dir + 14);
    for (uint32_t i = 0; i < named + numbered && img.ok; ++i) {
        const size_t entry = dir + 16 + 8 * i;
        const uint32_t name = img.u32(entry), target = img.u32(entry + 4);
        ResourceKey k = key;
        if (level == 0) {
            if (name & 0x80000000u) {
                const size_t at = base + (name & 0x7FFFFFFFu);
                const uint32_t length = img.u16(at);
                k.type.clear();
                for (uint32_t c = 0; c < length; ++c) k.type += static_cast<char>(img.u16(at + 2 + 2 * c));
            } else {
                k.type = "#" + std::to_string(name);
            }
        } else if (level == 1) {
            k.id = name & 0xFFFFu;
        }
        if (target & 0x80000000u) {
            readResources(img, base, base + (target & 0x7FFFFFFFu), level + 1, k, out);
        } else {
            const size_t data = base + target;
            const size_t at = img.offset(img.u32(data));
            const uint32_t size = img.u32(data + 4);
            if (!img.ok || at + size > img.d.size()) return static_cast<void>(img.fail());
            out.resources[k] = Bytes(img.d.begin() + static_cast<std::ptrdiff_t>(at),
                                     img.d.begin() + static_cast<std::ptrdiff_t>(at + size));
        }
    }
}

}  // namespace

std::optional<File> read(const Bytes& data, std::string& error) {
    Image img{data, {}};
    File out;
    if (data.size() < 0x40 || data[0] != 'M' || data[1] != 'Z') {
        error = "no MZ header";
        return std::nullopt;
    }
    const size_t pe = img.u32(0x3C);
    if (img.u32(pe) != 0x00004550u) {
        error = "no PE signature";
        return std::nullopt;
    }
    const size_t coff = pe + 4;
    out.machine = static_cast<uint16_t>(img.u16(coff));
    const uint32_t sectionCount = img.u16(coff + 2);
    const uint32_t optionalSize = img.u16(coff + 16);
    out.dll = (img.u16(coff + 18) & 0x2000u) != 0;
    const size_t optional = coff + 20;
    out.optionalMagic = static_cast<uint16_t>(img.u16(optional));
    const size_t directories = optional + (out.optionalMagic == 0x20b ? 112 : 96);
    const size_t sectionTable = optional + optionalSize;
    for (uint32_t i = 0; i < sectionCount; ++i) {
        const size_t s = sectionTable + 40 * i;
        img.sections.push_back({img.u32(s + 12), img.u32(s + 8), img.u32(s + 20), img.u32(s + 16)});
    }
    auto directory = [&](int index) { return img.u32(directories + 8 * static_cast<size_t>(index)); };
    if (const uint32_t exportRva = directory(0); exportRva != 0) {
        const size_t e = img.offset(exportRva);
        const uint32_t names = img.u32(e + 24);
        const size_t nameTable = img.offset(img.u32(e + 32));
        for (uint32_t i = 0; i < names && img.ok; ++i) out.exports.push_back(img.text(img.offset(img.u32(nameTable + 4 * i))));
    }
    if (const uint32_t importRva = directory(1); importRva != 0) {
        for (size_t d = img.offset(importRva); img.ok; d += 20) {
            const uint32_t name = img.u32(d + 12);
            if (name == 0) break;
            out.imports.push_back(img.text(img.offset(name)));
        }
    }
    if (const uint32_t resourceRva = directory(2); resourceRva != 0) {
        const size_t base = img.offset(resourceRva);
        readResources(img, base, base, 0, {}, out);
    }
    if (!img.ok) {
        error = "the PE structures run past the end of the file";
        return std::nullopt;
    }
    return out;
}

}  // namespace pe

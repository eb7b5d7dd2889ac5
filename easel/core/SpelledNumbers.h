// The spellings of recently written floats, found by their bits. Documents
// repeat their numbers (copies in a grid share coordinates, colours and
// widths), so a writer spells each once while it stays in the table.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace easel {

class SpelledNumbers {
public:
    static constexpr size_t kLongest = 40;  // what a spelling may take

    // The text of `v`: `spell(v, buf)` writes it into buf (kLongest
    // characters at most) and returns its end. Valid until the next call.
    template <class Spell>
    std::string_view get(float v, Spell&& spell) {
        const uint32_t bits = std::bit_cast<uint32_t>(v);
        Entry& e = entries_[(bits * 0x9E3779B1u) >> (32 - kBits)];
        if (e.size == 0 || e.bits != bits) {
            const size_t n = static_cast<size_t>(spell(v, spare_) - spare_);
            if (n > sizeof e.text) return std::string_view(spare_, n);
            e.bits = bits;
            e.size = static_cast<uint8_t>(n);
            std::memcpy(e.text, spare_, n);
        }
        return std::string_view(e.text, e.size);
    }

private:
    static constexpr unsigned kBits = 12;
    struct Entry {
        uint32_t bits = 0;
        uint8_t size = 0;  // 0: empty (no spelling is empty)
        char text[27];     // a float's spelling mostly takes at most 24
    };
    std::vector<Entry> entries_ = std::vector<Entry>(size_t{1} << kBits);
    char spare_[kLongest];
};

}  // namespace easel

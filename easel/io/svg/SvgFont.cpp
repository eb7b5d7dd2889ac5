#include "SvgFont.h"

#include <array>
#include <string>

#include "SvgGeometry.h"

namespace easel::svg {

namespace {

bool oneOf(const std::string& word, std::initializer_list<const char*> words) {
    for (const char* w : words)
        if (word == w) return true;
    return false;
}

bool isFontSize(const std::string& word) {
    if (oneOf(word, {"xx-small", "x-small", "small", "medium", "large", "x-large", "xx-large", "xxx-large", "larger",
                     "smaller"}))
        return true;
    Length l;
    return parseLength(word, l) && l.value >= 0 && (l.value == 0 || !l.unit.empty());
}

// 100, 200, ... 900.
bool isNumericWeight(const std::string& word) {
    return word.size() == 3 && word[0] >= '1' && word[0] <= '9' && word.compare(1, 2, "00") == 0;
}

// The next word of `s` from `i`: up to white space or, for the size, a "/".
std::string_view nextWord(std::string_view s, size_t& i) {
    while (i < s.size() && isWsp(s[i])) ++i;
    const size_t start = i;
    while (i < s.size() && !isWsp(s[i]) && s[i] != '/') ++i;
    return s.substr(start, i - start);
}

}  // namespace

bool expandFontShorthand(std::string_view value, Declarations& out) {
    value = trim(value);
    // The four optional properties before the size, in their order here.
    std::array<std::string, 4> set;  // style, variant, weight, stretch
    size_t i = 0;
    std::string size;
    for (int words = 0; words <= 4; ++words) {
        const std::string word = lower(nextWord(value, i));
        if (word.empty()) return false;
        if (isFontSize(word)) {
            size = word;
            break;
        }
        if (words == 4) return false;
        size_t slot = 4;
        if (word == "normal") continue;
        if (oneOf(word, {"italic", "oblique"})) slot = 0;
        else if (word == "small-caps") slot = 1;
        else if (oneOf(word, {"bold", "bolder", "lighter"}) || isNumericWeight(word)) slot = 2;
        else if (oneOf(word, {"ultra-condensed", "extra-condensed", "condensed", "semi-condensed", "semi-expanded",
                              "expanded", "extra-expanded", "ultra-expanded"}))
            slot = 3;
        if (slot == 4 || !set[slot].empty()) return false;
        set[slot] = word;
    }
    if (size.empty()) return false;
    std::string lineHeight;
    while (i < value.size() && isWsp(value[i])) ++i;
    if (i < value.size() && value[i] == '/') {
        ++i;
        lineHeight = std::string(nextWord(value, i));
        if (lineHeight.empty()) return false;
    }
    const std::string_view family = trim(value.substr(i));
    if (family.empty()) return false;
    static const char* const kNames[] = {"font-style", "font-variant", "font-weight", "font-stretch"};
    for (size_t k = 0; k < set.size(); ++k) out.emplace_back(kNames[k], set[k].empty() ? "normal" : set[k]);
    out.emplace_back("font-size", size);
    out.emplace_back("font-family", std::string(family));
    if (!lineHeight.empty()) out.emplace_back("line-height", lineHeight);
    return true;
}

}  // namespace easel::svg

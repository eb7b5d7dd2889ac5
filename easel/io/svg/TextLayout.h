// The lines of text art as every picture sets them: where each line breaks
// (at '\n', and in area text before the word that would pass the box's
// width) and where each line's anchor point lies. The SVG writer (and so
// `easel render` and the PDF) and the studio's page both set the lines given
// here, so they break and align text alike; only the glyphs are each
// renderer's own. Widths are measured with cairo through fontconfig, the
// fonts librsvg draws with.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace easel {

class Art;

constexpr double kDefaultLineSpacing = 1.2;
// The family of text that names none: what librsvg (easel render, the PNG
// and PDF exports) sets it in, so that it is measured as it is drawn.
constexpr const char* kUnnamedTextFamily = "Times New Roman";

// How text art is set: its font, from the SVG attributes it keeps
// (font-family, font-weight, font-style, text-anchor, letter-spacing), and
// its frame, from its "box" and "lineSpacing" members.
struct TextFont {
    std::string family = kUnnamedTextFamily;  // the first family of the CSS list, unquoted
    bool bold = false;
    bool italic = false;
    int anchor = 0;            // 0 start, 1 middle, 2 end
    double letterSpacing = 0;  // added after each character, in the text's units
    // Area text wraps its lines to a box this wide and high, hanging from the
    // origin (its top left); 0 wide is point text, whose lines break only at
    // '\n' and whose origin is its first baseline's start.
    double boxWidth = 0, boxHeight = 0;
    double lineSpacing = kDefaultLineSpacing;  // between baselines, in font sizes
    bool area() const { return boxWidth > 0; }
};
TextFont textFontOf(const Art& text);
// The font from the attribute values (empty: not given).
TextFont textFontFrom(const std::string& family, const std::string& weight, const std::string& style,
                      const std::string& anchor, const std::string& spacing, double fontSize);

struct TextLine {
    size_t begin = 0, end = 0;  // the line's bytes of the text (a break's spaces left out)
    double x = 0, y = 0;        // its anchor point in the text's space, vertical axis down
};

// Whether the text is set line by line: area text, or text holding a '\n'.
// Other text is one line at the origin, as it always was.
bool hasTextLines(const std::string& text, const TextFont& font);
// The lines of text art: point text's first baseline is the origin and each
// line is a line spacing below the one before; area text's box hangs from
// the origin, its first baseline where a CSS line box of that height puts it
// (half the leading and the ascent down), and its lines are anchored at the
// box's left, centre or right.
std::vector<TextLine> layoutText(const std::string& text, double fontSize, const TextFont& font);

// The family fontconfig gives for a family name ("sans-serif" is
// "DejaVu Sans" on most machines): what the renderer draws it with. The
// name itself when fontconfig has no answer.
std::string matchedFamily(const std::string& family);

// The families fontconfig knows, sorted, each once.
std::vector<std::string> fontFamilies();

}  // namespace easel

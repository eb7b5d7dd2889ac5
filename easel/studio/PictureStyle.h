// How the page paints a shape, as the JSON text of its style entry: colours,
// gradients and, for text, the characters and the font. The text is the key
// the picture shares styles by, so equal looks are sent once.
#pragma once

#include <string>
#include <unordered_map>

#include "host/ASTypes.h"

namespace easel {
class Art;
class Document;
}

namespace easel::studio {

// Numbers for the page: `decimals` (2 or 3) places, written from integers.
void pictureNumber(std::string& out, float v, int decimals = 2);

// The font of text art as the page sets it: a CSS font, the anchor and the
// letter spacing, from what the file the text came from said.
struct TextLook {
    std::string weight;   // the font's style and weight: "italic 700"
    std::string family;   // "Serif", "'Noto Sans', sans-serif"
    std::string anchor;   // "start", "center" or "end"
    std::string spacing;  // "" or a CSS length such as "2px"
    // The spans an SVG file placed the text in (their markup, as the SVG
    // export writes them back), the text they hold and the text's x, y in
    // the file; empty markup when the text has none.
    std::string spans, spansText;
    double originX = 0, originY = 0;
};

// The arrowheads of path art as the page draws them, a member of its style:
// "ar":[[name, h, v, dh, dv], ...] (the point in the path's own coordinates
// and the direction the head points); "" when it has none.
std::string arrowsKey(const Art& path);

class PictureStyles {
public:
    explicit PictureStyles(const Document& doc) : doc_(doc) {}
    // The look of text art (its characters are added by styleKey).
    const TextLook& textLook(const Art& text);
    // {"f": fill, "s": stroke, "w": width, "eo": even-odd, "fg"/"sg": the
    // fill's and stroke's gradient, "t": {"s": characters, "font", "a", "ls",
    // "sp": spans' markup, "o": the text's x, y in the file, and the members
    // of textLines}}.
    // A null style is the grey outline of art drawn as its box.
    // `lines`: the members textLines gives.
    std::string styleKey(const AIPathStyle* st, const std::string* text = nullptr, const TextLook* look = nullptr,
                         float fontSize = 12, const std::string* lines = nullptr);
    // The members of a text's style entry that say how it is set: "lh" its
    // line spacing (when not 1.2), "bx" area text's box [width, height], and
    // "ln" the lines of text set line by line as the SVG writer sets them
    // (TextLayout.h): [[characters, x, y], ...] in the text's space, y down.
    // "" when none applies.
    static std::string textLines(const Art& text);

private:
    void gradient(std::string& key, const char* name, const AIColor& c);
    const Document& doc_;
    std::unordered_map<const std::string*, TextLook> looks_;  // by the art's kept attributes
};

}  // namespace easel::studio

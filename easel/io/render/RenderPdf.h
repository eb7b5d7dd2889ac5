// Documents as PDF for print, drawn through cairo's PDF surface.
#pragma once

#include <string>

namespace easel {

class Document;

// The document as PDF file contents: one page of the document's size in
// points, drawn from its SVG as `easel render` draws the PNG, in vectors:
// paths stay paths, text stays text (its fonts embedded), gradients stay
// gradients. Colours are the RGB the renderer shows (CMYK converted as on
// screen). false and a message when it cannot be drawn.
bool renderPdf(const Document& doc, std::string& pdf, std::string& error);

}  // namespace easel

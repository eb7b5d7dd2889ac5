// Document files: the lossless JSON format ("format": "easel-document").
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "model/Document.h"

namespace easel {

// Members of art easel keeps unread (those of other versions, `svg`,
// `svgKept`, ..., and what SVG import keeps as JSON) nest at most this deep.
// They are written with the art, possibly deeper in the file than where they
// were read (after grouping), and art at the deepest nesting with them still
// fits the depth every JSON reader takes (kMaxJsonDepth).
constexpr int kMaxKeptDepth = 256;

// false and a message naming the place (for example
// "layers[0].art[3].segments[2]: expected 7 numbers") on malformed input;
// never throws. The document read has an empty undo history. A file as
// easel writes it is read a layer's art object at a time (Streamed), so a
// large one never has its whole parse in memory; Whole parses it at once.
// Both give the same document, or the same error.
enum class JsonReading { Streamed, Whole };
bool readDocumentJson(std::string_view text, std::unique_ptr<Document>& out, std::string& error,
                      JsonReading how = JsonReading::Streamed);

// Pretty printed, fields in a fixed order; pending matrices applied.
std::string writeDocumentJson(const Document& doc);
// The same text handed to `sink` in pieces of about 64 KB, so that a large
// document is never held twice in memory.
using DocumentJsonSink = std::function<void(std::string_view)>;
void writeDocumentJson(const Document& doc, const DocumentJsonSink& sink);

}  // namespace easel

// Document files: the lossless JSON format ("format": "easel-document").
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "Document.h"

namespace easel {

// false and a message naming the place (for example
// "layers[0].art[3].segments[2]: expected 7 numbers") on malformed input;
// never throws. The document read has an empty undo history.
bool readDocumentJson(const std::string& text, std::unique_ptr<Document>& out, std::string& error);

// Pretty printed, fields in a fixed order; pending matrices applied.
std::string writeDocumentJson(const Document& doc);
// The same text handed to `sink` in pieces of about 64 KB, so that a large
// document is never held twice in memory.
using DocumentJsonSink = std::function<void(std::string_view)>;
void writeDocumentJson(const Document& doc, const DocumentJsonSink& sink);

}  // namespace easel

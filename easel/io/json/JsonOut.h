// Pieces of the document file's text: numbers and strings written exactly as
// the file has always spelled them.
#pragma once

#include <string>
#include <string_view>

namespace easel {

// A model number as the document file writes it: 0 for zero, an integer when
// it is one (below 9e15), otherwise the shortest decimal that reads back as
// the same float, spelled as nlohmann::json spells that value as a double
// (so "0.0001", "1.5e-05", "1e+20"); "null" when not finite. Returns the end
// of the text written into `buf` (at least 32 characters).
char* formatJsonNumber(float v, char* buf);

// A JSON string literal: quotes, the escapes \" \\ \b \f \n \r \t, other
// control characters as \u00xx, everything else as UTF-8. Bytes that are not
// UTF-8 are written as U+FFFD.
void appendJsonString(std::string& out, std::string_view s);

}  // namespace easel

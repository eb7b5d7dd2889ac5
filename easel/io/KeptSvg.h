// The SVG material documents keep (docs/formats.md): which members hold it
// and their types. Checked where a document is read, so that a member of
// the wrong type is refused with its name, and again by the SVG reader and
// writer, which may meet kept material that did not come through the
// document reader (an SVG file's data-easel-extra).
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace easel {

// What holds the member: the document, a layer, or art (its extra members).
enum class KeptSvgOwner { Document, Layer, Art };

// Why the member `key` is refused, read through the typed accessors of
// easel/core/Input.h: the path of its first part of the wrong type from the
// owner and what that must be ("svgText.text must be a string, found 5");
// none when it has its types, or `key` is no kept SVG member.
std::optional<std::string> keptSvgTypeError(KeptSvgOwner owner, std::string_view key,
                                            const nlohmann::ordered_json& value);

// The attributes easel writes of its own ("data-easel-..."): read for what
// they say, never kept as another program's, and so never written as kept.
inline bool easelOwnAttribute(std::string_view name) { return name.starts_with("data-easel-"); }

// Leaves out of an owner's members (a JSON object) every kept SVG member of
// the wrong type; true when it left one out.
bool dropMistypedKeptSvg(KeptSvgOwner owner, nlohmann::ordered_json& members);

}  // namespace easel

// Values from outside easel (studio commands, script steps, edit arguments,
// journals) read through typed accessors: a value of the wrong kind or out
// of range is an InputError whose message names the member and what was
// expected, so no caller reads a member unchecked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "host/ASTypes.h"

namespace easel {

using InputJson = nlohmann::ordered_json;

// Refused input; what() says what is wrong and what is expected.
class InputError : public std::runtime_error {
public:
    explicit InputError(const std::string& message) : std::runtime_error(message) {}
};
[[noreturn]] void refuseInput(const std::string& message);

// Coordinates past this are off any page: refused, so nothing huge or
// non-finite is ever stored.
constexpr double kMaxCoordinate = 1e7;

// Deepest nesting of arrays and objects easel parses from outside. Every
// walk over parsed values may recurse this deep; documents nest art at most
// 64 levels, which takes well under this.
constexpr int kMaxJsonDepth = 512;

// The largest file easel reads (a document, an SVG file, a script): a
// larger one is refused before any of it is read, so no file exhausts the
// memory by its size alone.
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{256} << 20;

// The text of a file from outside; refused (InputError naming the limit; the
// caller names the file) when it cannot be read or is larger than kMaxFileBytes.
std::string readInputFile(const std::filesystem::path& path);

// A seed written as text (the command line's --seed): a whole number from
// INT32_MIN to INT32_MAX, digits with an optional minus sign and nothing
// else; refused naming `where`.
int32_t seedOf(std::string_view text, const std::string& where);

// The deepest nesting of arrays and objects in a JSON text, counted without
// recursion; stops counting once past `limit`.
int jsonTextDepth(std::string_view text, int limit = kMaxJsonDepth);

// Parses a JSON text from outside: refused (InputError naming `what`) when
// it is not valid JSON or nests deeper than kMaxJsonDepth.
InputJson parseInput(std::string_view text, const std::string& what);

// A value as a message shows it: its JSON text, cut short when long.
std::string showInput(const InputJson& j);

// Typed access to the members of one JSON object.
class Input {
public:
    explicit Input(const InputJson& j) : j_(j) {}
    bool has(const char* key) const { return j_.is_object() && j_.contains(key); }
    const InputJson& raw(const char* key) const;
    // A number from lo to hi; refused outside (the message names the range).
    double number(const char* key, double lo, double hi, std::optional<double> fallback = std::nullopt) const;
    int integer(const char* key, int lo, int hi, std::optional<int> fallback = std::nullopt) const;
    bool flag(const char* key, bool fallback) const;
    std::string text(const char* key, std::optional<std::string> fallback = std::nullopt) const;
    // One of the given words.
    std::string word(const char* key, std::initializer_list<const char*> words,
                     std::optional<std::string> fallback = std::nullopt) const;
    AIRealPoint point(const char* key, std::optional<AIRealPoint> fallback = std::nullopt) const;
    // A list (JSON array) member; its items are read with the ...Of checks.
    const InputJson& list(const char* key) const;

    // The same checks on any value; `where` names it in messages.
    static AIRealPoint pointOf(const InputJson& j, const std::string& where);
    static double numberOf(const InputJson& j, const std::string& where, double lo, double hi);
    static int integerOf(const InputJson& j, const std::string& where, int lo, int hi);
    // A whole number past the range of int (art ids).
    static int64_t wholeOf(const InputJson& j, const std::string& where, int64_t lo, int64_t hi);
    static std::string textOf(const InputJson& j, const std::string& where);
    // An art id: a whole number from 0 to 2^53 (what a double holds exactly).
    static int64_t idOf(const InputJson& j, const std::string& where);

private:
    const InputJson& j_;
};

}  // namespace easel

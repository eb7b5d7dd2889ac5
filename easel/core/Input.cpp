#include "Input.h"

#include <cmath>
#include <fstream>
#include <sstream>

namespace easel {

void refuseInput(const std::string& message) { throw InputError(message); }

std::string showInput(const InputJson& j) {
    std::string s = j.dump(-1, ' ', false, InputJson::error_handler_t::replace);
    if (s.size() > 60) s = s.substr(0, 57) + "...";
    return s;
}

namespace {

std::string show(double v) {
    std::ostringstream s;
    s << v;
    return s.str();
}

std::string found(const InputJson& j) { return showInput(j); }

std::string quoted(const char* key) { return std::string("\"") + key + "\""; }

}  // namespace

int jsonTextDepth(std::string_view text, int limit) {
    int depth = 0, most = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            most = std::max(most, ++depth);
            if (most > limit) return most;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return most;
}

std::string readInputFile(const std::filesystem::path& path) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxFileBytes)
        refuseInput("the file has " + std::to_string(size) + " bytes, more than " +
                    std::to_string(kMaxFileBytes) + " (the limit of a file easel reads)");
    std::ifstream in(path, std::ios::binary);
    if (!in) refuseInput("cannot open the file");
    std::string text;
    if (!ec) text.reserve(static_cast<size_t>(size));
    // A file whose size is not known beforehand (a pipe) is read up to the limit.
    char piece[1 << 16];
    while (in.read(piece, sizeof piece) || in.gcount() > 0) {
        text.append(piece, static_cast<size_t>(in.gcount()));
        if (text.size() > kMaxFileBytes)
            refuseInput("the file has more than " + std::to_string(kMaxFileBytes) +
                        " bytes (the limit of a file easel reads)");
    }
    if (in.bad()) refuseInput("cannot read the file to its end");
    return text;
}

int32_t seedOf(std::string_view text, const std::string& where) {
    const size_t digits = text.size() - (!text.empty() && text[0] == '-' ? 1 : 0);
    const bool wellFormed = digits > 0 && digits <= 10 &&
                            text.find_first_not_of("0123456789", text.size() - digits) == std::string_view::npos;
    const long long v = wellFormed ? std::stoll(std::string(text)) : 0;
    if (!wellFormed || v < INT32_MIN || v > INT32_MAX)
        refuseInput(where + " must be a whole number from " + std::to_string(INT32_MIN) + " to " +
                    std::to_string(INT32_MAX) + " (digits only), found \"" + std::string(text) + "\"");
    return static_cast<int32_t>(v);
}

InputJson parseInput(std::string_view text, const std::string& what) {
    if (jsonTextDepth(text) > kMaxJsonDepth)
        refuseInput(what + ": nested deeper than " + std::to_string(kMaxJsonDepth) + " levels");
    try {
        return InputJson::parse(text);
    } catch (const InputJson::exception& e) {  // also a number past the range of a double
        refuseInput(what + ": not valid JSON: " + e.what());
    }
}

const InputJson& Input::raw(const char* key) const {
    if (!j_.is_object()) refuseInput("expected an object, found " + found(j_));
    const auto it = j_.find(key);
    if (it == j_.end()) refuseInput("missing " + quoted(key));
    return *it;
}

double Input::numberOf(const InputJson& j, const std::string& where, double lo, double hi) {
    if (!j.is_number()) refuseInput(where + " must be a number, found " + found(j));
    const double v = j.get<double>();
    if (!std::isfinite(v) || v < lo || v > hi)
        refuseInput(where + " must be from " + show(lo) + " to " + show(hi) + ", found " + found(j));
    return v;
}

int Input::integerOf(const InputJson& j, const std::string& where, int lo, int hi) {
    const double v = numberOf(j, where, lo, hi);
    if (v != std::floor(v)) refuseInput(where + " must be a whole number, found " + show(v));
    return static_cast<int>(v);
}

int64_t Input::wholeOf(const InputJson& j, const std::string& where, int64_t lo, int64_t hi) {
    const double v = numberOf(j, where, static_cast<double>(lo), static_cast<double>(hi));
    if (v != std::floor(v)) refuseInput(where + " must be a whole number, found " + show(v));
    return static_cast<int64_t>(v);
}

std::string Input::textOf(const InputJson& j, const std::string& where) {
    if (!j.is_string()) refuseInput(where + " must be a string, found " + found(j));
    return j.get<std::string>();
}

int64_t Input::idOf(const InputJson& j, const std::string& where) {
    constexpr double kMostId = 9007199254740992.0;
    if (!j.is_number()) refuseInput(where + " must be an art id (a whole number), found " + found(j));
    const double v = numberOf(j, where, 0, kMostId);
    if (v != std::floor(v)) refuseInput(where + " must be an art id (a whole number), found " + found(j));
    return static_cast<int64_t>(v);
}

const InputJson& Input::list(const char* key) const {
    const InputJson& j = raw(key);
    if (!j.is_array()) refuseInput(quoted(key) + " must be a list [...], found " + found(j));
    return j;
}

double Input::number(const char* key, double lo, double hi, std::optional<double> fallback) const {
    if (!has(key) && fallback) return *fallback;
    return numberOf(raw(key), quoted(key), lo, hi);
}

int Input::integer(const char* key, int lo, int hi, std::optional<int> fallback) const {
    if (!has(key) && fallback) return *fallback;
    return integerOf(raw(key), quoted(key), lo, hi);
}

bool Input::flag(const char* key, bool fallback) const {
    if (!has(key)) return fallback;
    const InputJson& j = raw(key);
    if (!j.is_boolean()) refuseInput(quoted(key) + " must be true or false, found " + found(j));
    return j.get<bool>();
}

std::string Input::text(const char* key, std::optional<std::string> fallback) const {
    if (!has(key) && fallback) return *fallback;
    return textOf(raw(key), quoted(key));
}

std::string Input::word(const char* key, std::initializer_list<const char*> words,
                        std::optional<std::string> fallback) const {
    const std::string w = text(key, fallback);
    std::string list;
    for (const char* x : words) {
        if (w == x) return w;
        list += std::string(list.empty() ? "" : ", ") + x;
    }
    refuseInput(quoted(key) + " must be one of " + list + ", found \"" + w + "\"");
}

AIRealPoint Input::pointOf(const InputJson& j, const std::string& where) {
    if (!j.is_array() || j.size() != 2) refuseInput(where + " must be a point [h, v], found " + found(j));
    return AIRealPoint{static_cast<float>(numberOf(j[0], where + "[0]", -kMaxCoordinate, kMaxCoordinate)),
                       static_cast<float>(numberOf(j[1], where + "[1]", -kMaxCoordinate, kMaxCoordinate))};
}

AIRealPoint Input::point(const char* key, std::optional<AIRealPoint> fallback) const {
    if (!has(key) && fallback) return *fallback;
    return pointOf(raw(key), quoted(key));
}

}  // namespace easel

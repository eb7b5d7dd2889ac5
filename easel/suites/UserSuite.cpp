// AI User: conversions between reals and length-prefixed strings (byte 0
// holds the length, at most 255 characters follow).
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "SuiteSupport.h"
#include "SuiteTables.h"

namespace easel {
namespace {

constexpr int kMaxPrecision = 10;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

ASErr stringToReal(const unsigned char* pstring, AIReal* value) {
    if (pstring == nullptr || value == nullptr) return kBadParameterErr;
    const char* begin = reinterpret_cast<const char*>(pstring + 1);
    const char* end = begin + pstring[0];
    while (begin < end && isBlank(*begin)) ++begin;
    while (end > begin && isBlank(end[-1])) --end;
    if (begin < end && *begin == '+') ++begin;  // from_chars takes no plus sign
    float parsed = 0.0f;
    auto [rest, ec] = std::from_chars(begin, end, parsed, std::chars_format::general);
    if (ec != std::errc() || rest != end || begin == end || !std::isfinite(parsed))
        return kBadParameterErr;
    *value = parsed;
    return kNoErr;
}

ASErr realToString(AIReal value, ASInt16 precision, unsigned char* pstring) {
    if (pstring == nullptr || !finite(value) || precision < 0) return kBadParameterErr;
    const int digits = precision > kMaxPrecision ? kMaxPrecision : precision;
    // Halves round away from zero (2.5 -> "3"), whatever the C library's rounding.
    const double scale = std::pow(10.0, digits);
    const double rounded = std::round(static_cast<double>(value) * scale) / scale;
    char text[64];
    int n = std::snprintf(text, sizeof text, "%.*f", digits, rounded);
    if (n <= 0 || n >= static_cast<int>(sizeof text)) return kBadParameterErr;
    std::string s(text, static_cast<size_t>(n));
    // A value that rounds to zero is written without a sign ("-0.00" -> "0.00").
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    pstring[0] = static_cast<unsigned char>(s.size());
    std::memcpy(pstring + 1, s.data(), s.size());
    return kNoErr;
}

const AIUserSuite kSuite = {stringToReal, realToString};

}  // namespace

const AIUserSuite* suites::userSuite() { return &kSuite; }

}  // namespace easel

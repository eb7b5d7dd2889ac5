#include "JsonOut.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <nlohmann/json.hpp>

namespace easel {

namespace {

// Writes digits[0..k) x 10^exp the way nlohmann::json lays out a double's
// digits (plain between 1e-4 and 1e15, otherwise d.ddde+XX).
char* layOut(char* p, const char* digits, int k, int exp) {
    constexpr int kMinExp = -4, kMaxExp = 15;
    const int n = k + exp;
    if (k <= n && n <= kMaxExp) {
        std::memcpy(p, digits, static_cast<size_t>(k));
        p += k;
        std::memset(p, '0', static_cast<size_t>(n - k));
        p += n - k;
        *p++ = '.';
        *p++ = '0';
        return p;
    }
    if (0 < n && n <= kMaxExp) {
        std::memcpy(p, digits, static_cast<size_t>(n));
        p += n;
        *p++ = '.';
        std::memcpy(p, digits + n, static_cast<size_t>(k - n));
        return p + (k - n);
    }
    if (kMinExp < n && n <= 0) {
        *p++ = '0';
        *p++ = '.';
        std::memset(p, '0', static_cast<size_t>(-n));
        p += -n;
        std::memcpy(p, digits, static_cast<size_t>(k));
        return p + k;
    }
    *p++ = digits[0];
    if (k > 1) {
        *p++ = '.';
        std::memcpy(p, digits + 1, static_cast<size_t>(k - 1));
        p += k - 1;
    }
    *p++ = 'e';
    int e = n - 1;
    *p++ = e < 0 ? '-' : '+';
    if (e < 0) e = -e;
    if (e >= 100) {
        *p++ = static_cast<char>('0' + e / 100);
        e %= 100;
        *p++ = static_cast<char>('0' + e / 10);
    } else {
        *p++ = static_cast<char>('0' + e / 10);
    }
    *p++ = static_cast<char>('0' + e % 10);
    return p;
}

// Whether the shortest decimal of a float, digits x 10^exp, lies well inside
// the interval of the double nearest to it. nlohmann's Grisu2 then writes
// exactly these digits for that double; near the interval's edge it may
// write a longer form, which the caller then asks nlohmann for.
bool wellInside(uint64_t digits, int exp) {
    static const auto powers = [] {
        std::array<long double, 28> p{};
        p[0] = 1;
        for (size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * 10;  // exact up to 10^27
        return p;
    }();
    if (exp < -27 || exp > 27) return false;
    const auto d = static_cast<long double>(digits);
    // Both exact operands: one rounding, relative error below 2^-64.
    const long double value = exp >= 0 ? d * powers[static_cast<size_t>(exp)] : d / powers[static_cast<size_t>(-exp)];
    const auto nearest = static_cast<double>(value);
    int e2 = 0;
    const double m = std::frexp(nearest, &e2);
    if (m == 0.5) return false;  // a power of two: its interval is lopsided
    const long double half = std::ldexp(1.0L, e2 - 54);
    return std::fabs(value - static_cast<long double>(nearest)) < half * (63.0L / 64.0L);
}

}  // namespace

char* formatJsonNumber(float v, char* buf) {
    char* p = buf;
    if (v == 0) {
        *p++ = '0';
        return p;
    }
    if (!std::isfinite(v)) {
        std::memcpy(p, "null", 4);
        return p + 4;
    }
    if (std::abs(v) < 9.0e15f && std::floor(v) == v) return std::to_chars(p, p + 24, static_cast<int64_t>(v)).ptr;
    char sci[32];
    const auto r = std::to_chars(sci, sci + sizeof sci, v, std::chars_format::scientific);
    // [-]d[.ddd]e[+-]xx
    const char* s = sci;
    if (*s == '-') {
        *p++ = '-';
        ++s;
    }
    char digits[16];
    int k = 0;
    uint64_t whole = 0;
    for (; *s != 'e'; ++s) {
        if (*s == '.') continue;
        digits[k++] = *s;
        whole = whole * 10 + static_cast<uint64_t>(*s - '0');
    }
    int exp = 0;
    std::from_chars(s + 1 + (s[1] == '+'), r.ptr, exp);
    while (k > 1 && digits[k - 1] == '0') {  // never for a shortest form, kept for safety
        --k;
        whole /= 10;
        ++exp;
    }
    exp -= k - 1;
    if (wellInside(whole, exp)) return layOut(p, digits, k, exp);
    double d = 0;
    std::from_chars(sci, r.ptr, d);
    return nlohmann::detail::to_chars(buf, buf + 32, d);
}

void appendJsonString(std::string& out, std::string_view s) {
    static const char* const kHex = "0123456789abcdef";
    out += '"';
    const auto* b = reinterpret_cast<const unsigned char*>(s.data());
    const size_t n = s.size();
    size_t run = 0;  // start of the bytes not yet copied
    auto flush = [&](size_t i) { out.append(s.data() + run, i - run); };
    for (size_t i = 0; i < n;) {
        const unsigned char c = b[i];
        if (c >= 0x20 && c != '"' && c != '\\' && c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0x80) {
            // The length of a well-formed sequence starting here, 0 if none.
            size_t len = 0;
            auto cont = [&](size_t k, unsigned char lo, unsigned char hi) {
                return i + k < n && b[i + k] >= lo && b[i + k] <= hi;
            };
            if (c >= 0xC2 && c <= 0xDF) len = cont(1, 0x80, 0xBF) ? 2 : 0;
            else if (c == 0xE0) len = cont(1, 0xA0, 0xBF) && cont(2, 0x80, 0xBF) ? 3 : 0;
            else if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF)
                len = cont(1, 0x80, 0xBF) && cont(2, 0x80, 0xBF) ? 3 : 0;
            else if (c == 0xED) len = cont(1, 0x80, 0x9F) && cont(2, 0x80, 0xBF) ? 3 : 0;
            else if (c == 0xF0) len = cont(1, 0x90, 0xBF) && cont(2, 0x80, 0xBF) && cont(3, 0x80, 0xBF) ? 4 : 0;
            else if (c >= 0xF1 && c <= 0xF3)
                len = cont(1, 0x80, 0xBF) && cont(2, 0x80, 0xBF) && cont(3, 0x80, 0xBF) ? 4 : 0;
            else if (c == 0xF4) len = cont(1, 0x80, 0x8F) && cont(2, 0x80, 0xBF) && cont(3, 0x80, 0xBF) ? 4 : 0;
            if (len > 0) {
                i += len;
                continue;
            }
            flush(i);
            out += "\xEF\xBF\xBD";
            run = ++i;
            continue;
        }
        flush(i);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                out += "\\u00";
                out += kHex[c >> 4];
                out += kHex[c & 15];
        }
        run = ++i;
    }
    flush(n);
    out += '"';
}

}  // namespace easel

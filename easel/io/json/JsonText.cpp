#include "JsonText.h"

#include <bit>
#include <cerrno>
#include <cmath>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace easel {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }


}  // namespace

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

class JsonText::Parser {
public:
    Parser(JsonText& t, std::string_view text, int maxDepth)
        : t_(t), p_(text.data()), end_(text.data() + text.size()), maxDepth_(maxDepth) {}

    bool run() {
        if (end_ - p_ >= 3 && std::memcmp(p_, "\xEF\xBB\xBF", 3) == 0) p_ += 3;
        skip();
        if (!value(0)) return false;
        skip();
        return p_ == end_;
    }

    // For JsonStream: one value or string where the text starts, and where it ended.
    bool oneValue() { return value(0); }
    bool oneString() { return p_ < end_ && *p_ == '"' && string(); }
    const char* at() const { return p_; }
    void skipSpace() { skip(); }

private:
    // Whitespace; runs of spaces (indentation) eight bytes at a time.
    void skip() {
        while (p_ < end_ && isSpace(*p_)) {
            ++p_;
            while (end_ - p_ >= 8) {
                uint64_t word = 0;
                std::memcpy(&word, p_, sizeof word);
                const uint64_t other = word ^ 0x2020202020202020u;  // zero bytes: spaces
                if (other == 0) {
                    p_ += 8;
                    continue;
                }
                // Little-endian: the lowest non-zero byte is the first non-space.
                if constexpr (std::endian::native == std::endian::little) p_ += std::countr_zero(other) / 8;
                break;
            }
        }
    }
    bool literal(const char* word, size_t n, Kind kind) {
        if (static_cast<size_t>(end_ - p_) < n || std::memcmp(p_, word, n) != 0) return false;
        p_ += n;
        t_.add(kind);
        return true;
    }

    bool value(int depth) {
        if (p_ >= end_) return false;
        switch (*p_) {
            case '{': return object(depth + 1);
            case '[': return array(depth + 1);
            case '"': return string();
            case 't': return literal("true", 4, True);
            case 'f': return literal("false", 5, False);
            case 'n': return literal("null", 4, Null);
            default: return number();
        }
    }

    bool array(int depth) {
        if (depth > maxDepth_) return false;
        const uint32_t me = t_.add(Array);
        ++p_;
        skip();
        uint32_t count = 0;
        if (p_ < end_ && *p_ == ']') {
            ++p_;
        } else {
            for (;;) {
                if (!value(depth)) return false;
                ++count;
                skip();
                if (p_ >= end_) return false;
                if (*p_ == ',') {
                    ++p_;
                    skip();
                    continue;
                }
                if (*p_ != ']') return false;
                ++p_;
                break;
            }
        }
        t_.close(me, count);
        return true;
    }

    bool object(int depth) {
        if (depth > maxDepth_) return false;
        const uint32_t me = t_.add(Object);
        ++p_;
        skip();
        uint32_t count = 0;
        if (p_ < end_ && *p_ == '}') {
            ++p_;
        } else {
            for (;;) {
                if (p_ >= end_ || *p_ != '"' || !string()) return false;
                skip();
                if (p_ >= end_ || *p_ != ':') return false;
                ++p_;
                skip();
                if (!value(depth)) return false;
                ++count;
                skip();
                if (p_ >= end_) return false;
                if (*p_ == ',') {
                    ++p_;
                    skip();
                    continue;
                }
                if (*p_ != '}') return false;
                ++p_;
                break;
            }
        }
        t_.close(me, count);
        return true;
    }

    // Length of the well-formed UTF-8 sequence at p (lead byte >= 0x80), 0 if none.
    size_t utf8(const unsigned char* p) const {
        const auto* e = reinterpret_cast<const unsigned char*>(end_);
        auto in = [&](size_t k, unsigned lo, unsigned hi) { return p + k < e && p[k] >= lo && p[k] <= hi; };
        const unsigned c = p[0];
        if (c >= 0xC2 && c <= 0xDF) return in(1, 0x80, 0xBF) ? 2 : 0;
        if (c == 0xE0) return in(1, 0xA0, 0xBF) && in(2, 0x80, 0xBF) ? 3 : 0;
        if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF) return in(1, 0x80, 0xBF) && in(2, 0x80, 0xBF) ? 3 : 0;
        if (c == 0xED) return in(1, 0x80, 0x9F) && in(2, 0x80, 0xBF) ? 3 : 0;
        if (c == 0xF0) return in(1, 0x90, 0xBF) && in(2, 0x80, 0xBF) && in(3, 0x80, 0xBF) ? 4 : 0;
        if (c >= 0xF1 && c <= 0xF3) return in(1, 0x80, 0xBF) && in(2, 0x80, 0xBF) && in(3, 0x80, 0xBF) ? 4 : 0;
        if (c == 0xF4) return in(1, 0x80, 0x8F) && in(2, 0x80, 0xBF) && in(3, 0x80, 0xBF) ? 4 : 0;
        return 0;
    }

    bool hex4(uint32_t& v) {
        if (end_ - p_ < 4) return false;
        v = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = *p_++;
            v <<= 4;
            if (c >= '0' && c <= '9') v |= static_cast<uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f') v |= static_cast<uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') v |= static_cast<uint32_t>(c - 'A' + 10);
            else return false;
        }
        return true;
    }

    bool string() {
        ++p_;  // the opening quote
        const char* start = p_;
        // Plain run: no escapes.
        while (p_ < end_) {
            const auto c = static_cast<unsigned char>(*p_);
            if (c == '"' || c == '\\' || c < 0x20) break;
            if (c < 0x80) {
                ++p_;
                continue;
            }
            const size_t n = utf8(reinterpret_cast<const unsigned char*>(p_));
            if (n == 0) return false;
            p_ += n;
        }
        if (p_ >= end_ || static_cast<unsigned char>(*p_) < 0x20) return false;
        const uint32_t me = t_.add(String);
        if (*p_ == '"') {
            t_.setString(me, std::string_view(start, static_cast<size_t>(p_ - start)));
            ++p_;
            return true;
        }
        auto own = std::make_unique<std::string>(start, static_cast<size_t>(p_ - start));
        std::string& s = *own;
        while (p_ < end_) {
            const auto c = static_cast<unsigned char>(*p_);
            if (c == '"') {
                ++p_;
                t_.setString(me, s);
                t_.strings_.push_back(std::move(own));
                return true;
            }
            if (c < 0x20) return false;
            if (c >= 0x80) {
                const size_t n = utf8(reinterpret_cast<const unsigned char*>(p_));
                if (n == 0) return false;
                s.append(p_, n);
                p_ += n;
                continue;
            }
            if (c != '\\') {
                s += static_cast<char>(c);
                ++p_;
                continue;
            }
            if (++p_ >= end_) return false;
            switch (*p_++) {
                case '"': s += '"'; break;
                case '\\': s += '\\'; break;
                case '/': s += '/'; break;
                case 'b': s += '\b'; break;
                case 'f': s += '\f'; break;
                case 'n': s += '\n'; break;
                case 'r': s += '\r'; break;
                case 't': s += '\t'; break;
                case 'u': {
                    uint32_t cp = 0;
                    if (!hex4(cp)) return false;
                    if (cp >= 0xDC00 && cp <= 0xDFFF) return false;  // a lone low surrogate
                    if (cp >= 0xD800 && cp <= 0xDBFF) {
                        uint32_t lo = 0;
                        if (end_ - p_ < 2 || p_[0] != '\\' || p_[1] != 'u') return false;
                        p_ += 2;
                        if (!hex4(lo) || lo < 0xDC00 || lo > 0xDFFF) return false;
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                    }
                    appendUtf8(s, cp);
                    break;
                }
                default: return false;
            }
        }
        return false;
    }

    bool number() {
        const char* start = p_;
        bool negative = false;
        if (p_ < end_ && *p_ == '-') {
            negative = true;
            ++p_;
        }
        if (p_ >= end_) return false;
        const char* digits = p_;
        // The digits are gathered as they are checked: up to 19 of them fit
        // `mantissa` exactly.
        uint64_t mantissa = 0;
        if (*p_ == '0') {
            ++p_;
        } else if (*p_ >= '1' && *p_ <= '9') {
            while (p_ < end_ && *p_ >= '0' && *p_ <= '9') mantissa = mantissa * 10 + static_cast<uint64_t>(*p_++ - '0');
        } else {
            return false;
        }
        const auto intDigits = p_ - digits;
        bool integral = true;
        ptrdiff_t fraction = 0;
        if (p_ < end_ && *p_ == '.') {
            integral = false;
            ++p_;
            const char* f = p_;
            if (p_ >= end_ || *p_ < '0' || *p_ > '9') return false;
            while (p_ < end_ && *p_ >= '0' && *p_ <= '9') mantissa = mantissa * 10 + static_cast<uint64_t>(*p_++ - '0');
            fraction = p_ - f;
        }
        int exponent = 0;
        if (p_ < end_ && (*p_ == 'e' || *p_ == 'E')) {
            integral = false;
            ++p_;
            bool down = false;
            if (p_ < end_ && (*p_ == '+' || *p_ == '-')) down = *p_++ == '-';
            if (p_ >= end_ || *p_ < '0' || *p_ > '9') return false;
            while (p_ < end_ && *p_ >= '0' && *p_ <= '9') {
                if (exponent < 100000) exponent = exponent * 10 + (*p_ - '0');
                ++p_;
            }
            if (down) exponent = -exponent;
        }
        const uint32_t me = t_.add(Float);
        Node& node = t_.nodes_[me];
        if (integral && intDigits <= 19) {
            if (!negative) {
                node.kind = Unsigned;
                node.u = mantissa;
                return true;
            }
            if (mantissa <= static_cast<uint64_t>(INT64_MAX) + 1) {
                node.kind = Integer;
                node.i = mantissa == static_cast<uint64_t>(INT64_MAX) + 1 ? INT64_MIN : -static_cast<int64_t>(mantissa);
                return true;
            }
        } else if (integral && !negative && intDigits == 20) {
            // Up to 18446744073709551615 is still an unsigned integer.
            uint64_t u = 0;
            const auto r = std::from_chars(digits, p_, u);
            if (r.ec == std::errc() && r.ptr == p_) {
                node.kind = Unsigned;
                node.u = u;
                return true;
            }
        }
        // A mantissa below 2^53 and a power of ten up to 10^22 are both exact
        // doubles, so one multiplication or division rounds correctly: the
        // value from_chars gives, without its cost.
        constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                     1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
        const auto scale = static_cast<ptrdiff_t>(exponent) - fraction;
        if (intDigits + fraction <= 19 && mantissa <= (uint64_t{1} << 53) && scale >= -22 && scale <= 22) {
            const auto m = static_cast<double>(mantissa);
            const double d = scale < 0 ? m / kPow10[-scale] : m * kPow10[scale];
            node.d = negative ? -d : d;
            return true;
        }
        double d = 0;
        const auto r = std::from_chars(start, p_, d);
        if (r.ec != std::errc() || r.ptr != p_) {
            // Out of range: what strtod gives (infinity, or zero and the
            // smallest subnormals), as nlohmann::json reads it.
            const std::string token(start, p_);
            d = std::strtod(token.c_str(), nullptr);
        }
        if (!std::isfinite(d)) return false;  // refused as an overflow
        t_.nodes_[me].d = d;
        return true;
    }

    JsonText& t_;
    const char* p_;
    const char* end_;
    const int maxDepth_;
};

uint32_t JsonText::add(Kind kind) {
    nodes_.emplace_back();
    nodes_.back().kind = kind;
    const auto i = static_cast<uint32_t>(nodes_.size() - 1);
    if (kind == Array || kind == Object) nodes_.back().end = i + 1;
    return i;
}

void JsonText::setString(uint32_t node, std::string_view s) {
    nodes_[node].s = s.data();
    nodes_[node].count = static_cast<uint32_t>(s.size());
}

void JsonText::setOwnString(uint32_t node, std::string_view s) {
    strings_.push_back(std::make_unique<std::string>(s));
    setString(node, *strings_.back());
}

void JsonText::setNumber(uint32_t node, int64_t i, uint64_t u, double d) {
    Node& n = nodes_[node];
    if (n.kind == Integer) n.i = i;
    else if (n.kind == Unsigned) n.u = u;
    else n.d = d;
}

void JsonText::close(uint32_t node, uint32_t count) {
    nodes_[node].count = count;
    nodes_[node].end = static_cast<uint32_t>(nodes_.size());
}

bool JsonText::parse(std::string_view text, int maxDepth) {
    nodes_.clear();
    strings_.clear();
    // Roughly a node per six bytes of a document file.
    nodes_.reserve(text.size() / 6 + 16);
    if (text.size() >= UINT32_MAX) return false;
    Parser p(*this, text, maxDepth);
    if (!p.run()) {
        nodes_.clear();
        strings_.clear();
        return false;
    }
    return true;
}

JsonStream::JsonStream(std::string_view text) : p_(text.data()), end_(text.data() + text.size()) {
    if (text.size() >= 3 && std::memcmp(p_, "\xEF\xBB\xBF", 3) == 0) p_ += 3;
}

bool JsonStream::take(char c) {
    JsonText::Parser p(key_, std::string_view(p_, static_cast<size_t>(end_ - p_)), 0);
    p.skipSpace();
    p_ = p.at();
    if (p_ >= end_ || *p_ != c) return false;
    ++p_;
    return true;
}

bool JsonStream::key(std::string_view& key) {
    key_.clear();
    JsonText::Parser p(key_, std::string_view(p_, static_cast<size_t>(end_ - p_)), 0);
    p.skipSpace();
    if (!p.oneString()) return false;
    p_ = p.at();
    key = key_.root().string();
    return take(':');
}

bool JsonStream::value(JsonText& into, int maxDepth) {
    if (maxDepth < 0 || static_cast<size_t>(end_ - p_) >= UINT32_MAX) return false;
    JsonText::Parser p(into, std::string_view(p_, static_cast<size_t>(end_ - p_)), maxDepth);
    p.skipSpace();
    if (!p.oneValue()) return false;
    p_ = p.at();
    return true;
}

bool JsonStream::atEnd() {
    JsonText::Parser p(key_, std::string_view(p_, static_cast<size_t>(end_ - p_)), 0);
    p.skipSpace();
    p_ = p.at();
    return p_ == end_;
}

JsonText::Value JsonText::Value::find(std::string_view key) const {
    Value found;
    const size_t n = size();
    Value k = first();
    for (size_t i = 0; i < n; ++i) {
        if (k.string() == key) found = k.value();
        k = k.value().next();
    }
    return found;
}

bool JsonText::Value::repeatsEarlierKey(const Value& object) const {
    const std::string_view me = string();
    for (Value k = object.first(); k.i_ < i_; k = k.value().next()) {
        if (k.string() == me) return true;
    }
    return false;
}

}  // namespace easel

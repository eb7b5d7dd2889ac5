// A JSON text parsed in one pass into a flat array of nodes, for reading
// large document files quickly. It accepts exactly the texts nlohmann::json
// accepts (RFC 8259, UTF-8 checked, a leading byte order mark skipped) and
// gives numbers the same kinds and values: integers without a fraction or
// exponent that fit 64 bits are integers, everything else a double.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace easel {

// Appends code point `cp` (at most 0x10FFFF) to `out` as UTF-8.
void appendUtf8(std::string& out, uint32_t cp);

class JsonText {
public:
    enum Kind : uint8_t { Null, False, True, Integer, Unsigned, Float, String, Array, Object };

    // 16 bytes: a scalar's subtree ends right after it, so only arrays and
    // objects store where theirs ends, in place of a value.
    struct Node {
        Kind kind = Null;
        uint32_t count = 0;  // array elements, object members, string bytes
        union {
            int64_t i;
            uint64_t u;
            double d;
            const char* s;  // string bytes (in the text or in the parser's own store)
            uint32_t end;   // arrays and objects: the index past this node's subtree
        };
        Node() : i(0) {}
    };

    // A node in a parsed text; objects hold key, value, key, value... nodes.
    class Value {
    public:
        Value() = default;
        Value(const JsonText* t, uint32_t i) : t_(t), i_(i) {}
        explicit operator bool() const { return t_ != nullptr; }
        Kind kind() const { return node().kind; }
        bool isObject() const { return kind() == Object; }
        bool isArray() const { return kind() == Array; }
        bool isString() const { return kind() == String; }
        bool isBool() const { return kind() == True || kind() == False; }
        bool isNumber() const { return kind() == Integer || kind() == Unsigned || kind() == Float; }
        bool isInteger() const { return kind() == Integer || kind() == Unsigned; }
        bool isUnsigned() const { return kind() == Unsigned; }
        bool isFloat() const { return kind() == Float; }
        bool boolean() const { return kind() == True; }
        int64_t integer() const { return node().i; }
        uint64_t unsignedInteger() const { return node().u; }
        double number() const {  // any number as a double
            const Node& n = node();
            return n.kind == Float ? n.d : n.kind == Unsigned ? static_cast<double>(n.u) : static_cast<double>(n.i);
        }
        std::string_view string() const { return {node().s, node().count}; }
        size_t size() const { return node().count; }

        // Array elements and object members in order.
        Value first() const { return {t_, i_ + 1}; }
        Value next() const {
            const Node& n = node();
            return {t_, n.kind == Array || n.kind == Object ? n.end : i_ + 1};
        }
        // An object's value for `key`; a key given twice yields its last
        // value. Empty when absent.
        Value find(std::string_view key) const;
        // Of an object member's key node: its value.
        Value value() const { return {t_, i_ + 1}; }
        // Of an object member's key node: whether an earlier member of
        // `object` has the same key (members are visited once per key).
        bool repeatsEarlierKey(const Value& object) const;
        uint32_t index() const { return i_; }

    private:
        const Node& node() const { return t_->nodes_[i_]; }
        const JsonText* t_ = nullptr;
        uint32_t i_ = 0;
    };

    // false when the text is not JSON this parser takes, or when its arrays
    // and objects nest deeper than `maxDepth` (the outermost is at depth 1);
    // the caller then asks nlohmann::json for its verdict and message.
    bool parse(std::string_view text, int maxDepth = 512);
    Value root() const { return nodes_.empty() ? Value() : Value(this, 0); }

    // Empties the tree (its storage kept for the next parse).
    void clear() {
        nodes_.clear();
        strings_.clear();
    }

    // For building a tree from another parser: appends a node and returns its
    // index; containers are closed with close().
    uint32_t add(Kind kind);
    void setString(uint32_t node, std::string_view s);
    // The same with a copy of `s` the tree keeps.
    void setOwnString(uint32_t node, std::string_view s);
    void setNumber(uint32_t node, int64_t i, uint64_t u, double d);
    void close(uint32_t node, uint32_t count);

private:
    friend class Value;
    friend class JsonStream;
    class Parser;
    std::vector<Node> nodes_;
    std::vector<std::unique_ptr<std::string>> strings_;  // strings that had escapes
};

// A text read a piece at a time, for a reader that keeps only the part it is
// reading: the punctuation of arrays and objects is taken step by step, and
// each value wanted whole is parsed into a JsonText. It takes no more than
// JsonText::parse takes; whitespace before each step is skipped.
class JsonStream {
public:
    explicit JsonStream(std::string_view text);
    // Whether the next byte is `c`; it is consumed when it is.
    bool take(char c);
    // A member's key and its colon; `key` is valid until the next call.
    bool key(std::string_view& key);
    // The next value, appended to `into` (see JsonText::add), its arrays and
    // objects nested at most `maxDepth` deep.
    bool value(JsonText& into, int maxDepth);
    // Only whitespace is left.
    bool atEnd();
    // Bytes not yet taken.
    size_t left() const { return static_cast<size_t>(end_ - p_); }

private:
    const char* p_;
    const char* end_;
    JsonText key_;
};

}  // namespace easel

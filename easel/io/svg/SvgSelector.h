// CSS selectors (level 3) matched against the elements of a libxml2 tree:
// type and universal selectors, ids, classes, attribute selectors,
// structural pseudo-classes, :not(), :lang() and the four combinators.
// Pseudo-elements and the pseudo-classes of a state (:hover, :visited, ...)
// never match a picture; they are refused with the reason, as is what the
// parser does not know.
#pragma once

#include <libxml/tree.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace easel::svg {

// An attribute's text, not copied when it is one text node.
struct AttributeText {
    std::string_view text;
    xmlChar* owned = nullptr;
    AttributeText() = default;
    AttributeText(const AttributeText&) = delete;
    AttributeText& operator=(const AttributeText&) = delete;
    ~AttributeText() {
        if (owned) xmlFree(owned);
    }
};
// The attribute `name` of element `n` in namespace `nsHref` (null: none).
bool attributeText(xmlNodePtr n, const char* name, const char* nsHref, AttributeText& out);

// Remembers where the last element asked about stands among its siblings,
// so that walking a long run of siblings in order costs one step each.
class SiblingIndex {
public:
    // 1-based position among the element siblings (of the same name when
    // `ofType`), counted from the first or (`fromEnd`) from the last.
    int position(xmlNodePtr n, bool ofType, bool fromEnd);

private:
    struct Memo {
        xmlNodePtr node = nullptr;
        int index = 0;
    };
    Memo memo_[4];
};

class Selector {
public:
    // One selector of a list (no comma). False when it is not matched;
    // `why` then says what it holds that is not.
    bool parse(std::string_view text, std::string& why);
    bool matches(xmlNodePtr element, SiblingIndex& siblings) const;
    // Ids, then classes, attributes and pseudo-classes, then types; a larger
    // number is more specific.
    uint32_t specificity() const { return specificity_; }

    // What the rightmost compound requires, to find the rules an element
    // may match without trying all: an id, else a class, else a type.
    enum class Key { None, Id, Class, Type };
    Key keyKind() const;
    const std::string& key() const;

private:
    enum class Test : uint8_t {
        Type,      // name: the local name ("*": any)
        Id,
        Class,
        Exists,    // [name]
        Equals,    // [name=value]
        Includes,  // [name~=value]
        Dash,      // [name|=value]
        Prefix,    // [name^=value]
        Suffix,    // [name$=value]
        Contains,  // [name*=value]
        Nth,       // an+b, of type and/or from the end
        Empty,
        Root,
        Lang,
    };
    struct Simple {
        Test test = Test::Type;
        bool negated = false;
        bool ofType = false, fromEnd = false;  // Nth
        bool only = false;                     // Nth: first and last
        int a = 0, b = 0;                      // Nth
        std::string name, value;
    };
    struct Compound {
        std::vector<Simple> tests;
    };
    enum class Combinator : uint8_t { Descendant, Child, Adjacent, Sibling };

    bool matchFrom(size_t i, xmlNodePtr n, SiblingIndex& siblings) const;
    bool matchCompound(const Compound& c, xmlNodePtr n, SiblingIndex& siblings) const;
    bool matchSimple(const Simple& s, xmlNodePtr n, SiblingIndex& siblings) const;

    std::vector<Compound> compounds_;       // left to right
    std::vector<Combinator> combinators_;   // [i]: between compounds_[i] and [i + 1]
    uint32_t specificity_ = 0;
    friend class SelectorParser;
};

}  // namespace easel::svg

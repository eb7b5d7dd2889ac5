#include "SvgSelector.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>

#include "io/json/JsonText.h"

namespace easel::svg {

namespace {

constexpr uint32_t kIdWeight = 1u << 20, kClassWeight = 1u << 10, kTypeWeight = 1;
constexpr const char* kXmlNamespace = "http://www.w3.org/XML/1998/namespace";

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool isNameChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '-' || c == '_' || u >= 0x80;
}
std::string asciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Appends a CSS escape's code point as UTF-8; NUL, surrogates and values past
// Unicode become U+FFFD.
void appendEscaped(std::string& out, uint32_t cp) {
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    appendUtf8(out, cp);
}

bool isElement(xmlNodePtr n) { return n && n->type == XML_ELEMENT_NODE; }

// Whether whitespace-separated `list` holds `word`.
bool holdsWord(std::string_view list, std::string_view word) {
    size_t i = 0;
    while (i < list.size()) {
        while (i < list.size() && isSpace(list[i])) ++i;
        size_t j = i;
        while (j < list.size() && !isSpace(list[j])) ++j;
        if (j > i && list.substr(i, j - i) == word) return true;
        i = j;
    }
    return false;
}

xmlNodePtr parentElement(xmlNodePtr n) { return isElement(n->parent) ? n->parent : nullptr; }
xmlNodePtr previousElement(xmlNodePtr n) {
    for (n = n->prev; n; n = n->prev) {
        if (isElement(n)) return n;
    }
    return nullptr;
}
bool sameType(xmlNodePtr a, xmlNodePtr b) {
    if (!xmlStrEqual(a->name, b->name)) return false;
    const xmlChar* na = a->ns ? a->ns->href : nullptr;
    const xmlChar* nb = b->ns ? b->ns->href : nullptr;
    return na == nb || (na && nb && xmlStrEqual(na, nb));
}

// The language of `n`: its own xml:lang or lang, else its nearest ancestor's.
std::optional<std::string> language(xmlNodePtr n) {
    for (; isElement(n); n = n->parent) {
        AttributeText v;
        if (attributeText(n, "lang", kXmlNamespace, v) || attributeText(n, "lang", nullptr, v))
            return asciiLower(v.text);
    }
    return std::nullopt;
}

bool nthMatches(int a, int b, int index) {
    if (a == 0) return index == b;
    const int d = index - b;
    return d % a == 0 && d / a >= 0;
}

}  // namespace

bool attributeText(xmlNodePtr n, const char* name, const char* nsHref, AttributeText& out) {
    for (xmlAttrPtr a = n->properties; a; a = a->next) {
        if (std::strcmp(reinterpret_cast<const char*>(a->name), name) != 0) continue;
        const bool inNs = a->ns && a->ns->href;
        if (nsHref ? !inNs || std::strcmp(reinterpret_cast<const char*>(a->ns->href), nsHref) != 0 : inNs) continue;
        xmlNodePtr t = a->children;
        if (!t) {
            out.text = {};
        } else if (!t->next && t->type == XML_TEXT_NODE && t->content) {
            out.text = reinterpret_cast<const char*>(t->content);
        } else {
            out.owned = xmlNodeListGetString(n->doc, t, 1);
            out.text = out.owned ? reinterpret_cast<const char*>(out.owned) : "";
        }
        return true;
    }
    return false;
}

int SiblingIndex::position(xmlNodePtr n, bool ofType, bool fromEnd) {
    Memo& memo = memo_[(ofType ? 2 : 0) + (fromEnd ? 1 : 0)];
    auto counts = [&](xmlNodePtr s) { return isElement(s) && (!ofType || sameType(s, n)); };
    // Back from n to the memo, when it is a sibling before n that counts,
    // else to the first sibling.
    int before = 0;
    xmlNodePtr s = n->prev;
    for (; s && !(s == memo.node && counts(s)); s = s->prev) before += counts(s) ? 1 : 0;
    int index;
    if (s) {
        index = fromEnd ? memo.index - before - 1 : memo.index + before + 1;
    } else if (!fromEnd) {
        index = before + 1;
    } else {
        index = 1;
        for (s = n->next; s; s = s->next) index += counts(s) ? 1 : 0;
    }
    memo = {n, index};
    return index;
}

// Reads one selector; fails with the reason.
class SelectorParser {
public:
    SelectorParser(std::string_view text, Selector& out) : s_(text), out_(out) {}

    bool run(std::string& why) {
        skipSpace();
        if (at_end()) return fail("empty", why);
        for (;;) {
            Selector::Compound c;
            if (!compound(c, why)) return false;
            out_.compounds_.push_back(std::move(c));
            const bool spaced = skipSpace();
            if (at_end()) return true;
            Selector::Combinator comb = Selector::Combinator::Descendant;
            if (peek() == '>' || peek() == '+' || peek() == '~') {
                comb = peek() == '>' ? Selector::Combinator::Child
                       : peek() == '+' ? Selector::Combinator::Adjacent
                                       : Selector::Combinator::Sibling;
                ++i_;
                skipSpace();
            } else if (!spaced) {
                return fail(std::string("unexpected \"") + peek() + "\"", why);
            }
            if (at_end()) return fail("nothing after a combinator", why);
            out_.combinators_.push_back(comb);
        }
    }

private:
    bool at_end() const { return i_ >= s_.size(); }
    char peek(size_t ahead = 0) const { return i_ + ahead < s_.size() ? s_[i_ + ahead] : '\0'; }
    bool skipSpace() {
        const size_t from = i_;
        while (!at_end() && isSpace(s_[i_])) ++i_;
        return i_ > from;
    }
    static bool fail(const std::string& reason, std::string& why) {
        why = reason;
        return false;
    }
    bool startsIdent() const {
        const char c = peek() == '-' ? peek(1) : peek();
        return c == '\\' || c == '_' || c == '-' || std::isalpha(static_cast<unsigned char>(c)) ||
               static_cast<unsigned char>(c) >= 0x80;
    }
    // A CSS escape after its "\\": a code point in hex (and one space
    // after it) or the character itself.
    void escape(std::string& out) {
        if (std::isxdigit(static_cast<unsigned char>(peek()))) {
            uint32_t cp = 0;
            for (int k = 0; k < 6 && std::isxdigit(static_cast<unsigned char>(peek())); ++k, ++i_) {
                const char d = s_[i_];
                cp = cp * 16 + static_cast<uint32_t>(d <= '9' ? d - '0' : std::tolower(d) - 'a' + 10);
            }
            if (isSpace(peek())) ++i_;
            appendEscaped(out, cp);
        } else if (!at_end()) {
            out += s_[i_++];
        }
    }
    // A name with its escapes resolved; empty when there is none.
    std::string name() {
        std::string out;
        while (!at_end()) {
            const char c = s_[i_];
            if (c == '\\' && peek(1) != '\n' && peek(1) != '\0') {
                ++i_;
                escape(out);
            } else if (isNameChar(c)) {
                out += c;
                ++i_;
            } else {
                break;
            }
        }
        return out;
    }
    std::string ident() { return startsIdent() ? name() : std::string(); }
    // A quoted string (escapes resolved) or an identifier.
    bool stringOrIdent(std::string& out) {
        const char q = peek();
        if (q != '"' && q != '\'') {
            out = ident();
            return !out.empty();
        }
        ++i_;
        out.clear();
        while (!at_end() && s_[i_] != q) {
            if (s_[i_] != '\\') {
                out += s_[i_++];
            } else if (++i_, peek() == '\n') {
                ++i_;  // a line continued
            } else {
                escape(out);
            }
        }
        if (at_end()) return false;
        ++i_;
        return true;
    }
    // Leading and trailing white space off.
    static std::string trimmed(std::string_view v) {
        while (!v.empty() && isSpace(v.front())) v.remove_prefix(1);
        while (!v.empty() && isSpace(v.back())) v.remove_suffix(1);
        return std::string(v);
    }

    bool compound(Selector::Compound& c, std::string& why);
    bool typeSelector(Selector::Compound& c, bool negated, std::string& why);
    // An id, class, attribute or pseudo-class selector, from its first character.
    bool simple(Selector::Compound& c, bool negated, std::string& why);
    bool attribute(Selector::Simple& s, std::string& why);
    bool pseudo(Selector::Compound& c, bool negated, std::string& why);
    bool negation(Selector::Compound& c, std::string& why);
    bool nthArgument(Selector::Simple& s, std::string& why);
    // The argument of a functional pseudo-class up to its ")".
    bool argument(std::string& out) {
        const size_t close = s_.find(')', i_);
        if (close == std::string_view::npos) return false;
        out = std::string(s_.substr(i_, close - i_));
        i_ = close + 1;
        return true;
    }

    std::string_view s_;
    size_t i_ = 0;
    Selector& out_;
};

bool SelectorParser::typeSelector(Selector::Compound& c, bool negated, std::string& why) {
    Selector::Simple t;
    t.negated = negated;
    if (peek() == '*') {
        ++i_;
        t.name = "*";
    } else {
        t.name = name();
        out_.specificity_ += kTypeWeight;
    }
    if (peek() == '|') return fail("a namespace prefix", why);
    c.tests.push_back(std::move(t));
    return true;
}

bool SelectorParser::simple(Selector::Compound& c, bool negated, std::string& why) {
    const char ch = peek();
    ++i_;
    Selector::Simple s;
    s.negated = negated;
    if (ch == '#' || ch == '.') {
        s.test = ch == '#' ? Selector::Test::Id : Selector::Test::Class;
        s.name = ch == '#' ? name() : ident();
        if (s.name.empty()) return fail(std::string("\"") + ch + "\" without a name", why);
        out_.specificity_ += ch == '#' ? kIdWeight : kClassWeight;
    } else if (ch == '[') {
        if (!attribute(s, why)) return false;
        out_.specificity_ += kClassWeight;
    } else {
        if (negated && peek() == ':') return fail("a pseudo-element inside :not()", why);
        return pseudo(c, negated, why);
    }
    c.tests.push_back(std::move(s));
    return true;
}

bool SelectorParser::compound(Selector::Compound& c, std::string& why) {
    const size_t from = i_;
    if (peek() == '|') return fail("a namespace prefix", why);
    if ((peek() == '*' || startsIdent()) && !typeSelector(c, false, why)) return false;
    while (peek() == '#' || peek() == '.' || peek() == '[' || peek() == ':') {
        if (!simple(c, false, why)) return false;
    }
    if (i_ == from) return fail(at_end() ? "nothing to match" : std::string("unexpected \"") + peek() + "\"", why);
    return true;
}

bool SelectorParser::attribute(Selector::Simple& s, std::string& why) {
    skipSpace();
    if (peek() == '|' || peek() == '*') return fail("a namespace prefix", why);
    s.name = ident();
    if (s.name.empty()) return fail("an attribute selector without a name", why);
    if (peek() == '|' && peek(1) != '=') return fail("a namespace prefix", why);
    skipSpace();
    if (peek() == ']') {
        ++i_;
        s.test = Selector::Test::Exists;
        return true;
    }
    static const std::pair<char, Selector::Test> ops[] = {
        {'~', Selector::Test::Includes}, {'|', Selector::Test::Dash},   {'^', Selector::Test::Prefix},
        {'$', Selector::Test::Suffix},   {'*', Selector::Test::Contains}};
    if (peek() == '=') {
        s.test = Selector::Test::Equals;
        ++i_;
    } else {
        auto op = std::find_if(std::begin(ops), std::end(ops), [&](const auto& o) { return o.first == peek(); });
        if (op == std::end(ops) || peek(1) != '=') return fail("an unknown attribute test", why);
        s.test = op->second;
        i_ += 2;
    }
    skipSpace();
    if (!stringOrIdent(s.value))
        return fail("an attribute value that is neither a string nor a name", why);
    skipSpace();
    if (peek() != ']') return fail(std::isalpha(static_cast<unsigned char>(peek())) ? "an attribute test flag"
                                                                                      : "an unclosed attribute selector",
                                   why);
    ++i_;
    return true;
}

bool SelectorParser::nthArgument(Selector::Simple& s, std::string& why) {
    std::string arg;
    if (!argument(arg)) return fail("an unclosed \"(\"", why);
    std::string t;
    for (char ch : asciiLower(arg)) {
        if (!isSpace(ch)) t += ch;
    }
    if (t == "odd") t = "2n+1";
    if (t == "even") t = "2n";
    auto number = [&](std::string_view v, int& out) {
        if (v.empty() || v.size() > 9 || !std::all_of(v.begin(), v.end(), [](char d) { return d >= '0' && d <= '9'; }))
            return false;
        out = std::stoi(std::string(v));
        return true;
    };
    const size_t n = t.find('n');
    std::string_view v = t;
    if (n == std::string::npos) {
        const int sign = !v.empty() && v[0] == '-' ? -1 : 1;
        if (!v.empty() && (v[0] == '-' || v[0] == '+')) v.remove_prefix(1);
        if (!number(v, s.b)) return fail("an argument \"" + arg + "\" that is not an+b", why);
        s.b *= sign;
        return true;
    }
    std::string_view a = v.substr(0, n), b = v.substr(n + 1);
    const int aSign = !a.empty() && a[0] == '-' ? -1 : 1;
    if (!a.empty() && (a[0] == '-' || a[0] == '+')) a.remove_prefix(1);
    s.a = 1;
    if (!a.empty() && !number(a, s.a)) return fail("an argument \"" + arg + "\" that is not an+b", why);
    s.a *= aSign;
    if (b.empty()) return true;
    const int bSign = b[0] == '-' ? -1 : 1;
    if (b[0] != '-' && b[0] != '+') return fail("an argument \"" + arg + "\" that is not an+b", why);
    b.remove_prefix(1);
    if (!number(b, s.b)) return fail("an argument \"" + arg + "\" that is not an+b", why);
    s.b *= bSign;
    return true;
}

bool SelectorParser::negation(Selector::Compound& c, std::string& why) {
    skipSpace();
    if (peek() == '*' || startsIdent()) {
        if (!typeSelector(c, true, why)) return false;
    } else if (peek() == '#' || peek() == '.' || peek() == '[' || peek() == ':') {
        if (!simple(c, true, why)) return false;
    } else {
        return fail("a :not() without a simple selector", why);
    }
    skipSpace();
    if (peek() != ')') return fail("a :not() of more than one simple selector", why);
    ++i_;
    return true;
}

bool SelectorParser::pseudo(Selector::Compound& c, bool negated, std::string& why) {
    if (peek() == ':') {
        ++i_;
        return fail("the pseudo-element ::" + ident(), why);
    }
    const std::string p = asciiLower(ident());
    if (p.empty()) return fail("\":\" without a name", why);
    static const char* const kElements[] = {"before", "after", "first-line", "first-letter"};
    static const char* const kStates[] = {"hover",   "active",   "focus",         "visited",       "link",
                                          "target",  "enabled",  "disabled",      "checked",       "indeterminate",
                                          "focus-within", "focus-visible", "any-link"};
    for (const char* e : kElements) {
        if (p == e) return fail("the pseudo-element :" + p, why);
    }
    for (const char* e : kStates) {
        if (p == e) return fail("the state :" + p + ", which a picture does not have", why);
    }
    Selector::Simple s;
    s.negated = negated;
    s.test = Selector::Test::Nth;
    const bool function = peek() == '(';
    if (function) ++i_;
    struct Structural {
        const char* name;
        bool ofType, fromEnd;
        bool only;
    };
    static const Structural kFixed[] = {{"first-child", false, false, false}, {"last-child", false, true, false},
                                        {"only-child", false, false, true},   {"first-of-type", true, false, false},
                                        {"last-of-type", true, true, false},  {"only-of-type", true, false, true}};
    static const Structural kNth[] = {{"nth-child", false, false, false},
                                      {"nth-last-child", false, true, false},
                                      {"nth-of-type", true, false, false},
                                      {"nth-last-of-type", true, true, false}};
    if (!function) {
        auto f = std::find_if(std::begin(kFixed), std::end(kFixed), [&](const Structural& x) { return p == x.name; });
        if (f != std::end(kFixed)) {
            s.ofType = f->ofType, s.fromEnd = f->fromEnd, s.only = f->only, s.b = 1;
            c.tests.push_back(s);
        } else if (p == "empty" || p == "root") {
            s.test = p == "empty" ? Selector::Test::Empty : Selector::Test::Root;
            c.tests.push_back(s);
        } else {
            return fail("the pseudo-class :" + p, why);
        }
    } else {
        auto f = std::find_if(std::begin(kNth), std::end(kNth), [&](const Structural& x) { return p == x.name; });
        if (f != std::end(kNth)) {
            s.ofType = f->ofType, s.fromEnd = f->fromEnd;
            if (!nthArgument(s, why)) return false;
            c.tests.push_back(s);
        } else if (p == "lang") {
            std::string arg;
            if (!argument(arg)) return fail("an unclosed \"(\"", why);
            s.test = Selector::Test::Lang;
            s.name = asciiLower(trimmed(arg));
            if (s.name.empty()) return fail("an empty :lang()", why);
            c.tests.push_back(s);
        } else if (p == "not" && !negated) {
            return negation(c, why);
        } else {
            return fail("the pseudo-class :" + p + "()", why);
        }
    }
    out_.specificity_ += kClassWeight;
    return true;
}

bool Selector::parse(std::string_view text, std::string& why) {
    *this = Selector();
    SelectorParser p(text, *this);
    if (p.run(why)) return true;
    *this = Selector();
    return false;
}

Selector::Key Selector::keyKind() const {
    if (compounds_.empty()) return Key::None;
    Key best = Key::None;
    for (const Simple& s : compounds_.back().tests) {
        if (s.negated) continue;
        if (s.test == Test::Id) return Key::Id;
        if (s.test == Test::Class) best = Key::Class;
        else if (s.test == Test::Type && s.name != "*" && best == Key::None) best = Key::Type;
    }
    return best;
}

const std::string& Selector::key() const {
    static const std::string none;
    const Key k = keyKind();
    if (k == Key::None) return none;
    const Test want = k == Key::Id ? Test::Id : k == Key::Class ? Test::Class : Test::Type;
    for (const Simple& s : compounds_.back().tests) {
        if (!s.negated && s.test == want) return s.name;
    }
    return none;
}

bool Selector::matches(xmlNodePtr element, SiblingIndex& siblings) const {
    return isElement(element) && !compounds_.empty() && matchFrom(compounds_.size() - 1, element, siblings);
}

bool Selector::matchFrom(size_t i, xmlNodePtr n, SiblingIndex& siblings) const {
    if (!matchCompound(compounds_[i], n, siblings)) return false;
    if (i == 0) return true;
    switch (combinators_[i - 1]) {
        case Combinator::Child: {
            xmlNodePtr p = parentElement(n);
            return p && matchFrom(i - 1, p, siblings);
        }
        case Combinator::Descendant:
            for (xmlNodePtr p = parentElement(n); p; p = parentElement(p)) {
                if (matchFrom(i - 1, p, siblings)) return true;
            }
            return false;
        case Combinator::Adjacent: {
            xmlNodePtr p = previousElement(n);
            return p && matchFrom(i - 1, p, siblings);
        }
        case Combinator::Sibling:
            for (xmlNodePtr p = previousElement(n); p; p = previousElement(p)) {
                if (matchFrom(i - 1, p, siblings)) return true;
            }
            return false;
    }
    return false;
}

bool Selector::matchCompound(const Compound& c, xmlNodePtr n, SiblingIndex& siblings) const {
    for (const Simple& s : c.tests) {
        if (matchSimple(s, n, siblings) == s.negated) return false;
    }
    return true;
}

bool Selector::matchSimple(const Simple& s, xmlNodePtr n, SiblingIndex& siblings) const {
    switch (s.test) {
        case Test::Type:
            return s.name == "*" || s.name == reinterpret_cast<const char*>(n->name);
        case Test::Id: {
            AttributeText v;
            return attributeText(n, "id", nullptr, v) && v.text == s.name;
        }
        case Test::Class: {
            AttributeText v;
            return attributeText(n, "class", nullptr, v) && holdsWord(v.text, s.name);
        }
        case Test::Exists:
        case Test::Equals:
        case Test::Includes:
        case Test::Dash:
        case Test::Prefix:
        case Test::Suffix:
        case Test::Contains: {
            AttributeText v;
            if (!attributeText(n, s.name.c_str(), nullptr, v)) return false;
            const std::string_view t = v.text, w = s.value;
            switch (s.test) {
                case Test::Equals: return t == w;
                case Test::Includes: return holdsWord(t, w);
                case Test::Dash: return t == w || (t.size() > w.size() && t.substr(0, w.size()) == w && t[w.size()] == '-');
                case Test::Prefix: return !w.empty() && t.substr(0, w.size()) == w;
                case Test::Suffix: return !w.empty() && t.size() >= w.size() && t.substr(t.size() - w.size()) == w;
                case Test::Contains: return !w.empty() && t.find(w) != std::string_view::npos;
                default: return true;
            }
        }
        case Test::Nth:
            if (s.only)
                return siblings.position(n, s.ofType, false) == 1 && siblings.position(n, s.ofType, true) == 1;
            return nthMatches(s.a, s.b, siblings.position(n, s.ofType, s.fromEnd));
        case Test::Empty:
            for (xmlNodePtr c = n->children; c; c = c->next) {
                if (c->type == XML_ELEMENT_NODE || c->type == XML_CDATA_SECTION_NODE || c->type == XML_ENTITY_REF_NODE ||
                    (c->type == XML_TEXT_NODE && c->content && *c->content))
                    return false;
            }
            return true;
        case Test::Root:
            return n->parent && n->parent->type == XML_DOCUMENT_NODE;
        case Test::Lang: {
            const auto lang = language(n);
            return lang && (*lang == s.name || (lang->size() > s.name.size() && lang->compare(0, s.name.size(), s.name) == 0 &&
                                                (*lang)[s.name.size()] == '-'));
        }
    }
    return false;
}

}  // namespace easel::svg

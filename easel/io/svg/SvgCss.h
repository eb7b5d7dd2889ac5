// CSS as SVG files use it: declarations (style attributes), style sheets
// (rules of selectors, see SvgSelector.h) and the cascade that gives an
// element its declared properties, plus which properties inherit.
#pragma once

#include <libxml/tree.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "SvgSelector.h"
#include "SvgStringMap.h"

namespace easel::svg {

using AttrMap = StringMap;
using Props = StringMap;
using Declarations = std::vector<std::pair<std::string, std::string>>;
// Reports what is not understood, one kind of loss per call.
using Note = std::function<void(const std::string&)>;

// "name: value; ..." with names lowered, in the order of the cascade: the
// declarations marked !important (the mark dropped) after the others, so
// that later ones win.
Declarations parseDeclarations(std::string_view s);

// Properties that pass from parent to child.
const std::set<std::string>& inheritedProperties();
// Properties that act on the element alone.
const std::set<std::string>& ownProperties();
// Properties that change nothing the model draws; read without a word.
// Editors' own vendor-prefixed properties count as quiet too.
const std::set<std::string>& quietProperties();
bool isEditorProperty(const std::string& k);
// Whether `k` is one of inheritedProperties(); of those or ownProperties().
bool isInheritedProperty(std::string_view k);
bool isDrawnProperty(std::string_view k);

// The rules of an element's style sheets, matched through an index of
// what each selector requires of the element it ends on (id, class, type).
class StyleSheet {
public:
    using Take = std::function<void(const std::string&, const std::string&)>;
    // Adds the rules of a <style> element's text. What is not matched
    // (at-rules, selectors) is noted, each by name.
    void read(const std::string& cssText, const Note& note);
    bool empty() const { return rules_.empty(); }
    // What applies to element `n` (of the tree the sheet is matched on) in
    // the order of the cascade, later ones winning: the rules' declarations
    // by specificity and order, those of the style attribute `style`, the
    // rules' !important ones, then the style attribute's !important ones.
    void cascade(xmlNodePtr n, std::string_view style, const Take& take) const;

private:
    struct Rule {
        Selector selector;
        Declarations normal, important;
    };
    struct KeyHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    using Index = std::unordered_map<std::string, std::vector<uint32_t>, KeyHash, std::equal_to<>>;
    void addRules(std::string_view prelude, std::string_view body, const Note& note);
    // The rules (positions in rules_) whose selectors `n` may match, in order.
    void candidates(xmlNodePtr n, std::vector<uint32_t>& out) const;

    std::vector<Rule> rules_;  // by specificity, then as written
    Index byId_, byClass_, byType_;
    std::vector<uint32_t> unkeyed_;
    mutable SiblingIndex siblings_;
};

// The properties element `n` (null: one made by the reader, without rules)
// with attributes `at` declares: presentation attributes, then the style
// sheet's rules and its style attribute in the order of the cascade.
// Unknown properties are noted.
Props declaredProperties(xmlNodePtr n, const AttrMap& at, const StyleSheet& sheet, const Note& note);
// The parent's inherited properties overridden by the element's own.
Props inheritProperties(const Props& parent, const Props& own);

}  // namespace easel::svg

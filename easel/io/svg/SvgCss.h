// CSS as SVG files use it: declarations (style attributes), simple rules
// (type, class and id selectors) and the cascade that gives an element its
// declared properties, plus which properties inherit.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace easel::svg {

using AttrMap = std::map<std::string, std::string>;
using Props = std::map<std::string, std::string>;
using Declarations = std::vector<std::pair<std::string, std::string>>;
// Reports what is not understood, one kind of loss per call.
using Note = std::function<void(const std::string&)>;

// "name: value; ..." with names lowered and "!important" dropped.
Declarations parseDeclarations(std::string_view s);

// Properties that pass from parent to child.
const std::set<std::string>& inheritedProperties();
// Properties that act on the element alone.
const std::set<std::string>& ownProperties();
// Properties that change nothing the model draws; read without a word.
// Editors' own vendor-prefixed properties count as quiet too.
const std::set<std::string>& quietProperties();
bool isEditorProperty(const std::string& k);

class StyleSheet {
public:
    // Adds the rules of a <style> element's text.
    void read(const std::string& cssText, const Note& note);
    bool empty() const { return rules_.empty(); }
    // The declarations of the rules that match an element, lowest
    // specificity first (later ones win).
    void match(const std::string& tag, const AttrMap& at,
               const std::function<void(const std::string&, const std::string&)>& take) const;

private:
    struct Selector {
        std::string tag;  // "" or "*": any
        std::string id;
        std::vector<std::string> classes;
        int specificity = 0;
    };
    struct Rule {
        Selector sel;
        Declarations decls;
        size_t order = 0;
    };
    static bool parseSelector(std::string_view text, Selector& sel);
    std::vector<Rule> rules_;
};

// The properties an element declares: presentation attributes, then the
// style sheet's rules, then its style attribute. Unknown properties are noted.
Props declaredProperties(const std::string& tag, const AttrMap& at, const StyleSheet& sheet, const Note& note);
// The parent's inherited properties overridden by the element's own.
Props inheritProperties(const Props& parent, const Props& own);

}  // namespace easel::svg

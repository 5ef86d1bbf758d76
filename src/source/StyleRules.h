#pragma once
// Class-style rules read from a document's own style sheets. Only rules that make text bold or
// italic are kept; the cleanup turns them into explicit b and i tags.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace source {

// One rule for one selector, e.g. "p.heavy { font-weight: bold }".
struct THTMLStyle {
  std::string Element;     // selector before its first ".", lower case (all of it without ".")
  std::string StyleClass;  // selector after its first ".", lower case; empty without "."
  std::string BoldOn;      // "<b>" or empty
  std::string ItalicOn;    // "<i>" or empty
  std::string BoldOff;     // "</b>" or empty
  std::string ItalicOff;   // "</i>" or empty
  std::string Declarations;
};

// Rules in the order read; lookups take the first match. An index from element and class to the
// first rule keeps lookups constant in time, so big generated style sheets stay linear.
class StyleRules {
 public:
  void Add(THTMLStyle rule);
  // The first rule for this lower-case element name whose class equals `styleClass` in any letter
  // case; null when there is none.
  const THTMLStyle* Find(std::string_view element, std::string_view styleClass) const;

  bool empty() const { return rules_.empty(); }
  size_t size() const { return rules_.size(); }
  auto begin() const { return rules_.begin(); }
  auto end() const { return rules_.end(); }

 private:
  std::vector<THTMLStyle> rules_;
  std::unordered_map<std::string, size_t> first_;  // element + '\0' + class -> index
};

// Removes the first "<!--", the first "-->" and one "/* ... */" comment (or cuts the piece at an
// unclosed "/*").
std::string StripCssComment(std::string_view piece);

// Registers one rule per selector of a comma-separated list when the declarations make text bold
// or italic.
void AddStyleRules(StyleRules& rules, std::string_view selectors, std::string_view declarations);

// Reads the rules of one style element's text, line by line.
void ParseStyleSheet(StyleRules& rules, std::string_view sheet);

// StyleRules::Find.
inline const THTMLStyle* FindStyle(const StyleRules& rules, std::string_view element,
                                   std::string_view styleClass) {
  return rules.Find(element, styleClass);
}

}  // namespace source

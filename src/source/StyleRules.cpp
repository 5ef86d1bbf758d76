#include "source/StyleRules.h"

#include "engine/TextUtil.h"

namespace source {

namespace {

using engine::Trim;

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

void EraseFirst(std::string& text, std::string_view part) {
  const size_t at = text.find(part);
  if (at != std::string::npos) text.erase(at, part.size());
}

struct Emphasis {
  bool bold = false;
  bool italic = false;
};

void TestEmphasis(std::string_view declaration, Emphasis& found) {
  const std::string lower = engine::ToLowerAscii(declaration);
  if (Contains(lower, "font-weight") && Contains(lower, "bold")) found.bold = true;
  if (Contains(lower, "font-style") && Contains(lower, "italic")) found.italic = true;
}

// Lines split at CR LF, CR or LF; an empty text has no lines.
template <typename Fn>
void ForEachLine(std::string_view text, Fn fn) {
  size_t i = 0;
  while (i < text.size()) {
    size_t j = i;
    while (j < text.size() && text[j] != '\r' && text[j] != '\n') ++j;
    fn(text.substr(i, j - i));
    if (j + 1 < text.size() && text[j] == '\r' && text[j + 1] == '\n') ++j;
    i = j + 1;
  }
}

}  // namespace

std::string StripCssComment(std::string_view piece) {
  std::string out(piece);
  EraseFirst(out, "<!--");
  EraseFirst(out, "-->");
  const size_t open = out.find("/*");
  if (open == std::string::npos) return out;
  const size_t close = out.find("*/");
  if (close == std::string::npos) {
    out.erase(open);
  } else {
    // The first "*/" of the piece, wherever it stands; one before the "/*" removes nothing.
    const size_t end = close + 2 > open ? close + 2 : open;
    out.replace(open, end - open, " ");
  }
  return out;
}

void AddStyleRules(StyleRules& rules, std::string_view selectors, std::string_view declarations) {
  if (selectors.empty() || declarations.empty()) return;
  selectors = Trim(selectors);
  declarations = Trim(declarations);

  Emphasis emphasis;
  std::string cleaned;
  size_t semicolon = declarations.find(';');
  if (semicolon == std::string_view::npos) {
    cleaned.assign(declarations);
    TestEmphasis(cleaned, emphasis);
  } else {
    size_t from = 0;
    while (semicolon != std::string_view::npos) {
      const std::string_view piece = Trim(declarations.substr(from, semicolon - from));
      TestEmphasis(piece, emphasis);
      cleaned.append(piece).push_back(';');
      from = semicolon + 1;
      semicolon = declarations.find(';', from);
    }
    const std::string_view rest = Trim(declarations.substr(from));
    if (!rest.empty() && rest != ";") {
      cleaned.append(rest).push_back(';');
      TestEmphasis(cleaned, emphasis);
    }
  }
  if (!emphasis.bold && !emphasis.italic) return;

  size_t from = 0;
  for (;;) {
    const size_t comma = selectors.find(',', from);
    const bool last = comma == std::string_view::npos;
    const std::string selector = engine::ToLowerAscii(
        Trim(selectors.substr(from, last ? std::string_view::npos : comma - from)));
    if (!(last && selector.empty())) {
      THTMLStyle rule;
      const size_t dot = selector.find('.');
      rule.Element = selector.substr(0, dot);
      if (dot != std::string::npos) rule.StyleClass = selector.substr(dot + 1);
      if (emphasis.bold) {
        rule.BoldOn = "<b>";
        rule.BoldOff = "</b>";
      }
      if (emphasis.italic) {
        rule.ItalicOn = "<i>";
        rule.ItalicOff = "</i>";
      }
      rule.Declarations = cleaned;
      rules.Add(std::move(rule));
    }
    if (last) break;
    from = comma + 1;
  }
}

void ParseStyleSheet(StyleRules& rules, std::string_view sheet) {
  std::string selectors;
  std::string declarations;
  bool insideBraces = false;
  ForEachLine(Trim(sheet), [&](std::string_view line) {
    while (!line.empty()) {
      const size_t open = line.find('{');
      if (open != std::string_view::npos) {
        selectors += StripCssComment(line.substr(0, open));
        line.remove_prefix(open + 1);
        insideBraces = true;
      } else if (!insideBraces) {
        selectors += StripCssComment(line);
        line = {};
        continue;
      }
      // Inside the braces: declarations up to the closing one, which ends the rule.
      const size_t close = line.find('}');
      if (close == std::string_view::npos) {
        declarations += StripCssComment(line);
        line = {};
      } else {
        declarations += StripCssComment(line.substr(0, close));
        line.remove_prefix(close + 1);
        AddStyleRules(rules, selectors, declarations);
        selectors.clear();
        declarations.clear();
        insideBraces = false;
      }
    }
  });
}

namespace {

void MakeKey(std::string& key, std::string_view element, std::string_view styleClass) {
  key.assign(element);
  key.push_back('\0');
  for (char c : styleClass) key.push_back(engine::ToLowerAscii(c));
}

}  // namespace

void StyleRules::Add(THTMLStyle rule) {
  std::string key;
  MakeKey(key, rule.Element, rule.StyleClass);
  first_.try_emplace(std::move(key), rules_.size());
  rules_.push_back(std::move(rule));
}

const THTMLStyle* StyleRules::Find(std::string_view element, std::string_view styleClass) const {
  std::string key;
  MakeKey(key, element, styleClass);
  const auto found = first_.find(key);
  return found == first_.end() ? nullptr : &rules_[found->second];
}

}  // namespace source

#include "app/PlainTextEditor.h"

#include <algorithm>

namespace app {

size_t CountLines(std::string_view text) {
  if (text.empty()) return 0;
  // One line more than breaks: every LF, and every CR that no LF follows. Without branches, so
  // that the compiler can take many bytes at a time.
  const char* p = text.data();
  const size_t last = text.size() - 1;
  size_t breaks = 0;
  for (size_t i = 0; i < last; ++i)
    breaks += static_cast<size_t>((p[i] == '\n') | ((p[i] == '\r') & (p[i + 1] != '\n')));
  breaks += static_cast<size_t>(p[last] == '\n' || p[last] == '\r');
  return breaks + 1;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  lines.reserve(CountLines(text));
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  lines.emplace_back(text.substr(start));
  return lines;
}

void PlainTextEditor::Remember() {
  undo_.push_back({text_, selStart_, selLength_});
}

size_t PlainTextEditor::LineCount() const {
  if (lineCount_ == kUnknown) lineCount_ = CountLines(text_);
  return lineCount_;
}

void PlainTextEditor::SetText(std::string_view text) {
  Remember();
  text_.assign(text);
  lineCount_ = kUnknown;
  selStart_ = selLength_ = 0;
}

void PlainTextEditor::Clear() {
  text_.clear();
  lineCount_ = kUnknown;
  undo_.clear();
  selStart_ = selLength_ = 0;
}

void PlainTextEditor::Load(std::string_view text) {
  Clear();
  text_.assign(text);
}

void PlainTextEditor::Select(size_t start, size_t length) {
  selStart_ = std::min(start, text_.size());
  selLength_ = std::min(length, text_.size() - selStart_);
}

void PlainTextEditor::ReplaceSelection(std::string_view text) {
  Remember();
  text_.replace(selStart_, selLength_, text);
  lineCount_ = kUnknown;
  selStart_ += text.size();
  selLength_ = 0;
}

void PlainTextEditor::Undo() {
  if (undo_.empty()) return;
  Snapshot last = std::move(undo_.back());
  undo_.pop_back();
  text_ = std::move(last.Text);
  lineCount_ = kUnknown;
  selStart_ = last.SelStart;
  selLength_ = last.SelLength;
}

}  // namespace app

// The character set and the output encoding: the "Charset" list, the "utf-8" toggle, the FB2
// declaration they name, and the conversions between the code page and UTF-8.

#include <iterator>
#include <optional>

#include "app/Session.h"
#include "platform/WholeFile.h"

namespace app {
namespace {

constexpr int kEncodingPanel = 1;

// A guard flag set for the duration of one call.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void Session::ApplyCharset(int charset, bool fromList) {
  if (charset == encoding_.CurrentCharset) return;
  {
    FlagScope applying(encoding_.ApplyingCharset);
    if (!fromList) {
      // A declared character set selects its first entry in the list; one without an entry
      // (163) leaves the selection as it is.
      for (int i = 0; i < static_cast<int>(std::size(kCharsetNames)); ++i) {
        if (source::CharsetNumber(kCharsetNames[i]) == charset) {
          settings_.Charset = i;
          break;
        }
      }
    }
    const int old = encoding_.CurrentCharset;
    encoding_.CurrentCharset = static_cast<uint16_t>(charset);
    if (fromList) {
      const std::string& system = encoding_.SystemCodePageName;
      ReplaceEncodingAttribute(source::EncodingAttribute(old, settings_.UtfOutput, system),
                               source::EncodingAttribute(charset, settings_.UtfOutput, system));
    }
    encoding_.FontCharset = static_cast<uint16_t>(charset);
    book_.EncodingCaption = source::EncodingName(charset, encoding_.SystemCodePageName);
  }
  ShowOutputEncoding();
}

void Session::SetUtfOutput(bool on) {
  FlagScope switching(encoding_.SwitchingEncoding);
  const bool old = settings_.UtfOutput;
  settings_.UtfOutput = on;
  book_.UtfOutput = on;
  encoding_.Utf8TogglePressed = on;
  if (on != old) {
    const std::string& system = encoding_.SystemCodePageName;
    ReplaceEncodingAttribute(source::EncodingAttribute(encoding_.CurrentCharset, old, system),
                             source::EncodingAttribute(encoding_.CurrentCharset, on, system));
  }
  ShowOutputEncoding();
}

void Session::ReplaceEncodingAttribute(std::string_view oldText, std::string_view newText) {
  if (result_.LineCount() == 0 || oldText == newText) return;
  const std::string text = result_.Text();
  const size_t at = text.find(oldText);
  if (at == std::string::npos) return;
  result_.Select(at, oldText.size());
  result_.ReplaceSelection(newText);
}

std::string Session::ToOutputEncoding(std::string_view text) const {
  if (!settings_.UtfOutput) return std::string(text);
  return codePage_.ToUtf8(text);
}

std::string Session::FromOutputEncoding(std::string_view text) const {
  if (!settings_.UtfOutput) return std::string(text);
  // Text that is not valid UTF-8 (a line of an 8-bit file, a link target typed in the code page)
  // is kept as it is rather than lost.
  std::optional<std::string> converted = codePage_.FromUtf8(text);
  return converted ? std::move(*converted) : std::string(text);
}

int Session::ApplyDeclaredEncoding(std::string_view name) {
  if (name == "utf-8") {
    SetUtfOutput(true);
    return 0;
  }
  SetUtfOutput(false);
  return source::CharsetFromEncoding(name, encoding_.SystemCodePageName);
}

void Session::DetectDeclaredEncoding(const std::string& path) {
  // A missing (or unreadable) file changes nothing.
  const std::optional<std::string> text = platform::ReadWholeFile(path);
  if (!text) return;

  const int charset = ApplyDeclaredEncoding(source::DeclaredEncodingName(*text));
  SetUtfOutput(charset == 0);
  if (!settings_.UtfOutput) ApplyCharset(charset, false);
  ShowOutputEncoding();
}

void Session::ShowOutputEncoding() {
  ui_.SetStatus(kEncodingPanel,
                settings_.UtfOutput
                    ? std::string("utf-8")
                    : source::EncodingName(encoding_.CurrentCharset, encoding_.SystemCodePageName));
}

void Session::ChooseCharsetEntry(int index) {
  if (encoding_.ApplyingCharset) return;
  if (index < 0 || index >= static_cast<int>(std::size(kCharsetNames))) return;
  settings_.Charset = index;
  ApplyCharset(source::CharsetNumber(kCharsetNames[index]), true);
}

void Session::ClickUtf8Toggle(bool pressed) {
  if (encoding_.SwitchingEncoding) return;
  SetUtfOutput(pressed);
}

void Session::ClickEncodingChoice(bool utf8) {
  if (encoding_.SwitchingEncoding) return;
  SetUtfOutput(utf8);
}

void Session::Act_ansi2utf() {
  source_.Load(codePage_.ToUtf8(source_.Text()));
}

void Session::Act_utf2ansi() {
  // A text that is not valid UTF-8 is not touched (its undo history stays too).
  std::optional<std::string> converted = codePage_.FromUtf8(source_.Text());
  if (!converted) return;
  source_.Load(*converted);
}

}  // namespace app

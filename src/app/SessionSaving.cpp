// Saving the FB2 document and the source HTML, and the file names that go with them.

#include <optional>
#include <vector>

#include "app/Session.h"
#include "engine/TextUtil.h"
#include "output/AtomicFile.h"
#include "output/Fb2Saving.h"
#include "platform/Paths.h"

namespace app {
namespace {

const std::vector<FileFilter>& Fb2Filters() {
  static const std::vector<FileFilter> filters = {{"Fiction Book files (*.fb2)", "*.fb2"}};
  return filters;
}

const std::vector<FileFilter>& HtmlFilters() {
  static const std::vector<FileFilter> filters = {{"HTML Files (*.htm;*.html)", "*.htm;*.html"}};
  return filters;
}

std::string_view LineBreakText(LineBreak style) {
  switch (style) {
    case LineBreak::Lf:
      return "\n";
    case LineBreak::Cr:
      return "\r";
    case LineBreak::CrLf:
      break;
  }
  return "\r\n";
}

// The editor's lines as 8-bit text joined by its line break, nothing after the last line.
std::string EditorBytes(const TextEditor& editor) {
  return output::Fb2FileBytes(editor.Lines(), false, LineBreakText(editor.LineBreakStyle()));
}

// DetectOutputEncoding for the declared name `name`.
void ApplyOutputEncoding(Session& session, std::string_view name) {
  const int charset = session.ApplyDeclaredEncoding(name);
  session.SetUtfOutput(charset == 0);
  if (!session.Settings().UtfOutput) session.ApplyCharset(charset, false);
  session.ShowOutputEncoding();
}

}  // namespace

void Session::SetWindowCaption(std::string_view name) {
  ui_.SetCaption(std::string(kProgramName) + " : " + std::string(name));
}

void Session::DetectOutputEncoding() {
  ApplyOutputEncoding(*this, output::DeclaredEncodingName(result_.Text()));
}

std::string Session::Fb2FileBytes() {
  // The whole text once: the declaration read from its first lines, then the bytes in one pass.
  const std::string text = result_.Text();
  const std::string name = output::DeclaredEncodingName(text);
  ApplyOutputEncoding(*this, name);
  std::optional<platform::CodePage> declared;
  if (const int number = output::SingleByteCodePageNamed(name); number != 0) {
    if (number == codePage_.Number()) {
      declared = codePage_;
    } else {
      declared.emplace(number);
    }
  }
  return output::Fb2FileBytes(text, codePage_, declared ? &*declared : nullptr, settings_.UtfOutput,
                              LineBreakText(result_.LineBreakStyle()));
}

void Session::SaveFb2(const std::string& path) {
  output::WriteFb2File(path, Fb2FileBytes(), settings_.PackToZip);
  if (settings_.PackToZip) {
    document_.LastZipPath = output::ZipArchiveName(path);
  } else {
    document_.LastFb2Path = path;
    document_.LastZipPath.clear();
  }
}

bool Session::SaveFb2As() {
  const std::string chosen =
      ui_.AskSaveFile("Save html file", Fb2Filters(), document_.ProposedFb2Name, "fb2");
  if (chosen.empty()) {
    document_.ProposedFb2Name.clear();
    return false;
  }
  const std::string name = output::WithFb2Extension(chosen);
  try {
    SaveFb2(name);
  } catch (const output::SaveError& failure) {
    ui_.ShowMessage(kProgramName, failure.what());
    return false;
  }
  document_.ProposedFb2Name = name;
  document_.LastFb2Path = name;
  SetWindowCaption(name);
  return true;
}

bool Session::SaveFb2To(const std::string& path) {
  if (path.empty()) return false;
  const std::string name = output::WithFb2Extension(path);
  try {
    SaveFb2(name);
  } catch (const output::SaveError& failure) {
    ui_.ShowMessage(kProgramName, failure.what());
    return false;
  }
  document_.LastFb2Path = name;
  SetWindowCaption(name);
  return true;
}

void Session::Act_SaveResult() {
  if (document_.ProposedFb2Name.empty()) {
    SaveFb2As();
    return;
  }
  // The proposal is written as it stands, whatever its extension.
  const std::string name = document_.ProposedFb2Name;
  try {
    SaveFb2(name);
  } catch (const output::SaveError& failure) {
    ui_.ShowMessage(kProgramName, failure.what());
    return;
  }
  document_.LastFb2Path = platform::ChangeFileExtension(name, ".fb2");
  SetWindowCaption(document_.LastFb2Path);
}

void Session::Act_SaveResultAs() {
  SaveFb2As();
}

void Session::Act_SaveSourceHTMLAs() {
  const std::string chosen = ui_.AskSaveFile("", HtmlFilters(), document_.SourceSaveName, "htm");
  if (chosen.empty()) return;
  const std::string extension = engine::ToLowerAscii(platform::FileExtensionOf(chosen));
  const std::string name = extension == ".html" || extension == ".htm"
                               ? chosen
                               : platform::ChangeFileExtension(chosen, ".htm");
  document_.SourceSaveName = name;
  output::WriteFileAtomically(name, EditorBytes(source_));
  document_.SourceHtmlPath = name;
  SetWindowCaption(name);
}

void Session::Act_SaveSourceHTML() {
  if (document_.SourceSaveName.empty()) {
    Act_SaveSourceHTMLAs();
    return;
  }
  output::WriteFileAtomically(document_.SourceSaveName, EditorBytes(source_));
}

}  // namespace app

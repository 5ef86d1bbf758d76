// Bringing documents into the editors: HTML and word-processor sources into the source editor,
// FB2 files back into the result editor.

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <vector>

#include "app/BusyIndication.h"
#include "app/Session.h"
#include "engine/TextUtil.h"
#include "platform/FileOpenError.h"
#include "platform/Paths.h"
#include "platform/ScratchFolder.h"
#include "source/ExportNames.h"
#include "source/Fb2Reopen.h"
#include "source/HtmlCleanup.h"
#include "source/SourceCharset.h"
#include "source/SourceLanguage.h"

namespace app {
namespace {

using SourceRoute = SourceKind;

SourceRoute RouteOf(std::string_view path) {
  return SourceKindOf(path);
}

const std::vector<FileFilter>& SourceFilters() {
  static const std::vector<FileFilter> filters = {
      {"Source files (*.doc;*.docx;*rtf;*.htm;*.html)", "*.doc;*.docx;*.rtf;*.htm;*.html"},
      {"html files", "*.html;*.htm"},
      {"MS Word files (*.doc;*.docx;*.rtf)", "*.doc;*.docx;*.rtf"}};
  return filters;
}

const std::vector<FileFilter>& Fb2OpenFilters() {
  static const std::vector<FileFilter> filters = {{"FictionBook files (*.fb2)", "*.fb2"},
                                                  {"All Files (*.*)", "*.*"}};
  return filters;
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

LineBreak LineBreakOf(std::string_view text) {
  if (text == "\n") return LineBreak::Lf;
  if (text == "\r") return LineBreak::Cr;
  return LineBreak::CrLf;
}

}  // namespace

bool Session::IsWordDocument(std::string_view path) {
  return RouteOf(path) == SourceRoute::WordDocument;
}

void Session::LoadSourceHtml(const std::string& path) {
  const std::string bytes = platform::ReadFileToOpen(path);
  const std::string text = engine::NormalizeLineBreaks(source::ReadInCodePage(bytes, codePage_));
  // Read before the cleanup, which removes the attributes that declare it.
  document_.SourceLanguage = source::DeclaredLanguage(text);
  source_.Load(
      source::CleanHtml(text, [this](std::string_view message, std::string_view offending) {
        ui_.ShowMessage(message, offending);
      }));
}

source::ExportResult Session::LoadWordDocument(const std::string& fileName) {
  // A document in a folder we may not write to is exported into the private scratch folder.
  const std::string folder = std::filesystem::path(fileName).parent_path().string();
  const std::string besideName =
      access(folder.empty() ? "." : folder.c_str(), W_OK) == 0
          ? fileName
          : scratch_->Path() + std::string(platform::FileNameOf(fileName));
  const source::ExportName name = source::ChooseWordExportName(besideName, source::PathTaken);
  source::ExportResult exported = source::ConvertWithWord(fileName, name.Html, codePage_,
                                                          WordBridge, batchOffice_.lock().get());
  if (!exported) return exported;
  // Remembered before loading, so that the export is removed even when it cannot be read.
  document_.WordExportPath = name.Html;
  wordExportCleanup_ = std::move(exported.Cleanup);
  LoadSourceHtml(name.Html);
  return exported;
}

std::string Session::ChooseSourceFile(const std::string& fileName) {
  std::string name = fileName;
  if (name.empty()) name = ui_.AskOpenFile("Open html file", SourceFilters(), OpenDialogName);
  if (!name.empty()) OpenDialogName = name;
  return name;
}

SourceConversion Session::LoadChosenSource(const std::string& fileName, bool interactive,
                                           OtherExtensions other) {
  if (interactive) ui_.SetStatus(0, fileName);
  ClearSourceDocument();
  ui_.SetStatus(0, fileName);
  if (interactive) document_.SourcePath = fileName;
  SourceConversion outcome;
  SourceRoute route = RouteOf(fileName);
  if (route == SourceRoute::None && other == OtherExtensions::ReadAsHtml) route = SourceRoute::Html;
  switch (route) {
    case SourceRoute::Html:
      LoadSourceHtml(fileName);
      outcome.SourceLoaded = true;
      break;
    case SourceRoute::WordDocument:
      if (const source::ExportResult exported = LoadWordDocument(fileName); exported) {
        outcome.SourceLoaded = true;
      } else {
        outcome.ExportFailed = true;
        outcome.Reason = Quoted(fileName) + " could not be exported to HTML: " + exported.Reason;
      }
      break;
    case SourceRoute::None:
      outcome.NotASource = true;
      outcome.Reason = Quoted(fileName) + " is not a source document " + SourceExtensionList();
      break;
  }
  if (outcome.SourceLoaded) document_.SourceHtmlPath = "New";
  SetWindowCaption(document_.SourceHtmlPath);
  return outcome;
}

bool Session::OpenSource(const std::string& fileName) {
  const std::string name = ChooseSourceFile(fileName);
  if (name.empty()) return false;
  const BusyIndication busy(ui_);
  return LoadChosenSource(name, true).SourceLoaded;
}

bool Session::OpenSourceBatch(const std::string& fileName) {
  document_.WordExportPath.clear();
  const BusyIndication busy(ui_);
  return LoadChosenSource(fileName, false).SourceLoaded;
}

SourceConversion Session::ConvertSourceFile(const std::string& fileName, OtherExtensions other) {
  if (std::optional<SourceConversion> unusable = CheckSourceFile(fileName)) return *unusable;
  const BusyIndication busy(ui_);
  SourceConversion outcome;
  try {
    outcome = LoadChosenSource(fileName, true, other);
  } catch (const platform::FileOpenError& failure) {
    // Readable a moment ago: gone since, or a read error.
    outcome = CheckSourceFile(fileName).value_or(SourceConversion{});
    if (outcome.ErrorCode == 0) outcome.ErrorCode = EIO;
    outcome.Reason = failure.what();
    return outcome;
  }
  if (!outcome.SourceLoaded) return outcome;
  if (source_.LineCount() == 0) {
    outcome.SourceLoaded = false;
    outcome.Reason = Quoted(fileName) + " holds no text to convert";
    return outcome;
  }
  engine::ConversionResult result = ConvertDocument();
  outcome.Ok = result.Ok;
  if (!result) outcome.Reason = std::move(result.Reason);
  return outcome;
}

void Session::Act_openFB2() {
  const std::string path = ui_.AskOpenFile("", Fb2OpenFilters(), document_.LastFb2Path);
  if (path.empty()) return;
  ClearResultDocument();
  LoadFb2File(path);
  document_.LastFb2Path = path;
  document_.ProposedFb2Name = path;
  SetWindowCaption(path);
}

void Session::LoadFb2File(const std::string& path) {
  DetectDeclaredEncoding(path);
  const std::string bytes = platform::ReadFileToOpen(path);
  const source::Fb2Text text =
      source::ReadFb2Text(bytes, settings_.UtfOutput,
                          [this](std::string_view line) { return FromOutputEncoding(line); });
  result_.Load(text.Text);
  result_.SetLineBreakStyle(LineBreakOf(text.LineBreak));
}

}  // namespace app

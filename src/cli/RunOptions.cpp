#include "cli/RunOptions.h"

#include "app/Settings.h"
#include "fb2meta/BookInfo.h"
#include "fb2meta/Dates.h"
#include "platform/ProgramFolder.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>

namespace cli {
namespace {

// A pair of flags that sets `value` only when one of them is given, the last one given winning;
// otherwise the settings file decides.
void AddSwitch(CLI::App& cmd, const std::string& names, std::optional<bool>& value,
               const std::string& description) {
  cmd.add_flag_function(
         names, [&value](std::int64_t count) { value = count > 0; }, description)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

}  // namespace

void AddRunOptions(CLI::App& cmd, RunOptions& o) {
  cmd.add_option("--settings", o.SettingsFile, "Settings file to read (never written)");
  cmd.add_option("--table-mode", o.TableMode, "Tables: as-is, content-only or image")
      ->check(CLI::IsMember({"as-is", "content-only", "image"}));
  cmd.add_option("--title-level", o.TitleLevel, "Heading level that starts a section (1-6)")
      ->check(CLI::Range(1, 6));
  AddSwitch(cmd, "--hyperlinks,!--no-hyperlinks", o.Hyperlinks, "Keep hyperlinks");
  AddSwitch(cmd, "--utf8,!--no-utf8", o.Utf8, "Write UTF-8 instead of the 8-bit code page");
  cmd.add_flag("--zip", o.Zip, "Pack the FB2 into OUT.zip");
  cmd.add_option("--charset", o.Charset, "Character set (ANSI_CHARSET, RUSSIAN_CHARSET, ...)")
      ->check(CLI::IsMember(
          std::vector<std::string>(std::begin(app::kCharsetNames), std::end(app::kCharsetNames))));
  cmd.add_option("--codepage", o.CodePage, "System code page (1250-1258, 874, 932, ...)");
  AddSwitch(cmd, "--repair,!--no-repair", o.Repair,
            "Rebuild the body into well-formed FB2 (the default; --no-repair keeps it as "
            "converted)");
  cmd.add_option("--title", o.Answers.Title, "Book title");
  cmd.add_option("--author", o.Authors, "Author as \"First|Middle|Last\" (repeatable, up to 4)");
  cmd.add_option("--genre", o.Answers.Genres, "Genre code (repeatable)");
  cmd.add_option("--lang", o.Answers.Language,
                 "Language of the book (default: the one the source declares, else the settings' "
                 "default language)");
  cmd.add_option("--cover", o.Answers.CoverImagePath, "Cover picture");
  // The date box's own check: a day 1-31 and a month 1-12 where the dialog reads them.
  cmd.add_option("--date", o.Answers.Date, "Document date, DD.MM.YYYY")
      ->check([](const std::string& date) {
        fb2meta::BookInfo info;
        info.DocumentDate = date;
        return fb2meta::CheckDocumentDate(info) ? std::string()
                                                : std::string(fb2meta::kDateIsWrong);
      });
  cmd.add_option("--id", o.Answers.DocumentId, "Document id");
  cmd.add_option("--version", o.Answers.Version, "Document version");
}

BookInfoAnswers BookInfoAnswersFor(const RunOptions& o) {
  BookInfoAnswers answers = o.Answers;
  for (const std::string& author : o.Authors) answers.Authors.push_back(ParseAuthor(author));
  if (o.Utf8) answers.UtfOutput = *o.Utf8;
  if (o.Zip) answers.PackToZip = true;
  return answers;
}

void ApplyRunOptions(const RunOptions& o, app::ConversionSettings& s) {
  if (o.TableMode == "as-is") s.TableMode = app::TableMode::AsIs;
  if (o.TableMode == "content-only") s.TableMode = app::TableMode::ContentOnly;
  if (o.TableMode == "image") s.TableMode = app::TableMode::ConvertToImage;
  if (o.TitleLevel >= 1) s.TitleHeadingLevel = o.TitleLevel - 1;
  if (o.Hyperlinks) s.ShowHyperlinks = *o.Hyperlinks;
  if (o.Utf8) s.UtfOutput = *o.Utf8;
  if (o.Zip) s.PackToZip = true;
  if (o.Repair) s.RepairStructure = *o.Repair;
  for (int i = 0; i < static_cast<int>(std::size(app::kCharsetNames)); ++i)
    if (o.Charset == app::kCharsetNames[i]) s.Charset = i;
}

void ApplyCodePageOption(const RunOptions& o) {
  if (o.CodePage > 0) setenv("VELLUMOR_CODEPAGE", std::to_string(o.CodePage).c_str(), 1);
}

std::string ProgramFolder() {
  const std::filesystem::path folder = platform::ProgramFolder();
  return folder.empty() ? std::string(".") : folder.string();
}

std::string SettingsFileFor(const RunOptions& o) {
  return o.SettingsFile.empty() ? app::SettingsFilePath(ProgramFolder()) : o.SettingsFile;
}

void LoadRunSettings(app::Session& session, const RunOptions& o) {
  session.LoadSettings();
  ApplyRunOptions(o, session.Settings());
  session.ApplyCharset(source::CharsetNumber(app::kCharsetNames[session.Settings().Charset]), true);
}

}  // namespace cli

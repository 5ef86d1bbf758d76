#include "cli/RunOptions.h"

#include "app/BookInfoSettings.h"
#include "app/Settings.h"
#include "app/SourceConversion.h"
#include "cli/Commands.h"
#include "engine/TextUtil.h"
#include "fb2meta/BookInfo.h"
#include "fb2meta/Dates.h"
#include "fb2meta/Genres.h"
#include "images/DecodeError.h"
#include "images/JpegCodec.h"
#include "images/PictureFiles.h"
#include "images/PngCodec.h"
#include "platform/CodePage.h"
#include "platform/Paths.h"
#include "platform/ProgramFolder.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace cli {
namespace {

// The settings the options' help shows as their defaults; nothing unless help was asked for.
std::optional<app::ConversionSettings>& HelpDefaults() {
  static std::optional<app::ConversionSettings> defaults;
  return defaults;
}

// The document information the settings file gives each book, in the terminal's UTF-8.
struct DocumentInfoTexts {
  std::string Author;  // "First|Middle|Last", empty when no part is set
  std::string NickName, EMails, HomePages, SourceUrls;
};
std::string& HelpSettingsFile() {
  static std::string path;
  return path;
}
std::optional<DocumentInfoTexts>& HelpDocumentInfo() {
  static std::optional<DocumentInfoTexts> texts;
  return texts;
}

// Shows a text of the settings file as the option's default when there is one.
CLI::Option* WithTextDefault(CLI::Option* option, std::string DocumentInfoTexts::*field) {
  const std::optional<DocumentInfoTexts>& texts = HelpDocumentInfo();
  if (texts && !((*texts).*field).empty()) option->default_str((*texts).*field);
  return option;
}

std::string OnOff(bool on) {
  return on ? "on" : "off";
}

// A pair of flags that sets `value` only when one of them is given, the last one given winning;
// otherwise the settings file decides (`now`: what it says, shown in the help).
void AddSwitch(CLI::App& cmd, const std::string& names, std::optional<bool>& value,
               const std::string& description, std::optional<bool> now) {
  cmd.add_flag_function(
         names, [&value](std::int64_t count) { value = count > 0; },
         now ? description + " [settings: " + OnOff(*now) + "]" : description)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

// Shows `text` as the option's default in the help when the settings were read.
CLI::Option* WithDefault(CLI::Option* option, const std::optional<std::string>& text) {
  if (text) option->default_str(*text);
  return option;
}

// A person's name option: "First|Middle|Last".
CLI::Validator PersonNameCheck() {
  return CLI::Validator(
      [](const std::string& text) {
        return std::count(text.begin(), text.end(), '|') <= 2
                   ? std::string()
                   : std::string("a name is \"First|Middle|Last\"");
      },
      "First|Middle|Last");
}

const char* const kTableModes[] = {"as-is", "content-only", "image"};
const char* const kTableBorders[] = {"as-source", "visible"};

void CheckGenres(const std::vector<std::string>& genres, const std::vector<std::string>& known) {
  if (known.empty()) return;  // no genre file beside the program: nothing to check against
  for (const std::string& genre : genres) {
    const bool listed = std::any_of(known.begin(), known.end(), [&](const std::string& entry) {
      return engine::Trim(entry) == genre;
    });
    if (listed) continue;
    std::string message = "unknown genre \"" + genre + "\" (not in " + GenreFilePath() + ")";
    const std::vector<std::string> nearest = fb2meta::NearestGenres(genre, known);
    for (size_t i = 0; i < nearest.size(); ++i)
      message += (i == 0 ? "; nearest known: " : ", ") + nearest[i];
    throw InputError(message);
  }
}

// The cover must be a JPEG (.jpg) or PNG (.png) picture that decodes.
void CheckCover(const std::string& path) {
  if (const std::optional<app::SourceConversion> unusable = app::CheckSourceFile(path))
    throw InputError("--cover: " + unusable->Reason);
  const std::string_view extension = platform::FileExtensionOf(path);
  if (extension != ".jpg" && extension != ".png")
    throw InputError("--cover: \"" + path + "\" is not a .jpg or .png picture");
  try {
    const std::string bytes = images::ReadPictureFile(path);
    if (extension == ".jpg") {
      images::DecodeJpeg(bytes);
    } else {
      images::DecodePng(bytes);
    }
  } catch (const images::ImageError& failure) {
    throw InputError("--cover: the picture \"" + path + "\" cannot be decoded: " + failure.what());
  }
}

}  // namespace

std::shared_ptr<CLI::Formatter> HelpFormatter() {
  class Formatter : public CLI::Formatter {
   public:
    std::string make_option_name(const CLI::Option* option, bool positional) const override {
      std::string name = CLI::Formatter::make_option_name(option, positional);
      for (const std::string_view value : {"{false}", "{true}"}) {
        for (size_t at; (at = name.find(value)) != std::string::npos;) name.erase(at, value.size());
      }
      return name;
    }
  };
  return std::make_shared<Formatter>();
}

void ReadHelpDefaults(int argc, const char* const* argv) {
  std::string settingsFile;
  bool help = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "--help") help = true;
    if (arg == "--settings" && i + 1 < argc) settingsFile = argv[i + 1];
    if (arg.starts_with("--settings=")) settingsFile = arg.substr(11);
  }
  if (!help) return;
  if (settingsFile.empty()) settingsFile = app::SettingsFilePath(ProgramFolder());
  HelpSettingsFile() = settingsFile;
  const app::IniFile file(settingsFile);
  app::ConversionSettings settings;
  app::LoadSettings(file, settings);
  HelpDefaults() = settings;
  fb2meta::BookInfo info;
  app::LoadDocumentAuthor(file, info);
  const platform::CodePage codePage(platform::SystemCodePageNumber());
  const fb2meta::DocumentAuthorInfo& a = info.DocumentAuthor;
  DocumentInfoTexts texts;
  if (!a.FirstName.empty() || !a.MiddleName.empty() || !a.LastName.empty())
    texts.Author = codePage.ToUtf8(a.FirstName + "|" + a.MiddleName + "|" + a.LastName);
  texts.NickName = codePage.ToUtf8(a.NickName);
  texts.EMails = codePage.ToUtf8(a.EMails);
  texts.HomePages = codePage.ToUtf8(a.HomePages);
  texts.SourceUrls = codePage.ToUtf8(info.SourceUrls);
  HelpDocumentInfo() = texts;
}

void AddRunOptions(CLI::App& cmd, RunOptions& o) {
  const std::optional<app::ConversionSettings>& now = HelpDefaults();
  const auto show = [&now](auto field) -> std::optional<std::string> {
    if (!now) return std::nullopt;
    return field(*now);
  };
  const auto flag = [&now](bool app::ConversionSettings::*field) -> std::optional<bool> {
    if (!now) return std::nullopt;
    return (*now).*field;
  };

  WithDefault(cmd.add_option("--settings", o.SettingsFile, "Settings file to read (never written)"),
              now ? std::optional<std::string>(HelpSettingsFile()) : std::nullopt);
  // Settings of the conversion.
  WithDefault(cmd.add_option("--table-mode", o.TableMode, "Tables: as-is, content-only or image"),
              show([](const app::ConversionSettings& s) {
                return std::string(kTableModes[static_cast<int>(s.TableMode)]);
              }))
      ->check(CLI::IsMember({"as-is", "content-only", "image"}));
  WithDefault(
      cmd.add_option("--title-level", o.TitleLevel, "Heading level that starts a section (1-6)"),
      show(
          [](const app::ConversionSettings& s) { return std::to_string(s.TitleHeadingLevel + 1); }))
      ->check(CLI::Range(1, 6));
  AddSwitch(cmd, "--hyperlinks,!--no-hyperlinks", o.Hyperlinks, "Keep hyperlinks",
            flag(&app::ConversionSettings::ShowHyperlinks));
  AddSwitch(cmd, "--utf8,!--no-utf8", o.Utf8, "Write UTF-8 instead of the 8-bit code page",
            flag(&app::ConversionSettings::UtfOutput));
  AddSwitch(cmd, "--zip,!--no-zip", o.Zip, "Pack the FB2 into OUT.zip",
            flag(&app::ConversionSettings::PackToZip));
  WithDefault(
      cmd.add_option("--charset", o.Charset, "Character set (ANSI_CHARSET, RUSSIAN_CHARSET, ...)"),
      show([](const app::ConversionSettings& s) {
        return std::string(app::kCharsetNames[s.Charset]);
      }))
      ->check(CLI::IsMember(
          std::vector<std::string>(std::begin(app::kCharsetNames), std::end(app::kCharsetNames))));
  WithDefault(
      cmd.add_option("--codepage", o.CodePage, "System code page (1250-1258, 874, 932, ...)"),
      now ? std::optional<std::string>(std::to_string(platform::SystemCodePageNumber()))
          : std::nullopt);
  AddSwitch(cmd, "--repair,!--no-repair", o.Repair,
            "Rebuild the body into well-formed FB2 (--no-repair keeps it as converted)",
            flag(&app::ConversionSettings::RepairStructure));
  AddSwitch(cmd, "--resize-images,!--no-resize-images", o.ResizeImages,
            "Scale pictures down to the largest width and height",
            flag(&app::ConversionSettings::ResizeImages));
  WithDefault(
      cmd.add_option("--max-image-width", o.MaxImageWidth, "Largest picture width, pixels"),
      show([](const app::ConversionSettings& s) { return std::to_string(s.MaxImageWidth); }))
      ->check(CLI::PositiveNumber);
  WithDefault(
      cmd.add_option("--max-image-height", o.MaxImageHeight, "Largest picture height, pixels"),
      show([](const app::ConversionSettings& s) { return std::to_string(s.MaxImageHeight); }))
      ->check(CLI::PositiveNumber);
  WithDefault(cmd.add_option("--table-border", o.TableBorder,
                             "Borders of table pictures: as-source or visible"),
              show([](const app::ConversionSettings& s) {
                return std::string(kTableBorders[static_cast<int>(s.TableBorder)]);
              }))
      ->check(CLI::IsMember({"as-source", "visible"}));
  WithDefault(cmd.add_option("--table-font", o.TableFont, "Font of table pictures"),
              show([](const app::ConversionSettings& s) { return s.TableFontName; }));
  WithDefault(
      cmd.add_option("--table-font-size", o.TableFontSize, "Font size of table pictures, points"),
      show([](const app::ConversionSettings& s) { return std::to_string(s.TableFontSize); }))
      ->check(CLI::Range(1, 200));

  // The book information.
  cmd.add_option("--title", o.Answers.Title, "Book title (default: FILE's name)");
  // One value for each of these options, so that the FILEs after them stay FILEs.
  cmd.add_option("--author", o.Authors, "Author as \"First|Middle|Last\" (repeatable, up to 4)")
      ->check(PersonNameCheck())
      ->allow_extra_args(false);
  cmd.add_option("--genre", o.Answers.Genres,
                 "Genre code from " + std::string(fb2meta::kGenreFileName) + " (repeatable)")
      ->allow_extra_args(false);
  WithDefault(cmd.add_option("--lang", o.Answers.Language,
                             "Language of the book (default: the one the source declares, else "
                             "the settings' default language)"),
              show([](const app::ConversionSettings& s) { return s.DefaultLanguage; }));
  cmd.add_option("--cover", o.Answers.CoverImagePath, "Cover picture (.jpg or .png)");
  // The date box's own check: a day 1-31 and a month 1-12 where the dialog reads them.
  cmd.add_option("--date", o.Answers.Date, "Document date, DD.MM.YYYY (default: today)")
      ->check([](const std::string& date) {
        fb2meta::BookInfo info;
        info.DocumentDate = date;
        return fb2meta::CheckDocumentDate(info) ? std::string()
                                                : std::string(fb2meta::kDateIsWrong);
      });
  cmd.add_option("--id", o.Answers.DocumentId, "Document id (default: a new one)");
  cmd.add_option("--version", o.Answers.Version, "Document version (default: 1)");
  // The document information: who made the FB2 and from where (default: the settings file).
  WithTextDefault(cmd.add_option("--doc-author", o.DocumentAuthor,
                                 "Author of the FB2 document as \"First|Middle|Last\""),
                  &DocumentInfoTexts::Author)
      ->check(PersonNameCheck());
  WithTextDefault(cmd.add_option("--doc-nickname", o.Answers.DocumentNickName,
                                 "Nickname of the document author"),
                  &DocumentInfoTexts::NickName);
  WithTextDefault(cmd.add_option("--doc-email", o.Answers.DocumentEMails,
                                 "E-mail of the document author (several separated by \";\")"),
                  &DocumentInfoTexts::EMails);
  WithTextDefault(cmd.add_option("--doc-homepage", o.Answers.DocumentHomePages,
                                 "Home page of the document author (several separated by \";\")"),
                  &DocumentInfoTexts::HomePages);
  WithTextDefault(cmd.add_option("--source-url", o.Answers.SourceUrls,
                                 "Where the source came from (several separated by \";\")"),
                  &DocumentInfoTexts::SourceUrls);
}

BookInfoAnswers BookInfoAnswersFor(const RunOptions& o) {
  BookInfoAnswers answers = o.Answers;
  for (const std::string& author : o.Authors) answers.Authors.push_back(ParseAuthor(author));
  if (o.DocumentAuthor) answers.DocumentAuthor = ParseAuthor(*o.DocumentAuthor);
  if (o.Utf8) answers.UtfOutput = *o.Utf8;
  if (o.Zip) answers.PackToZip = *o.Zip;
  return answers;
}

void ApplyRunOptions(const RunOptions& o, app::ConversionSettings& s) {
  if (o.TableMode == "as-is") s.TableMode = app::TableMode::AsIs;
  if (o.TableMode == "content-only") s.TableMode = app::TableMode::ContentOnly;
  if (o.TableMode == "image") s.TableMode = app::TableMode::ConvertToImage;
  if (o.TitleLevel >= 1) s.TitleHeadingLevel = o.TitleLevel - 1;
  if (o.Hyperlinks) s.ShowHyperlinks = *o.Hyperlinks;
  if (o.Utf8) s.UtfOutput = *o.Utf8;
  if (o.Zip) s.PackToZip = *o.Zip;
  if (o.Repair) s.RepairStructure = *o.Repair;
  for (int i = 0; i < static_cast<int>(std::size(app::kCharsetNames)); ++i)
    if (o.Charset == app::kCharsetNames[i]) s.Charset = i;
  if (o.ResizeImages) s.ResizeImages = *o.ResizeImages;
  if (o.MaxImageWidth) s.MaxImageWidth = *o.MaxImageWidth;
  if (o.MaxImageHeight) s.MaxImageHeight = *o.MaxImageHeight;
  if (o.TableBorder == "as-source") s.TableBorder = app::TableBorder::AsSource;
  if (o.TableBorder == "visible") s.TableBorder = app::TableBorder::Visible;
  if (o.TableFont) s.TableFontName = *o.TableFont;
  if (o.TableFontSize) s.TableFontSize = *o.TableFontSize;
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

std::string GenreFilePath() {
  return ProgramFolder() + "/" + std::string(fb2meta::kGenreFileName);
}

void CheckBookOptions(const RunOptions& o, const std::vector<std::string>& genres) {
  if (o.Authors.size() > 4) throw InputError("at most four --author options");
  CheckGenres(o.Answers.Genres, genres);
  if (o.Answers.CoverImagePath) CheckCover(*o.Answers.CoverImagePath);
}

}  // namespace cli

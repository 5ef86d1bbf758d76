#pragma once
// The options that convert and batch share: settings overrides for one run and the answers of
// the book information dialog.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "app/ConversionSettings.h"
#include "app/Session.h"
#include "cli/CliUserInterface.h"

namespace cli {

struct RunOptions {
  std::string SettingsFile;  // empty: the program's own settings file
  std::string TableMode;     // "as-is", "content-only", "image"
  int TitleLevel = 0;        // 1..6; 0 = from the settings
  std::optional<bool> Hyperlinks;
  std::optional<bool> Utf8;
  std::optional<bool> Zip;
  std::string Charset;
  int CodePage = 0;
  std::optional<bool> Repair;
  // Pictures: scaled down to fit the largest width and height (pixels).
  std::optional<bool> ResizeImages;
  std::optional<int> MaxImageWidth;
  std::optional<int> MaxImageHeight;
  // Table pictures: "as-source" or "visible" borders, the font and its size (points).
  std::string TableBorder;
  std::optional<std::string> TableFont;
  std::optional<int> TableFontSize;
  std::vector<std::string> Authors;
  std::optional<std::string> DocumentAuthor;  // "First|Middle|Last"
  BookInfoAnswers Answers;
};

// Adds the shared options to a sub-command. Their help shows the values the settings file
// gives (see ReadHelpDefaults).
void AddRunOptions(CLI::App& cmd, RunOptions& options);

// When the command line asks for help, reads the settings file it names with --settings (else
// the program's own) so that the options' help shows the values that apply without them.
void ReadHelpDefaults(int argc, const char* const* argv);

// The help's formatter: a pair of switches reads "--zip,--no-zip", without the flag value CLI11
// would show after it ("{false}"), which is not what applies; the description says that.
std::shared_ptr<CLI::Formatter> HelpFormatter();

// The answers of the book information dialog: the dialog options with the authors parsed and
// the output choices.
BookInfoAnswers BookInfoAnswersFor(const RunOptions& options);

// Applies the options to the settings of this run (never written back).
void ApplyRunOptions(const RunOptions& options, app::ConversionSettings& settings);

// Sets VELLUMOR_CODEPAGE for --codepage; call before a Session is made.
void ApplyCodePageOption(const RunOptions& options);

// The folder of the running binary.
std::string ProgramFolder();

// The settings file this run reads: --settings, else the program's own.
std::string SettingsFileFor(const RunOptions& options);

// Loads the settings file into the session and applies the options over it.
void LoadRunSettings(app::Session& session, const RunOptions& options);

// Input errors of the book options, found before anything is converted: more than four
// authors, a --genre code that `genres` (the genre file's entries; nothing checked when empty)
// does not hold, the message naming the nearest known codes, and a --cover that is missing or
// no picture that can be decoded. Throws InputError.
void CheckBookOptions(const RunOptions& options, const std::vector<std::string>& genres);

// The genre file beside the program.
std::string GenreFilePath();

// The warning for a book without a genre, which the FB2 schema requires.
inline constexpr std::string_view kNoGenreWarning =
    "warning: the book has no genre, which the FB2 schema requires (give one with --genre CODE)";

}  // namespace cli

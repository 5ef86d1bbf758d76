#pragma once
// The options that convert and batch share: settings overrides for one run and the answers of
// the book information dialog.

#include <memory>
#include <optional>
#include <string>

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
  bool Zip = false;
  std::string Charset;
  int CodePage = 0;
  std::optional<bool> Repair;
  std::vector<std::string> Authors;
  BookInfoAnswers Answers;
};

// Adds the shared options to a sub-command.
void AddRunOptions(CLI::App& cmd, RunOptions& options);

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

}  // namespace cli

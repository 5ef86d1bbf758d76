// vellumor-cli convert FILE [-o OUT|-]: one interactive conversion whose dialogs the options
// answer, saved to OUT (default: FILE's folder and name with ".fb2").

#include <filesystem>
#include <iostream>

#include "app/PlainTextEditor.h"
#include "app/Session.h"
#include "cli/Commands.h"
#include "cli/RunOptions.h"
#include "output/Fb2Saving.h"
#include "output/SaveError.h"
#include "platform/Paths.h"

namespace cli {
namespace {

struct ConvertArgs {
  std::string File;
  std::string Out;
  bool Validate = false;
  std::optional<int> NameVariant;
  RunOptions Run;
};

std::string DefaultOutput(const std::string& file) {
  return std::filesystem::path(file).replace_extension(".fb2").string();
}

// True when both paths name one existing file, through links too.
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

// Saving over the source would lose it: refused before anything is written.
void CheckOutputIsNotTheSource(const std::string& source, const std::string& out, bool zip) {
  const std::string written = zip ? output::ZipArchiveName(out) : out;
  if (SameFile(source, written))
    throw InputError("the output \"" + written + "\" is the source file \"" + source +
                     "\" itself; name another with -o");
}

int RunConvert(ConvertArgs& args) {
  ApplyCodePageOption(args.Run);

  CliUserInterface ui;
  ui.Answers = BookInfoAnswersFor(args.Run);
  if (args.NameVariant) ui.Answers.FileNameVariant = *args.NameVariant;

  app::PlainTextEditor sourceEditor, resultEditor;
  app::Session session(ui, sourceEditor, resultEditor, ProgramFolder(), SettingsFileFor(args.Run));
  LoadRunSettings(session, args.Run);
  session.WriteBackSettings = false;  // the settings file is only read
  // The command line always answers the book information dialog.
  session.Settings().ShowTitleInfo = true;
  CheckBookOptions(args.Run, session.AvailableGenres());
  if (args.Out != "-" && !(args.Out.empty() && args.NameVariant)) {
    CheckOutputIsNotTheSource(args.File, args.Out.empty() ? DefaultOutput(args.File) : args.Out,
                              session.Settings().PackToZip);
  }

  // A word-processor document goes through its HTML export, removed again on every way out.
  struct ExportRemoval {
    app::Session& Owner;
    ~ExportRemoval() { Owner.RemoveWordExport(); }
  } removal{session};
  const app::SourceConversion outcome = session.ConvertSourceFile(args.File);
  if (outcome.ErrorCode != 0 || outcome.NotASource) throw InputError(outcome.Reason);
  if (!outcome) {
    ui.ShowMessage({}, app::ConversionFailedMessage(outcome.Reason));
    return kExitFailed;
  }
  if (session.Book().Genres.empty()) std::cerr << "vellumor-cli: " << kNoGenreWarning << "\n";
  if (args.Out == "-") {
    WriteStandardOutput(session.Fb2FileBytes());
    return kExitOk;
  }
  std::string out = args.Out.empty() ? DefaultOutput(args.File) : args.Out;
  // --name-variant without -o: the name the book information proposes, beside FILE.
  if (args.Out.empty() && args.NameVariant && !session.Document().ProposedFb2Name.empty()) {
    out = (std::filesystem::path(args.File).parent_path() / session.Document().ProposedFb2Name)
              .string();
  }
  CheckOutputIsNotTheSource(args.File, out, session.Settings().PackToZip);
  // Written as a save writes it: in the declared encoding, packed with --zip.
  try {
    session.SaveFb2(out);
  } catch (const output::SaveError& failure) {
    throw WriteError(failure.what());
  }
  const std::string written = session.Settings().PackToZip ? session.Document().LastZipPath : out;
  std::cerr << written << "\n";
  return args.Validate ? PrintValidation(written, std::cout) : kExitOk;
}

}  // namespace

void RegisterConvertCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand(
      "convert", "Convert FILE (.htm, .html, .xhtml, .xht, .doc, .docx, .rtf) into an FB2 e-book");
  auto args = std::make_shared<ConvertArgs>();
  cmd->add_option("FILE", args->File, "Source document")->required();
  cmd->add_option("-o,--output", args->Out, "Output FB2 file, or - for stdout");
  cmd->add_flag("--validate", args->Validate, "Check the written FB2 against the schema");
  cmd->add_option("--name-variant", args->NameVariant,
                  "Without -o, name the FB2 after the book, beside FILE: 1 as typed "
                  "(\"Last F.M. Title.fb2\"), 2 transliterated (\"Last_F._Title.fb2\")")
      ->check(CLI::Range(1, 2));
  AddRunOptions(*cmd, args->Run);
  cmd->callback([args, &exitCode] { exitCode = RunConvert(*args); });
}

}  // namespace cli

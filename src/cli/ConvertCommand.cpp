// vellumor-cli convert FILE [-o OUT|-]: one interactive conversion whose dialogs the options
// answer, saved to OUT (default: FILE's folder and name with ".fb2").

#include <filesystem>
#include <iostream>

#include "app/PlainTextEditor.h"
#include "app/Session.h"
#include "cli/Commands.h"
#include "cli/RunOptions.h"
#include "output/SaveError.h"

namespace cli {
namespace {

struct ConvertArgs {
  std::string File;
  std::string Out;
  bool Validate = false;
  RunOptions Run;
};

std::string DefaultOutput(const std::string& file) {
  return std::filesystem::path(file).replace_extension(".fb2").string();
}

int RunConvert(ConvertArgs& args) {
  if (args.Run.Authors.size() > 4) throw InputError("at most four --author options");
  ApplyCodePageOption(args.Run);

  CliUserInterface ui;
  ui.Answers = args.Run.Answers;
  for (const std::string& author : args.Run.Authors)
    ui.Answers.Authors.push_back(ParseAuthor(author));
  if (args.Run.Utf8) ui.Answers.UtfOutput = *args.Run.Utf8;
  if (args.Run.Zip) ui.Answers.PackToZip = true;

  app::PlainTextEditor sourceEditor, resultEditor;
  app::Session session(ui, sourceEditor, resultEditor, ProgramFolder(), SettingsFileFor(args.Run));
  LoadRunSettings(session, args.Run);
  session.WriteBackSettings = false;  // the settings file is only read
  // The command line always answers the book information dialog.
  session.Settings().ShowTitleInfo = true;

  // A word-processor document goes through its HTML export, removed again on every way out.
  struct ExportRemoval {
    app::Session& Owner;
    ~ExportRemoval() { Owner.RemoveWordExport(); }
  } removal{session};
  // Any extension but a word processor's is read as HTML.
  const app::SourceConversion outcome =
      session.ConvertSourceFile(args.File, app::OtherExtensions::ReadAsHtml);
  if (outcome.ErrorCode != 0) throw InputError(outcome.Reason);
  if (!outcome) {
    ui.ShowMessage({}, app::ConversionFailedMessage(outcome.Reason));
    return kExitFailed;
  }
  if (args.Out == "-") {
    const std::string document = session.Fb2FileBytes();
    std::cout.write(document.data(), static_cast<std::streamsize>(document.size()));
    return std::cout.flush() ? kExitOk : kExitFailed;
  }
  const std::string out = args.Out.empty() ? DefaultOutput(args.File) : args.Out;
  // Written as a save writes it: in the declared encoding, packed with --zip.
  try {
    session.SaveFb2(out);
  } catch (const output::SaveError& failure) {
    throw InputError(failure.what());
  }
  const std::string written = session.Settings().PackToZip ? session.Document().LastZipPath : out;
  std::cerr << written << "\n";
  return args.Validate ? PrintValidation(written, std::cout) : kExitOk;
}

}  // namespace

void RegisterConvertCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand(
      "convert", "Convert FILE (.htm, .html, .doc, .docx, .rtf) into an FB2 e-book");
  auto args = std::make_shared<ConvertArgs>();
  cmd->add_option("FILE", args->File, "Source document")->required();
  cmd->add_option("-o,--output", args->Out, "Output FB2 file, or - for stdout");
  cmd->add_flag("--validate", args->Validate, "Check the written FB2 against the schema");
  AddRunOptions(*cmd, args->Run);
  cmd->callback([args, &exitCode] { exitCode = RunConvert(*args); });
}

}  // namespace cli

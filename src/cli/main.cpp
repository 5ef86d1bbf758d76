// vellumor-cli: the converter without windows. See README.md for the commands.

#include <iostream>

#include "cli/Commands.h"
#include "cli/RunOptions.h"
#include "platform/Interrupts.h"
#include "platform/MemoryReuse.h"

int main(int argc, char** argv) {
  platform::InstallInterruptHandlers();  // an interrupt leaves no program, export or scratch file
  platform::KeepFreedMemoryForReuse();   // a batch converts many books in one process
  CLI::App app{"Vellumor: converts HTML and word-processor documents into FB2 e-books.",
               "vellumor-cli"};
  app.require_subcommand(1);
  app.formatter(cli::HelpFormatter());
  cli::ReadHelpDefaults(argc, argv);
  int exitCode = cli::kExitOk;
  cli::RegisterCleanCommand(app, exitCode);
  cli::RegisterConvertCommand(app, exitCode);
  cli::RegisterValidateCommand(app, exitCode);
  cli::RegisterBatchCommand(app, exitCode);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return cli::kExitUsage;
  } catch (const cli::InputError& e) {
    std::cerr << "vellumor-cli: " << e.what() << "\n";
    return cli::kExitUsage;
  } catch (const cli::WriteError& e) {
    std::cerr << "vellumor-cli: " << e.what() << "\n";
    return cli::kExitWriteFailed;
  } catch (const std::exception& e) {
    std::cerr << "vellumor-cli: " << e.what() << "\n";
    return cli::kExitFailed;
  }
  return exitCode;
}

// vellumor-cli validate FILE...: checks FB2 files (plain or zipped) for well-formedness and
// against the FB2 schema. One line per problem, then one summary line per file.

#include <algorithm>
#include <iostream>
#include <memory>
#include <vector>

#include "cli/Commands.h"
#include "output/Validation.h"

namespace cli {

namespace {

// Prints the problems and the summary of one file; kExitOk when it is valid.
int PrintReport(const std::string& path, const output::ValidationReport& report,
                std::ostream& out) {
  for (const output::ValidationProblem& p : report.Problems) {
    out << path << ":" << p.Line << ":" << p.Column << ": " << p.Message << "\n";
  }
  out << path << ": " << report.Summary() << "\n";
  return report.Valid() ? kExitOk : kExitFailed;
}

int CheckFile(const output::Fb2Validator& validator, const std::string& path, std::ostream& out) {
  std::string bytes;
  try {
    bytes = output::ReadFb2File(path);
  } catch (const output::ValidationError& e) {
    std::cerr << "vellumor-cli: " << e.what() << "\n";
    return kExitUsage;
  }
  return PrintReport(path, validator.Check(bytes), out);
}

}  // namespace

int PrintValidation(const std::string& path, std::ostream& out) {
  const output::Fb2Validator validator;
  return CheckFile(validator, path, out);
}

void RegisterValidateCommand(CLI::App& app, int& exitCode) {
  auto* cmd =
      app.add_subcommand("validate", "Check FB2 files (.fb2 or .fb2.zip) against the schema");
  auto files = std::make_shared<std::vector<std::string>>();
  cmd->add_option("FILE", *files, "FB2 files")->required();
  cmd->callback([files, &exitCode] {
    const output::Fb2Validator validator;
    int status = kExitOk;
    for (const std::string& path : *files) {
      status = std::max(status, CheckFile(validator, path, std::cout));
    }
    CheckStandardOutput();
    exitCode = status;
  });
}

}  // namespace cli

// vellumor-cli clean FILE: the cleaned HTML, as the source editor would hold it, on stdout.

#include <iostream>

#include "cli/Commands.h"
#include "engine/TextUtil.h"
#include "platform/CodePage.h"
#include "source/HtmlCleanup.h"
#include "source/SourceCharset.h"

namespace cli {

void RegisterCleanCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("clean", "Print the cleaned HTML of FILE");
  auto file = std::make_shared<std::string>();
  cmd->add_option("FILE", *file, "HTML file")->required();
  cmd->callback([file, &exitCode] {
    const platform::CodePage codePage(platform::SystemCodePageNumber());
    const std::string text =
        engine::NormalizeLineBreaks(source::ReadInCodePage(ReadInputFile(*file), codePage));
    WriteStandardOutput(source::CleanHtml(text, PrintTokenizerReport));
    exitCode = kExitOk;
  });
}

}  // namespace cli

#include "support/WordDocuments.h"

#include <filesystem>

#include "platform/Subprocess.h"
#include "source/WordBridge.h"

namespace testsupport {

std::string SampleRtf() {
  return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Times New Roman;}}\n"
         "{\\stylesheet{\\s0 Normal;}{\\s1\\b\\fs32 heading 1;}}\n"
         "{\\pard\\s1\\outlinelevel0\\b\\fs32 Chapter One\\par}\n"
         "{\\pard Plain \\b bold\\b0  and \\i italic\\i0  text.\\par}\n"
         "{\\pard \\u1055?\\u1088?\\u1080?\\u1074?\\u1077?\\u1090? \\u1084?\\u1080?\\u1088?\\par}\n"
         "{\\pard{\\pntext\\bullet\\tab}{\\*\\pn\\pnlvlblt\\pnindent360{\\pntxtb\\bullet}}"
         "\\fi-360\\li720 First item\\par}\n"
         "{\\pard{\\pntext\\bullet\\tab}{\\*\\pn\\pnlvlblt\\pnindent360{\\pntxtb\\bullet}}"
         "\\fi-360\\li720 Second item\\par}\n"
         "\\trowd\\cellx2000\\cellx4000 \\pard\\intbl A1\\cell B1\\cell\\row\n"
         "\\trowd\\cellx2000\\cellx4000 \\pard\\intbl A2\\cell B2\\cell\\row\n"
         "\\pard {\\pict\\pngblip\\picw2\\pich2\\picwgoal600\\pichgoal600 "
         "89504e470d0a1a0a0000000d4948445200000002000000020802000000fdd49a"
         "730000001049444154789c63f8cfc000440c100a001fee03fd8b5f14d4000000"
         "0049454e44ae426082}\\par\n"
         "}\n";
}

bool HaveLibreOffice() {
  return !platform::FindOnPath("soffice").empty();
}

std::string ConvertWithLibreOffice(const std::string& source, const std::string& format,
                                   const std::string& folder) {
  namespace fs = std::filesystem;
  const std::string program = platform::FindOnPath("soffice");
  if (program.empty()) return {};
  const fs::path profile = fs::path(folder) / "lo-profile";
  const platform::RunOutcome run = platform::RunWithTimeLimit(
      {program, "-env:UserInstallation=file://" + source::PercentEncode(profile.string()),
       "--headless", "--norestore", "--nolockcheck", "--convert-to", format, "--outdir", folder,
       source},
      std::chrono::seconds(180));
  std::error_code ec;
  fs::remove_all(profile, ec);
  const std::string extension = format.substr(0, format.find(':'));
  const fs::path made = fs::path(folder) / fs::path(source).filename().replace_extension(extension);
  if (!run.Started || run.TimedOut || !fs::exists(made)) return {};
  return made.string();
}

}  // namespace testsupport

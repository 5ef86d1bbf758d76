#include "source/WordBridge.h"

#include <filesystem>
#include <system_error>

#include "engine/TextUtil.h"
#include "platform/Paths.h"
#include "platform/ScratchFolder.h"
#include "platform/WholeFile.h"
#include "source/OfficeInstance.h"
#include "source/SourceCharset.h"
#include "source/WordExportCleanup.h"

namespace source {
namespace {

namespace fs = std::filesystem;

bool EndsReference(char c) {
  return c == '"' || c == '\'' || c == ' ' || c == '>' || c == '\t' || c == '\r' || c == '\n' ||
         c == '?' || c == '#';
}

bool StartsReference(char c) {
  return c == '"' || c == '\'' || c == '=';
}

// Every attribute value that is exactly `name` (quoted or not) becomes `folder` + "/" + name.
std::string RewriteReferences(std::string_view html, std::string_view name,
                              std::string_view folder) {
  std::string out;
  out.reserve(html.size() + 64);
  size_t copied = 0;
  for (size_t at = html.find(name); at != std::string_view::npos; at = html.find(name, at + 1)) {
    const size_t end = at + name.size();
    if (at == 0 || !StartsReference(html[at - 1]) || end >= html.size() ||
        !EndsReference(html[end])) {
      continue;
    }
    out.append(html, copied, at - copied);
    out.append(folder);
    out += '/';
    copied = at;
  }
  out.append(html, copied);
  return out;
}

// Empty when moved; otherwise why not.
std::error_code MoveFile(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::rename(from, to, ec);
  if (!ec) return ec;
  // The scratch folder may lie on another file system.
  fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
  if (ec) return ec;
  std::error_code ignored;
  fs::remove(from, ignored);
  return ec;
}

ExportResult Failed(std::string reason) {
  ExportResult result;
  result.Reason = std::move(reason);
  return result;
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// Runs LibreOffice for `input` into `out`: through the batch's instance, or once with the kept
// profile (made anew when a run with it ends in failure), or once with a profile in `root`.
ExportResult RunExport(const std::string& input, const fs::path& out, const fs::path& root,
                       const WordBridgeOptions& options, OfficeInstance* instance) {
  if (instance) return instance->Export(input, out.string());
  // LibreOffice's own temporary files go with the scratch folder, even when it is killed.
  const std::string temp = (root / "tmp").string();
  std::error_code ec;
  fs::create_directory(temp, ec);
  // The profile is kept for a LibreOffice installation only (another program has none to keep).
  const bool office = fs::path(OfficeBinary(options.Program)).filename() == "soffice.bin";
  KeptProfile kept = office ? KeptProfile() : KeptProfile(KeptProfile::None);
  if (kept.Path().empty())
    return ExportOnce(options, input, out.string(), (root / "profile").string(), temp);
  ExportResult run = ExportOnce(options, input, out.string(), kept.Path(), temp);
  // A profile left broken (a run killed while writing it) makes LibreOffice fail at start.
  const bool startFailed = run.Reason.find(" ended ") != std::string::npos;
  if (run || run.TimedOut || !startFailed) return run;
  kept.Discard();
  for (const fs::directory_entry& entry : fs::directory_iterator(out, ec))
    fs::remove_all(entry, ec);
  return ExportOnce(options, input, out.string(), kept.Path(), temp);
}

}  // namespace

std::string PercentEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
    if (plain) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string PrepareExportHtml(std::string_view utf8Html, const std::vector<std::string>& pictures,
                              std::string_view pictureFolder, const platform::CodePage& codePage) {
  std::string html(utf8Html);
  for (const std::string& picture : pictures) {
    html = RewriteReferences(html, picture, pictureFolder);
    const std::string encoded = PercentEncode(picture);
    if (encoded != picture) html = RewriteReferences(html, encoded, pictureFolder);
  }
  if (!DeclaredCharset(html).empty()) return ReadInCodePage(html, codePage);
  // The export is UTF-8 even when it does not say so.
  if (auto text = codePage.FromUtf8(html)) return *text;
  return html;
}

ExportResult ConvertWithWord(const std::string& source, const std::string& target,
                             const platform::CodePage& codePage, const WordBridgeOptions& options,
                             OfficeInstance* office) {
  const WordBridgeOptions& used = office ? office->Options() : options;
  const std::string program = platform::FindOnPath(used.Program);
  if (program.empty()) return Failed("program " + Quoted(used.Program) + " not found");
  if (target.empty()) return Failed("no name for the export");
  try {
    platform::ScratchFolder scratch;
    const fs::path root = scratch.Path();
    const fs::path in = root / "in";
    const fs::path out = root / "out";
    fs::create_directory(in);
    fs::create_directory(out);
    // The export names its pictures after the document: a plain name keeps them plain.
    const std::string extension = engine::ToLowerAscii(platform::FileExtensionOf(source));
    const fs::path input = in / ("document" + extension);
    std::error_code ec;
    fs::copy_file(source, input, ec);
    if (ec) return Failed("cannot copy " + Quoted(source) + ": " + ec.message());

    ExportResult run = RunExport(input.string(), out, root, used, office);
    if (!run) return run;
    const std::optional<std::string> html =
        platform::ReadWholeFile((out / "document.html").string());
    if (!html) return Failed(Quoted(program) + " wrote no HTML");
    std::vector<std::string> pictures;
    for (const fs::directory_entry& entry : fs::directory_iterator(out)) {
      const std::string name = entry.path().filename().string();
      if (name != "document.html" && entry.is_regular_file()) pictures.push_back(name);
    }

    const std::string folder = platform::ChangeFileExtension(target, ".files");
    const std::string folderReference = PercentEncode(platform::FileNameOf(folder));
    const std::string text = PrepareExportHtml(*html, pictures, folderReference, codePage);

    std::string reason;
    ExportResult done;
    done.Ok = true;
    if (!pictures.empty()) {
      fs::create_directories(folder, ec);
      if (ec) reason = "cannot create " + Quoted(folder) + ": " + ec.message();
      if (!ec) done.Cleanup.push_back(platform::InterruptCleanup::Tree(folder));
      for (size_t i = 0; reason.empty() && i < pictures.size(); ++i) {
        ec = MoveFile(out / pictures[i], fs::path(folder) / pictures[i]);
        if (ec)
          reason = "cannot move " + Quoted(pictures[i]) + " into " + Quoted(folder) + ": " +
                   ec.message();
      }
    }
    if (reason.empty()) {
      if (const int error = platform::WriteFileAtomically(target, text); error != 0)
        reason = "cannot write " + Quoted(target) + ": " +
                 std::error_code(error, std::generic_category()).message();
      else
        done.Cleanup.push_back(platform::InterruptCleanup::File(target));
    }
    if (!reason.empty()) {
      if (!pictures.empty()) DeleteFolderTree(folder);
      return Failed(std::move(reason));
    }
    return done;
  } catch (const std::exception& failure) {
    return Failed(failure.what());
  }
}

}  // namespace source

#pragma once
// The outcome of converting one source file, as data for the caller to show: the window says it
// in a message box, the command line on stderr, the batch in the list entry.

#include <optional>
#include <string>
#include <string_view>

namespace app {

struct SourceConversion {
  bool Ok = false;            // converted: the book is in the result editor
  bool SourceLoaded = false;  // the source editor received a text from the file
  bool ExportFailed = false;  // a word-processor document the export could not turn into HTML
  bool NotASource = false;    // an extension of no source document: nothing was read
  int ErrorCode = 0;          // the system's error number when the file could not be used, else 0
  std::string Reason;         // why not, in words; may be empty for a failed conversion
  std::string Written;        // a batch: the file the book was saved as, empty when none

  explicit operator bool() const { return Ok; }
};

// How a source document is read, by its extension (any letter case): .htm, .html, .xhtml and
// .xht as HTML, .doc, .docx and .rtf through the word-processor export.
enum class SourceKind { Html, WordDocument, None };
SourceKind SourceKindOf(std::string_view path);
// The accepted extensions for messages: "(.htm, .html, .xhtml, .xht, .doc, .docx, .rtf)".
std::string SourceExtensionList();

// What a file whose extension is neither HTML's nor a word processor's becomes.
enum class OtherExtensions {
  LoadNothing,  // not a source: nothing is loaded (the window and the batch)
  ReadAsHtml,   // read and cleaned as HTML (the command line)
};

// When `path` cannot be used as a source: the outcome saying so, with the system's error number
// (what the file system said, ENOENT for a missing file; EISDIR for a folder; EINVAL for anything
// but a plain file, such as a pipe or a device, which reading could wait on for ever) and the
// reason "Cannot open file \"<path>\". <why>". Nothing when it is a file that can be read.
std::optional<SourceConversion> CheckSourceFile(const std::string& path);

// The message of a failed conversion: "Conversion failed", with ": " and the reason when known.
inline std::string ConversionFailedMessage(std::string_view reason) {
  std::string message = "Conversion failed";
  if (!reason.empty()) message.append(": ").append(reason);
  return message;
}

}  // namespace app

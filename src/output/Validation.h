#pragma once
// Checks an FB2 document with libxml2: well-formedness first, then validity against the FB2
// schema that lives beside the program. Nothing is ever fetched from the network. Problems are
// data; the caller decides how to show them.

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class CodePage;
}

namespace output {

// Where the document went wrong. Line and column count from 1; the message is UTF-8.
struct ValidationProblem {
  int Line = 0;
  int Column = 0;
  std::string Message;
};

enum class ValidationStatus { Valid, SchemaErrors, NotWellFormed };

struct ValidationReport {
  ValidationStatus Status = ValidationStatus::Valid;
  std::vector<ValidationProblem> Problems;

  bool Valid() const { return Status == ValidationStatus::Valid; }
  // "valid", "well-formed, N schema errors" or "not well-formed".
  std::string Summary() const;
};

// Thrown when the schema cannot be loaded or a file cannot be read.
struct ValidationError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The schema folder the build copies beside the binaries.
std::filesystem::path DefaultSchemaFolder();

class Fb2Validator {
 public:
  // Loads FictionBook.xsd and its imports from `schemaFolder`; ValidationError when it cannot.
  explicit Fb2Validator(const std::filesystem::path& schemaFolder = DefaultSchemaFolder());
  ~Fb2Validator();
  Fb2Validator(const Fb2Validator&) = delete;
  Fb2Validator& operator=(const Fb2Validator&) = delete;

  // Checks the bytes of a document as they are saved: read in the encoding its XML declaration
  // names (UTF-8 without one). In a document declared in a single-byte Windows code page, every
  // byte that code page leaves undefined is a problem of its own (line, column, "byte 0x81 is not
  // a character in windows-1252"), and the document is not well-formed.
  ValidationReport Check(std::string_view documentBytes) const;

  // Checks the result text (8-bit text in `codePage`) as it would be saved: converted to UTF-8
  // first when its declaration says UTF-8.
  ValidationReport CheckResultText(std::string_view text, const platform::CodePage& codePage) const;

 private:
  struct Schema;
  std::unique_ptr<Schema> schema_;
};

// The bytes of an FB2 file: an ".fb2" file as it is, or the first ".fb2" entry of a ZIP archive
// (a name ending in ".zip"). ValidationError when the file cannot be read or holds no such entry.
std::string ReadFb2File(const std::filesystem::path& path);

}  // namespace output

#include "output/Validation.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlschemas.h>
#include <zip.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <map>
#include <unordered_map>

#include "output/Fb2Saving.h"
#include "platform/CodePage.h"
#include "platform/FileOpenError.h"
#include "platform/InputFile.h"
#include "platform/ProgramFolder.h"

namespace output {

namespace {

constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                              XML_PARSE_HUGE | XML_PARSE_BIG_LINES;
constexpr size_t kLongestMessage = 400;

// While it lives, libxml2 may load local files only: every network address is refused.
class NoNetworkScope {
 public:
  NoNetworkScope() : previous_(xmlGetExternalEntityLoader()) {
    xmlSetExternalEntityLoader(xmlNoNetExternalEntityLoader);
  }
  ~NoNetworkScope() { xmlSetExternalEntityLoader(previous_); }
  NoNetworkScope(const NoNetworkScope&) = delete;
  NoNetworkScope& operator=(const NoNetworkScope&) = delete;

 private:
  xmlExternalEntityLoader previous_;
};

struct DocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct ParserCtxtFree {
  void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};
struct SchemaParserCtxtFree {
  void operator()(xmlSchemaParserCtxt* ctxt) const { xmlSchemaFreeParserCtxt(ctxt); }
};
struct ValidCtxtFree {
  void operator()(xmlSchemaValidCtxt* ctxt) const { xmlSchemaFreeValidCtxt(ctxt); }
};

void ReplaceAllIn(std::string& text, std::string_view from, std::string_view to) {
  for (size_t pos = 0; (pos = text.find(from, pos)) != std::string::npos; pos += to.size()) {
    text.replace(pos, from.size(), to);
  }
}

// libxml2's message without its line break, the FB2 namespace left out, long lists cut.
std::string CleanMessage(const char* raw) {
  std::string message = raw ? raw : "unknown error";
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
  ReplaceAllIn(message, "{http://www.gribuser.ru/xml/fictionbook/2.0}", "");
  ReplaceAllIn(message, "{http://www.w3.org/1999/xlink}", "xlink:");
  if (message.size() > kLongestMessage) {
    size_t cut = kLongestMessage;
    while (cut > 0 && (static_cast<unsigned char>(message[cut]) & 0xC0) == 0x80) --cut;
    message.resize(cut);
    message.append("...");
  }
  return message;
}

// What the error handlers collect; `Nodes` holds the element of each schema problem (or null).
struct Collector {
  std::vector<ValidationProblem> Problems;
  std::vector<const xmlNode*> Nodes;
};

void CollectParseError(void* userData, xmlError* error) {
  if (!error || error->level < XML_ERR_ERROR) return;
  auto* ctxt = static_cast<xmlParserCtxt*>(userData);
  auto* collector = static_cast<Collector*>(ctxt->_private);
  collector->Problems.push_back(
      {std::max(error->line, 1), std::max(error->int2, 1), CleanMessage(error->message)});
}

void CollectSchemaError(void* userData, xmlError* error) {
  if (!error || error->level < XML_ERR_ERROR) return;
  auto* collector = static_cast<Collector*>(userData);
  const xmlNode* node = static_cast<const xmlNode*>(error->node);
  // Attribute and text problems are placed at their element.
  while (node && node->type != XML_ELEMENT_NODE) node = node->parent;
  collector->Problems.push_back({std::max(error->line, 1), 1, CleanMessage(error->message)});
  collector->Nodes.push_back(node);
}

std::string QualifiedName(const xmlNode* node) {
  std::string name;
  if (node->ns && node->ns->prefix) {
    name.append(reinterpret_cast<const char*>(node->ns->prefix)).append(":");
  }
  name.append(reinterpret_cast<const char*>(node->name));
  return name;
}

bool IsNameByte(char c) {
  return c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '>' && c != '/' && c != '<';
}

// Fills in the columns of the schema problems: the start tag of the element each one is about.
// libxml2 keeps lines only, so the element is found again in the text as the n-th start tag of
// its name on its line.
void PlaceColumns(std::string_view text, const xmlDoc* doc, Collector& collector) {
  struct Wanted {
    size_t Problem;
    std::string Name;
    int Index = 0;  // how many elements of that name stand before it on its line
  };
  std::unordered_map<const xmlNode*, std::vector<size_t>> byNode;
  for (size_t i = 0; i < collector.Nodes.size(); ++i) {
    if (collector.Nodes[i]) byNode[collector.Nodes[i]].push_back(i);
  }
  if (byNode.empty()) return;

  std::map<long, std::vector<Wanted>> byLine;
  long currentLine = -1;
  std::unordered_map<std::string, int> seenOnLine;
  const xmlNode* node = xmlDocGetRootElement(doc);
  while (node) {
    if (node->type == XML_ELEMENT_NODE) {
      const long line = xmlGetLineNo(node);
      if (line != currentLine) {
        currentLine = line;
        seenOnLine.clear();
      }
      std::string name = QualifiedName(node);
      const int index = seenOnLine[name]++;
      if (auto found = byNode.find(node); found != byNode.end()) {
        for (size_t problem : found->second) byLine[line].push_back({problem, name, index});
      }
    }
    if (node->type == XML_ELEMENT_NODE && node->children) {
      node = node->children;
      continue;
    }
    while (node && !node->next) node = node->parent;
    if (node) node = node->next;
  }

  const bool utf8 = !doc->encoding || xmlStrcasecmp(doc->encoding, BAD_CAST "UTF-8") == 0;
  long line = 1;
  size_t lineStart = 0;
  for (auto& [wantedLine, wanted] : byLine) {
    while (line < wantedLine && lineStart < text.size()) {
      const size_t lf = text.find('\n', lineStart);
      if (lf == std::string_view::npos) {
        lineStart = text.size();
        break;
      }
      lineStart = lf + 1;
      ++line;
    }
    if (line != wantedLine) break;
    const size_t lineEnd = std::min(text.find('\n', lineStart), text.size());
    std::unordered_map<std::string, int> counts;
    int column = 1;
    for (size_t pos = lineStart; pos < lineEnd; ++pos) {
      if (text[pos] == '<') {
        size_t end = pos + 1;
        while (end < lineEnd && IsNameByte(text[end])) ++end;
        const std::string name(text.substr(pos + 1, end - pos - 1));
        const int index = counts[name]++;
        for (const Wanted& w : wanted) {
          if (w.Index == index && w.Name == name) collector.Problems[w.Problem].Column = column;
        }
      }
      if (!utf8 || (static_cast<unsigned char>(text[pos]) & 0xC0) != 0x80) ++column;
    }
  }
}

// The encoding named in the XML declaration, or empty.
std::string DeclaredEncoding(std::string_view text) {
  if (text.substr(0, 5) != "<?xml") return {};
  const std::string_view decl = text.substr(0, text.find("?>"));
  const size_t key = decl.find("encoding");
  if (key == std::string_view::npos) return {};
  size_t pos = decl.find_first_of("\"'", key);
  if (pos == std::string_view::npos) return {};
  const size_t end = decl.find(decl[pos], pos + 1);
  if (end == std::string_view::npos) return {};
  return std::string(decl.substr(pos + 1, end - pos - 1));
}

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
  if (text.size() < tail.size()) return false;
  const std::string_view end = text.substr(text.size() - tail.size());
  return std::equal(end.begin(), end.end(), tail.begin(),
                    [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a + 32 : a) == b; });
}

// The bytes the declared single-byte code page leaves undefined, as problems at their line and
// column: a reader of the declared encoding stops at the first of them. At most kMostReported
// are listed one by one; a last problem counts the rest.
std::vector<ValidationProblem> UndefinedBytes(std::string_view text) {
  constexpr size_t kMostReported = 20;
  std::vector<ValidationProblem> problems;
  std::string encoding = DeclaredEncoding(text);
  for (char& c : encoding) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  const int number = SingleByteCodePageNamed(encoding);
  if (number == 0) return problems;
  const platform::CodePage codePage(number);
  std::array<bool, 256> undefined{};
  bool any = false;
  for (int b = 0x80; b < 256; ++b) {
    undefined[b] = !codePage.Defines(static_cast<unsigned char>(b));
    any = any || undefined[b];
  }
  if (!any) return problems;
  int line = 1;
  size_t lineStart = 0;
  size_t more = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b == '\n') {
      ++line;
      lineStart = i + 1;
      continue;
    }
    if (!undefined[b]) continue;
    if (problems.size() == kMostReported) {
      ++more;
      continue;
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", b);
    problems.push_back({line, static_cast<int>(std::min<size_t>(i - lineStart + 1, INT_MAX)),
                        "byte " + std::string(hex) + " is not a character in " + encoding});
  }
  if (more > 0) {
    problems.push_back(
        {line, 1, std::to_string(more) + " more bytes that are not characters in " + encoding});
  }
  return problems;
}

std::string ReadZipEntry(const std::filesystem::path& path) {
  int code = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
  if (!archive) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string reason = zip_error_strerror(&error);
    zip_error_fini(&error);
    throw ValidationError("cannot open \"" + path.string() + "\": " + reason);
  }
  std::unique_ptr<zip_t, int (*)(zip_t*)> closer(archive, zip_close);
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const zip_uint64_t index = static_cast<zip_uint64_t>(i);
    const char* name = zip_get_name(archive, index, 0);
    if (!name || !EndsWithNoCase(name, ".fb2")) continue;
    zip_stat_t stat;
    if (zip_stat_index(archive, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) ||
        stat.size > static_cast<zip_uint64_t>(INT_MAX)) {
      throw ValidationError("cannot read \"" + std::string(name) + "\" in \"" + path.string() +
                            "\"");
    }
    zip_file_t* file = zip_fopen_index(archive, index, 0);
    if (!file) {
      throw ValidationError("cannot read \"" + std::string(name) + "\" in \"" + path.string() +
                            "\": " + zip_strerror(archive));
    }
    std::string bytes(static_cast<size_t>(stat.size), '\0');
    const zip_int64_t read = zip_fread(file, bytes.data(), bytes.size());
    zip_fclose(file);
    if (read < 0 || static_cast<zip_uint64_t>(read) != stat.size) {
      throw ValidationError("cannot read \"" + std::string(name) + "\" in \"" + path.string() +
                            "\"");
    }
    return bytes;
  }
  throw ValidationError("no .fb2 file in \"" + path.string() + "\"");
}

}  // namespace

std::string ValidationReport::Summary() const {
  switch (Status) {
    case ValidationStatus::Valid:
      return "valid";
    case ValidationStatus::SchemaErrors:
      return "well-formed, " + std::to_string(Problems.size()) + " schema errors";
    case ValidationStatus::NotWellFormed:
      break;
  }
  return "not well-formed";
}

std::filesystem::path DefaultSchemaFolder() {
  return platform::ProgramFolder() / "fb2-schema";
}

struct Fb2Validator::Schema {
  ~Schema() {
    if (Parsed) xmlSchemaFree(Parsed);
  }
  xmlSchema* Parsed = nullptr;
};

Fb2Validator::Fb2Validator(const std::filesystem::path& schemaFolder)
    : schema_(std::make_unique<Schema>()) {
  xmlInitParser();
  const std::filesystem::path main = schemaFolder / "FictionBook.xsd";
  std::error_code error;
  if (!std::filesystem::is_regular_file(main, error)) {
    throw ValidationError("the FB2 schema is missing: " + main.string());
  }
  NoNetworkScope noNetwork;
  std::unique_ptr<xmlSchemaParserCtxt, SchemaParserCtxtFree> ctxt(
      xmlSchemaNewParserCtxt(main.c_str()));
  if (!ctxt) throw ValidationError("cannot read the FB2 schema " + main.string());
  std::string firstError;
  xmlSchemaSetParserStructuredErrors(
      ctxt.get(),
      [](void* data, xmlError* e) {
        auto* first = static_cast<std::string*>(data);
        if (e && e->level >= XML_ERR_ERROR && first->empty()) *first = CleanMessage(e->message);
      },
      &firstError);
  schema_->Parsed = xmlSchemaParse(ctxt.get());
  if (!schema_->Parsed) {
    throw ValidationError("cannot load the FB2 schema " + main.string() +
                          (firstError.empty() ? "" : ": " + firstError));
  }
}

Fb2Validator::~Fb2Validator() = default;

ValidationReport Fb2Validator::Check(std::string_view documentBytes) const {
  ValidationReport report;
  if (documentBytes.size() > static_cast<size_t>(INT_MAX)) {
    report.Status = ValidationStatus::NotWellFormed;
    report.Problems.push_back({1, 1, "the document is too large to check"});
    return report;
  }
  // Bytes the declared code page does not define would stop the parser with a message about
  // something else (and libxml2 would print its own to stderr): each is reported where it is.
  if (std::vector<ValidationProblem> undefined = UndefinedBytes(documentBytes);
      !undefined.empty()) {
    report.Status = ValidationStatus::NotWellFormed;
    report.Problems = std::move(undefined);
    return report;
  }
  NoNetworkScope noNetwork;
  Collector collector;
  std::unique_ptr<xmlParserCtxt, ParserCtxtFree> ctxt(xmlNewParserCtxt());
  if (!ctxt) throw ValidationError("out of memory");
  ctxt->_private = &collector;
  ctxt->sax->serror = CollectParseError;
  std::unique_ptr<xmlDoc, DocFree> doc(xmlCtxtReadMemory(ctxt.get(), documentBytes.data(),
                                                         static_cast<int>(documentBytes.size()),
                                                         "document.fb2", nullptr, kParseOptions));
  if (!doc || !collector.Problems.empty()) {
    report.Status = ValidationStatus::NotWellFormed;
    report.Problems = std::move(collector.Problems);
    if (report.Problems.empty()) report.Problems.push_back({1, 1, "the document cannot be read"});
    return report;
  }

  std::unique_ptr<xmlSchemaValidCtxt, ValidCtxtFree> valid(xmlSchemaNewValidCtxt(schema_->Parsed));
  if (!valid) throw ValidationError("out of memory");
  xmlSchemaSetValidStructuredErrors(valid.get(), CollectSchemaError, &collector);
  const int result = xmlSchemaValidateDoc(valid.get(), doc.get());
  if (result == 0 && collector.Problems.empty()) return report;
  if (collector.Problems.empty()) collector.Problems.push_back({1, 1, "the document is not valid"});
  PlaceColumns(documentBytes, doc.get(), collector);
  report.Status = ValidationStatus::SchemaErrors;
  report.Problems = std::move(collector.Problems);
  return report;
}

ValidationReport Fb2Validator::CheckResultText(std::string_view text,
                                               const platform::CodePage& codePage) const {
  std::string encoding = DeclaredEncoding(text);
  for (char& c : encoding) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  if (encoding == "utf-8" || encoding == "utf8") return Check(codePage.ToUtf8(text));
  return Check(text);
}

std::string ReadFb2File(const std::filesystem::path& path) {
  // A folder, a pipe or a device is refused before it is opened: a pipe would wait for ever.
  if (const auto problem = platform::CheckInputFile(path.string(), platform::kMaxSourceFileBytes))
    throw ValidationError(platform::CannotOpenMessage(path.string(), problem->Reason));
  if (EndsWithNoCase(path.string(), ".zip")) return ReadZipEntry(path);
  try {
    return platform::ReadInputFile(path.string(), platform::kMaxSourceFileBytes);
  } catch (const platform::FileOpenError& e) {
    throw ValidationError(e.what());
  }
}

}  // namespace output

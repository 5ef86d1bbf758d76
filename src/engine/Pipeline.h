#pragma once
// The conversion pipeline: tokenizes the source HTML, walks the items once and assembles the
// whole FB2 document (head, body, cover and picture binaries, closing tag).

#include <string>
#include <string_view>

#include "engine/HTMLPars.h"

namespace platform {
class CodePage;
}

namespace engine {

enum class ConversionVariant { Text, Picture };
// How table tags are written in the text variant.
enum class TextTableMode { AsIs, ContentOnly };

struct ConversionOptions {
  ConversionVariant Variant = ConversionVariant::Text;
  TextTableMode TableMode = TextTableMode::AsIs;
  int TitleHeadingLevel = 0;
  bool ShowHyperlinks = false;
  // Rebuild the body into well-formed FB2 before the head is put in front.
  bool RepairStructure = false;
};

// The document head and the cover picture's binary element, as the description writer makes them.
struct DocumentHead {
  std::string Text;         // XML declaration ... "</description>\r\n"
  std::string CoverBinary;  // empty without a cover
};

// The operations the walk hands work to. Their owners supply them; the defaults yield nothing.
class ConversionServices {
 public:
  virtual ~ConversionServices() = default;

  // Called once at the start of every conversion (per-conversion picture list and the like).
  virtual void BeginConversion() {}
  // The `image` element for an `img` tag, or empty when it yields no usable picture. The first
  // time a picture is met its `binary` element is appended to `binaries`.
  virtual std::string EmbedImage(const THTMLTag& tag, std::string& binaries) {
    (void)tag;
    (void)binaries;
    return {};
  }
  // Picture variant: draws the collected table HTML into a PNG picture called `pictureName` and
  // returns its Base64 text (empty when no picture was made).
  virtual std::string RenderTablePicture(std::string_view tableHtml, std::string_view pictureName) {
    (void)tableHtml;
    (void)pictureName;
    return {};
  }
  // Link targets: from the output encoding to the code page.
  virtual std::string FromOutputEncoding(std::string_view text) { return std::string(text); }
  // The document head; may ask the user for the book information.
  virtual DocumentHead WriteDescription() = 0;
  // Tokenizer complaints; the walk goes on.
  virtual void OnError(std::string_view message, std::string_view offending) {
    (void)message;
    (void)offending;
  }
};

struct ConversionResult {
  bool Ok = false;
  std::string Document;  // the whole FB2 text when Ok
  std::string Reason;    // why not, when known

  explicit operator bool() const { return Ok; }
};

// "table" + number + ".png": the file name and the id of a table picture.
std::string TablePictureName(int number);

// Converts `sourceText` into one FB2 document. `parser` is the long-lived tokenizer; its Source
// is replaced. Any exception from a service ends the conversion with Ok false and its reason.
ConversionResult ConvertDocument(THTMLParser& parser, std::string_view sourceText,
                                 const ConversionOptions& options, ConversionServices& services,
                                 const platform::CodePage& codePage);

}  // namespace engine

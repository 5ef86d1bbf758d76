#include "engine/Pipeline.h"

#include <exception>
#include <utility>

#include "engine/BodyTags.h"
#include "engine/Entities.h"
#include "engine/Escaping.h"
#include "engine/Links.h"
#include "engine/PictureIds.h"
#include "engine/StructureRepair.h"
#include "engine/TextUtil.h"

namespace engine {

namespace {

// Per-conversion state of the walk; a fresh one for every conversion.
struct WalkState {
  bool BodySeen = false;
  bool InParagraph = false;
  bool InHeading = false;
  bool InLink = false;
  int TableDepth = 0;
  int TableNumber = 0;
  std::string Fb2;       // the body text while walking
  std::string Link;      // the hyperlink being collected
  std::string Binaries;  // binary elements in the order met
  std::string Table;     // picture variant: the outermost table being collected
  std::string Scratch;   // reused for text runs
};

bool IsHeadingOpen(std::string_view n) {
  return n.size() == 2 && n[0] == 'h' && n[1] >= '1' && n[1] <= '6';
}
bool IsHeadingClose(std::string_view n) {
  return n.size() == 3 && n[0] == '/' && n[1] == 'h' && n[2] >= '1' && n[2] <= '6';
}
bool IsTableTag(std::string_view n) {
  return n == "table" || n == "tr" || n == "td" || n == "th" || n == "caption";
}
bool IsTableCloseTag(std::string_view n) {
  return n == "/table" || n == "/tr" || n == "/td" || n == "/th" || n == "/caption";
}

// AsIs: the opening table tag as FB2 markup, every attribute but border kept.
void WriteTableTag(std::string& out, const THTMLTag& tag, std::string_view name) {
  out.append(" <").append(name);
  for (size_t i = 0; i < tag.ParamCount(); ++i) {
    const THTMLParam param = tag.Param(i);
    const std::string attribute = ToLowerAscii(param.Name.View());
    if (attribute == "border") continue;
    out.append(" ").append(attribute).append("=\"");
    AppendXmlAttribute(out, param.Value.View());
    out.append("\"");
  }
  out.append(">");
}

// Picture variant: a tag of the outermost table, copied for the table renderer.
void CaptureTableTag(std::string& out, const THTMLTag& tag, std::string_view name) {
  out.append("<").append(name);
  for (size_t i = 0; i < tag.ParamCount(); ++i) {
    const THTMLParam param = tag.Param(i);
    out.append(" ").append(param.Name.View()).append("=");
    out.append(QuoteAttributeValue(param.Name.View(), param.Value.View()));
  }
  out.append(">");
}

class Walk {
 public:
  Walk(const ConversionOptions& options, ConversionServices& services,
       const platform::CodePage& codePage)
      : options_(options), services_(services), codePage_(codePage) {}

  void Tag(const THTMLTag& tag);
  void Text(std::string_view run);
  WalkState& State() { return s_; }

 private:
  bool Picture() const { return options_.Variant == ConversionVariant::Picture; }
  void TableBookkeeping(std::string_view n, int depthBefore);

  const ConversionOptions& options_;
  ConversionServices& services_;
  const platform::CodePage& codePage_;
  WalkState s_;
  std::string name_;
};

void Walk::Tag(const THTMLTag& tag) {
  name_.assign(tag.Name().View());
  for (char& c : name_) c = ToLowerAscii(c);
  const std::string_view n = name_;

  if (!s_.BodySeen) s_.BodySeen = n == "body";
  if (n == "p") s_.InParagraph = true;
  if (n == "/p") s_.InParagraph = false;
  if (IsHeadingOpen(n)) s_.InHeading = true;
  if (IsHeadingClose(n)) s_.InHeading = false;
  if (n == "a") s_.InLink = true;
  if (n == "/a") s_.InLink = false;
  const int depthBefore = s_.TableDepth;
  // A stray "</table>" changes nothing: the depth never goes below zero.
  if (n == "table" && s_.TableDepth < 0x7FFF) ++s_.TableDepth;
  if (n == "/table" && s_.TableDepth > 0) --s_.TableDepth;

  if (Picture()) {
    TableBookkeeping(n, depthBefore);
    if (s_.TableDepth != 0) {
      if (s_.TableDepth == 1) CaptureTableTag(s_.Table, tag, n);
      return;
    }
  }

  if (n == "img") {
    std::string image = services_.EmbedImage(tag, s_.Binaries);
    (s_.InLink ? s_.Link : s_.Fb2).append(image);
    return;
  }
  if (n == "a" || n == "/a") {
    s_.Link.append(BuildLinkTag(
        tag, [this](std::string_view text) { return services_.FromOutputEncoding(text); }));
    if (n == "/a") {
      s_.Fb2.append(FinishLink(s_.Link, options_.ShowHyperlinks));
      s_.Link.clear();
    }
    return;
  }
  if (!Picture()) {
    if (IsTableTag(n)) {
      if (options_.TableMode == TextTableMode::AsIs) WriteTableTag(s_.Fb2, tag, n);
      return;
    }
    if (options_.TableMode == TextTableMode::ContentOnly && IsTableCloseTag(n)) return;
  } else if (n == "/table") {
    return;
  }
  s_.Fb2.append(MapBodyTag(n, s_.TableDepth != 0, options_.TitleHeadingLevel, s_.InParagraph));
}

void Walk::TableBookkeeping(std::string_view n, int depthBefore) {
  if (n == "table" && s_.TableDepth == 1 && depthBefore == 0) {
    ++s_.TableNumber;
    if (s_.Table.empty()) s_.Table = "<html>\r\n";
  } else if (n == "/table" && s_.TableDepth == 0 && depthBefore == 1) {
    s_.Table.append("</table>\r\n</html>");
    const std::string name = TablePictureName(s_.TableNumber);
    s_.Fb2.append("\r\n<p> </p>\r\n\r\n<image xlink:href=\"#");
    AppendXmlAttribute(s_.Fb2, name);
    s_.Fb2.append("\"/>\r\n\r\n<p> </p>");
    const std::string base64 = services_.RenderTablePicture(s_.Table, name);
    s_.Table.clear();
    if (!base64.empty()) {
      s_.Binaries.append("<binary content-type=\"image/png\" id=\"");
      AppendXmlAttribute(s_.Binaries, name);
      s_.Binaries.append("\">").append(base64).append("\r\n</binary>\r\n");
    }
  }
}

void Walk::Text(std::string_view run) {
  if (!s_.BodySeen) return;
  if (Picture() && s_.TableDepth != 0) {
    // The renderer reads the collected table as HTML and decodes its texts once more, so the
    // markup characters the entities gave are written back as references: "a &lt; b" must not
    // become a tag there.
    AppendXmlText(s_.Table, DecodeTableEntities(run, codePage_));
    return;
  }
  if (run.empty()) return;
  s_.Scratch.assign(run);
  for (char& c : s_.Scratch) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  std::string& target = (!s_.InHeading && s_.InLink) ? s_.Link : s_.Fb2;
  AppendDecodedEntities(target, s_.Scratch, codePage_);
}

}  // namespace

std::string TablePictureName(int number) {
  return "table" + std::to_string(number) + ".png";
}

ConversionResult ConvertDocument(THTMLParser& parser, std::string_view sourceText,
                                 const ConversionOptions& options, ConversionServices& services,
                                 const platform::CodePage& codePage) {
  ConversionResult result;
  try {
    services.BeginConversion();
    parser.ClearItems();
    parser.OnError = [&services](std::string_view message, std::string_view offending) {
      services.OnError(message, offending);
    };
    parser.Source().assign(sourceText);
    parser.Parse();
    if (parser.Count() == 0) {
      result.Reason = "the source text is empty";
      return result;
    }

    Walk walk(options, services, codePage);
    for (ItemRef item : parser) {
      if (item.IsTag()) {
        walk.Tag(item.AsTag());
      } else if (item.IsText()) {
        walk.Text(item.View().View());
      }
    }
    WalkState& s = walk.State();

    std::string body = std::move(s.Fb2);
    CollapseBlanksInPlace(body);

    DocumentHead head = services.WriteDescription();
    const size_t size =
        head.Text.size() + body.size() + head.CoverBinary.size() + s.Binaries.size() + 16;
    std::string doc;
    size_t bodyBegin = 0, bodyEnd = 0;
    std::vector<std::string> bodyIds;
    if (options.RepairStructure) {
      // Repair writes the body after the head in a buffer of its own.
      doc.reserve(size + body.size() / 16 + 256);
      doc.append(head.Text);
      bodyBegin = doc.size();
      bodyIds = AppendRepairedBody(doc, body);
      bodyEnd = doc.size();
    } else {
      // The head goes in front of the body in the body's own buffer.
      doc = std::move(body);
      doc.reserve(size);
      doc.insert(0, head.Text);
    }
    doc.append(head.CoverBinary);
    doc.append(s.Binaries);
    doc.append("\r\n</FictionBook>");
    if (options.RepairStructure) RepairPictureIds(doc, bodyBegin, bodyEnd, bodyIds);
    result.Document = std::move(doc);
    result.Ok = true;
  } catch (const std::exception& e) {
    result = ConversionResult{false, {}, e.what()};
  }
  return result;
}

}  // namespace engine

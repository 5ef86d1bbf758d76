// The conversion of the source editor's text into the result editor.

#include "app/Session.h"
#include "images/ImageEmbedder.h"
#include "images/PicturePaths.h"
#include "images/Resizing.h"
#include "tables/RenderTable.h"

namespace app {
namespace {

// What the walk hands to the rest of the program during one conversion.
class SessionServices : public engine::ConversionServices {
 public:
  explicit SessionServices(Session& session)
      : session_(session),
        pictures_(session.PictureOptions(),
                  std::string(images::FolderOf(session.Document().SourcePath)), session.Scratch(),
                  [this](std::string_view message) {
                    if (!leftOut_.empty()) leftOut_ += '\n';
                    leftOut_ += message;
                  }) {}

  void BeginConversion() override {
    session_.CoverImageRef.clear();
    session_.CoverBinary.clear();
    pictures_.BeginConversion();
    leftOut_.clear();
  }
  // The pictures that were missing or unreadable, one message for the whole conversion.
  void ReportPicturesLeftOut() {
    if (!leftOut_.empty()) session_.Ui().ShowMessage(kProgramName, leftOut_);
  }
  std::string EmbedImage(const engine::THTMLTag& tag, std::string& binaries) override {
    return pictures_.Embed(tag, binaries);
  }
  std::string RenderTablePicture(std::string_view tableHtml, std::string_view) override {
    return tables::RenderTableBase64(tableHtml, session_.TablePictureSettings(),
                                     session_.TableFonts(), session_.CodePage(),
                                     [this](std::string_view message, std::string_view offending) {
                                       OnError(message, offending);
                                     });
  }
  std::string FromOutputEncoding(std::string_view text) override {
    return session_.FromOutputEncoding(text);
  }
  engine::DocumentHead WriteDescription() override { return session_.WriteDescription(); }
  void OnError(std::string_view message, std::string_view offending) override {
    session_.Ui().ShowMessage(message, offending);
  }

 private:
  Session& session_;
  std::string leftOut_;
  images::ImageEmbedder pictures_;
};

engine::ConversionOptions OptionsFrom(const ConversionSettings& settings) {
  engine::ConversionOptions options;
  options.Variant = settings.TableMode == TableMode::ConvertToImage
                        ? engine::ConversionVariant::Picture
                        : engine::ConversionVariant::Text;
  options.TableMode = settings.TableMode == TableMode::ContentOnly
                          ? engine::TextTableMode::ContentOnly
                          : engine::TextTableMode::AsIs;
  options.TitleHeadingLevel = settings.TitleHeadingLevel;
  options.ShowHyperlinks = settings.ShowHyperlinks;
  options.RepairStructure = settings.RepairStructure;
  return options;
}

}  // namespace

engine::ConversionResult Session::ConvertDocument() {
  SessionServices services(*this);
  // The editor's text is copied once, straight into the tokenizer's buffer, which the conversion
  // then loads from itself: a big book is not held twice more while it is converted.
  parser_.Source() = source_.Text();
  engine::ConversionResult result = engine::ConvertDocument(
      parser_, std::string_view(parser_.Source()), OptionsFrom(settings_), services, codePage_);
  services.ReportPicturesLeftOut();
  // Nothing reads the tokenizer's buffers after the conversion (its copy of the source and some
  // two bytes of items per source byte): handed back, so that saving a big book does not hold
  // them as well.
  parser_ = engine::THTMLParser();
  if (!result.Ok) return result;
  result_.Load(result.Document);
  result_.SetLineBreakStyle(LineBreak::CrLf);  // a reopened file's style ends here
  ShowPage(kFb2Page);
  return result;
}

}  // namespace app

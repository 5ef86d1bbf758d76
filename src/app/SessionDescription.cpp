// The document head of a conversion and the book information it is made from.

#include "app/BookInfoSettings.h"
#include "app/Session.h"
#include "fb2meta/Dates.h"
#include "fb2meta/DescriptionWriter.h"
#include "fb2meta/FileNames.h"
#include "fb2meta/Genres.h"
#include "images/CoverImage.h"
#include "platform/CodePage.h"
#include "platform/Paths.h"

namespace app {
namespace {

// Embeds the cover picture: scaled first when it is too large. A kind that cannot be embedded
// gives no cover; an undecodable picture raises an error that ends the conversion.
void PrepareCover(Session& session, const std::string& path) {
  const ConversionSettings& settings = session.Settings();
  images::PictureOptions options;
  options.ResizeImages = settings.ResizeImages;
  options.MaxImageWidth = settings.MaxImageWidth;
  options.MaxImageHeight = settings.MaxImageHeight;
  images::EmbeddedPicture cover = images::PrepareCoverImage(path, options, session.Scratch());
  session.CoverImageRef = std::move(cover.ImageRef);
  session.CoverBinary = std::move(cover.Binary);
}

// Shows the book information dialog with the output choices of the settings and takes them
// back when it closes, whichever way; then the dialog's keys are stored. True for "Ok".
bool ShowBookInfo(Session& session) {
  ConversionSettings& settings = session.Settings();
  fb2meta::BookInfo& book = session.Book();
  book.UtfOutput = settings.UtfOutput;
  book.PackToZip = settings.PackToZip;  // the two "Pack to zip" boxes mirror each other
  book.FileNameVariant = settings.FileNameVariant == 2 ? 2 : 1;
  book.EncodingCaption = source::EncodingName(session.Encoding().CurrentCharset,
                                              session.Encoding().SystemCodePageName);
  // The variant captions start from the default title, as leaving the title box would.
  fb2meta::ProposeFileNames(book, session.CodePage());

  const bool ok = session.Ui().EditBookInfo(book);

  if (book.UtfOutput != settings.UtfOutput) session.ClickEncodingChoice(book.UtfOutput);
  settings.PackToZip = book.PackToZip;
  settings.FileNameVariant = book.FileNameVariant == 2 ? 2 : 1;
  if (session.WriteBackSettings) {
    IniFile file(session.SettingsPath());
    try {
      SaveBookInfoDialogSettings(file, book);
    } catch (const IniWriteError& failure) {
      session.Ui().ShowMessage(kProgramName, failure.what());
    }
  }
  return ok;
}

// File names are the file system's bytes (UTF-8); the book's texts are code-page text. A name
// that is not UTF-8 is taken as it is.
std::string TextOfFileName(std::string_view name, const platform::CodePage& codePage) {
  return codePage.FromUtf8(name, platform::Unmappable::QuestionMark).value_or(std::string(name));
}

}  // namespace

void Session::CreateBookInfoDialog() {
  bookInfoDialogCreated_ = true;
  const BookInfoDialogSettings dialog = LoadBookInfoDialogSettings(IniFile(settingsPath_));
  settings_.FileNameVariant = dialog.FileNameVariant;
  book_.PackToZip = dialog.PackToZip;
  book_.DocumentAuthorTabStops = dialog.DocumentAuthorTabStops;
}

const std::vector<std::string>& Session::AvailableGenres() {
  if (!genres_)
    genres_ = fb2meta::ReadGenreFile(programFolder_ + "/" + std::string(fb2meta::kGenreFileName));
  return *genres_;
}

engine::DocumentHead Session::WriteDescription() {
  if (!bookInfoDialogCreated_) CreateBookInfoDialog();
  // The language the source declares, else the one of the settings; also what an emptied
  // "Language" box falls back to.
  const std::string defaultLanguage =
      document_.SourceLanguage.empty() ? settings_.DefaultLanguage : document_.SourceLanguage;
  fb2meta::ResetBookInfo(book_, defaultLanguage);
  book_.DocumentDate = book_.DocumentDateText = fb2meta::TodayText();
  book_.DocumentVersion = "1";
  LoadDocumentAuthor(IniFile(settingsPath_), book_);

  if (document_.BatchMode) {
    if (document_.SourcePath.empty()) document_.SourcePath = "new";
    book_.BookTitle = TextOfFileName(platform::FileStemOf(document_.SourcePath), codePage_);
    book_.DocumentId = fb2meta::NewDocumentId();
    if (BatchBookInfo) {
      BatchBookInfo(book_);
      if (platform::IsExistingFile(book_.CoverImagePath)) PrepareCover(*this, book_.CoverImagePath);
    }
  } else {
    book_.BookTitle = TextOfFileName(platform::FileStemOf(document_.SourcePath), codePage_);
    if (settings_.ShowTitleInfo && ShowBookInfo(*this)) {
      // The proposal as the boxes finally read, before they are trimmed.
      const fb2meta::PersonName& author = book_.Authors[0];
      const std::array<std::string, 2> names = fb2meta::ComputeFileNames(
          author.LastName, author.FirstName, author.MiddleName, book_.BookTitle, codePage_);
      fb2meta::ProposeFileNames(book_, codePage_);
      fb2meta::TrimBookInfo(book_);
      if (platform::IsExistingFile(book_.CoverImagePath)) PrepareCover(*this, book_.CoverImagePath);
      // No name at all (no title, no author) leaves the proposal to the conversion command.
      const std::string& chosen = names[settings_.FileNameVariant == 1 ? 0 : 1];
      if (!chosen.empty()) document_.ProposedFb2Name = codePage_.ToUtf8(chosen);
    }
  }

  fb2meta::DescriptionInput input;
  input.UtfOutput = settings_.UtfOutput;
  input.EncodingName = source::EncodingName(encoding_.CurrentCharset, encoding_.SystemCodePageName);
  input.CoverImageRef = CoverImageRef;
  input.DefaultLanguage = defaultLanguage;
  engine::DocumentHead head;
  head.Text = fb2meta::WriteDescriptionText(book_, input);
  head.CoverBinary = CoverBinary;
  return head;
}

}  // namespace app

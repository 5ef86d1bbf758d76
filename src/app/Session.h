#pragma once
// The program's state and every command, without windows. The desktop program, the command line
// and the tests each drive one Session through their own UserInterface and editors.
//
// The commands are grouped by subject; each group is implemented in its own Session<Group>.cpp.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ConversionSettings.h"
#include "app/DocumentState.h"
#include "app/Settings.h"
#include "app/SourceConversion.h"
#include "app/TextEditor.h"
#include "app/UserInterface.h"
#include "batch/BatchStart.h"
#include "batch/ConversionList.h"
#include "editor/TagInsertion.h"
#include "engine/HTMLPars.h"
#include "engine/Pipeline.h"
#include "fb2meta/BookInfo.h"
#include "images/ImagesTab.h"
#include "output/Validation.h"
#include "platform/CodePage.h"
#include "platform/Interrupts.h"
#include "source/Charsets.h"
#include "source/WordBridge.h"

namespace images {
struct PictureOptions;
}
namespace platform {
class ScratchFolder;
}
namespace tables {
class FontCache;
struct TableSettings;
}  // namespace tables

namespace app {

class Session {
 public:
  // `programFolder` holds the data files (genre file, schema) and, when writable, the settings
  // file `settingsPath`.
  Session(UserInterface& ui, TextEditor& sourceEditor, TextEditor& resultEditor,
          std::string programFolder, std::string settingsPath);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  UserInterface& Ui() { return ui_; }
  TextEditor& SourceEditor() { return source_; }
  TextEditor& ResultEditor() { return result_; }
  DocumentState& Document() { return document_; }
  ConversionSettings& Settings() { return settings_; }
  source::EncodingState& Encoding() { return encoding_; }
  fb2meta::BookInfo& Book() { return book_; }
  const platform::CodePage& CodePage() const { return codePage_; }
  const std::string& ProgramFolder() const { return programFolder_; }
  const std::string& SettingsPath() const { return settingsPath_; }
  // The private folder of this program run for scaled and converted pictures.
  platform::ScratchFolder& Scratch() { return *scratch_; }
  // The faces of the table renderer, loaded on first use.
  tables::FontCache& TableFonts();
  // The picture settings of ConversionSettings.
  images::PictureOptions PictureOptions() const;
  // The table picture settings of ConversionSettings.
  tables::TableSettings TablePictureSettings() const;

  // --- Documents (Session.cpp)
  // Empties the source editor and forgets the source save name, SourceHtmlPath and the first
  // status panel.
  void ClearSourceDocument();
  // Empties the result editor and forgets ProposedFb2Name, LastFb2Path, LastZipPath and the
  // table pictures made so far.
  void ClearResultDocument();

  // --- Sources and commands (SessionSources.cpp, SessionCommands.cpp)
  // Reads the HTML file at `path` in the character set it declares (into the code page),
  // normalises its line breaks, cleans it and makes the result the source editor's whole text.
  // Callers show the busy indication. Throws platform::FileOpenError when the file cannot be read.
  void LoadSourceHtml(const std::string& path);
  // "Open...": `fileName`, or when empty the file the open dialog chooses, loaded by its
  // extension (.htm/.html directly, .doc/.docx/.rtf through the export). True when the source
  // editor received a text; false when the dialog was cancelled (nothing changed then), the
  // extension is not a source's or the export failed. File errors propagate.
  bool OpenSource(const std::string& fileName = {});
  // The same for one file of a batch, which the caller has made sure exists: no dialog,
  // SourcePath left to the caller, WordExportPath emptied first. True when a text was loaded.
  bool OpenSourceBatch(const std::string& fileName);
  // Exports the word-processor document `fileName` to HTML beside it (blanks as "_", numbered
  // alternatives when the name is taken) and loads the export; WordExportPath names it. On a
  // failed export nothing is loaded and the result says why.
  source::ExportResult LoadWordDocument(const std::string& fileName);
  // True for the extensions that go through the export (.doc, .docx, .rtf, any letter case).
  static bool IsWordDocument(std::string_view path);
  // The export program; tests point it at a stand-in.
  source::WordBridgeOptions WordBridge;
  // The name the source open dialog last chose (its starting name next time).
  std::string OpenDialogName;

  // "Convert" (F9): opens a source when the editor is empty, converts, removes the export and
  // offers the save dialog. A failed conversion says "Conversion failed" (with its reason) and
  // opens no save dialog; the result editor keeps its text.
  void Act_ConvertExecute();
  // Opens `fileName` by its extension without a dialog and converts it; the outcome is data for
  // the caller to show (only the tokenizer's complaints and, outside batch mode, the book
  // information dialog appear meanwhile). SourcePath and the first status panel name the file.
  // - A file that cannot be used (missing, a folder, not a plain file, unreadable): ErrorCode and
  //   a Reason naming the file; nothing is loaded.
  // - A word-processor document whose export fails: ExportFailed and the export's reason.
  // - An extension of no source (see `other`), or a file that gives no text: SourceLoaded false
  //   and a Reason.
  // - Otherwise the source editor holds the cleaned text (SourceLoaded) and Ok says whether the
  //   conversion put a book into the result editor, Reason why not.
  // A word-processor export stays beside its document, named by WordExportPath, for the caller's
  // RemoveWordExport. Shows the busy indication.
  SourceConversion ConvertSourceFile(const std::string& fileName,
                                     OtherExtensions other = OtherExtensions::LoadNothing);
  // The file named on the command line, converted once when the window first shows, then the
  // save dialog. A missing file is named in the first status panel; a file that cannot be read
  // or a failed export or conversion is said in a message box (no save dialog then); a file that
  // gives no text does nothing. Never throws for a bad file.
  void ConvertStartupFile(const std::string& fileName);
  // Deletes the word-processor export named by WordExportPath and its ".files" folder, and
  // forgets the name.
  void RemoveWordExport();
  // "Open FB2 file...": the open dialog, then LoadFb2File into an emptied result document.
  void Act_openFB2();
  // Reads an FB2 file into the result editor: UTF-8 declared files converted into the code page,
  // others byte for byte; the output encoding follows the declaration and the editor keeps the
  // file's line-break style for saving. Throws platform::FileOpenError when unreadable.
  void LoadFb2File(const std::string& path);
  // "View FB2": opens the last archive or FB2 saved in the desktop's viewer, saving first when
  // nothing is saved yet.
  void Act_SaveAndView();
  // Hands an existing file to the desktop's opener; "File <path> not exist." when missing.
  void OpenWithShell(const std::string& path);
  // Starts the opener for an existing file (default: xdg-open, detached, its end not awaited);
  // tests put a recorder here.
  std::function<void(const std::string& path)> ShellOpener;

 private:
  // The steps of OpenSource: the file to open (the dialog when `fileName` is empty; empty when
  // cancelled), and loading it by its extension without busy indication. The outcome tells
  // whether a text was loaded, and why not (Ok stays false). File errors propagate.
  std::string ChooseSourceFile(const std::string& fileName);
  SourceConversion LoadChosenSource(const std::string& fileName, bool interactive,
                                    OtherExtensions other = OtherExtensions::LoadNothing);
  // Converts the loaded source, then OfferSave.
  void ConvertAndOfferSave();
  // After a conversion: removes the export, then offers the save dialog, or when `converted` is
  // false says the one "Conversion failed" message with `reason`.
  void OfferSave(bool converted, std::string_view reason);

 public:
  // --- Conversion (SessionConversion.cpp)
  // Converts the source editor's text and, on success, publishes the document into the result
  // editor and shows the FB2 page. On failure the result editor keeps its content.
  engine::ConversionResult ConvertDocument();
  // The cover picture texts the description writer fills for the running conversion.
  std::string CoverImageRef;
  std::string CoverBinary;

  // --- Batch (SessionBatch.cpp)
  // Converts one source file (ConvertSourceFile in batch mode) and saves the result into
  // `folder` without asking anything; Ok when the conversion produced a result, whatever the
  // save did (it shows its own errors; Written names the file when it worked). A file that cannot
  // be used changes nothing. The book is saved as `outputPath`, or when empty BatchOutputPath.
  SourceConversion ConvertFileToFolder(const std::string& file, const std::string& folder,
                                       const std::string& outputPath = {});
  // The output path of a batch conversion: folder, "/", the file's name with ".fb2".
  static std::string BatchOutputPath(const std::string& file, const std::string& folder);
  // The batch window's conversion list; its "Save to:" field is Settings().BatchOutputFolder.
  batch::ConversionList BatchList;
  // "Start": every entry converted into the "Save to:" folder and rewritten with its outcome.
  void StartBatch();
  // What "Start" does for each entry: ConvertFileToFolder, its outcome handed on (an error
  // escaping it is shown and makes the entry an "Error: " one, the batch goes on), and
  // RemoveWordExport.
  batch::BatchSteps BatchStartSteps();
  // "Load file" and "Save file" of the conversion list (the saved name gets ".txt").
  void Act_BatchLoadList();
  void Act_BatchSaveList();
  // Called with every batch book's information once its batch defaults are set (the command
  // line fixes dates, ids and the like this way); nothing when empty.
  std::function<void(fb2meta::BookInfo&)> BatchBookInfo;

  // --- Encodings (SessionEncoding.cpp)
  void ApplyCharset(int charset, bool fromList);
  void SetUtfOutput(bool on);
  void ReplaceEncodingAttribute(std::string_view oldText, std::string_view newText);
  std::string ToOutputEncoding(std::string_view text) const;
  std::string FromOutputEncoding(std::string_view text) const;
  int ApplyDeclaredEncoding(std::string_view name);
  void DetectDeclaredEncoding(const std::string& path);
  void ShowOutputEncoding();
  void ChooseCharsetEntry(int index);   // the "Charset" list
  void ClickUtf8Toggle(bool pressed);   // the "utf-8" toolbar toggle
  void ClickEncodingChoice(bool utf8);  // the book information dialog's "Encoding" choices
  void Act_ansi2utf();
  void Act_utf2ansi();

  // --- Settings (SessionSettings.cpp)
  // Reads the settings file into Settings(), applies the saved character set and returns the
  // window placement to restore. A missing file gives every default.
  WindowPlacement LoadSettings();
  // Writes the settings file; on failure shows "Unable to write to <path>" and returns false.
  bool SaveSettings(const WindowPlacement& placement);
  // The check-box options into / from a file of the same form.
  bool ExportOptions(const std::string& path);
  void ImportOptions(const std::string& path);
  void Act_SaveOption();   // "Save settings to file..."
  void Act_openOptions();  // "Load settings from file..."

  // --- Description and book information (SessionDescription.cpp)
  // Prepares the book information for the running conversion (in an interactive one through
  // the book information dialog) and returns the document head with the cover's binary.
  engine::DocumentHead WriteDescription();
  // The dialog's start: the choices it reads from the settings file. Done by the first
  // WriteDescription when nobody did it before.
  void CreateBookInfoDialog();
  // The entries of the genre file beside the program, read on first use.
  const std::vector<std::string>& AvailableGenres();
  // False for a run that must leave the settings file as it is (the command line).
  bool WriteBackSettings = true;

  // --- Saving (SessionSaving.cpp)
  // Brings UtfOutput and the character set into line with the result text's declaration.
  void DetectOutputEncoding();
  // The bytes a save writes: DetectOutputEncoding, then the result editor's lines in the output
  // encoding.
  std::string Fb2FileBytes();
  // Writes the result editor's text to `path`, or into `path` + ".zip" with PackToZip; throws
  // output::SaveError with the message to show.
  void SaveFb2(const std::string& path);
  // The save dialog, then SaveFb2; true when a file was written. Errors are shown.
  bool SaveFb2As();
  // SaveFb2 without a dialog (batch conversion); errors are shown. True when written.
  bool SaveFb2To(const std::string& path);
  void Act_SaveResult();        // "Save FB2"
  void Act_SaveResultAs();      // "Save FB2 as..."
  void Act_SaveSourceHTML();    // "Save source HTML"; write errors propagate
  void Act_SaveSourceHTMLAs();  // "Save source HTML As..."
  // The main window's caption: the program's title, " : " and `name`.
  void SetWindowCaption(std::string_view name);

  // --- Editor tools (SessionEditing.cpp)
  // The main window's pages as ShowPage numbers them: 0 "Source", 1 "FB2", 2 "Images",
  // 3 "Settings", 4 "Common Settings".
  static constexpr int kSourcePage = 0;
  static constexpr int kFb2Page = 1;
  // Shows `page` and remembers it as the selected one.
  void ShowPage(int page);
  // The user selected the tab `page`: the caption names the source on "Source", the FB2 file
  // on "FB2", and stays on the other pages.
  void PageSelected(int page);
  int SelectedPage() const { return selectedPage_; }
  // The source editor while the "Source" page is selected, the result editor while the "FB2"
  // page is, none (null) on any other page.
  TextEditor* ActiveEditor();

  // The fields of the find and the replace dialog. The dialogs live for the whole run and keep
  // their texts; the window reads them when it shows a dialog and after each command below.
  enum class SearchDialog { Find, Replace };
  std::string& SearchText(SearchDialog dialog);
  std::string& ReplacementText() { return replacementText_; }
  // Copies the search text of dialog `from` into the other dialog's search field. Every button
  // of a dialog does this first ("&Close" too, before the window hides the dialog).
  void MirrorSearchText(SearchDialog from);

  // FindInEditor on ActiveEditor; false without searching when there is none or `text` is empty.
  bool FindNextInActiveEditor(std::string_view text, bool quiet);
  // When the active editor's selection is `text`, replaces it by `replacement` (one undo step);
  // then finds the next `text`, reporting the end.
  void ReplaceSelectionAndFindNext(std::string_view text, std::string_view replacement);
  // Starting with the selection when it is `text`, replaces it and every later occurrence
  // (replaced text is not searched again), as one undo step; shows the count and
  // " items replaced.", 0 when the selection is not `text`.
  void ReplaceAllInActiveEditor(std::string_view text, std::string_view replacement);

  // The main window's commands; nothing on a page without an active editor. A selection of the
  // active editor becomes the dialog's search text.
  void Act_Find();      // "Find...": shows the find dialog
  void Act_FindNext();  // "Search Again": searches, or shows the find dialog when nothing to find
  void Act_Replace();   // "Replace...": shows the replace dialog
  // The dialogs' buttons, each after MirrorSearchText and only with a search text.
  void FindDialogFind();        // find dialog: "&Find", Enter in the search field
  void ReplaceDialogFind();     // replace dialog: "&Find", Enter in the replacement field
  void ReplaceDialogReplace();  // "&Replace"
  void ReplaceDialogAll();      // "&All"

  // The FB2 tag commands, always on the result editor, each one undo step.
  void InsertFb2Tag(editor::Fb2Tag tag);
  void Act_p() { InsertFb2Tag(editor::Fb2Tag::P); }
  void Act_Epigraph() { InsertFb2Tag(editor::Fb2Tag::Epigraph); }
  void Act_Cite() { InsertFb2Tag(editor::Fb2Tag::Cite); }
  void Act_Author() { InsertFb2Tag(editor::Fb2Tag::Author); }
  void Act_poem() { InsertFb2Tag(editor::Fb2Tag::Poem); }
  void Act_stanza() { InsertFb2Tag(editor::Fb2Tag::Stanza); }
  void Act_v() { InsertFb2Tag(editor::Fb2Tag::V); }
  void Act_strong() { InsertFb2Tag(editor::Fb2Tag::Strong); }
  void Act_emphasis() { InsertFb2Tag(editor::Fb2Tag::Emphasis); }
  void Act_EmptyLine() { InsertFb2Tag(editor::Fb2Tag::EmptyLine); }

  // --- Validation (SessionValidation.cpp)
  // "Validate": the result editor's text checked as it would be saved, well-formedness first,
  // then the FB2 schema. The third status panel says "valid" or how many problems there are.
  // Throws output::ValidationError when the schema beside the program cannot be loaded.
  output::ValidationReport ValidateResult();

  // --- The "Images" tab (SessionImages.cpp)
  static constexpr int kImagesPage = 2;
  // The tab's two panes, the image references above and the binary elements below. The window
  // shows them after each command and writes the user's edits back at once.
  images::ImagesTabPanes ImagesPanes;
  // "Load picture": the picture open dialog, then both panes hold the chosen JPEG or PNG (nothing
  // for other kinds). Cancel changes nothing. A picture that cannot be decoded throws
  // images::ImageError with the panes emptied.
  void Act_LoadImage();
  // "Start" of the batch picture window: the ticked `entries` (names relative to `folder`)
  // encoded in list order into the emptied panes, `progress` told after each one. False, with
  // nothing changed, when none is ticked; an undecodable picture throws, the panes holding the
  // pictures before it.
  bool StartBatchPictures(const std::string& folder,
                          const std::vector<images::BatchPictureEntry>& entries,
                          const images::PictureProgressFn& progress);
  // "Convert table" (F6): the source editor's selected text drawn as a table picture
  // "table<n>.png", its reference and binary put into the emptied panes and the "Images" page
  // shown. Nothing selected: the panes are emptied and nothing else happens. Every non-empty
  // selection counts TablePictureCount up, also one that gives no picture.
  void Act_ConvertTable();

 private:
  UserInterface& ui_;
  TextEditor& source_;
  TextEditor& result_;
  DocumentState document_;
  ConversionSettings settings_;
  source::EncodingState encoding_;
  fb2meta::BookInfo book_;
  engine::THTMLParser parser_;
  platform::CodePage codePage_;
  std::string programFolder_;
  std::string settingsPath_;
  std::unique_ptr<platform::ScratchFolder> scratch_;
  std::unique_ptr<tables::FontCache> tableFonts_;
  std::unique_ptr<output::Fb2Validator> validator_;
  bool bookInfoDialogCreated_ = false;
  std::optional<std::vector<std::string>> genres_;
  // The LibreOffice kept while a batch runs (owned by the steps of BatchStartSteps), and what
  // removes the current word-processor export on an interrupt.
  std::weak_ptr<source::OfficeInstance> batchOffice_;
  std::vector<platform::InterruptCleanup> wordExportCleanup_;
  int selectedPage_ = kSourcePage;
  std::string findSearchText_;
  std::string replaceSearchText_;
  std::string replacementText_;
};

}  // namespace app

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "app/PlainTextEditor.h"
#include "app/Session.h"
#include "platform/FileOpenError.h"
#include "support/FakeUserInterface.h"
#include "support/TempFolder.h"
#include "support/Xml.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using testsupport::ReadFile;
using testsupport::WriteFile;

// "Привет" in windows-1251 and in UTF-8.
const std::string kPrivet = "\xcf\xf0\xe8\xe2\xe5\xf2";
const std::string kPrivetUtf8 = "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82";
constexpr int kDefaultCharsetEntry = 4;

class SessionSourcesTest : public ::testing::Test {
 protected:
  SessionSourcesTest() : session(ui, source, result, VELLUMOR_BIN_DIR, folder / "vellumor.ini") {
    session.ChooseCharsetEntry(kDefaultCharsetEntry);
  }

  // A stand-in for LibreOffice that writes a small export with one picture, or fails.
  void FakeExporter(bool succeed = true) {
    const std::string path = folder / "fake-soffice";
    WriteFile(path,
              "#!/bin/sh\n"
              "out=; prev=\n"
              "for a in \"$@\"; do [ \"$prev\" = --outdir ] && out=$a; prev=$a; done\n" +
                  std::string(succeed ? "" : "exit 1\n") +
                  "printf '<html><head><meta charset=\"utf-8\"><style>p{}</style></head><body>"
                  "<h1>Tale</h1><p>\\320\\237 text</p><p><img src=\"document_html_1.png\"></p>"
                  "</body></html>' > \"$out/document.html\"\n"
                  "cp \"" +
                  Picture() + "\" \"$out/document_html_1.png\"\n");
    chmod(path.c_str(), 0755);
    session.WordBridge.Program = path;
  }

  // A 2 x 2 PNG picture beside the documents.
  std::string Picture() {
    static const char kHex[] =
        "89504e470d0a1a0a0000000d4948445200000002000000020802000000fdd49a"
        "730000001049444154789c63f8cfc000440c100a001fee03fd8b5f14d4000000"
        "0049454e44ae426082";
    std::string bytes;
    for (size_t i = 0; kHex[i]; i += 2)
      bytes += static_cast<char>(std::stoi(std::string(kHex + i, 2), nullptr, 16));
    const std::string path = folder / "picture.png";
    WriteFile(path, bytes);
    return path;
  }

  std::string Html(const std::string& name, const std::string& bytes) {
    const std::string path = folder / name;
    WriteFile(path, bytes);
    return path;
  }

  testsupport::TempFolder folder;
  testsupport::FakeUserInterface ui;
  PlainTextEditor source;
  PlainTextEditor result;
  Session session;
};

TEST_F(SessionSourcesTest, OpenDialogAndCancelKeepsThePreviousDocument) {
  const std::string first = Html("first.htm", "<html><body><p>one</p></body></html>");
  ui.AnswerOpen(first);
  EXPECT_TRUE(session.OpenSource());
  const std::string loaded = source.Text();
  EXPECT_NE(loaded.find("<p>one</p>"), std::string::npos) << loaded;

  EXPECT_FALSE(session.OpenSource());  // cancelled
  EXPECT_EQ(source.Text(), loaded);
  EXPECT_EQ(session.Document().SourcePath, first);
  EXPECT_EQ(session.Document().SourceHtmlPath, "New");

  ASSERT_EQ(ui.Dialogs.size(), 2u);
  for (const auto& dialog : ui.Dialogs) {
    EXPECT_EQ(dialog.Title, "Open html file");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Source files (*.doc;*.docx;*rtf;*.htm;*.html)", "*.doc;*.docx;*.rtf;*.htm;*.html"},
        {"html files", "*.html;*.htm"},
        {"MS Word files (*.doc;*.docx;*.rtf)", "*.doc;*.docx;*.rtf"}};
    ASSERT_EQ(dialog.Filters.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(dialog.Filters[i].Caption, expected[i].first);
      EXPECT_EQ(dialog.Filters[i].Patterns, expected[i].second);
    }
  }
  EXPECT_EQ(ui.Dialogs[0].InitialPath, "");
  EXPECT_EQ(ui.Dialogs[1].InitialPath, first);  // the dialog keeps the last chosen name
  EXPECT_FALSE(ui.Busy);
}

TEST_F(SessionSourcesTest, HtmlIsReadCleanedAndAnnounced) {
  struct Case {
    const char* Name;
    std::string Bytes;
    std::string Expected;  // a piece of the source editor's text
    std::string Absent;    // a piece it must not hold
  };
  const Case cases[] = {
      {"page.HTML", "<html><head><script>x()</script></head><body><p>a</p></body></html>",
       "<p>a</p>", "script"},
      {"cut.Htm", std::string("<p>before</p>\0<p>after</p>", 27), "before", "after"},
      // Each line break, normalised to CR LF, becomes two blanks in the text.
      {"breaks.html", "<p>a\rb\nc</p>", "a  b  c", "\r"},
      {"utf8.htm",
       "<html><head><meta charset=\"utf-8\"></head><body><p>" + kPrivetUtf8 + "</p></body></html>",
       "<p>" + kPrivet + "</p>", kPrivetUtf8},
  };
  for (const Case& c : cases) {
    const std::string path = Html(c.Name, c.Bytes);
    EXPECT_TRUE(session.OpenSource(path)) << c.Name;
    const std::string text = source.Text();
    EXPECT_NE(text.find(c.Expected), std::string::npos) << c.Name << ": " << text;
    EXPECT_EQ(text.find(c.Absent), std::string::npos) << c.Name << ": " << text;
    EXPECT_EQ(ui.StatusText(0), path) << c.Name;
    EXPECT_EQ(ui.Caption, "Vellumor : New") << c.Name;
    EXPECT_EQ(session.Document().SourcePath, path) << c.Name;
  }
}

TEST_F(SessionSourcesTest, OtherExtensionsLoadNothing) {
  Html("first.htm", "<p>one</p>");
  ASSERT_TRUE(session.OpenSource(folder / "first.htm"));
  const std::string path = Html("notes.txt", "<p>two</p>");
  EXPECT_FALSE(session.OpenSource(path));
  EXPECT_EQ(source.Text(), "");
  EXPECT_EQ(ui.StatusText(0), path);
  EXPECT_EQ(ui.Caption, "Vellumor : ");
  EXPECT_EQ(session.Document().SourceHtmlPath, "");
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(SessionSourcesTest, UnreadableFileRaisesTheOpenErrorWithCursorsRestored) {
  Html("first.htm", "<p>one</p>");
  ASSERT_TRUE(session.OpenSource(folder / "first.htm"));
  fs::create_directory(folder / "folder.htm");
  EXPECT_THROW(session.OpenSource(folder / "folder.htm"), platform::FileOpenError);
  EXPECT_EQ(source.Text(), "");
  EXPECT_FALSE(ui.Busy);
  try {
    session.LoadSourceHtml(folder / "missing.htm");
    ADD_FAILURE() << "no error";
  } catch (const platform::FileOpenError& e) {
    EXPECT_EQ(
        std::string(e.what()).rfind("Cannot open file \"" + (folder / "missing.htm") + "\". ", 0),
        0u)
        << e.what();
  }
}

TEST_F(SessionSourcesTest, WordDocumentsGoThroughTheExportUnderAFreeName) {
  FakeExporter();
  const std::string doc = Html("My Book.DOCX", "doc");
  WriteFile(folder / "My_Book.htm", "mine");         // taken: the export goes to My_Book_1.htm
  fs::create_directory(folder / "My_Book_1.files");  // taken too
  EXPECT_TRUE(session.OpenSource(doc));
  EXPECT_EQ(session.Document().WordExportPath, folder / "My_Book_2.htm");
  EXPECT_EQ(session.Document().SourcePath, doc);
  EXPECT_EQ(session.Document().SourceHtmlPath, "New");
  EXPECT_EQ(ui.Caption, "Vellumor : New");
  const std::string text = source.Text();
  EXPECT_NE(text.find(kPrivet[0]), std::string::npos) << text;  // read in the code page
  EXPECT_NE(text.find("My_Book_2.files/document_html_1.png"), std::string::npos) << text;
  EXPECT_EQ(text.find("style"), std::string::npos) << text;  // cleaned
  EXPECT_TRUE(fs::exists(folder / "My_Book_2.files/document_html_1.png"));

  // An HTML source opened afterwards leaves the export's name as it is.
  const std::string page = Html("page.htm", "<p>x</p>");
  EXPECT_TRUE(session.OpenSource(page));
  EXPECT_EQ(session.Document().WordExportPath, folder / "My_Book_2.htm");
  // A batch file starts without one.
  EXPECT_TRUE(session.OpenSourceBatch(page));
  EXPECT_EQ(session.Document().WordExportPath, "");
}

TEST_F(SessionSourcesTest, FailedExportLoadsNothingAndSaysNothing) {
  FakeExporter(false);
  const std::string doc = Html("a.rtf", "rtf");
  EXPECT_FALSE(session.OpenSource(doc));
  EXPECT_EQ(source.Text(), "");
  EXPECT_EQ(session.Document().WordExportPath, "");
  EXPECT_EQ(ui.Caption, "Vellumor : ");
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"a.rtf", "fake-soffice", "picture.png"}));
}

TEST_F(SessionSourcesTest, BatchOpeningLeavesSourcePathToTheCaller) {
  session.Document().SourcePath = "set by the batch";
  const std::string path = Html("b.html", "<p>b</p>");
  EXPECT_TRUE(session.OpenSourceBatch(path));
  EXPECT_EQ(session.Document().SourcePath, "set by the batch");
  EXPECT_EQ(session.Document().SourceHtmlPath, "New");
  EXPECT_EQ(ui.StatusText(0), path);
  EXPECT_TRUE(ui.Dialogs.empty());
  EXPECT_FALSE(session.OpenSourceBatch(Html("b.xml", "<p>b</p>")));
  EXPECT_EQ(source.Text(), "");
}

// --- Converting a source file by name

TEST_F(SessionSourcesTest, ConvertSourceFileGivesItsOutcomeAsData) {
  session.Settings().ShowTitleInfo = false;
  const std::string good = Html("Good.htm", "<html><body><h1>Tale</h1><p>text</p></body></html>");
  const std::string notes = Html("notes.txt", "<html><body><p>notes</p></body></html>");
  const std::string empty = Html("empty.html", "");
  const std::string missing = folder / "missing.htm";
  const std::string shelf = folder / "shelf.htm";
  fs::create_directory(shelf);
  // Reading a pipe would wait for a writer that never comes.
  const std::string pipe = folder / "pipe.htm";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const auto cannotOpen = [](const std::string& path) {
    return "Cannot open file \"" + path + "\". ";
  };
  struct Case {
    const char* Name;
    std::string File;
    OtherExtensions Other;
    bool Ok;
    bool Loaded;
    int Code;
    std::string Reason;  // how the reason starts; empty: no reason
  };
  const Case cases[] = {
      {"HTML", good, OtherExtensions::LoadNothing, true, true, 0, ""},
      {"missing file", missing, OtherExtensions::LoadNothing, false, false, ENOENT,
       cannotOpen(missing) + "No such file or directory"},
      {"folder", shelf, OtherExtensions::LoadNothing, false, false, EISDIR,
       cannotOpen(shelf) + "It is a folder, not a file."},
      {"pipe", pipe, OtherExtensions::LoadNothing, false, false, EINVAL,
       cannotOpen(pipe) + "It is a named pipe (FIFO), not a regular file."},
      {"other extension", notes, OtherExtensions::LoadNothing, false, false, 0,
       "\"" + notes + "\" is not a source document"},
      {"other extension read as HTML", notes, OtherExtensions::ReadAsHtml, true, true, 0, ""},
      {"no text", empty, OtherExtensions::LoadNothing, false, false, 0,
       "\"" + empty + "\" holds no text"},
  };
  for (const Case& c : cases) {
    result.Load("previous result");
    const SourceConversion outcome = session.ConvertSourceFile(c.File, c.Other);
    EXPECT_EQ(static_cast<bool>(outcome), c.Ok) << c.Name;
    EXPECT_EQ(outcome.SourceLoaded, c.Loaded) << c.Name;
    EXPECT_FALSE(outcome.ExportFailed) << c.Name;
    EXPECT_EQ(outcome.ErrorCode, c.Code) << c.Name;
    if (c.Reason.empty()) {
      EXPECT_EQ(outcome.Reason, "") << c.Name;
    } else {
      EXPECT_EQ(outcome.Reason.rfind(c.Reason, 0), 0u) << c.Name << ": " << outcome.Reason;
    }
    if (c.Ok) {
      EXPECT_EQ(session.Document().SourcePath, c.File) << c.Name;
      EXPECT_EQ(session.Document().SourceHtmlPath, "New") << c.Name;
      EXPECT_TRUE(testsupport::IsWellFormedXml(result.Text())) << c.Name;
      EXPECT_NE(result.Text().find(c.File == good ? "Tale" : "notes"), std::string::npos);
    } else {
      EXPECT_EQ(result.Text(), "previous result") << c.Name;
    }
    EXPECT_FALSE(ui.Busy) << c.Name;
  }
  EXPECT_TRUE(ui.Messages.empty()) << ui.MessageTexts().front();
  EXPECT_TRUE(ui.Dialogs.empty());
}

TEST_F(SessionSourcesTest, ConvertSourceFileLeavesTheExportToTheCallerAndSaysWhyOneFailed) {
  session.Settings().ShowTitleInfo = false;
  FakeExporter();
  const std::string doc = Html("Tale.doc", "doc");
  const SourceConversion converted = session.ConvertSourceFile(doc);
  EXPECT_TRUE(converted.Ok) << converted.Reason;
  EXPECT_EQ(session.Document().WordExportPath, folder / "Tale.htm");
  EXPECT_TRUE(fs::exists(folder / "Tale.files/document_html_1.png"));
  EXPECT_NE(result.Text().find("<binary"), std::string::npos);
  session.RemoveWordExport();
  EXPECT_FALSE(fs::exists(folder / "Tale.htm"));

  FakeExporter(false);
  result.Load("previous result");
  const SourceConversion failed = session.ConvertSourceFile(doc);
  EXPECT_FALSE(failed.Ok);
  EXPECT_FALSE(failed.SourceLoaded);
  EXPECT_TRUE(failed.ExportFailed);
  EXPECT_EQ(failed.ErrorCode, 0);
  EXPECT_EQ(failed.Reason, "\"" + doc + "\" could not be exported to HTML: \"" +
                               folder / "fake-soffice" + "\" ended with exit status 1");
  EXPECT_EQ(session.Document().WordExportPath, "");
  EXPECT_EQ(result.Text(), "previous result");
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"Tale.doc", "fake-soffice", "picture.png"}));
  EXPECT_TRUE(ui.Messages.empty());
}

// --- Conversion commands

TEST_F(SessionSourcesTest, ConvertAsksForASourceWhenEmptyAndCancelDoesNothing) {
  session.Act_ConvertExecute();
  ASSERT_EQ(ui.Dialogs.size(), 1u);
  EXPECT_EQ(ui.Dialogs[0].Kind, testsupport::FakeUserInterface::DialogKind::Open);
  EXPECT_TRUE(result.Text().empty());
  EXPECT_FALSE(ui.Busy);
}

TEST_F(SessionSourcesTest, ConvertOffersTheSourceNameAndRemovesTheExport) {
  FakeExporter();
  session.Settings().ShowTitleInfo = false;  // no proposal from the book information
  const std::string doc = Html("Tale.doc", "doc");
  ui.AnswerOpen(doc);
  const std::string saved = folder / "Out.fb2";
  ui.AnswerSave(saved);
  session.Act_ConvertExecute();

  ASSERT_EQ(ui.Dialogs.size(), 2u);
  EXPECT_EQ(ui.Dialogs[1].Kind, testsupport::FakeUserInterface::DialogKind::Save);
  EXPECT_EQ(ui.Dialogs[1].InitialPath, "New.fb2");
  EXPECT_FALSE(fs::exists(folder / "Tale.htm"));
  EXPECT_FALSE(fs::exists(folder / "Tale.files"));
  EXPECT_TRUE(fs::exists(doc));
  EXPECT_EQ(session.Document().WordExportPath, "");
  const std::string bytes = ReadFile(saved);
  EXPECT_TRUE(testsupport::IsWellFormedXml(bytes));
  EXPECT_NE(bytes.find("<binary"), std::string::npos) << bytes;  // read before the removal
  EXPECT_FALSE(ui.Busy);
  EXPECT_EQ(ui.PendingAnswers(), 0u);
}

TEST_F(SessionSourcesTest, FailedConversionSaysSoAndOffersNoSave) {
  FakeExporter();
  result.Load("previous result");
  const std::string doc = Html("Tale.rtf", "rtf");
  ASSERT_TRUE(session.OpenSource(doc));
  ui.AnswerBookInfo([](fb2meta::BookInfo&) -> bool { throw std::runtime_error("disk gone"); });
  ui.AnswerSave(folder / "never.fb2");
  session.Act_ConvertExecute();
  EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"Conversion failed: disk gone"}));
  EXPECT_EQ(result.Text(), "previous result");
  EXPECT_EQ(ui.PendingAnswers(), 1u);             // the save dialog never came
  EXPECT_FALSE(fs::exists(folder / "Tale.htm"));  // the export is removed all the same
  EXPECT_FALSE(fs::exists(folder / "Tale.files"));
  EXPECT_FALSE(ui.Busy);
}

TEST_F(SessionSourcesTest, StartupFile) {
  session.Settings().ShowTitleInfo = false;
  // A name without folder is looked up in the current folder.
  const fs::path before = fs::current_path();
  fs::current_path(folder.Path());
  Html("Start.htm", "<html><body><p>start</p></body></html>");
  session.Document().StartupFile = "Start.htm";
  ui.AnswerSave(folder / "Start.fb2");
  session.ConvertStartupFile(session.Document().StartupFile);
  fs::current_path(before);
  EXPECT_EQ(session.Document().SourcePath, (folder.Path() / "Start.htm").string());
  EXPECT_EQ(session.Document().StartupFile, "");
  EXPECT_TRUE(testsupport::IsWellFormedXml(ReadFile(folder / "Start.fb2")));
  ASSERT_EQ(ui.Dialogs.size(), 1u);  // only the save dialog

  const std::string missing = folder / "gone.htm";
  session.ConvertStartupFile(missing);
  EXPECT_EQ(ui.StatusText(0), "File " + missing + " not found");
  session.ConvertStartupFile("");
  EXPECT_EQ(ui.Dialogs.size(), 1u);
}

TEST_F(SessionSourcesTest, StartupFileThatCannotBeConvertedSaysWhyWithoutThrowing) {
  session.Settings().ShowTitleInfo = false;
  const std::string pipe = folder / "pipe.htm";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  FakeExporter(false);
  const std::string doc = Html("Tale.rtf", "rtf");
  const std::string empty = Html("empty.htm", "");
  ui.AnswerSave(folder / "never.fb2");

  EXPECT_NO_THROW(session.ConvertStartupFile(pipe));
  EXPECT_NO_THROW(session.ConvertStartupFile(doc));
  EXPECT_NO_THROW(session.ConvertStartupFile(empty));  // nothing to convert, nothing to say

  ASSERT_EQ(ui.Messages.size(), 2u);
  EXPECT_EQ(ui.Messages[0].Caption, "Vellumor");
  EXPECT_EQ(ui.Messages[0].Text,
            "Cannot open file \"" + pipe + "\". It is a named pipe (FIFO), not a regular file.");
  EXPECT_EQ(ui.Messages[1].Caption, "Vellumor");
  EXPECT_EQ(ui.Messages[1].Text, "Conversion failed: \"" + doc +
                                     "\" could not be exported to HTML: \"" +
                                     folder / "fake-soffice" + "\" ended with exit status 1");
  EXPECT_EQ(ui.PendingAnswers(), 1u);  // no save dialog
  EXPECT_FALSE(ui.Busy);
}

TEST_F(SessionSourcesTest, RemoveWordExportKeepsLetterCaseAndForgetsTheName) {
  WriteFile(folder / "Book.HTM", "x");
  fs::create_directory(folder / "Book.files");
  WriteFile(folder / "Book.files/pic.png", "p");
  chmod((folder / "Book.files/pic.png").c_str(), 0444);
  fs::create_directory(folder / "book.files");  // another folder: stays
  session.Document().WordExportPath = folder / "Book.HTM";
  session.RemoveWordExport();
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"book.files"}));
  EXPECT_EQ(session.Document().WordExportPath, "");
}

// --- Reopening FB2 files

TEST_F(SessionSourcesTest, ReopenedFb2IsSavedBackByteForByte) {
  struct Case {
    const char* Name;
    std::string Bytes;
    bool Utf8;
    std::string EditorText;  // what the result editor holds
  };
  const std::string body = "<FictionBook><body><p>";
  const Case cases[] = {
      {"utf-8 with CR LF",
       "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n" + body + kPrivetUtf8 +
           "</p></body></FictionBook>\r\n",
       true,
       "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n" + body + kPrivet +
           "</p></body></FictionBook>\r\n"},
      {"windows-1251 with LF",
       "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n" + body + kPrivet +
           "</p></body>\n</FictionBook>",
       false, ""},
      {"windows-1251 with CR and a final break",
       "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r" + body + kPrivet +
           "</p></body></FictionBook>\r",
       false, ""},
      {"no declaration", "<FictionBook><body><p>" + kPrivet + "</p></body></FictionBook>", false,
       ""},
  };
  for (const Case& c : cases) {
    const std::string path = folder / "book.fb2";
    WriteFile(path, c.Bytes);
    source.Load("source stays");
    ui.AnswerOpen(path);
    session.Act_openFB2();
    EXPECT_EQ(result.Text(), c.EditorText.empty() ? c.Bytes : c.EditorText) << c.Name;
    EXPECT_EQ(session.Settings().UtfOutput, c.Utf8) << c.Name;
    EXPECT_EQ(ui.StatusText(1), c.Utf8 ? "utf-8" : "windows-1251") << c.Name;
    EXPECT_EQ(session.Document().LastFb2Path, path);
    EXPECT_EQ(session.Document().ProposedFb2Name, path);
    EXPECT_EQ(ui.Caption, "Vellumor : " + path);
    EXPECT_EQ(source.Text(), "source stays");

    fs::remove(path);
    session.Act_SaveResult();  // back to the same file
    const std::string saved = ReadFile(path);
    EXPECT_EQ(saved, c.Bytes) << c.Name;
    EXPECT_TRUE(testsupport::IsWellFormedXml(saved)) << c.Name;
  }
  const auto& dialog = ui.Dialogs.back();
  ASSERT_EQ(dialog.Filters.size(), 2u);
  EXPECT_EQ(dialog.Filters[0].Caption, "FictionBook files (*.fb2)");
  EXPECT_EQ(dialog.Filters[0].Patterns, "*.fb2");
  EXPECT_EQ(dialog.Filters[1].Caption, "All Files (*.*)");
  EXPECT_EQ(dialog.Filters[1].Patterns, "*.*");
}

TEST_F(SessionSourcesTest, ConvertingAfterAReopenedFileWritesCrLfAgain) {
  WriteFile(folder / "lf.fb2", "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<a/>\n");
  ui.AnswerOpen(folder / "lf.fb2");
  session.Act_openFB2();
  EXPECT_EQ(result.LineBreakStyle(), LineBreak::Lf);
  source.Load("<html><body><p>x</p></body></html>");
  ASSERT_TRUE(session.ConvertDocument().Ok);
  EXPECT_EQ(result.LineBreakStyle(), LineBreak::CrLf);
  EXPECT_EQ(session.Fb2FileBytes(), result.Text());
}

TEST_F(SessionSourcesTest, CancelledFb2DialogChangesNothing) {
  result.Load("kept");
  session.Document().LastFb2Path = "earlier.fb2";
  session.Act_openFB2();
  EXPECT_EQ(result.Text(), "kept");
  EXPECT_EQ(session.Document().LastFb2Path, "earlier.fb2");
  ASSERT_EQ(ui.Dialogs.size(), 1u);
}

// --- Viewing the saved FB2

class ViewFb2Test : public SessionSourcesTest {
 protected:
  ViewFb2Test() {
    session.ShellOpener = [this](const std::string& path) { opened.push_back(path); };
    result.Load("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<FictionBook/>");
  }
  std::vector<std::string> opened;
};

TEST_F(ViewFb2Test, OpensTheSavedFileOrSavesFirst) {
  const std::string tale = folder / "Tale.fb2";
  ui.AnswerSave(tale);
  session.Act_SaveAndView();  // nothing saved yet: the save dialog first
  EXPECT_EQ(opened, (std::vector<std::string>{tale}));
  session.Act_SaveAndView();  // then without dialog
  EXPECT_EQ(opened.size(), 2u);
  EXPECT_EQ(ui.Dialogs.size(), 1u);

  fs::remove(tale);  // deleted meanwhile: saved again before opening
  ui.AnswerSave(tale);
  session.Act_SaveAndView();
  EXPECT_EQ(ui.Dialogs.size(), 2u);
  EXPECT_EQ(opened.size(), 3u);
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(ViewFb2Test, PackedSavesOpenTheArchive) {
  session.Settings().PackToZip = true;
  ui.AnswerSave(folder / "Tale.fb2");
  session.Act_SaveAndView();
  EXPECT_EQ(opened, (std::vector<std::string>{folder / "Tale.fb2.zip"}));
  EXPECT_EQ(ui.Dialogs.size(), 1u);  // the archive is opened, not a second dialog
  session.Act_SaveAndView();
  EXPECT_EQ(opened.size(), 2u);
}

TEST_F(ViewFb2Test, CancelledSaveOpensNothing) {
  session.Act_SaveAndView();
  EXPECT_TRUE(opened.empty());
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(ViewFb2Test, MissingFileIsReported) {
  const std::string missing = folder / "gone.fb2";
  session.OpenWithShell(missing);
  EXPECT_TRUE(opened.empty());
  EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"File " + missing + " not exist."}));
}

}  // namespace
}  // namespace app

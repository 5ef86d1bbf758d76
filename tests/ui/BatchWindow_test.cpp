// The batch window inside the desktop program: the folder browser and its file types, the
// conversion list's commands, "Save to:" and its settings key, and "Start" / "Cancel" over real
// files.

#include <gtest/gtest.h>

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QEvent>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>

#include "app/PlainTextEditor.h"
#include "batch/ui/BatchWindow.h"
#include "batch/ui/BufferedEditor.h"
#include "support/Xml.h"
#include "ui/support/ProgramFixture.h"

namespace {

using batch::ui::BatchWindow;
using testsupport::ProgramFixture;
using testsupport::ReadFile;
using testsupport::WriteFile;
using Kind = testsupport::ScriptedDialogs::Kind;

// The names in a folder, sorted.
std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Page(const std::string& text) {
  return "<html><head><title>" + text + "</title></head><body><h1>" + text + "</h1><p>" + text +
         " &amp; more</p></body></html>\r\n";
}

class BatchWindowTest : public ::testing::Test {
 protected:
  explicit BatchWindowTest(const std::string& settingsText = {}) : f({}, settingsText) {
    std::filesystem::create_directories(In());
    std::filesystem::create_directories(Out());
  }

  BatchWindow& Window() { return f.Program().BatchWindow(); }
  template <typename T>
  T* Child(const char* name) {
    T* child = Window().findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  QListWidget& Files() { return *Child<QListWidget>("FileListBox1"); }
  QTreeWidget& Rows() { return *Child<QTreeWidget>("ListBox1"); }
  QLineEdit& SaveTo() { return *Child<QLineEdit>("EPath"); }
  QAction& Command(const char* name) { return *Child<QAction>(name); }
  const std::vector<std::string>& Entries() { return f.Session().BatchList.Entries(); }

  std::string In() { return f.Folder() / "in"; }
  std::string Out() { return f.Folder() / "out"; }
  std::string Source(const std::string& name, const std::string& text) {
    const std::string path = In() + "/" + name;
    WriteFile(path, Page(text));
    return path;
  }

  // The texts of one column of the conversion list.
  QStringList Column(int column) {
    QStringList texts;
    for (int i = 0; i < Rows().topLevelItemCount(); ++i)
      texts << Rows().topLevelItem(i)->text(column);
    return texts;
  }
  QStringList FileNames() {
    QStringList names;
    for (int i = 0; i < Files().count(); ++i) names << Files().item(i)->text();
    return names;
  }
  void SelectFile(const QString& name) {
    const QList<QListWidgetItem*> found = Files().findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    Files().setCurrentItem(found.front());
  }
  void SelectRow(int row) { Rows().setCurrentItem(Rows().topLevelItem(row)); }

  // Puts `entries` into the list as a loaded list file would.
  void UseEntries(const std::vector<std::string>& entries) {
    f.Session().BatchList.Entries() = entries;
    Window().ShowList();
  }

  void Start() { Child<QPushButton>("ButStart")->click(); }

  ProgramFixture f;
};

TEST_F(BatchWindowTest, ShowsItsControlsUnderTheirNames) {
  BatchWindow& w = Window();
  EXPECT_EQ(w.objectName(), "FBatch");
  EXPECT_EQ(w.windowTitle(), "Batch");
  EXPECT_EQ(w.minimumSize(), QSize(580, 400));
  EXPECT_EQ(Child<QLabel>("Label1")->text(), "Save to:");
  EXPECT_EQ(Child<QPushButton>("ButStart")->text(), "Start");
  EXPECT_EQ(Child<QPushButton>("ButCancel")->text(), "Cancel");
  EXPECT_NE(Child<QToolButton>("SpeedButton1"), nullptr);

  QStringList hints;
  for (QToolButton* button :
       Child<QWidget>("ToolBar1")->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
    hints << button->toolTip();
  EXPECT_EQ(hints, QStringList({"Add", "Add All", "Load file", "Save file", "Delete", "Clear"}));

  const QComboBox& types = *Child<QComboBox>("FilterComboBox1");
  ASSERT_EQ(types.count(), 3);
  EXPECT_EQ(types.itemText(0), "Source files (*.doc;*.docx;*rtf;*.htm;*.html)");
  EXPECT_EQ(types.itemText(1), "html files");
  EXPECT_EQ(types.itemText(2), "MS Word files (*.doc;*.docx;*rtf)");
  EXPECT_EQ(types.currentIndex(), 0);
}

TEST_F(BatchWindowTest, FolderTreeStartsAtTheRootWithTheHomeFolderOpen) {
  Window().show();
  testsupport::ProcessEvents();
  auto& tree = *Child<QTreeView>("DirectoryListBox1");
  auto* model = qobject_cast<QFileSystemModel*>(tree.model());
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->filePath(model->index(0, 0, tree.rootIndex())), "/");
  const QModelIndex home = model->index(QDir::homePath());
  EXPECT_EQ(tree.currentIndex(), home);
  EXPECT_TRUE(tree.isExpanded(home));
  EXPECT_EQ(Window().Folder(), QDir::homePath());

  // Choosing a folder in the tree lists its files.
  Source("a.htm", "A");
  tree.setCurrentIndex(model->index(QString::fromStdString(In())));
  EXPECT_EQ(Window().Folder(), QString::fromStdString(In()));
  EXPECT_EQ(FileNames(), QStringList{"a.htm"});
  Window().hide();
}

TEST_F(BatchWindowTest, FileListShowsTheFilesOfTheChosenType) {
  for (const char* name : {"a.htm", "B.HTML", "c.doc", "d.DOCX", "e.rtf", "f.txt", "g.xrtf"})
    WriteFile(In() + "/" + name, "x");
  std::filesystem::create_directory(In() + "/folder.htm");
  struct Case {
    BatchWindow::FileTypes Types;
    QStringList Expected;
  };
  for (const Case& c :
       {Case{BatchWindow::SourceFiles, {"a.htm", "B.HTML", "c.doc", "d.DOCX", "e.rtf", "g.xrtf"}},
        Case{BatchWindow::HtmlFiles, {"a.htm", "B.HTML"}},
        Case{BatchWindow::WordFiles, {"c.doc", "d.DOCX", "e.rtf", "g.xrtf"}}}) {
    Window().SetFileTypes(c.Types);
    Window().ShowFolder(QString::fromStdString(In()));
    EXPECT_EQ(FileNames(), c.Expected) << c.Types;
  }
  // Changing the type lists the folder again.
  Window().SetFileTypes(BatchWindow::HtmlFiles);
  EXPECT_EQ(FileNames(), QStringList({"a.htm", "B.HTML"}));
  EXPECT_EQ(Files().item(0)->data(Qt::UserRole).toString(),
            QString::fromStdString(In() + "/a.htm"));
}

TEST_F(BatchWindowTest, AddAppendsTheSelectedFileOnceIgnoringCase) {
  const std::string a = Source("a.htm", "A");
  const std::string b = Source("b.htm", "B");
  Window().ShowFolder(QString::fromStdString(In()));

  Command("TBAdd").trigger();  // nothing selected
  EXPECT_TRUE(Entries().empty());

  SelectFile("a.htm");
  Command("TBAdd").trigger();
  Command("TBAdd").trigger();
  EXPECT_EQ(Entries(), std::vector<std::string>{a});

  // An entry that differs in letter case only counts as the same file.
  std::string upper = b;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  UseEntries({a, upper});
  SelectFile("b.htm");
  Command("TBAdd").trigger();
  EXPECT_EQ(Entries(), (std::vector<std::string>{a, upper}));
  EXPECT_EQ(Column(0), QStringList({QString::fromStdString(a), QString::fromStdString(upper)}));
}

TEST_F(BatchWindowTest, EnterAndDoubleClickInTheFileListAddTheFileAndNothingElse) {
  const std::string a = Source("a.htm", "A");
  const std::string b = Source("b.htm", "B");
  Window().ShowFolder(QString::fromStdString(In()));
  Window().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
  QApplication::setActiveWindow(&Window());
  Files().setFocus();
  SelectFile("a.htm");
  QTest::keyClick(&Files(), Qt::Key_Return);
  const QListWidgetItem* second = Files().item(1);
  const QPoint at = Files().visualItemRect(second).center();
  QTest::mouseClick(Files().viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(Files().viewport(), Qt::LeftButton, {}, at);
  QTest::mouseRelease(Files().viewport(), Qt::LeftButton, {}, at);  // the button up again
  EXPECT_EQ(Entries(), (std::vector<std::string>{a, b}));
  // Enter is not taken for "Start": no folder check, no conversion.
  EXPECT_TRUE(f.Dialogs().Dialogs.empty());
  EXPECT_TRUE(f.Dialogs().Messages.empty());
  Window().hide();
}

TEST_F(BatchWindowTest, AddAllAppendsEveryListedFileInOrderAndSelectsTheLast) {
  const std::string a = Source("a.htm", "A");
  const std::string b = Source("B.html", "B");
  const std::string c = Source("c.htm", "C");
  WriteFile(In() + "/notes.txt", "not listed");
  Window().ShowFolder(QString::fromStdString(In()));
  UseEntries({b});

  Command("TBAddAll").trigger();

  EXPECT_EQ(Entries(), (std::vector<std::string>{b, a, c}));
  EXPECT_EQ(Column(0).size(), 3);
  EXPECT_EQ(Files().currentRow(), 2);
  EXPECT_TRUE(Files().currentItem()->isSelected());
}

TEST_F(BatchWindowTest, SaveFileWritesTxtWithCrLfAndLoadFileReadsTheLinesBack) {
  UseEntries({"/books/a.htm", "Done: /books/b.htm", "Error: 2: /books/c.htm"});
  const std::string chosen = f.Folder() / "list.lst";
  f.Dialogs().SaveAnswers.push_back(QString::fromStdString(chosen));

  Command("TBSaveFile").trigger();

  EXPECT_EQ(f.Dialogs().Dialogs.back().DialogKind, Kind::Save);
  EXPECT_TRUE(f.Dialogs().Dialogs.back().Filters.join(";").contains("Text Files"));
  EXPECT_FALSE(std::filesystem::exists(chosen));
  EXPECT_EQ(ReadFile(f.Folder() / "list.txt"),
            "/books/a.htm\r\nDone: /books/b.htm\r\nError: 2: /books/c.htm\r\n");

  // Loading replaces the list by the file's lines, as they are: no case folding, no dropping.
  WriteFile(f.Folder() / "other.txt", "/x/One.htm\r\n/X/one.HTM\nDone: /x/two.htm");
  f.Dialogs().OpenAnswers.push_back(QString::fromStdString(f.Folder() / "other.txt"));
  Command("TBLoadFile").trigger();
  EXPECT_EQ(Entries(), (std::vector<std::string>{"/x/One.htm", "/X/one.HTM", "Done: /x/two.htm"}));
  EXPECT_EQ(Column(0), QStringList({"/x/One.htm", "/X/one.HTM", "Done: /x/two.htm"}));

  // A cancelled open dialog leaves the list as it is.
  Command("TBLoadFile").trigger();
  EXPECT_EQ(Entries().size(), 3u);
  EXPECT_TRUE(f.Dialogs().Messages.empty());
}

TEST_F(BatchWindowTest, DeleteRemovesTheSelectedEntryAndClearEmptiesTheList) {
  UseEntries({"/a.htm", "/b.htm", "/c.htm"});
  Rows().clearSelection();
  Rows().setCurrentItem(nullptr);
  Command("TBDelete").trigger();  // none selected
  EXPECT_EQ(Entries().size(), 3u);

  SelectRow(1);
  Command("TBDelete").trigger();
  EXPECT_EQ(Entries(), (std::vector<std::string>{"/a.htm", "/c.htm"}));
  EXPECT_EQ(Column(0), QStringList({"/a.htm", "/c.htm"}));

  // The Delete key in the list does the same; the entry after it is selected.
  Window().show();
  QApplication::setActiveWindow(&Window());
  Rows().setFocus();
  SelectRow(0);
  QTest::keyClick(&Rows(), Qt::Key_Delete);
  EXPECT_EQ(Entries(), std::vector<std::string>{"/c.htm"});
  EXPECT_EQ(Rows().currentItem()->text(0), "/c.htm");
  Window().hide();

  Command("TBClear").trigger();
  EXPECT_TRUE(Entries().empty());
  EXPECT_EQ(Rows().topLevelItemCount(), 0);
}

TEST_F(BatchWindowTest, StartRewritesEveryEntryAndWritesOnlyTheGoodBooks) {
  const std::string good = Source("Good.htm", "Alpha");
  const std::string dotted = Source("a.b.html", "Beta");
  const std::string missing = In() + "/missing.htm";
  const std::string empty = In() + "/empty.htm";
  WriteFile(empty, "");
  const std::string folder = In() + "/folder.htm";
  std::filesystem::create_directory(folder);
  const std::string notSource = In() + "/notes.txt";
  WriteFile(notSource, "plain text");
  UseEntries({good, missing, empty, dotted, folder, notSource});
  SaveTo().setText(QString::fromStdString(Out()));

  Start();

  const auto error = [](int code, const std::string& entry) {
    return "Error: " + std::to_string(code) + ": " + entry;
  };
  ASSERT_EQ(Entries().size(), 6u);
  EXPECT_EQ(Entries()[0], "Done: " + good);
  EXPECT_EQ(Entries()[1], error(ENOENT, missing));
  EXPECT_EQ(Entries()[2].rfind("Error: ", 0), 0u) << Entries()[2];
  EXPECT_EQ(Entries()[3], "Done: " + dotted);
  EXPECT_EQ(Entries()[4], error(EISDIR, folder));
  EXPECT_EQ(Entries()[5].rfind("Error: ", 0), 0u) << Entries()[5];

  // The rows show the entries as they are, and the reason of each failure beside it.
  QStringList shown;
  for (const std::string& entry : Entries()) shown << QString::fromStdString(entry);
  EXPECT_EQ(Column(0), shown);
  const QStringList reasons = Column(1);
  for (int row : {0, 3}) EXPECT_TRUE(reasons[row].isEmpty()) << row;
  for (int row : {1, 2, 4, 5}) EXPECT_FALSE(reasons[row].isEmpty()) << row;
  EXPECT_TRUE(reasons[1].contains("No such file")) << reasons[1].toStdString();
  EXPECT_TRUE(reasons[1].contains(QString::fromStdString(missing)));
  EXPECT_TRUE(Rows().topLevelItem(1)->toolTip(0).contains(reasons[1]));
  EXPECT_EQ(Child<QLabel>("ProgressLabel")->text(), "6 of 6");
  EXPECT_EQ(Child<QProgressBar>("ProgressBar1")->value(), 6);

  // Only the good books reached the folder, each as a well-formed FB2 with its text.
  EXPECT_EQ(NamesIn(Out()), (std::vector<std::string>{"Good.fb2", "a.b.fb2"}));
  for (const auto& [name, text] : {std::pair{"Good.fb2", "Alpha"}, std::pair{"a.b.fb2", "Beta"}}) {
    const std::string fb2 = ReadFile(Out() + "/" + name);
    EXPECT_TRUE(testsupport::IsWellFormedXml(fb2)) << name;
    EXPECT_NE(testsupport::XmlTextContent(fb2).find(std::string(text) + " & more"),
              std::string::npos)
        << name;
  }
  // No question was asked per file.
  EXPECT_TRUE(f.Dialogs().Dialogs.empty());
  EXPECT_EQ(f.Dialogs().BookDialogs, 0);
  EXPECT_TRUE(Child<QPushButton>("ButStart")->isEnabled());
}

// The main window's editors are left alone while the batch runs and show the last file's source
// and result afterwards; a batch that converts nothing leaves them as they were, history included.
TEST_F(BatchWindowTest, AfterABatchTheEditorsShowTheLastFile) {
  app::TextEditor& sourceEditor = f.Program().SourceEditor();
  app::TextEditor& resultEditor = f.Program().ResultEditor();
  sourceEditor.SetText("<p>typed</p>");
  UseEntries({In() + "/gone.htm", In() + "/also gone.htm"});
  SaveTo().setText(QString::fromStdString(Out()));
  Start();
  EXPECT_EQ(sourceEditor.Text(), "<p>typed</p>");
  EXPECT_TRUE(sourceEditor.CanUndo());

  UseEntries({Source("first.htm", "Alpha"), In() + "/gone.htm", Source("last.htm", "Omega")});
  bool mainWindowDrawnMeanwhile = true;
  const QMetaObject::Connection watch = QObject::connect(
      &f.Window(), &QWidget::windowTitleChanged,
      [&] { mainWindowDrawnMeanwhile = mainWindowDrawnMeanwhile && f.Window().updatesEnabled(); });
  Start();
  QObject::disconnect(watch);
  EXPECT_FALSE(mainWindowDrawnMeanwhile);
  EXPECT_TRUE(f.Window().updatesEnabled());
  EXPECT_NE(sourceEditor.Text().find("Omega"), std::string::npos) << sourceEditor.Text();
  EXPECT_EQ(sourceEditor.Text().find("Alpha"), std::string::npos);
  const std::string fb2 = resultEditor.Text();
  EXPECT_EQ(fb2.rfind("<?xml", 0), 0u) << fb2.substr(0, 80);
  EXPECT_NE(fb2.find("Omega"), std::string::npos);
  EXPECT_EQ(fb2, ReadFile(Out() + "/last.fb2"));
  EXPECT_FALSE(sourceEditor.CanUndo());  // a freshly loaded document
}

TEST(BufferedEditorTest, HandsOnlyWhatChangedToTheEditor) {
  app::PlainTextEditor editor;
  batch::ui::BufferedEditor view(editor);
  view.SetText("abc");  // not held: straight through, one undo step
  EXPECT_EQ(editor.Text(), "abc");

  // Held, a new selection alone reaches the editor without touching its text or history.
  view.Hold();
  view.Select(1, 2);
  EXPECT_EQ(editor.SelectionLength(), 0u);
  view.Release();
  EXPECT_EQ(editor.SelectedText(), "bc");
  EXPECT_TRUE(editor.CanUndo());

  // Held, the text changes in the copy only; the editor gets the outcome as a loaded document.
  view.Hold();
  EXPECT_EQ(view.Text(), "abc");
  view.Load("first");
  view.Load("second\n");
  view.SetLineBreakStyle(app::LineBreak::Lf);
  view.Select(0, 6);
  EXPECT_EQ(editor.Text(), "abc");
  view.Release();
  EXPECT_EQ(editor.Text(), "second\n");
  EXPECT_EQ(editor.SelectedText(), "second");
  EXPECT_EQ(editor.LineBreakStyle(), app::LineBreak::Lf);
  EXPECT_FALSE(editor.CanUndo());
  view.ReplaceSelection("third");
  EXPECT_EQ(editor.Text(), "third\n");
}

TEST_F(BatchWindowTest, StartWithAnEmptyListDoesNothing) {
  SaveTo().setText(QStringLiteral("/no/such/folder"));
  Start();
  EXPECT_TRUE(f.Dialogs().Dialogs.empty());
  EXPECT_TRUE(f.Dialogs().Messages.empty());
}

TEST_F(BatchWindowTest, StartWithoutAnOutputFolderAsksForOneOrStops) {
  const std::string good = Source("a.htm", "A");
  UseEntries({good});
  const std::string missing = f.Folder() / "nowhere";
  SaveTo().setText(QString::fromStdString(missing));

  Start();  // the folder dialog is cancelled
  ASSERT_EQ(f.Dialogs().Dialogs.size(), 1u);
  EXPECT_EQ(f.Dialogs().Dialogs[0].DialogKind, Kind::Folder);
  EXPECT_EQ(f.Dialogs().MessageTexts(),
            QStringList{"Dir " + QString::fromStdString(missing) + " not found "});
  EXPECT_EQ(Entries(), std::vector<std::string>{good});
  EXPECT_TRUE(Child<QLabel>("ProgressLabel")->text().isEmpty());

  // A folder chosen in the dialog goes into "Save to:" with a separator after it.
  f.Dialogs().FolderAnswers.push_back(QString::fromStdString(Out()));
  Start();
  EXPECT_EQ(SaveTo().text(), QString::fromStdString(Out() + "/"));
  EXPECT_EQ(Entries(), std::vector<std::string>{"Done: " + good});
  EXPECT_EQ(NamesIn(Out()), std::vector<std::string>{"a.fb2"});
}

// "Cancel" while the second of four books converts: that book is finished and rewritten, the
// batch ends there, the other two entries stay as they were, and the window stays open until
// "Cancel" is pressed again. Everything runs inside the real modal window.
TEST_F(BatchWindowTest, CancelDuringABatchStopsAfterTheEntryInProgress) {
  std::vector<std::string> books;
  for (const char* name : {"one", "two", "three", "four"})
    books.push_back(Source(name + std::string(".htm"), name));
  UseEntries(books);
  SaveTo().setText(QString::fromStdString(Out()));

  auto* cancel = Child<QPushButton>("ButCancel");
  // Saving a book names it in the main window's caption: the second book is being finished.
  int saved = 0;
  bool startEnabledMeanwhile = true, addEnabledMeanwhile = true, closedByEscape = false;
  const QMetaObject::Connection watch =
      QObject::connect(&f.Window(), &QWidget::windowTitleChanged, [&](const QString& title) {
        if (!title.endsWith(".fb2") || ++saved != 2) return;
        startEnabledMeanwhile = Child<QPushButton>("ButStart")->isEnabled();
        addEnabledMeanwhile = Command("TBAdd").isEnabled();
        QTest::keyClick(&Window(), Qt::Key_Escape);  // Esc is "Cancel"
        closedByEscape = !Window().isVisible();
        cancel->click();
      });
  bool stillOpen = false;
  QTimer::singleShot(0, [&] {
    Start();
    stillOpen = Window().isVisible();
    cancel->click();  // now it closes the window
  });
  f.Trigger("Act_BatchWindow");
  QObject::disconnect(watch);

  EXPECT_FALSE(startEnabledMeanwhile);
  EXPECT_FALSE(addEnabledMeanwhile);
  EXPECT_FALSE(closedByEscape);
  EXPECT_TRUE(stillOpen);
  EXPECT_FALSE(Window().isVisible());
  EXPECT_EQ(Entries(), (std::vector<std::string>{"Done: " + books[0], "Done: " + books[1], books[2],
                                                 books[3]}));
  EXPECT_EQ(NamesIn(Out()), (std::vector<std::string>{"one.fb2", "two.fb2"}));
  EXPECT_EQ(Child<QLabel>("ProgressLabel")->text(), "2 of 4, cancelled");
  EXPECT_TRUE(Child<QPushButton>("ButStart")->isEnabled());
  EXPECT_TRUE(Command("TBAdd").isEnabled());

  // The window keeps its list and folder; the next "Start" goes on with the entries not done.
  Start();
  EXPECT_EQ(Entries()[2], "Done: " + books[2]);
  EXPECT_EQ(Entries()[3], "Done: " + books[3]);
}

// The user's input reaches the batch window after each entry. The offscreen platform queues a
// moved pointer as a window system queues the user's input. Input that arrives while the core's
// busy indication lets only other events run must not wait beyond the entry in progress, or
// "Cancel" would not be seen.
TEST_F(BatchWindowTest, TheUsersInputIsTakenAfterEachEntry) {
  struct MoveWatch : QObject {
    QWidget* window = nullptr;
    bool waiting = false;  // a move queued, not yet delivered
    bool eventFilter(QObject* receiver, QEvent* event) override {
      auto* widget = qobject_cast<QWidget*>(receiver);
      if (event->type() == QEvent::MouseMove && widget && widget->window() == window)
        waiting = false;
      return false;
    }
  } watch;
  watch.window = &Window();
  std::vector<std::string> books;
  for (int i = 0; i < 12; ++i) books.push_back(Source("book" + std::to_string(i) + ".htm", "Text"));
  UseEntries(books);
  SaveTo().setText(QString::fromStdString(Out()));
  f.Window().move(-4000, -4000);  // the pointer's events go to the topmost window under it
  // A button left down by an earlier test would make every move a drag of that button.
  if (QGuiApplication::mouseButtons() != Qt::NoButton)
    QTest::mouseRelease(&Window(), Qt::LeftButton);

  // Saving a book names it in the main window's caption. Then the pointer moves over the batch
  // window while events run without the user's input, as the busy indication runs them.
  int saves = 0, late = 0;
  const QMetaObject::Connection saved =
      QObject::connect(&f.Window(), &QWidget::windowTitleChanged, [&](const QString& title) {
        if (!title.endsWith(".fb2")) return;
        ++saves;
        if (watch.waiting) ++late;  // queued during the previous entry, still not taken
        watch.waiting = true;
        QCursor::setPos(Window().mapToGlobal(QPoint(30 + saves % 2 * 10, 30)));
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
      });
  QTimer::singleShot(0, [&] {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
    QApplication::instance()->installEventFilter(&watch);
    Start();
    QApplication::instance()->removeEventFilter(&watch);
    Window().reject();
  });
  f.Trigger("Act_BatchWindow");
  QObject::disconnect(saved);

  EXPECT_EQ(saves, 12);
  EXPECT_EQ(late, 0);
}

TEST_F(BatchWindowTest, FolderButtonPutsTheChosenFolderIntoSaveTo) {
  SaveTo().setText(QStringLiteral("/typed"));
  Child<QToolButton>("SpeedButton1")->click();  // cancelled
  EXPECT_EQ(SaveTo().text(), "/typed");
  ASSERT_EQ(f.Dialogs().Dialogs.size(), 1u);
  EXPECT_EQ(f.Dialogs().Dialogs[0].DialogKind, Kind::Folder);
  EXPECT_EQ(f.Dialogs().Dialogs[0].InitialPath,
            QString::fromStdString(std::filesystem::current_path().string()));

  f.Dialogs().FolderAnswers.push_back(QString::fromStdString(Out()));
  Child<QToolButton>("SpeedButton1")->click();
  EXPECT_EQ(SaveTo().text(), QString::fromStdString(Out() + "/"));
}

// "Batch" / "path" is read when the window is made and written, as typed, when the program ends.
class BatchFolderKeyTest : public BatchWindowTest {
 protected:
  BatchFolderKeyTest()
      : BatchWindowTest("[Batch]\r\npath=/stored/folder/\r\n[Other]\r\nkey=1\r\n") {}
};

TEST_F(BatchFolderKeyTest, RoundTripsThroughTheSettingsFile) {
  EXPECT_EQ(SaveTo().text(), "/stored/folder/");
  EXPECT_EQ(f.Session().Settings().BatchOutputFolder, "/stored/folder/");

  SaveTo().setText(QStringLiteral("/typed/with blanks"));
  f.Show();
  f.Window().close();

  const std::string settings = ReadFile(f.SettingsPath());
  EXPECT_NE(settings.find("[Batch]\r\npath=/typed/with blanks\r\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("[Other]\r\nkey=1\r\n"), std::string::npos) << settings;

  // The next start reads it back.
  const std::string text = settings;
  ProgramFixture next({}, text);
  EXPECT_EQ(next.Program().BatchWindow().OutputFolder(), "/typed/with blanks");
}

TEST_F(BatchWindowTest, WithoutTheKeySaveToHoldsTheWorkingDirectory) {
  EXPECT_EQ(SaveTo().text(), QString::fromStdString(std::filesystem::current_path().string()));
  EXPECT_EQ(f.Session().Settings().BatchOutputFolder, std::filesystem::current_path().string());
}

}  // namespace

// The picture window on its own: the folder tree and the list of marks it refills, the filter,
// "Select All" and "Unselect All", the preview, and what "Start" hands to its caller.

#include "images/ui/BatchImagesWindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <string>
#include <vector>

#include "images/Fixtures.h"

namespace {

using images::BatchPictureEntry;
using images::ui::BatchImagesWindow;

class BatchImagesWindowTest : public ::testing::Test {
 protected:
  BatchImagesWindowTest() {
    for (const char* name : {"c.gif", "a.jpg", "B.png", "notes.txt", "xpng"})
      folderA.Write(name, fixtures::PatternJpeg(4, 4));
    folderB.Write("x.jpg", fixtures::PatternJpeg(4, 4));
  }

  QTreeView& Tree() { return *window.findChild<QTreeView*>("DirectoryTree"); }
  QListWidget& List() { return *window.findChild<QListWidget*>("CheckListBox1"); }
  // The user picks `folder` in the tree.
  void ChooseInTree(const std::string& folder) {
    auto* model = static_cast<QFileSystemModel*>(Tree().model());
    Tree().setCurrentIndex(model->index(QString::fromStdString(folder)));
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const BatchPictureEntry& e : window.Entries()) names.push_back(e.FileName);
    return names;
  }
  int TickCount() {
    int n = 0;
    for (const BatchPictureEntry& e : window.Entries()) n += e.Ticked;
    return n;
  }

  fixtures::TempDir folderA;
  fixtures::TempDir folderB;
  BatchImagesWindow window;
};

TEST_F(BatchImagesWindowTest, StartsInTheHomeFolderWithItExpanded) {
  EXPECT_EQ(window.objectName(), "FBatchImages");
  EXPECT_EQ(window.windowTitle(), "Select Images");
  EXPECT_EQ(QString::fromStdString(window.Folder()), QDir::homePath());
  auto* model = static_cast<QFileSystemModel*>(Tree().model());
  EXPECT_TRUE(Tree().isExpanded(model->index(QDir::homePath())));
  EXPECT_EQ(model->filePath(Tree().currentIndex()), QDir::homePath());
  EXPECT_EQ(window.findChild<QComboBox*>("FilterComboBox1")->currentText(),
            "Images (*.jpg;*png;*gif)");
}

TEST_F(BatchImagesWindowTest, ChangingTheFolderOrTheFilterClearsEveryMark) {
  window.SetFolder(folderA.Path());
  // The mask "*.jpg;*png;*gif": any name ending in png or gif, letter case ignored.
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.jpg", "B.png", "c.gif", "xpng"}));
  window.SelectAll();
  ASSERT_EQ(TickCount(), 4);

  ChooseInTree(folderB.Path());
  EXPECT_EQ(window.Folder() + "/", folderB.Path());
  EXPECT_EQ(Names(), std::vector<std::string>{"x.jpg"});
  EXPECT_EQ(TickCount(), 0);
  EXPECT_EQ(window.findChild<QLabel*>("DirLabel")->text().toStdString() + "/", folderB.Path());

  window.SelectAll();
  ChooseInTree(folderA.Path());
  EXPECT_EQ(Names().size(), 4u);
  EXPECT_EQ(TickCount(), 0);

  window.SelectAll();
  window.SetFilter(BatchImagesWindow::AllFilesFilter);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.jpg", "B.png", "c.gif", "notes.txt", "xpng"}));
  EXPECT_EQ(TickCount(), 0);
}

TEST_F(BatchImagesWindowTest, SelectAllAndUnselectAllKeepTheHighlightedEntry) {
  window.SetFolder(folderA.Path());
  List().setCurrentRow(2);
  window.SetTicked(0, true);
  QTest::mouseClick(window.findChild<QToolButton*>("SelAllButton"), Qt::LeftButton);
  EXPECT_EQ(TickCount(), 4);
  EXPECT_EQ(List().currentRow(), 2);
  QTest::mouseClick(window.findChild<QToolButton*>("UnSelAllButton"), Qt::LeftButton);
  EXPECT_EQ(TickCount(), 0);
  EXPECT_EQ(List().currentRow(), 2);
  EXPECT_EQ(window.findChild<QAction*>("Act_SelAll")->text(), "Select All");
  EXPECT_EQ(window.findChild<QAction*>("Act_UnSelAll")->text(), "Unselect All");
}

TEST_F(BatchImagesWindowTest, StartHandsOverTheFolderAndTheMarksAndClosesWhenDone) {
  struct Call {
    std::string Folder;
    std::vector<BatchPictureEntry> Entries;
  };
  std::vector<Call> calls;
  bool done = false;
  window.SetStart([&](const std::string& folder, const std::vector<BatchPictureEntry>& entries,
                      const images::PictureProgressFn& progress) {
    calls.push_back({folder, entries});
    EXPECT_TRUE(progress);
    return done;
  });
  window.SetFolder(folderA.Path());
  window.SetTicked(1, true);
  window.SetTicked(3, true);
  window.show();

  QTest::mouseClick(window.findChild<QPushButton*>("ButStart"), Qt::LeftButton);
  EXPECT_TRUE(window.isVisible());  // nothing done: the window stays
  done = true;
  QTest::mouseClick(window.findChild<QPushButton*>("ButStart"), Qt::LeftButton);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.result(), QDialog::Accepted);

  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].Folder + "/", folderA.Path());
  ASSERT_EQ(calls[1].Entries.size(), 4u);
  const bool ticks[] = {false, true, false, true};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(calls[1].Entries[i].FileName, Names()[i]);
    EXPECT_EQ(calls[1].Entries[i].Ticked, ticks[i]) << i;
  }
}

TEST_F(BatchImagesWindowTest, ThePreviewKeepsProportionsAndFollowsTheHighlightedEntry) {
  folderB.Write("wide.jpg", fixtures::PatternJpeg(80, 20));
  folderB.Write("broken.png", "\x89PNG\r\n\x1a\n broken");
  folderB.Write("readme.txt", "text");
  window.SetFilter(BatchImagesWindow::AllFilesFilter);
  window.SetFolder(folderB.Path());
  ASSERT_EQ(Names(), (std::vector<std::string>{"broken.png", "readme.txt", "wide.jpg", "x.jpg"}));
  auto* preview = window.findChild<QLabel*>("Image1");
  EXPECT_EQ(preview->minimumSize(), preview->maximumSize());
  EXPECT_EQ(preview->width(), preview->height());

  List().setCurrentRow(2);
  ASSERT_TRUE(window.HasPreview());
  const QSize shown = preview->pixmap().size();
  EXPECT_EQ(shown.width(), preview->contentsRect().width());
  EXPECT_NEAR(shown.height() * 4, shown.width(), 4);

  List().setCurrentRow(1);  // not a picture: the preview stays
  EXPECT_TRUE(window.HasPreview());
  List().setCurrentRow(0);  // a picture that does not load: cleared
  EXPECT_FALSE(window.HasPreview());
}

}  // namespace

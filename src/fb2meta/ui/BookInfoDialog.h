#pragma once
// The book information dialog ("Book Info"): a BookInfo goes in, the edited BookInfo comes back.
// Its text boxes show and take code-page bytes; the genre picker, the picture file dialog and
// messages are asked of the program through hooks, so the dialog knows nothing of the session.
// The settings-file keys of the dialog are read and written by the caller around Edit().

#include <QDialog>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "fb2meta/BookInfo.h"
#include "platform/CodePage.h"

class QKeyEvent;
class QLineEdit;
class QRadioButton;
class QValidator;

namespace Ui {
class BookInfoDialog;
}

namespace fb2meta::ui {

// What the dialog asks of the program around it.
struct BookInfoDialogHooks {
  // The genre picker: given the genre text of the box, the new text (the same when cancelled).
  std::function<std::string(std::string_view genres)> PickGenres;
  // A file dialog for the cover picture: the chosen path, or empty when cancelled. `filters`
  // are in Qt's form ("Caption (*.a *.b)").
  std::function<QString(const QString& title, const QStringList& filters,
                        const QString& initialPath)>
      PickCoverFile;
  // A plain information message, such as "date is wrong".
  std::function<void(const QString& text)> ShowMessage;
};

class BookInfoDialog : public QDialog {
  Q_OBJECT

 public:
  // `codePage`: the code page of the text boxes' bytes (see SetTextCodePage).
  BookInfoDialog(BookInfoDialogHooks hooks, int codePage, QWidget* parent = nullptr);
  ~BookInfoDialog() override;

  // The title and the filters of the cover picture's file dialog.
  static QString CoverDialogTitle();
  static QStringList CoverFilters();

  // The code page the text boxes show and take their bytes in: that of the character set the
  // main window applies. Takes effect at the next Load.
  void SetTextCodePage(int codePage);
  int TextCodePage() const { return codePage_.Number(); }

  // Shows `info` modally. Whichever way the dialog closes, the boxes and the output choices are
  // written back into `info`, so nothing typed is lost; true only after "Ok".
  bool Edit(BookInfo& info);

  // The two halves of Edit around the dialog's own loop. Load fills every box and choice from
  // `info`, selects the "title-info" tab and puts the focus in the title box. Store writes them
  // back; a box the user did not change gives back exactly the bytes it was given.
  void Load(const BookInfo& info);
  void Store(BookInfo& info) const;

  // "Ok": closes with the result Ok unless the date box, left for the button, holds a wrong date.
  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Shown {
    std::string Bytes;  // what the box was given
    QString Text;       // what it showed then
  };

  void ConnectControls();
  bool KeyPressed(QWidget* box, const QKeyEvent& key);
  bool GenreKeyPressed(const QKeyEvent& key);
  QWidget* EnterTarget(QWidget* box) const;
  void FocusLeft(QWidget* box, Qt::FocusReason reason);
  void PickGenres();
  void PickCover();
  void ShowDocumentInfo();
  void ApplyTabStops(bool tabStops);
  void ProposeFileNames();
  void ShowProposals();
  void ShowProposal(QRadioButton& button, int variant);
  // The date check made on leaving the date box: false (after the message) when it is wrong.
  bool CheckDate();
  void Message(const QString& text);

  void Put(QLineEdit& box, const std::string& bytes);
  void PutPath(QLineEdit& box, const std::string& path);
  void PutDate(const std::string& date);
  void PutVersion(const std::string& version);
  std::string Take(const QLineEdit& box) const;
  std::string TakePath(const QLineEdit& box) const;
  std::string TakeDate() const;
  const Shown* Unchanged(const QLineEdit& box) const;
  QString Decode(std::string_view bytes) const;

  std::unique_ptr<::Ui::BookInfoDialog> ui_;
  BookInfoDialogHooks hooks_;
  platform::CodePage codePage_;
  QValidator* textValidator_ = nullptr;
  std::map<const QLineEdit*, Shown> shown_;
  std::array<std::string, 2> proposals_ = {"1", "2"};
  std::array<QLineEdit*, 4> lastNames_{};
  std::array<QLineEdit*, 4> firstNames_{};
  std::array<QLineEdit*, 4> middleNames_{};
  // Set when the focus enters the date box and cleared once its date has been checked.
  bool dateUnchecked_ = false;
};

}  // namespace fb2meta::ui

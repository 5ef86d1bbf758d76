#pragma once
// The genre picker ("Genre"): the genre file's entries above, the book's chosen genres below, and
// the commands "Add to doc" (also double-click and Enter in the upper list), "Delete" (also Del
// in the lower list) and "Clear" between them; "Ok (F3)" and "Cancel" (Esc) close it. It takes
// the genre box's text and gives the new text back; it never sees the session.
//
// Each code is shown with a readable name beside it where the genre schema documents one; the
// text given back holds the codes alone.

#include <QDialog>
#include <QHash>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fb2meta/Genres.h"
#include "platform/CodePage.h"

class QTreeWidget;

namespace Ui {
class GenrePicker;
}

namespace fb2meta::ui {

// The schema file beside the program that lists the genre codes: FictionBookGenres.xsd in
// `programFolder`'s fb2-schema folder.
QString GenreSchemaPath(const QString& programFolder);

// Readable names of genre codes: the text of the first xs:documentation of each xs:enumeration
// value in an XML schema, blanks collapsed. Values without documentation get no name; a missing
// file gives none, a broken one the names read before the fault.
QHash<QString, QString> ReadGenreNames(const QString& schemaPath);

class GenrePickerDialog : public QDialog {
  Q_OBJECT

 public:
  // `available`: the genre file's entries in file order, 8-bit text in the code page
  // `codePageNumber` (so are the genre texts); `names`: readable names by code.
  GenrePickerDialog(std::vector<std::string> available, QHash<QString, QString> names,
                    int codePageNumber, QWidget* parent = nullptr);
  ~GenrePickerDialog() override;

  // Shows the picker modally for the genre text `genres`, with the focus in the upper list. The
  // new genre text when closed with "Ok"; nothing when closed any other way.
  std::optional<std::string> Pick(std::string_view genres);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AddToDoc();
  void DeleteChosen();
  void ClearChosen();
  // The lower list filled from the chosen entries anew, its current row `current` (clamped).
  void ShowChosen(int current);
  // Puts `entries` into `list`, one row each: the entry, and its readable name when it has one.
  void Fill(QTreeWidget& list, const std::vector<std::string>& entries) const;
  QString Display(std::string_view entry) const;

  std::unique_ptr<Ui::GenrePicker> ui_;
  std::vector<std::string> available_;
  QHash<QString, QString> names_;
  platform::CodePage codePage_;
  std::optional<fb2meta::GenrePicker> picker_;
};

}  // namespace fb2meta::ui

#pragma once
// The table font dialog: a face and a size in points, nothing else. The platform's font dialog
// also offers a style, which the table renderer has no use for.

#include <QDialog>
#include <QString>
#include <optional>

class QFontComboBox;
class QLabel;
class QSpinBox;

namespace app::ui {

// The table font as the dialog takes and gives it.
struct TableFontChoice {
  QString Name;
  int Size = 8;

  friend bool operator==(const TableFontChoice&, const TableFontChoice&) = default;
};

class TableFontDialog : public QDialog {
  Q_OBJECT

 public:
  // Sizes the dialog offers; a size outside them is shown as the nearest one.
  static constexpr int kMinimumSize = 1;
  static constexpr int kMaximumSize = 999;

  explicit TableFontDialog(const TableFontChoice& font, QWidget* parent = nullptr);

  // The face and size the dialog shows now.
  TableFontChoice Font() const;

  // Shows the dialog modally: the font chosen on OK, nothing on Cancel.
  static std::optional<TableFontChoice> Ask(const TableFontChoice& font, QWidget* parent);

 private:
  void UpdateSample();

  QFontComboBox* faces_;
  QSpinBox* size_;
  QLabel* sample_;
};

}  // namespace app::ui

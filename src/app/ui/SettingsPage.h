#pragma once
// The content of the "Settings" tab: title, picture, table and output options of
// ConversionSettings. A value goes in with ShowSettings and comes out with ReadSettings; the
// page never sees the session. Controls keep the names the settings and language files use.

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "app/ConversionSettings.h"
#include "app/ui/TableFontDialog.h"
#include "platform/CodePage.h"

class QButtonGroup;
class QLineEdit;

namespace Ui {
class SettingsPage;
}

namespace app::ui {

class SettingsPage : public QWidget {
  Q_OBJECT

 public:
  // Asks for the table font, starting from the one shown: the choice on OK, nothing on Cancel.
  using FontChooser = std::function<std::optional<TableFontChoice>(const TableFontChoice& current,
                                                                   QWidget* parent)>;

  explicit SettingsPage(QWidget* parent = nullptr);
  ~SettingsPage() override;

  // Fills the controls from `settings` without emitting any signal. A list index outside its
  // list shows the list's default.
  void ShowSettings(const ConversionSettings& settings);
  // Writes the controls into the fields this page owns: ResizeImages, MaxImageWidth,
  // MaxImageHeight, TableMode, TableBorder, TableFontName, TableFontSize, ShowHyperlinks,
  // PackToZip, TitleHeadingLevel, ShowTitleInfo, DefaultLanguage, RepairStructure. A number
  // field that holds no number reads 0; a table group with no option selected reads AsIs /
  // AsSource.
  void ReadSettings(ConversionSettings& settings) const;

  // Replaces the table font dialog (the default is TableFontDialog::Ask).
  void SetFontChooser(FontChooser chooser);

 signals:
  // Every change the user makes; it comes before the specific signal of the same change.
  void SettingsEdited();
  // The user ticked or cleared "Pack to zip".
  void PackToZipToggled(bool checked);
  // The font dialog closed with OK; the label shows the font chosen.
  void TableFontChosen();

 private:
  void ChooseTableFont();
  void ShowTableFont(const TableFontChoice& font);

  std::unique_ptr<::Ui::SettingsPage> ui_;
  QButtonGroup* tableModes_;
  QButtonGroup* tableBorders_;
  TableFontChoice tableFont_;
  FontChooser fontChooser_;
  // Text fields hold the core's 8-bit text of this code page.
  platform::CodePage codePage_;
};

}  // namespace app::ui

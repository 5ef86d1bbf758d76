#pragma once
// The content of the "Common Settings" tab: the interface language (with the file of "Other:")
// and the "Charset" list. A value goes in with ShowSettings and comes out with ReadSettings; the
// page never sees the session. Controls keep the names the settings and language files use.

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "app/ConversionSettings.h"

class QButtonGroup;

namespace Ui {
class CommonSettingsPage;
}

namespace app::ui {

class CommonSettingsPage : public QWidget {
  Q_OBJECT

 public:
  // Asks for a language file, starting from the one shown: its path, or empty on Cancel.
  using LanguageFileChooser = std::function<QString(const QString& current, QWidget* parent)>;

  explicit CommonSettingsPage(QWidget* parent = nullptr);
  ~CommonSettingsPage() override;

  // Fills the controls from `settings` without emitting any signal. InterfaceLanguage::None
  // leaves every language option clear; a charset index outside the list shows the default.
  void ShowSettings(const ConversionSettings& settings);
  // Writes the controls into InterfaceLanguage (None when no option is selected),
  // OtherLanguageFile (the text of its label) and Charset.
  void ReadSettings(ConversionSettings& settings) const;

  // Enables or disables the "Russian" option; it is disabled when its language file is missing.
  void SetRussianAvailable(bool available);

  // Replaces the language file dialog (the default is an open-file dialog).
  void SetLanguageFileChooser(LanguageFileChooser chooser);

 signals:
  // Every change the user makes; it comes before the specific signal of the same change.
  void SettingsEdited();
  // The user clicked a language option (`fileChosen` false), or picked a file with "..."
  // (`fileChosen` true: the label shows the path, the option stays selected; the file takes
  // effect while "Other:" is selected).
  void LanguageChosen(bool fileChosen);
  // The user picked an entry of the "Charset" list.
  void CharsetChosen(int index);

 private:
  void ChooseLanguageFile();
  void ShowLanguageFile(const QString& path);

  std::unique_ptr<::Ui::CommonSettingsPage> ui_;
  QButtonGroup* languages_;
  LanguageFileChooser languageFileChooser_;
};

}  // namespace app::ui

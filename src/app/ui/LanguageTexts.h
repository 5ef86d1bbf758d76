#pragma once
// The interface language across the program's windows: a language file's texts set on the items
// its sections name (app/LanguageFile.h), and the texts in force collected back for the English
// file. Items are found by objectName among the widgets and actions of their own window (a
// dialog inside the main window is a window of its own). What an entry sets depends on the item:
//
//   window                                  its caption
//   command (QAction), menu                 its caption; its hints (tooltip, status tip) become
//                                           the caption too, and a toolbar button that shows the
//                                           caption follows it
//   menu separator                          nothing: its caption is "-" and stays so
//   tab sheet, group box, check box,        its caption; a hint it has becomes the caption
//   push button
//   radio button, label                     its caption; the hint stays
//   speed button ("..." QToolButton)        its hint; the caption stays
//
// A missing entry leaves its item as it is; an empty value empties it. A window without an entry
// for its own caption takes the main window's caption.

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/LanguageFile.h"
#include "platform/CodePage.h"

class QObject;
class QWidget;

namespace app::ui {

// The item named `key` among the items of `window` (not those of another window inside it), null
// when it has none of a kind the language files know.
QObject* FindLanguageItem(QWidget& window, std::string_view key);

// The text an entry for `item` sets and the English file records: the caption, for a speed
// button its hint, for a separator "-".
QString LanguageItemText(QObject& item);
void SetLanguageItemText(QObject& item, const QString& text);

// Sets `window`'s texts from its section (the window's objectName) of `file`, whose text is in
// `codePage`.
void ApplyLanguageSection(const LanguageFile& file, const platform::CodePage& codePage,
                          QWidget& window, const QString& mainCaption);
// The texts in force of `window`'s section, in its key order, as `codePage` text; an item the
// window lacks is left out.
SectionTexts CollectLanguageSection(QWidget& window, const platform::CodePage& codePage);

class LanguageTexts {
 public:
  // Makes a window of a section whose window the program makes only when first needed, so that
  // its texts can be collected before.
  using WindowMaker = std::function<QWidget*(QWidget& parent)>;

  // The program's windows are `mainWindow` and the dialogs made as its children; `codePage`:
  // the system's, that of the files other than the shipped Russian one.
  LanguageTexts(QWidget& mainWindow, int systemCodePage);

  // Applies the file at `path` to every window there is, the main window first. False, and
  // nothing changed, when `path` is empty or names no readable file.
  bool Apply(const std::string& path);
  // A window made after the last Apply: that file's texts set, with the main window's caption
  // of that moment for a missing caption.
  void Adopt(QWidget& window) const;

  // The texts in force of every window, in section order. A window the program has not made yet
  // is made for the moment by its maker, given the texts in force, collected and dropped.
  std::vector<SectionTexts> Collect() const;
  void SetWindowMaker(std::string_view section, WindowMaker maker);

  // "Create Vellumor_eng.lng": the texts in force into that file in `programFolder`. Throws
  // IniWriteError when an entry cannot be written.
  void WriteEnglishFile(const std::string& programFolder) const;

 private:
  QWidget* Window(std::string_view section) const;

  QWidget& main_;
  int systemCodePage_;
  std::optional<LanguageFile> file_;  // the file applied last
  int fileCodePage_ = 0;
  QString mainCaption_;  // the main window's caption when it was applied
  std::vector<std::pair<std::string_view, WindowMaker>> makers_;
};

}  // namespace app::ui

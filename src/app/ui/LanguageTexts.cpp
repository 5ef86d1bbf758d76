#include "app/ui/LanguageTexts.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>
#include <filesystem>
#include <memory>

namespace app::ui {
namespace {

enum class ItemKind {
  None,
  Command,         // caption, hints follow
  Menu,            // caption
  TabSheet,        // caption, a hint follows
  CaptionAndHint,  // group box, check box, push button: caption, a hint follows
  CaptionOnly,     // radio button, label
  SpeedButton,     // hint only
};

// The tab widget whose page `widget` is, if it is one.
QTabWidget* TabWidgetOf(QWidget& widget) {
  auto* stack = qobject_cast<QStackedWidget*>(widget.parentWidget());
  return stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
}

ItemKind KindOf(QObject& item) {
  if (qobject_cast<QAction*>(&item)) return ItemKind::Command;
  auto* widget = qobject_cast<QWidget*>(&item);
  if (!widget) return ItemKind::None;
  if (qobject_cast<QMenu*>(widget)) return ItemKind::Menu;
  if (qobject_cast<QToolButton*>(widget)) return ItemKind::SpeedButton;
  if (qobject_cast<QRadioButton*>(widget) || qobject_cast<QLabel*>(widget))
    return ItemKind::CaptionOnly;
  if (qobject_cast<QCheckBox*>(widget) || qobject_cast<QPushButton*>(widget) ||
      qobject_cast<QGroupBox*>(widget))
    return ItemKind::CaptionAndHint;
  if (TabWidgetOf(*widget)) return ItemKind::TabSheet;
  return ItemKind::None;
}

// The window an item belongs to: its nearest ancestor that is a dialog or a main window.
QObject* OwnerWindow(QObject& item) {
  for (QObject* parent = item.parent(); parent; parent = parent->parent()) {
    if (qobject_cast<QDialog*>(parent) || qobject_cast<QMainWindow*>(parent)) return parent;
  }
  return nullptr;
}

// A caption as a hint shows it: "&" marks dropped, "&&" standing for "&".
QString WithoutAccelerators(const QString& caption) {
  QString out;
  out.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&') {
      if (i + 1 < caption.size() && caption[i + 1] == u'&') {
        out += u'&';
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  return out;
}

void SetCommandText(QAction& action, const QString& text) {
  // A separator's caption is "-" and stays so: Qt would draw any text beside the line.
  if (action.isSeparator()) return;
  // A toolbar button shows the caption unless it has a text of its own (the tag commands).
  const bool buttonFollows = action.iconText() == WithoutAccelerators(action.text());
  action.setText(text);
  const QString hint = WithoutAccelerators(text);
  if (buttonFollows) action.setIconText(hint);
  action.setToolTip(hint);
  action.setStatusTip(hint);
}

QString FromFile(const std::string& value, const platform::CodePage& codePage) {
  return QString::fromStdString(codePage.ToUtf8(value));
}

std::string ToFile(const QString& text, const platform::CodePage& codePage) {
  return codePage.FromUtf8(text.toStdString(), platform::Unmappable::QuestionMark)
      .value_or(std::string());
}

}  // namespace

QObject* FindLanguageItem(QWidget& window, std::string_view key) {
  const QString name = QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size()));
  for (QObject* item : window.findChildren<QObject*>(name)) {
    if (OwnerWindow(*item) == &window && KindOf(*item) != ItemKind::None) return item;
  }
  return nullptr;
}

QString LanguageItemText(QObject& item) {
  if (auto* action = qobject_cast<QAction*>(&item))
    return action->isSeparator() ? QStringLiteral("-") : action->text();
  auto& widget = static_cast<QWidget&>(item);
  switch (KindOf(item)) {
    case ItemKind::Menu:
      return static_cast<QMenu&>(widget).title();
    case ItemKind::TabSheet: {
      QTabWidget* tabs = TabWidgetOf(widget);
      return tabs->tabText(tabs->indexOf(&widget));
    }
    case ItemKind::SpeedButton:
      return widget.toolTip();
    case ItemKind::CaptionAndHint:
    case ItemKind::CaptionOnly:
      if (auto* group = qobject_cast<QGroupBox*>(&widget)) return group->title();
      if (auto* label = qobject_cast<QLabel*>(&widget)) return label->text();
      return static_cast<QAbstractButton&>(widget).text();
    case ItemKind::Command:
    case ItemKind::None:
      break;
  }
  return {};
}

void SetLanguageItemText(QObject& item, const QString& text) {
  if (auto* action = qobject_cast<QAction*>(&item)) {
    SetCommandText(*action, text);
    return;
  }
  auto& widget = static_cast<QWidget&>(item);
  const ItemKind kind = KindOf(item);
  switch (kind) {
    case ItemKind::Menu:
      static_cast<QMenu&>(widget).setTitle(text);
      return;
    case ItemKind::TabSheet: {
      QTabWidget* tabs = TabWidgetOf(widget);
      const int index = tabs->indexOf(&widget);
      tabs->setTabText(index, text);
      if (!tabs->tabToolTip(index).isEmpty()) tabs->setTabToolTip(index, WithoutAccelerators(text));
      return;
    }
    case ItemKind::SpeedButton:
      widget.setToolTip(text);
      return;
    case ItemKind::CaptionAndHint:
    case ItemKind::CaptionOnly:
      if (auto* group = qobject_cast<QGroupBox*>(&widget)) {
        group->setTitle(text);
      } else if (auto* label = qobject_cast<QLabel*>(&widget)) {
        label->setText(text);
      } else {
        static_cast<QAbstractButton&>(widget).setText(text);
      }
      // Qt shows every hint a widget has: one is replaced, none is added to repeat the caption.
      if (kind == ItemKind::CaptionAndHint && !widget.toolTip().isEmpty())
        widget.setToolTip(WithoutAccelerators(text));
      return;
    case ItemKind::Command:
    case ItemKind::None:
      return;
  }
}

void ApplyLanguageSection(const LanguageFile& file, const platform::CodePage& codePage,
                          QWidget& window, const QString& mainCaption) {
  const LanguageSection* section = FindLanguageSection(window.objectName().toStdString());
  if (!section) return;
  const std::optional<std::string> caption = file.Entry(section->Name, section->Name);
  window.setWindowTitle(caption ? FromFile(*caption, codePage) : mainCaption);
  for (size_t i = 1; i < section->Keys.size(); ++i) {
    const std::optional<std::string> value = file.Entry(section->Name, section->Keys[i]);
    if (!value) continue;
    if (QObject* item = FindLanguageItem(window, section->Keys[i]))
      SetLanguageItemText(*item, FromFile(*value, codePage));
  }
}

SectionTexts CollectLanguageSection(QWidget& window, const platform::CodePage& codePage) {
  SectionTexts texts;
  const LanguageSection* section = FindLanguageSection(window.objectName().toStdString());
  if (!section) return texts;
  texts.Section = section->Name;
  texts.Entries.emplace_back(section->Name, ToFile(window.windowTitle(), codePage));
  for (size_t i = 1; i < section->Keys.size(); ++i) {
    if (QObject* item = FindLanguageItem(window, section->Keys[i]))
      texts.Entries.emplace_back(section->Keys[i], ToFile(LanguageItemText(*item), codePage));
  }
  return texts;
}

LanguageTexts::LanguageTexts(QWidget& mainWindow, int systemCodePage)
    : main_(mainWindow), systemCodePage_(systemCodePage) {}

QWidget* LanguageTexts::Window(std::string_view section) const {
  const QString name = QString::fromLatin1(section.data(), static_cast<qsizetype>(section.size()));
  if (main_.objectName() == name) return &main_;
  for (QDialog* dialog : main_.findChildren<QDialog*>(name)) {
    if (OwnerWindow(*dialog) == &main_) return dialog;
  }
  return nullptr;
}

bool LanguageTexts::Apply(const std::string& path) {
  std::optional<LanguageFile> file = LanguageFile::Open(path);
  if (!file) return false;
  file_ = std::move(file);
  fileCodePage_ = LanguageFileCodePage(path, systemCodePage_);
  const platform::CodePage codePage(fileCodePage_);
  // The main window first: the others fall back to its new caption.
  ApplyLanguageSection(*file_, codePage, main_, main_.windowTitle());
  mainCaption_ = main_.windowTitle();
  for (const LanguageSection& section : LanguageSections()) {
    QWidget* window = Window(section.Name);
    if (window && window != &main_) ApplyLanguageSection(*file_, codePage, *window, mainCaption_);
  }
  return true;
}

void LanguageTexts::Adopt(QWidget& window) const {
  if (file_) ApplyLanguageSection(*file_, platform::CodePage(fileCodePage_), window, mainCaption_);
}

void LanguageTexts::SetWindowMaker(std::string_view section, WindowMaker maker) {
  makers_.emplace_back(section, std::move(maker));
}

std::vector<SectionTexts> LanguageTexts::Collect() const {
  const platform::CodePage codePage(systemCodePage_);
  std::vector<SectionTexts> texts;
  for (const LanguageSection& section : LanguageSections()) {
    if (QWidget* window = Window(section.Name)) {
      texts.push_back(CollectLanguageSection(*window, codePage));
      continue;
    }
    for (const auto& [name, maker] : makers_) {
      if (name != section.Name) continue;
      const std::unique_ptr<QWidget> made(maker(main_));
      if (!made) break;
      Adopt(*made);
      texts.push_back(CollectLanguageSection(*made, codePage));
      break;
    }
  }
  return texts;
}

void LanguageTexts::WriteEnglishFile(const std::string& programFolder) const {
  IniFile file((std::filesystem::path(programFolder) / kEnglishLanguageFileName).string());
  WriteLanguageFile(file, Collect());
}

}  // namespace app::ui

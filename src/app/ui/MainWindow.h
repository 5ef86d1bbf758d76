#pragma once
// The main window: five pages with their toolbars, the two editors, the menus and the status
// bar. It holds widgets only; every command goes through Run() into app::Session.

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "app/Settings.h"
#include "app/ui/CommandTable.h"

class QAction;
class QLabel;
class QListWidgetItem;
class QMenu;
class QPlainTextEdit;
class QsciScintilla;

namespace Ui {
class MainWindow;
}

namespace app {
class Session;
}

namespace editor::ui {
class FindDialog;
class ReplaceDialog;
}  // namespace editor::ui

namespace app::ui {

class AboutBox;
class CommonSettingsPage;
class HelpWindow;
class QsciTextEditor;
class SettingsPage;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // The window's smallest outer size.
  static constexpr int kMinimumWidth = 542;
  static constexpr int kMinimumHeight = 502;

  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  QsciScintilla& SourceEditorWidget();
  QsciScintilla& ResultEditorWidget();
  SettingsPage& Settings();
  CommonSettingsPage& CommonSettings();
  // The command named `name` (its objectName), null when there is none.
  QAction* Command(std::string_view name) const;
  // The menu, toolbar or pop-up menu of a place.
  QWidget* PlaceWidget(Place place) const;

  // The status bar's panels: 0 the source file, 1 the output encoding, 2 spare.
  void SetStatusText(int panel, const QString& text);
  QString StatusText(int panel) const;
  // Shows a page (0 "Source" ... 4 "Common Settings") without the effects of a user's choice.
  void ShowPage(int page);
  // The find and the replace dialog (not modal): shown or brought forward with the texts the
  // session keeps for them, the focus in the search field.
  void ShowFindDialog();
  void ShowReplaceDialog();

  // Connects every command and control to `session`. The editors are the adapters of the two
  // editor widgets; their code page follows the session's character set.
  void Bind(app::Session& session, QsciTextEditor& sourceEditor, QsciTextEditor& resultEditor);

  // One command: the controls written into the session, `command` run, any error it lets
  // escape shown in a message box with its text, the controls brought back from the session.
  void Run(const std::function<void()>& command);

  app::WindowPlacement Placement() const;
  void RestorePlacement(const app::WindowPlacement& placement);

 signals:
  // Once, after the window was first shown.
  void FirstShown();
  // The user closes the window; the settings are saved before it goes.
  void Closing();
  // The editors show their bytes in another code page: the character set changed.
  void EditorCodePageChanged(int codePage);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateCommands();
  void PlaceCommands();
  void CreateStatusBar();
  void ConnectCommands();
  void ConnectControls();
  void ConnectEditorTools();
  void Connect(std::string_view name, std::function<void()> slot);
  void EditFocusedControl(std::string_view operation);
  void PageChosen(int page);
  void WriteControls();
  void RefreshControls();
  // The find and replace fields: what the user typed into the session, the session's texts back
  // into the fields. They show and take text in the editors' code page.
  void WriteSearchFields();
  void RefreshSearchFields();
  QString FieldText(std::string_view text) const;
  std::string CoreText(const QString& text) const;
  void ShowValidation();
  void ValidationProblemChosen(QListWidgetItem* item);
  void ToggleHiddenMenu();

  std::unique_ptr<Ui::MainWindow> ui_;
  SettingsPage* settingsPage_ = nullptr;
  CommonSettingsPage* commonSettingsPage_ = nullptr;
  AboutBox* aboutBox_ = nullptr;
  HelpWindow* helpWindow_ = nullptr;
  editor::ui::FindDialog* findDialog_ = nullptr;
  editor::ui::ReplaceDialog* replaceDialog_ = nullptr;
  std::map<std::string, QAction*, std::less<>> commands_;
  std::map<Place, QWidget*> places_;
  QLabel* statusPanels_[3] = {};
  app::Session* session_ = nullptr;
  QsciTextEditor* sourceEditor_ = nullptr;
  QsciTextEditor* resultEditor_ = nullptr;
  int editorCodePage_ = 0;
  bool shown_ = false;
};

}  // namespace app::ui

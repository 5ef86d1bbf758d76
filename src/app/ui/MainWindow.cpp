#include "app/ui/MainWindow.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <exception>

#include "app/Session.h"
#include "app/ui/AboutBox.h"
#include "app/ui/CommonSettingsPage.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/QsciTextEditor.h"
#include "app/ui/QtText.h"
#include "app/ui/SettingsPage.h"
#include "editor/ui/FindDialog.h"
#include "editor/ui/ReplaceDialog.h"
#include "platform/CodePage.h"
#include "ui_MainWindow.h"

namespace app::ui {
namespace {

QString ToQt(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The panels' widths; the first takes what is left when the window is narrower.
constexpr int kStatusPanelWidths[] = {550, 100, 50};

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), ui_(new Ui::MainWindow) {
  ui_->setupUi(this);
  setMinimumSize(kMinimumWidth, kMinimumHeight);
  ui_->PageControl1->setStyleSheet(QStringLiteral("QTabBar::tab { min-width: 100px; }"));
  ui_->ValidationList->hide();
  ui_->Fb2Splitter->setStretchFactor(0, 4);

  settingsPage_ = new SettingsPage(ui_->SettingsScroll);
  ui_->SettingsScroll->setWidget(settingsPage_);
  commonSettingsPage_ = new CommonSettingsPage(ui_->CommonSettingsScroll);
  ui_->CommonSettingsScroll->setWidget(commonSettingsPage_);
  findDialog_ = new editor::ui::FindDialog(this);
  replaceDialog_ = new editor::ui::ReplaceDialog(this);

  places_ = {{Place::FileMenu, ui_->mm_File1},
             {Place::EditMenu, ui_->Edit1},
             {Place::HelpMenu, ui_->mm_Help1},
             {Place::UnvisibleMenu, ui_->Unvisible1},
             {Place::SourceToolBar, ui_->SourceToolBar},
             {Place::Fb2ToolBar, ui_->Fb2ToolBar},
             {Place::ImagesUpperToolBar, ui_->ImagesUpperToolBar},
             {Place::ImagesLowerToolBar, ui_->ImagesLowerToolBar},
             {Place::SettingsToolBar, ui_->SettingsToolBar},
             {Place::SourcePopup, new QMenu(this)},
             {Place::ResultPopup, new QMenu(this)}};
  CreateCommands();
  PlaceCommands();
  CreateStatusBar();
  ui_->Unvisible1->menuAction()->setVisible(false);

  for (QsciScintilla* editor : {ui_->SynMemo1, ui_->SynMemo2}) {
    editor->setContextMenuPolicy(Qt::CustomContextMenu);
    const Place popup = editor == ui_->SynMemo1 ? Place::SourcePopup : Place::ResultPopup;
    connect(editor, &QWidget::customContextMenuRequested, this, [this, editor, popup](QPoint at) {
      static_cast<QMenu*>(places_.at(popup))->popup(editor->viewport()->mapToGlobal(at));
    });
  }
}

MainWindow::~MainWindow() = default;

QsciScintilla& MainWindow::SourceEditorWidget() {
  return *ui_->SynMemo1;
}
QsciScintilla& MainWindow::ResultEditorWidget() {
  return *ui_->SynMemo2;
}
SettingsPage& MainWindow::Settings() {
  return *settingsPage_;
}
CommonSettingsPage& MainWindow::CommonSettings() {
  return *commonSettingsPage_;
}

QAction* MainWindow::Command(std::string_view name) const {
  const auto found = commands_.find(name);
  return found == commands_.end() ? nullptr : found->second;
}

QWidget* MainWindow::PlaceWidget(Place place) const {
  return places_.at(place);
}

void MainWindow::CreateCommands() {
  for (const CommandInfo& info : MainWindowCommands()) {
    auto* action = new QAction(ToQt(info.Caption), this);
    action->setObjectName(ToQt(info.Name));
    const QString hint = ToQt(info.Hint);
    action->setToolTip(hint.section('|', 0, 0));
    action->setStatusTip(hint.contains('|') ? hint.section('|', 1) : hint);
    if (!info.Shortcut.empty()) action->setShortcut(QKeySequence(ToQt(info.Shortcut)));
    action->setCheckable(info.Checkable);
    // Buttons show the caption as written ("Open...", not Qt's shortened "Open").
    QString buttonText = ToQt(info.ButtonText.empty() ? info.Caption : info.ButtonText);
    action->setIconText(buttonText.remove('&'));
    // Shortcuts work on every page, also for commands placed on no page or menu.
    addAction(action);
    commands_.emplace(std::string(info.Name), action);
  }
}

void MainWindow::PlaceCommands() {
  for (const app::ui::Placement& placement : MainWindowPlacements()) {
    QWidget* place = places_.at(placement.Place);
    auto* toolBar = qobject_cast<QToolBar*>(place);
    auto* menu = qobject_cast<QMenu*>(place);
    for (std::string_view item : placement.Items) {
      if (item.starts_with(kSeparator)) {
        QAction* separator = toolBar ? toolBar->addSeparator() : menu->addSeparator();
        const std::string_view name = item.substr(kSeparator.size());
        if (!name.empty()) separator->setObjectName(ToQt(name));
        continue;
      }
      QAction* action = Command(item);
      if (toolBar) toolBar->addAction(action);
      if (menu) menu->addAction(action);
    }
  }
  // Menu captions carry their "&" accelerators; toolbar buttons show the caption without them.
  for (QToolBar* bar : findChildren<QToolBar*>()) {
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->setIconSize(QSize(16, 16));
  }
}

void MainWindow::CreateStatusBar() {
  for (int i = 0; i < 3; ++i) {
    statusPanels_[i] = new QLabel(this);
    statusPanels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
    if (i == 0) {
      statusPanels_[i]->setMinimumWidth(0);
      statusPanels_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
      statusBar()->addWidget(statusPanels_[i], 1);
    } else {
      statusPanels_[i]->setMinimumWidth(kStatusPanelWidths[i] - 10);
      statusBar()->addPermanentWidget(statusPanels_[i]);
    }
  }
  statusPanels_[0]->setMaximumWidth(QWIDGETSIZE_MAX);
  statusPanels_[0]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void MainWindow::SetStatusText(int panel, const QString& text) {
  if (panel < 0 || panel > 2) return;
  statusPanels_[panel]->setText(text);
  statusPanels_[panel]->setToolTip(text);
}

QString MainWindow::StatusText(int panel) const {
  return panel >= 0 && panel <= 2 ? statusPanels_[panel]->text() : QString();
}

void MainWindow::ShowPage(int page) {
  const QSignalBlocker quiet(ui_->PageControl1);
  ui_->PageControl1->setCurrentIndex(page);
}

void MainWindow::Bind(app::Session& session, QsciTextEditor& sourceEditor,
                      QsciTextEditor& resultEditor) {
  session_ = &session;
  sourceEditor_ = &sourceEditor;
  resultEditor_ = &resultEditor;
  editorCodePage_ = session.CodePage().Number();
  aboutBox_ = new AboutBox(this);
  helpWindow_ = new HelpWindow(QString::fromStdString(session.ProgramFolder()), this);
  connect(helpWindow_, &HelpWindow::FileMissing, this, [this](const QString& path) {
    session_->Ui().ShowMessage(kProgramName, ToCorePath(path + " not found."));
  });
  ConnectCommands();
  ConnectControls();
  ConnectEditorTools();
  RefreshControls();
}

void MainWindow::Connect(std::string_view name, std::function<void()> slot) {
  connect(Command(name), &QAction::triggered, this, [this, slot = std::move(slot)] { Run(slot); });
}

void MainWindow::ConnectCommands() {
  app::Session& s = *session_;
  const std::pair<std::string_view, std::function<void()>> sessionCommands[] = {
      {"Act_NewHTMLDoc", [&s] { s.ClearSourceDocument(); }},
      {"Act_OpenSource", [&s] { s.OpenSource(); }},
      {"Act_SaveSourceHTML", [&s] { s.Act_SaveSourceHTML(); }},
      {"Act_SaveSourceHTMLAs", [&s] { s.Act_SaveSourceHTMLAs(); }},
      {"Act_Convert", [&s] { s.Act_ConvertExecute(); }},
      {"Act_NewFB2Doc", [&s] { s.ClearResultDocument(); }},
      {"Act_openFB2", [&s] { s.Act_openFB2(); }},
      {"Act_SaveResult", [&s] { s.Act_SaveResult(); }},
      {"Act_SaveResultAs", [&s] { s.Act_SaveResultAs(); }},
      {"Act_Find", [&s] { s.Act_Find(); }},
      {"Act_FindNext", [&s] { s.Act_FindNext(); }},
      {"Act_Replace", [&s] { s.Act_Replace(); }},
      {"Act_ansi2utf", [&s] { s.Act_ansi2utf(); }},
      {"Act_utf2ansi", [&s] { s.Act_utf2ansi(); }},
      {"Act_SaveAndView", [&s] { s.Act_SaveAndView(); }},
      {"Act_Validate", [this] { ShowValidation(); }},
      {"Act_p", [&s] { s.Act_p(); }},
      {"Act_Epigraph", [&s] { s.Act_Epigraph(); }},
      {"Act_Cite", [&s] { s.Act_Cite(); }},
      {"Act_Author", [&s] { s.Act_Author(); }},
      {"Act_poem", [&s] { s.Act_poem(); }},
      {"Act_stanza", [&s] { s.Act_stanza(); }},
      {"Act_v", [&s] { s.Act_v(); }},
      {"Act_strong", [&s] { s.Act_strong(); }},
      {"Act_emphasis", [&s] { s.Act_emphasis(); }},
      {"Act_EmptyLine", [&s] { s.Act_EmptyLine(); }},
      {"Act_openOptions", [&s] { s.Act_openOptions(); }},
      {"Act_SaveOption", [&s] { s.Act_SaveOption(); }},
      {"Act_ShowHelpBox", [this] { helpWindow_->exec(); }},
      {"mm_About1", [this] { aboutBox_->exec(); }},
  };
  for (const auto& [name, slot] : sessionCommands) Connect(name, slot);
  connect(Command("TBUtf"), &QAction::triggered, this,
          [this](bool pressed) { Run([this, pressed] { session_->ClickUtf8Toggle(pressed); }); });

  for (std::string_view operation :
       {"EditUndo1", "EditCut1", "EditCopy1", "EditPaste1", "EditDelete1", "EditSelectAll1"}) {
    connect(Command(operation), &QAction::triggered, this,
            [this, operation] { EditFocusedControl(operation); });
  }
  connect(Command("Act_Exit"), &QAction::triggered, this, &QWidget::close);
  connect(Command("Act_Check"), &QAction::triggered, this, &MainWindow::ToggleHiddenMenu);
  const std::pair<std::string_view, QPlainTextEdit*> panes[] = {{"1", ui_->Memo1},
                                                                {"2", ui_->Memo2}};
  for (const auto& [number, pane] : panes) {
    QPlainTextEdit* memo = pane;
    connect(Command("Act_CopyToClip" + std::string(number)), &QAction::triggered, this, [memo] {
      memo->selectAll();
      memo->copy();
    });
    connect(Command("Act_ClearMemo" + std::string(number)), &QAction::triggered, memo,
            &QPlainTextEdit::clear);
  }
  // The batch window, "Create Vellumor_eng.lng" and the "Images" tab's picture commands are
  // connected by the desktop program and the Images tab's controller.
}

void MainWindow::ConnectControls() {
  connect(ui_->PageControl1, &QTabWidget::currentChanged, this, &MainWindow::PageChosen);
  connect(ui_->ValidationList, &QListWidget::itemActivated, this,
          &MainWindow::ValidationProblemChosen);
  // Typing goes into the session at once; the controls are not redrawn under the user's caret.
  connect(settingsPage_, &SettingsPage::SettingsEdited, this, &MainWindow::WriteControls);
  connect(settingsPage_, &SettingsPage::PackToZipToggled, this,
          [this](bool on) { Run([this, on] { session_->Book().PackToZip = on; }); });
  connect(commonSettingsPage_, &CommonSettingsPage::SettingsEdited, this,
          &MainWindow::WriteControls);
  connect(commonSettingsPage_, &CommonSettingsPage::CharsetChosen, this,
          [this](int index) { Run([this, index] { session_->ChooseCharsetEntry(index); }); });
}

void MainWindow::ConnectEditorTools() {
  using Dialog = app::Session::SearchDialog;
  using editor::ui::ReplaceDialog;
  using editor::ui::SearchWindow;
  app::Session& s = *session_;
  const auto run = [this](std::function<void()> command) {
    return [this, command = std::move(command)] { Run(command); };
  };
  connect(findDialog_, &SearchWindow::FindPressed, this, run([&s] { s.FindDialogFind(); }));
  connect(findDialog_, &SearchWindow::ClosePressed, this,
          run([&s] { s.MirrorSearchText(Dialog::Find); }));
  connect(replaceDialog_, &SearchWindow::FindPressed, this, run([&s] { s.ReplaceDialogFind(); }));
  connect(replaceDialog_, &ReplaceDialog::ReplacePressed, this,
          run([&s] { s.ReplaceDialogReplace(); }));
  connect(replaceDialog_, &ReplaceDialog::AllPressed, this, run([&s] { s.ReplaceDialogAll(); }));
  connect(replaceDialog_, &SearchWindow::ClosePressed, this,
          run([&s] { s.MirrorSearchText(Dialog::Replace); }));
}

void MainWindow::ShowFindDialog() {
  RefreshSearchFields();
  findDialog_->Present();
}

void MainWindow::ShowReplaceDialog() {
  RefreshSearchFields();
  replaceDialog_->Present();
}

void MainWindow::Run(const std::function<void()>& command) {
  if (!session_) return;
  WriteControls();
  try {
    command();
  } catch (const std::exception& error) {
    session_->Ui().ShowMessage(kProgramName, error.what());
  }
  RefreshControls();
}

void MainWindow::WriteControls() {
  settingsPage_->ReadSettings(session_->Settings());
  commonSettingsPage_->ReadSettings(session_->Settings());
  WriteSearchFields();
}

void MainWindow::RefreshControls() {
  const app::ConversionSettings& settings = session_->Settings();
  settingsPage_->ShowSettings(settings);
  commonSettingsPage_->ShowSettings(settings);
  {
    const QSignalBlocker quiet(Command("TBUtf"));
    Command("TBUtf")->setChecked(settings.UtfOutput);
  }
  const source::EncodingState& encoding = session_->Encoding();
  const int codePage = EditorCodePage(encoding.FontCharset, encoding.SystemCodePageName,
                                      session_->CodePage().Number());
  if (codePage != editorCodePage_) {
    editorCodePage_ = codePage;
    sourceEditor_->SetCodePage(codePage);
    resultEditor_->SetCodePage(codePage);
    emit EditorCodePageChanged(codePage);
  }
  RefreshSearchFields();
}

void MainWindow::WriteSearchFields() {
  using Dialog = app::Session::SearchDialog;
  // Only what the user changed: the session's texts stay byte for byte otherwise.
  if (findDialog_->SearchTextEdited())
    session_->SearchText(Dialog::Find) = CoreText(findDialog_->SearchText());
  if (replaceDialog_->SearchTextEdited())
    session_->SearchText(Dialog::Replace) = CoreText(replaceDialog_->SearchText());
  if (replaceDialog_->ReplacementTextEdited())
    session_->ReplacementText() = CoreText(replaceDialog_->ReplacementText());
}

void MainWindow::RefreshSearchFields() {
  using Dialog = app::Session::SearchDialog;
  findDialog_->SetSearchText(FieldText(session_->SearchText(Dialog::Find)));
  replaceDialog_->SetSearchText(FieldText(session_->SearchText(Dialog::Replace)));
  replaceDialog_->SetReplacementText(FieldText(session_->ReplacementText()));
}

QString MainWindow::FieldText(std::string_view text) const {
  return ToQt(platform::CodePage(editorCodePage_).ToUtf8(text));
}

std::string MainWindow::CoreText(const QString& text) const {
  return platform::CodePage(editorCodePage_).FromUtf8(text.toStdString()).value_or(std::string());
}

void MainWindow::PageChosen(int page) {
  Run([this, page] { session_->PageSelected(page); });
}

void MainWindow::EditFocusedControl(std::string_view operation) {
  QWidget* focus = QApplication::focusWidget();
  if (auto* combo = qobject_cast<QComboBox*>(focus); combo && combo->lineEdit())
    focus = combo->lineEdit();
  if (auto* editor = qobject_cast<QsciScintilla*>(focus)) {
    if (operation == "EditUndo1") editor->undo();
    if (operation == "EditCut1") editor->cut();
    if (operation == "EditCopy1") editor->copy();
    if (operation == "EditPaste1") editor->paste();
    if (operation == "EditDelete1") editor->removeSelectedText();
    if (operation == "EditSelectAll1") editor->selectAll();
  } else if (auto* line = qobject_cast<QLineEdit*>(focus)) {
    if (operation == "EditUndo1") line->undo();
    if (operation == "EditCut1") line->cut();
    if (operation == "EditCopy1") line->copy();
    if (operation == "EditPaste1") line->paste();
    if (operation == "EditDelete1") line->del();
    if (operation == "EditSelectAll1") line->selectAll();
  } else if (auto* pane = qobject_cast<QPlainTextEdit*>(focus)) {
    if (operation == "EditUndo1") pane->undo();
    if (operation == "EditCut1") pane->cut();
    if (operation == "EditCopy1") pane->copy();
    if (operation == "EditPaste1") pane->paste();
    if (operation == "EditDelete1") pane->textCursor().removeSelectedText();
    if (operation == "EditSelectAll1") pane->selectAll();
  }
}

void MainWindow::ToggleHiddenMenu() {
  QAction* menu = ui_->Unvisible1->menuAction();
  menu->setVisible(!menu->isVisible());
}

void MainWindow::ShowValidation() {
  const output::ValidationReport report = session_->ValidateResult();
  QListWidget* list = ui_->ValidationList;
  list->clear();
  for (const output::ValidationProblem& problem : report.Problems) {
    auto* item = new QListWidgetItem(QStringLiteral("%1:%2: %3")
                                         .arg(problem.Line)
                                         .arg(problem.Column)
                                         .arg(QString::fromStdString(problem.Message).trimmed()),
                                     list);
    item->setData(Qt::UserRole, problem.Line);
  }
  list->setVisible(!report.Problems.empty());
  if (!report.Problems.empty()) list->setCurrentRow(0);
}

void MainWindow::ValidationProblemChosen(QListWidgetItem* item) {
  const int line = item->data(Qt::UserRole).toInt();
  QsciScintilla& editor = *ui_->SynMemo2;
  editor.setCursorPosition(line > 0 ? line - 1 : 0, 0);
  editor.ensureLineVisible(line > 0 ? line - 1 : 0);
  editor.setFocus();
}

app::WindowPlacement MainWindow::Placement() const {
  app::WindowPlacement placement;
  placement.State = isMaximized()   ? app::WindowState::Maximized
                    : isMinimized() ? app::WindowState::Minimized
                                    : app::WindowState::Normal;
  placement.Left = pos().x();
  placement.Top = pos().y();
  placement.Width = width();
  placement.Height = height();
  return placement;
}

void MainWindow::RestorePlacement(const app::WindowPlacement& placement) {
  move(placement.Left, placement.Top);
  resize(std::max(placement.Width, kMinimumWidth), std::max(placement.Height, kMinimumHeight));
  if (placement.State == app::WindowState::Maximized) setWindowState(Qt::WindowMaximized);
  if (placement.State == app::WindowState::Minimized) setWindowState(Qt::WindowMinimized);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  emit FirstShown();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  emit Closing();
  event->accept();
}

}  // namespace app::ui

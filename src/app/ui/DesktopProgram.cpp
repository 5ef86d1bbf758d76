#include "app/ui/DesktopProgram.h"

#include <QAction>
#include <QLayout>
#include <QStatusBar>
#include <QTimer>
#include <filesystem>
#include <initializer_list>
#include <vector>

#include "app/SettingsKeys.h"
#include "app/ui/CommonSettingsPage.h"
#include "app/ui/EditorSetup.h"
#include "app/ui/ImagesTabController.h"
#include "app/ui/QtText.h"
#include "batch/ui/BatchWindow.h"
#include "fb2meta/ui/BookInfoDialog.h"
#include "fb2meta/ui/GenrePicker.h"
#include "platform/CodePage.h"
#include "platform/Paths.h"

namespace app::ui {
namespace {

std::unique_ptr<ModalDialogs> DialogsOrReal(std::unique_ptr<ModalDialogs> dialogs, QWidget& parent,
                                            std::function<GenreSource()> genres,
                                            std::function<void(QWidget&)> windowMade) {
  if (dialogs) return dialogs;
  auto real = std::make_unique<QtModalDialogs>(&parent);
  real->Genres = std::move(genres);
  real->WindowMade = std::move(windowMade);
  return real;
}

// While a batch runs the main window under the batch window stays as it was: the editors hold
// the files' texts back, and nothing is laid out or redrawn, since loading, measuring and drawing
// the texts of each file (the editors' and the status bar's) costs more than converting a small
// book. Afterwards it shows the last file's source and result, as after a conversion of its own.
class MainWindowAtRest {
 public:
  MainWindowAtRest(QMainWindow& window, batch::ui::BufferedEditor& source,
                   batch::ui::BufferedEditor& result)
      : window_(window), source_(source), result_(result) {
    source_.Hold();
    result_.Hold();
    window_.setUpdatesEnabled(false);
    for (QLayout* layout : Layouts()) layout->setEnabled(false);
  }
  ~MainWindowAtRest() {
    source_.Release();
    result_.Release();
    for (QLayout* layout : Layouts()) {
      layout->setEnabled(true);
      layout->invalidate();
    }
    window_.setUpdatesEnabled(true);
  }
  MainWindowAtRest(const MainWindowAtRest&) = delete;
  MainWindowAtRest& operator=(const MainWindowAtRest&) = delete;

 private:
  // The window's own layout and the status bar's, which the texts of each file would redo.
  std::vector<QLayout*> Layouts() {
    std::vector<QLayout*> layouts;
    for (QWidget* widget : std::initializer_list<QWidget*>{&window_, window_.statusBar()})
      if (widget->layout()) layouts.push_back(widget->layout());
    return layouts;
  }

  QMainWindow& window_;
  batch::ui::BufferedEditor& source_;
  batch::ui::BufferedEditor& result_;
};

}  // namespace

DesktopProgram::DesktopProgram(DesktopOptions options)
    : languageTexts_(window_, platform::SystemCodePageNumber()),
      dialogs_(DialogsOrReal(
          std::move(options.Dialogs), window_,
          [this] {
            return GenreSource{session_.AvailableGenres(), FromCorePath(session_.ProgramFolder())};
          },
          [this](QWidget& made) { languageTexts_.Adopt(made); })),
      sourceEditor_(window_.SourceEditorWidget(), platform::SystemCodePageNumber()),
      resultEditor_(window_.ResultEditorWidget(), platform::SystemCodePageNumber()),
      sourceView_(sourceEditor_),
      resultView_(resultEditor_),
      ui_(window_, *dialogs_, platform::SystemCodePageNumber()),
      session_(ui_, sourceView_, resultView_, options.ProgramFolder, options.SettingsPath) {
  SetUpSourceEditor(window_.SourceEditorWidget());
  SetUpResultEditor(window_.ResultEditorWidget());

  window_.setWindowTitle(
      QString::fromUtf8(kProgramName.data(), static_cast<qsizetype>(kProgramName.size())));
  window_.RestorePlacement(session_.LoadSettings());
  // Without the Russian language file there is nothing to switch to.
  const bool russianThere =
      std::filesystem::exists(std::filesystem::path(options.ProgramFolder) / "Vellumor_ru.lng");
  if (!russianThere) session_.Settings().InterfaceLanguage = InterfaceLanguage::English;
  window_.CommonSettings().SetRussianAvailable(russianThere);
  session_.ShowPage(app::Session::kSourcePage);
  if (!options.Arguments.empty() && platform::IsExistingFile(options.Arguments.front()))
    session_.Document().StartupFile = options.Arguments.front();

  window_.Bind(session_, sourceEditor_, resultEditor_);
  ConnectImagesTab(window_, session_);
  QObject::connect(&window_, &MainWindow::EditorCodePageChanged, &window_,
                   [this](int codePage) { dialogs_->SetTextCodePage(codePage); });
  QObject::connect(&window_, &MainWindow::FirstShown, &window_,
                   [this] { QTimer::singleShot(0, &window_, [this] { FirstShow(); }); });
  QObject::connect(&window_, &MainWindow::Closing, &window_, [this] { Close(); });
  CreateBatchWindow();

  // The book information dialog and the genre picker are made when first needed; until then the
  // English file takes their texts from windows made for the moment.
  languageTexts_.SetWindowMaker("FBookInfo", [](QWidget& parent) -> QWidget* {
    return new fb2meta::ui::BookInfoDialog({}, platform::SystemCodePageNumber(), &parent);
  });
  languageTexts_.SetWindowMaker("FGenreList", [](QWidget& parent) -> QWidget* {
    return new fb2meta::ui::GenrePickerDialog({}, {}, platform::SystemCodePageNumber(), &parent);
  });
  QObject::connect(&window_.CommonSettings(), &CommonSettingsPage::LanguageChosen, &window_,
                   [this](bool fileChosen) { LanguageChosen(fileChosen); });
  QObject::connect(window_.Command("Recreate1"), &QAction::triggered, &window_, [this] {
    window_.Run([this] { languageTexts_.WriteEnglishFile(session_.ProgramFolder()); });
  });
}

DesktopProgram::~DesktopProgram() = default;

void DesktopProgram::Show() {
  window_.show();
}

void DesktopProgram::FirstShow() {
  window_.Run([this] {
    ApplyInterfaceLanguage();
    session_.SetUtfOutput(session_.Settings().UtfOutput);
    session_.ConvertStartupFile(session_.Document().StartupFile);
    session_.Document().StartupFile.clear();
  });
}

void DesktopProgram::ApplyInterfaceLanguage() {
  ConversionSettings& settings = session_.Settings();
  const std::string path = LanguageFilePath(settings.InterfaceLanguage, settings.OtherLanguageFile,
                                            session_.ProgramFolder());
  if (!languageTexts_.Apply(path)) {
    settings.OtherLanguageFile.clear();
    return;
  }
  window_.CommonSettings().ReadSettings(settings);
}

void DesktopProgram::LanguageChosen(bool fileChosen) {
  window_.Run([this, fileChosen] {
    const std::string chosen = session_.Settings().OtherLanguageFile;
    ApplyInterfaceLanguage();
    if (fileChosen) session_.Settings().OtherLanguageFile = chosen;
  });
}

void DesktopProgram::Close() {
  const WindowPlacement placement = window_.Placement();
  window_.Run([this, &placement] {
    if (session_.SaveSettings(placement)) SaveBatchFolder();
  });
}

void DesktopProgram::CreateBatchWindow() {
  std::error_code error;
  const std::string workingDirectory = std::filesystem::current_path(error).string();
  session_.Settings().BatchOutputFolder =
      IniFile(session_.SettingsPath()).ReadString(keys::kBatchOutputFolder, workingDirectory);
  batchWindow_ =
      std::make_unique<batch::ui::BatchWindow>(session_.BatchList, session_.CodePage(), &window_);
  batchWindow_->SetOutputFolder(session_.Settings().BatchOutputFolder);

  batch::ui::BatchWindow::Commands commands;
  commands.LoadList = [this] { window_.Run([this] { session_.Act_BatchLoadList(); }); };
  commands.SaveList = [this] { window_.Run([this] { session_.Act_BatchSaveList(); }); };
  commands.AskFolder = [this, workingDirectory] {
    return ui_.AskFolder("Save to:", workingDirectory);
  };
  commands.Start = [this](std::string& folder, const batch::EntryDoneFn& entryDone,
                          const batch::CancelledFn& cancelled) {
    window_.Run([&] {
      const MainWindowAtRest rest(window_, sourceView_, resultView_);
      std::string& field = session_.Settings().BatchOutputFolder;
      field = folder;
      batch::StartBatch(session_.BatchList, field, ui_, session_.BatchStartSteps(), entryDone,
                        cancelled);
      folder = field;
    });
  };
  batchWindow_->SetCommands(std::move(commands));
  QObject::connect(window_.Command("Act_BatchWindow"), &QAction::triggered, batchWindow_.get(),
                   [this] { batchWindow_->exec(); });
}

void DesktopProgram::SaveBatchFolder() {
  const std::string folder = batchWindow_->OutputFolder();
  session_.Settings().BatchOutputFolder = folder;
  IniFile file(session_.SettingsPath());
  try {
    file.WriteString(keys::kBatchOutputFolder, folder);
  } catch (const IniWriteError& failure) {
    session_.Ui().ShowMessage(kProgramName, failure.what());
  }
}

}  // namespace app::ui

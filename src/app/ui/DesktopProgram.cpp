#include "app/ui/DesktopProgram.h"

#include <QTimer>
#include <filesystem>

#include "app/ui/CommonSettingsPage.h"
#include "app/ui/EditorSetup.h"
#include "app/ui/QtText.h"
#include "platform/CodePage.h"
#include "platform/Paths.h"

namespace app::ui {
namespace {

std::unique_ptr<ModalDialogs> DialogsOrReal(std::unique_ptr<ModalDialogs> dialogs, QWidget& parent,
                                            std::function<GenreSource()> genres) {
  if (dialogs) return dialogs;
  auto real = std::make_unique<QtModalDialogs>(&parent);
  real->Genres = std::move(genres);
  return real;
}

}  // namespace

DesktopProgram::DesktopProgram(DesktopOptions options)
    : dialogs_(DialogsOrReal(
          std::move(options.Dialogs), window_,
          [this] {
            return GenreSource{session_.AvailableGenres(), FromCorePath(session_.ProgramFolder())};
          })),
      sourceEditor_(window_.SourceEditorWidget(), platform::SystemCodePageNumber()),
      resultEditor_(window_.ResultEditorWidget(), platform::SystemCodePageNumber()),
      ui_(window_, *dialogs_, platform::SystemCodePageNumber()),
      session_(ui_, sourceEditor_, resultEditor_, options.ProgramFolder, options.SettingsPath) {
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
  QObject::connect(&window_, &MainWindow::FirstShown, &window_,
                   [this] { QTimer::singleShot(0, &window_, [this] { FirstShow(); }); });
  QObject::connect(&window_, &MainWindow::Closing, &window_, [this] { Close(); });
}

DesktopProgram::~DesktopProgram() = default;

void DesktopProgram::Show() {
  window_.show();
}

void DesktopProgram::FirstShow() {
  window_.Run([this] {
    // The interface language file is applied here once language files are part of the program.
    session_.SetUtfOutput(session_.Settings().UtfOutput);
    session_.ConvertStartupFile(session_.Document().StartupFile);
    session_.Document().StartupFile.clear();
  });
}

void DesktopProgram::Close() {
  const WindowPlacement placement = window_.Placement();
  window_.Run([this, &placement] { session_.SaveSettings(placement); });
}

}  // namespace app::ui

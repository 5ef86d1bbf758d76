// vellumor: the desktop program. An optional argument names a source file to convert at start.

#include <QApplication>
#include <QFile>

#include "app/Settings.h"
#include "app/ui/DesktopProgram.h"
#include "platform/Interrupts.h"
#include "platform/MemoryReuse.h"
#include "platform/ProgramFolder.h"

int main(int argc, char** argv) {
  platform::InstallInterruptHandlers();  // before Qt starts threads
  platform::KeepFreedMemoryForReuse();  // every conversion reuses the last one's buffers
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vellumor"));
  QApplication::setApplicationVersion(QStringLiteral(VELLUMOR_VERSION));

  app::ui::DesktopOptions options;
  const std::filesystem::path folder = platform::ProgramFolder();
  options.ProgramFolder = folder.empty() ? std::string(".") : folder.string();
  options.SettingsPath = app::SettingsFilePath(options.ProgramFolder);
  for (int i = 1; i < argc; ++i) options.Arguments.emplace_back(argv[i]);

  app::ui::DesktopProgram program(std::move(options));
  program.Show();
  return QApplication::exec();
}

// The window tests run inside one QApplication on the offscreen platform unless told otherwise.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Qt asks for a private runtime folder; a temporary one keeps it quiet.
  QTemporaryDir runtimeDir;
  if (std::getenv("XDG_RUNTIME_DIR") == nullptr && runtimeDir.isValid()) {
    QFile::setPermissions(runtimeDir.path(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit().constData(), 1);
  }
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

#include "app/ui/ImagesTabController.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <string>
#include <string_view>

#include "app/Session.h"
#include "app/ui/MainWindow.h"
#include "app/ui/QtText.h"
#include "images/ui/BatchImagesWindow.h"

namespace app::ui {
namespace {

// The panes keep CR LF line breaks in the session and show plain line feeds.
std::string WithLineFeeds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

std::string WithCrLf(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  std::string out;
  out.reserve(static_cast<size_t>(utf8.size()));
  for (char c : utf8) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace

ImagesTabController::ImagesTabController(MainWindow& window, app::Session& session)
    : QObject(&window), window_(window), session_(session) {
  setObjectName(QStringLiteral("ImagesTabController"));
  panes_[0] = window.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
  panes_[1] = window.findChild<QPlainTextEdit*>(QStringLiteral("Memo2"));
  for (int pane = 0; pane < 2; ++pane) {
    connect(panes_[pane], &QPlainTextEdit::textChanged, this, [this, pane] { PaneEdited(pane); });
  }

  batchWindow_ = new images::ui::BatchImagesWindow(&window);
  batchWindow_->SetStart([this](const std::string& folder,
                                const std::vector<images::BatchPictureEntry>& entries,
                                const images::PictureProgressFn& progress) {
    bool done = false;
    RunCommand([&] { done = session_.StartBatchPictures(folder, entries, progress); });
    return done;
  });

  const std::pair<const char*, std::function<void()>> commands[] = {
      {"Act_LoadImage", [this] { RunCommand([this] { session_.Act_LoadImage(); }); }},
      {"Act_ConvertTable", [this] { RunCommand([this] { session_.Act_ConvertTable(); }); }},
      {"Act_Batch", [this] { ShowBatchWindow(); }},
  };
  for (const auto& [name, slot] : commands) {
    QAction* action = window.Command(name);
    action->setEnabled(true);
    connect(action, &QAction::triggered, this, slot);
  }
  RefreshPanes();
}

void ImagesTabController::RunCommand(const std::function<void()>& command) {
  window_.Run(command);
  RefreshPanes();
}

void ImagesTabController::ShowBatchWindow() {
  batchWindow_->exec();
}

void ImagesTabController::RefreshPanes() {
  const std::string* texts[] = {&session_.ImagesPanes.Refs, &session_.ImagesPanes.Binaries};
  for (int pane = 0; pane < 2; ++pane) {
    const QString text = FromCore(WithLineFeeds(*texts[pane]), session_.CodePage());
    if (panes_[pane]->toPlainText() == text) continue;
    const QSignalBlocker quiet(panes_[pane]);
    panes_[pane]->setPlainText(text);
  }
}

void ImagesTabController::PaneEdited(int pane) {
  std::string& text = pane == 0 ? session_.ImagesPanes.Refs : session_.ImagesPanes.Binaries;
  text = WithCrLf(panes_[pane]->toPlainText());
}

ImagesTabController& ConnectImagesTab(MainWindow& window, app::Session& session) {
  if (auto* existing = window.findChild<ImagesTabController*>(QStringLiteral("ImagesTabController"),
                                                              Qt::FindDirectChildrenOnly))
    return *existing;
  return *new ImagesTabController(window, session);
}

}  // namespace app::ui

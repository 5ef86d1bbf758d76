#include "app/ui/HelpWindow.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringDecoder>
#include <QTimer>
#include <QVBoxLayout>

namespace app::ui {

HelpWindow::HelpWindow(const QString& programFolder, QWidget* parent)
    : QDialog(parent), path_(programFolder + "/help.txt"), pane_(new QPlainTextEdit(this)) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringLiteral("Help"));
  pane_->setObjectName(QStringLiteral("Memo1"));
  pane_->setReadOnly(true);
  pane_->setLineWrapMode(QPlainTextEdit::NoWrap);
  pane_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  pane_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont font(QStringLiteral("Courier New"), 10);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  pane_->setFont(font);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  // Named and captioned here, as the language files know it.
  QPushButton* close = buttons->button(QDialogButtonBox::Close);
  close->setObjectName(QStringLiteral("ButClose"));
  close->setText(QStringLiteral("&Close"));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pane_);
  layout->addWidget(buttons);
  resize(800, 560);  // the help text is written for 88 columns
}

QString HelpWindow::Text() const {
  return pane_->toPlainText();
}

void HelpWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly)) {
    // Told after the window is up, so the message box stands in front of it.
    QTimer::singleShot(0, this, [this] { emit FileMissing(path_); });
    return;
  }
  const QByteArray bytes = file.readAll();
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString text = utf8.decode(bytes);
  // A help text written in the code page of an older system reads as Latin-1 rather than as
  // replacement characters.
  if (utf8.hasError()) text = QString::fromLatin1(bytes);
  pane_->setPlainText(text);
}

}  // namespace app::ui

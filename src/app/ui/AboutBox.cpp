#include "app/ui/AboutBox.h"

#include <QApplication>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace app::ui {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("About"));
  auto* icon = new QLabel(this);
  icon->setPixmap(style()->standardIcon(QStyle::SP_FileIcon).pixmap(48, 48));
  // The labels and the button carry the names language files know them by; the version number
  // is a label of its own, so that a language file never holds it.
  auto* name = new QLabel(QStringLiteral("Vellumor"), this);
  name->setObjectName(QStringLiteral("ProductName"));
  QFont bold = name->font();
  bold.setBold(true);
  name->setFont(bold);
  auto* version = new QLabel(QStringLiteral("Version"), this);
  version->setObjectName(QStringLiteral("Version"));
  auto* number = new QLabel(QStringLiteral(VELLUMOR_VERSION), this);
  number->setObjectName(QStringLiteral("VersionNumber"));
  auto* comments = new QLabel(
      QStringLiteral("Turns web pages and word-processor documents into FictionBook 2 e-books."),
      this);
  comments->setObjectName(QStringLiteral("Comments"));
  comments->setWordWrap(true);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OKButton"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* versionRow = new QHBoxLayout;
  versionRow->addWidget(version);
  versionRow->addWidget(number);
  versionRow->addStretch(1);
  auto* text = new QVBoxLayout;
  text->addWidget(name);
  text->addLayout(versionRow);
  text->addWidget(comments);
  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addLayout(text, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);
  setMinimumWidth(320);
}

}  // namespace app::ui

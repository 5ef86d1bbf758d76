#include "app/ui/AboutBox.h"

#include <QApplication>
#include <QDialogButtonBox>
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
  auto* name = new QLabel(QStringLiteral("<b>Vellumor</b>"), this);
  name->setObjectName(QStringLiteral("ProductName"));
  auto* version = new QLabel(QStringLiteral("Version " VELLUMOR_VERSION), this);
  version->setObjectName(QStringLiteral("Version"));
  auto* comments = new QLabel(
      QStringLiteral("Turns web pages and word-processor documents into FictionBook 2 e-books."),
      this);
  comments->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* text = new QVBoxLayout;
  text->addWidget(name);
  text->addWidget(version);
  text->addWidget(comments);
  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addLayout(text, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
  setMinimumWidth(320);
}

}  // namespace app::ui

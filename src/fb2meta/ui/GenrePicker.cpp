#include "fb2meta/ui/GenrePicker.h"

#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeWidget>
#include <QXmlStreamReader>
#include <algorithm>

#include "ui_GenrePicker.h"

namespace fb2meta::ui {
namespace {

constexpr QStringView kSchemaNamespace = u"http://www.w3.org/2001/XMLSchema";

bool IsEnterKey(const QKeyEvent& key) {
  return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

}  // namespace

QString GenreSchemaPath(const QString& programFolder) {
  return programFolder + QStringLiteral("/fb2-schema/FictionBookGenres.xsd");
}

QHash<QString, QString> ReadGenreNames(const QString& schemaPath) {
  QHash<QString, QString> names;
  QFile file(schemaPath);
  if (!file.open(QIODevice::ReadOnly)) return names;
  QXmlStreamReader xml(&file);
  QString value;  // the value whose xs:enumeration is open
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.namespaceUri() != kSchemaNamespace) continue;
    if (xml.isEndElement() && xml.name() == u"enumeration") value.clear();
    if (!xml.isStartElement()) continue;
    if (xml.name() == u"enumeration") {
      value = xml.attributes().value(QLatin1String("value")).toString();
    } else if (xml.name() == u"documentation" && !value.isEmpty() && !names.contains(value)) {
      const QString name = xml.readElementText(QXmlStreamReader::IncludeChildElements).simplified();
      if (!name.isEmpty()) names.insert(value, name);
    }
  }
  return names;
}

GenrePickerDialog::GenrePickerDialog(std::vector<std::string> available,
                                     QHash<QString, QString> names, int codePageNumber,
                                     QWidget* parent)
    : QDialog(parent),
      ui_(new Ui::GenrePicker),
      available_(std::move(available)),
      names_(std::move(names)),
      codePage_(codePageNumber) {
  ui_->setupUi(this);
  ui_->AddButton->setDefaultAction(ui_->Act_Add);
  ui_->DeleteButton->setDefaultAction(ui_->Act_Delete);
  ui_->ClearButton->setDefaultAction(ui_->Act_Clear);
  for (QToolButton* button : {ui_->AddButton, ui_->DeleteButton, ui_->ClearButton}) {
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
  }
  addAction(ui_->Act_Ok);  // F3 anywhere in the window

  Fill(*ui_->AvailableList, available_);
  // The name column only when the schema names some of the codes.
  bool named = false;
  for (const std::string& entry : available_)
    named = named || names_.contains(Display(entry).trimmed());
  for (QTreeWidget* list : {ui_->AvailableList, ui_->ChosenList}) {
    list->setColumnHidden(1, !named);
    list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    list->header()->setStretchLastSection(true);
  }
  if (ui_->AvailableList->topLevelItemCount() > 0)
    ui_->AvailableList->setCurrentItem(ui_->AvailableList->topLevelItem(0));

  ui_->AvailableList->installEventFilter(this);
  ui_->ChosenList->installEventFilter(this);
  connect(ui_->AvailableList, &QTreeWidget::itemDoubleClicked, this, &GenrePickerDialog::AddToDoc);
  connect(ui_->Act_Add, &QAction::triggered, this, &GenrePickerDialog::AddToDoc);
  connect(ui_->Act_Delete, &QAction::triggered, this, &GenrePickerDialog::DeleteChosen);
  connect(ui_->Act_Clear, &QAction::triggered, this, &GenrePickerDialog::ClearChosen);
  connect(ui_->Act_Ok, &QAction::triggered, this, &QDialog::accept);
  connect(ui_->ButOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(ui_->ButCancel, &QPushButton::clicked, this, &QDialog::reject);
}

GenrePickerDialog::~GenrePickerDialog() = default;

std::optional<std::string> GenrePickerDialog::Pick(std::string_view genres) {
  picker_.emplace(available_, genres);
  ShowChosen(0);
  ui_->AvailableList->setFocus(Qt::OtherFocusReason);
  const bool ok = exec() == QDialog::Accepted;
  std::optional<std::string> result;
  if (ok) result = picker_->Result();
  picker_.reset();
  return result;
}

bool GenrePickerDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (watched == ui_->AvailableList && IsEnterKey(key)) {
      AddToDoc();
      return true;
    }
    if (watched == ui_->ChosenList && key.key() == Qt::Key_Delete) {
      DeleteChosen();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void GenrePickerDialog::AddToDoc() {
  if (!picker_) return;
  const QList<QTreeWidgetItem*> selected = ui_->AvailableList->selectedItems();
  if (selected.isEmpty()) return;
  const int index = ui_->AvailableList->indexOfTopLevelItem(selected.first());
  if (picker_->AddToDoc(static_cast<size_t>(index))) {
    accept();  // chosen already: the second "Add to doc" closes as "Ok"
    return;
  }
  ShowChosen(static_cast<int>(picker_->Chosen().size()) - 1);
}

void GenrePickerDialog::DeleteChosen() {
  if (!picker_) return;
  std::vector<size_t> rows;
  int first = ui_->ChosenList->topLevelItemCount();
  for (QTreeWidgetItem* item : ui_->ChosenList->selectedItems()) {
    const int row = ui_->ChosenList->indexOfTopLevelItem(item);
    rows.push_back(static_cast<size_t>(row));
    first = std::min(first, row);
  }
  if (rows.empty()) return;
  picker_->Delete(rows);
  ShowChosen(first);
}

void GenrePickerDialog::ClearChosen() {
  if (!picker_) return;
  picker_->Clear();
  ShowChosen(0);
}

void GenrePickerDialog::ShowChosen(int current) {
  QTreeWidget& list = *ui_->ChosenList;
  Fill(list, picker_->Chosen());
  const int count = list.topLevelItemCount();
  if (count == 0) return;
  QTreeWidgetItem* item = list.topLevelItem(std::clamp(current, 0, count - 1));
  list.setCurrentItem(item);
  list.scrollToItem(item);
}

void GenrePickerDialog::Fill(QTreeWidget& list, const std::vector<std::string>& entries) const {
  list.clear();
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(entries.size()));
  for (const std::string& entry : entries) {
    const QString code = Display(entry);
    const QString name = names_.value(code.trimmed());
    auto* item = new QTreeWidgetItem(QStringList{code, name});
    if (!name.isEmpty()) item->setToolTip(0, name);
    items << item;
  }
  list.addTopLevelItems(items);
}

QString GenrePickerDialog::Display(std::string_view entry) const {
  const std::string utf8 = codePage_.ToUtf8(entry);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace fb2meta::ui

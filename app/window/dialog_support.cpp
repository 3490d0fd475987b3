#include "app/window/dialog_support.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "app/window/field_check.h"
#include "circumstances/sites.h"
#include "session/session_state.h"

namespace tarvo::window {

QDialogButtonBox* okCancelButtons(QDialog* dialog, const QString& cancelText) {
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  box->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  box->button(QDialogButtonBox::Cancel)->setText(cancelText);
  QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return box;
}

bool refuse(QWidget* dialog, const std::optional<FieldError>& error) {
  if (!error) return false;
  QMessageBox::warning(dialog, QStringLiteral("TarvoWin"), error->message);
  if (error->field) {
    error->field->setFocus();
    error->field->selectAll();
  }
  return true;
}

void takeCitySite(SessionState& state, const SiteList& sites, int number) {
  if (sites.sites.empty()) {
    state.siteLongitude = state.siteLatitude = state.siteHeight = 0;
    return;
  }
  if (const Site* s = sites.byNumber(number)) {
    state.siteLongitude = s->longitude;
    state.siteLatitude = s->latitude;
    state.siteHeight = s->height;
  }
}

void fillCityBox(QComboBox* box, const SiteList& sites, int number) {
  for (const Site& s : sites.sites) box->addItem(QString::fromStdString(s.name));
  box->setCurrentIndex(number - 1 < box->count() ? number - 1 : -1);
}

QGroupBox* siteGroup(const QString& title, QComboBox* city, QRadioButton* fromCity,
                     QRadioButton* typed, const QString& longitudeLabel, QLineEdit* longitude,
                     QLineEdit* latitude, QLineEdit* height) {
  auto* box = new QGroupBox(title);
  auto* l = new QVBoxLayout(box);
  l->addWidget(city);
  auto* source = new QHBoxLayout;
  source->addWidget(fromCity);
  source->addWidget(typed);
  l->addLayout(source);
  auto* form = new QFormLayout;
  form->addRow(longitudeLabel, longitude);
  form->addRow(QStringLiteral("Lat.:"), latitude);
  form->addRow(QStringLiteral("Alt.:"), height);
  l->addLayout(form);
  return box;
}

void nameFieldsByTheirLabels(QWidget* dialog) {
  for (QLabel* label : dialog->findChildren<QLabel*>()) {
    QWidget* field = label->buddy();
    if (field == nullptr || !field->accessibleName().isEmpty()) continue;
    QString name = label->text();
    name.remove(QRegularExpression(QStringLiteral("\\(&.\\)|&")));
    name = name.trimmed();
    if (name.endsWith(QLatin1Char(':'))) name.chop(1);
    field->setAccessibleName(name.trimmed());
  }
}

}  // namespace tarvo::window

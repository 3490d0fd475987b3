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

SiteChoice pickedSite(bool fromCity, int cityNumber, const SiteValues& typed, const SiteChoice& current,
                      const SiteList& sites) {
  if (!fromCity) {
    SiteChoice site = typedChoice(typed.longitudeDeg, typed.latitudeDeg, typed.heightM);
    // The zone given with the coordinates stays while they do.
    const SiteValues& was = current.where;
    if (current.typed() && was.longitudeDeg == typed.longitudeDeg && was.latitudeDeg == typed.latitudeDeg &&
        was.heightM == typed.heightM)
      site.timeZone = current.timeZone;
    return site;
  }
  return cityChoice(sites, cityNumber).value_or(current);
}

namespace {
void showCoordinates(const SiteFields& f, const SiteValues& where) {
  f.longitude->setText(numberText(roundedTo(where.longitudeDeg, 5)));
  f.latitude->setText(numberText(roundedTo(where.latitudeDeg, 5)));
  f.height->setText(numberText(where.heightM));
}
}  // namespace

void showSiteChoice(const SiteFields& f, const SiteChoice& choice, const SiteList& sites) {
  for (const Site& s : sites.sites) f.city->addItem(QString::fromStdString(s.name));
  f.city->setCurrentIndex(chosenCity(choice, sites) ? choice.cityNumber - 1 : -1);
  (choice.typed() ? f.typed : f.fromCity)->setChecked(true);
  showCoordinates(f, choice.where);
  QObject::connect(f.city, &QComboBox::activated, f.city, [f, &sites](int index) {
    if (const std::optional<SiteChoice> city = cityChoice(sites, index + 1)) {
      showCoordinates(f, city->where);
      f.fromCity->setChecked(true);
    }
  });
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

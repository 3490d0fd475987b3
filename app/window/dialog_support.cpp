#include "app/window/dialog_support.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "app/window/field_check.h"
#include "circumstances/sites.h"
#include "core/session_state.h"

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

}  // namespace tarvo::window

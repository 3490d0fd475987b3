#include "app/window/about_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "app/window/field_check.h"
#include "app/window/toolbar_icons.h"

namespace tarvo::window {

QString CAboutDlg::versionLine() {
  return QStringLiteral("TarvoWin Version 2.20  October 13, 2016");
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Tarvowin version"));
  auto* icon = new QLabel;
  icon->setPixmap(applicationIcon().pixmap(32, 32));
  auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok);
  ok->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  connect(ok, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QGridLayout(this);
  layout->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
  layout->addWidget(new QLabel(versionLine()), 0, 1);
  const QString span = QStringLiteral("Lunar eclipses from %1 to %2")
                           .arg(numberText(limits::kYear.lo), numberText(limits::kYear.hi));
  layout->addWidget(new QLabel(span), 1, 1);
  layout->addWidget(
      new QLabel(QStringLiteral("Free software under the GNU GPL, version 3 or later")), 2, 1);
  layout->addWidget(ok, 0, 2, 3, 1, Qt::AlignTop);
}

}  // namespace tarvo::window

#include "app/window/list_dlg.h"

#include <QApplication>

#include <algorithm>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/time_zones.h"
#include "app/window/dialog_support.h"
#include "app/window/field_check.h"
#include "app/window/window_files.h"
#include "app/window/window_session.h"
#include "session/landing.h"
#include "catalogue/saros_table.h"
#include "circumstances/observer_answer.h"
#include "export/eclipse_export.h"
#include "session/search.h"
#include "session/visibility_list.h"
#include "timebase/delta_t.h"

namespace tarvo::window {

namespace {
constexpr double kSarosListPeriodYears = 2000;

// A visible list's columns after the Saros column: the class, then greatest
// eclipse on the site's clock with its zone.
constexpr const char* kVisibleColumnsHeader = "   Class         Greatest on the site's clock";

std::string visibleRowEnd(const ExportEclipse& e) {
  std::string end = std::string("   ") + visibilityClassName(e.visibility->visibilityClass);
  if (e.converged && e.greatestZone) {
    end.resize(3 + 11 + 3, ' ');  // the class column is as wide as "at-moonrise"
    end += clockDateMinuteText(e.greatestJd, *e.greatestZone) + " " + zoneLabel(*e.greatestZone);
  }
  return end;
}
}  // namespace

CListDlg::CListDlg(WindowSession& session, QWidget* view)
    : QDialog(view), session_(session), list_(new QListWidget), full_(new QLabel), startYear_(new QLineEdit),
      period_(new QLineEdit), search_(new QPushButton(QStringLiteral("Search"))),
      draw_(new QPushButton(QStringLiteral("Draw"))), errors_(new QLabel),
      visible_(new QCheckBox(QStringLiteral("Visible from site"))), minPhase_(new QComboBox),
      export_(new QPushButton(QStringLiteral("Export…"))) {
  setWindowTitle(QStringLiteral("Eclipse Serch List"));
  setModal(false);
  list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  errors_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  QPalette onBlack = errors_->palette();
  onBlack.setColor(QPalette::Window, Qt::black);
  onBlack.setColor(QPalette::WindowText, Qt::white);
  errors_->setPalette(onBlack);
  errors_->setAutoFillBackground(true);
  errors_->hide();
  full_->hide();
  list_->setAccessibleName(QStringLiteral("Eclipse list"));
  // "any": every eclipse whose class is not none, as the command line without --min-phase.
  minPhase_->addItem(QStringLiteral("any"), -1);
  for (const EclipsePhase p : {EclipsePhase::Penumbral, EclipsePhase::Partial, EclipsePhase::Total})
    minPhase_->addItem(QString::fromLatin1(eclipsePhaseName(p)), static_cast<int>(p));
  minPhase_->setEnabled(false);
  connect(visible_, &QCheckBox::toggled, minPhase_, &QComboBox::setEnabled);

  connect(list_, &QListWidget::currentRowChanged, this,
          [this](int row) { session_.state.eclipseListPick = row > 0 ? row - 1 : 0; });
  connect(search_, &QPushButton::clicked, this, &CListDlg::search);
  connect(draw_, &QPushButton::clicked, this, &CListDlg::drawRequested);
  connect(export_, &QPushButton::clicked, this, &CListDlg::exportList);
  export_->setEnabled(false);
  // A double-click on an eclipse's line draws it, as Draw does; so does Enter.
  connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    const int row = list_->row(item);
    if (row < 1) return;  // the heading
    list_->setCurrentRow(row);
    emit drawRequested();
  });
  list_->installEventFilter(this);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Start Year"), startYear_);
  form->addRow(QStringLiteral("Period(Years)"), period_);
  auto* actions = new QHBoxLayout;
  actions->addWidget(search_);
  actions->addWidget(draw_);
  actions->addWidget(export_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addWidget(full_);
  layout->addWidget(errors_);
  layout->addLayout(form);
  auto* seen = new QHBoxLayout;
  seen->addWidget(visible_);
  auto* phaseLabel = new QLabel(QStringLiteral("Phase seen:"));
  phaseLabel->setBuddy(minPhase_);
  seen->addWidget(phaseLabel);
  seen->addWidget(minPhase_);
  layout->addLayout(seen);
  layout->addLayout(actions);
  layout->addWidget(okCancelButtons(this, QStringLiteral("Cancell")));
  resize(360, 420);
  nameFieldsByTheirLabels(this);
}

void CListDlg::prepareToOpen() {
  const SessionState& s = session_.state;
  double start = localClockMonth().year;
  double period = s.listPeriodDefault;
  if (s.searchType == kSearchBySaros) {
    // The series of the eclipse shown, from its first member on.
    if (auto first = SarosStartTable::firstYear(s.current.saros)) start = *first;
    period = kSarosListPeriodYears;
  }
  startYear_->setText(numberText(start));
  period_->setText(numberText(period));
  // The list shown came from a search: its fields with it.
  if (!searchedStart_.isEmpty() && session_.state.eclipseListCount > 0) {
    startYear_->setText(searchedStart_);
    period_->setText(searchedPeriod_);
  }
  errors_->hide();
  fill();
}

Checked<ListPeriod> CListDlg::validate() const {
  ListPeriod v;
  const FieldValue<double> start = readYearNumber(startYear_->text(), limits::kListStartYear);
  if (!start.ok()) return FieldError{start.error, startYear_};
  v.startYear = start.value;
  if (auto refused = readNumbers({{period_, limits::kListPeriodYears, &v.periodYears}})) return *refused;
  return v;
}

void CListDlg::search() {
  const Checked<ListPeriod> checked = validate();
  if (refuse(this, checked.error())) return;
  const ListPeriod& period = checked.values();
  if (visible_->isChecked()) {
    searchVisible(period.startYear, period.periodYears);
    return;
  }
  shown_ = ShownList{period.startYear, period.periodYears, false, std::nullopt};
  seen_.clear();
  export_->setEnabled(true);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const ListSearchResult found =
      listSearchCommand(session_.state, session_.reader, period.startYear, period.periodYears);
  QApplication::restoreOverrideCursor();
  QStringList texts;
  for (const ScreenText& t : found.errorTexts) texts << QString::fromLatin1(t.text);
  errors_->setText(texts.join(QLatin1Char('\n')));
  errors_->setVisible(!texts.isEmpty());
  searchedStart_ = startYear_->text();
  searchedPeriod_ = period_->text();
  const int count = session_.state.eclipseListCount;
  const bool full = count >= static_cast<int>(session_.state.eclipseList.size());
  if (full) {
    const EclipseListEntry& last = session_.state.eclipseList[static_cast<std::size_t>(count - 1)];
    full_->setText(QStringLiteral("The list holds its first %1 eclipses; the search stopped at %2/%3/%4.")
                       .arg(count)
                       .arg(static_cast<long long>(last.year))
                       .arg(static_cast<long long>(last.month))
                       .arg(static_cast<long long>(last.day)));
  }
  full_->setVisible(full);
  fill();
}

void CListDlg::searchVisible(double start, double period) {
  const int phase = minPhase_->currentData().toInt();
  const std::optional<EclipsePhase> minPhase =
      phase < 0 ? std::nullopt : std::optional<EclipsePhase>(static_cast<EclipsePhase>(phase));
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const VisibilityListSearch found =
      windowListSearch(session_.state, session_.reader, start, period, true, &systemZoneDatabase(), minPhase);
  QApplication::restoreOverrideCursor();
  QStringList texts;
  if (found.end == SearchEnd::StartFileMissing || found.end == SearchEnd::NextFileMissing) {
    for (const ScreenText& t : kSearchNoFileTexts) texts << QString::fromLatin1(t.text);
  }
  errors_->setText(texts.join(QLatin1Char('\n')));
  errors_->setVisible(!texts.isEmpty());
  seen_.clear();
  for (const ExportEclipse& e : found.eclipses) seen_.push_back(visibleRowEnd(e));
  shown_ = ShownList{start, period, true, minPhase};
  export_->setEnabled(true);
  fill();
}

void CListDlg::fill() {
  list_->clear();
  std::vector<std::string> lines = eclipseListLines(session_.state, EclipseListLayout::Aligned);
  const bool withSeen = shown_ && shown_->withSite && seen_.size() + 1 == lines.size();
  if (withSeen) lines[0] += kVisibleColumnsHeader;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (withSeen && i > 0) lines[i] += seen_[i - 1];
    list_->addItem(QString::fromUtf8(lines[i].c_str()));
  }
}

std::optional<QString> CListDlg::exportTo(const QString& path) {
  if (!shown_) return QStringLiteral("there is no searched list to export");
  const VisibilityListSearch found =
      windowListSearch(session_.state, session_.reader, shown_->startYear, shown_->periodYears, shown_->withSite,
                       &systemZoneDatabase(), shown_->minPhase);
  const SiteClock clock = sessionSiteClock(session_.state, systemZoneDatabase());
  const ExportList list =
      exportListOf(session_.state, session_.state.sites, shown_->withSite, found.eclipses, &clock);
  const double nowJd = julianDayOfUnixSeconds(static_cast<double>(QDateTime::currentSecsSinceEpoch()));
  const ExportText text = exportByExtension(list, path.toStdString(), nowJd);
  if (!text.ok) return QString::fromStdString(text.error);
  return writeWindowFile(path, text.text);
}

void CListDlg::exportList() {
  // The file types of the export table; a name without an extension takes
  // the chosen type's.
  QStringList filters;
  for (const ExportFormat& f : exportFormats()) {
    filters << QStringLiteral("%1 (*.%2)").arg(QString::fromUtf8(f.label), QString::fromUtf8(f.extension));
  }
  const QString path = askFileToWrite(this, QStringLiteral("Export"), QString(), filters,
                                      [](const QString& chosen, int filterIndex) {
                                        if (!QFileInfo(chosen).suffix().isEmpty()) return chosen;
                                        const ExportFormat& f = exportFormats()[static_cast<std::size_t>(filterIndex)];
                                        return chosen + QStringLiteral(".") + QString::fromUtf8(f.extension);
                                      });
  if (path.isEmpty()) return;
  if (const auto error = exportTo(path)) {
    QMessageBox::warning(this, QStringLiteral("Export"), QStringLiteral("Cannot write %1: %2").arg(path, *error));
  }
}

QStringList CListDlg::lines() const {
  QStringList out;
  for (int i = 0; i < list_->count(); ++i) out << list_->item(i)->text();
  return out;
}

bool CListDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && list_->currentItem() != nullptr) {
      emit list_->itemDoubleClicked(list_->currentItem());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void CListDlg::accept() { emit closeRequested(); }
void CListDlg::reject() { emit closeRequested(); }

}  // namespace tarvo::window

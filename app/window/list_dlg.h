// The eclipse list: a modeless window that lists the eclipses of a period
// meeting the search criteria, and asks its view to show one of them.
#pragma once

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

#include "app/window/field_check.h"
#include "circumstances/phase_seen.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tarvo::window {

struct WindowSession;

// The years the Search lists.
struct ListPeriod {
  double startYear = 0;
  double periodYears = 0;
};

class CListDlg : public QDialog {
  Q_OBJECT

 public:
  // The view owns one list dialog for its whole life; the window is shown by
  // open() and hidden again when the view asks.
  CListDlg(WindowSession& session, QWidget* view);

  // Fills the fields and the list as they are when the window opens.
  void prepareToOpen();
  // The period, or the first refused edit: Start Year, then Period(Years).
  Checked<ListPeriod> validate() const;
  // The Search button: a list search over the period, then the list refilled.
  void search();
  // The list's lines as shown (header first).
  QStringList lines() const;

  QListWidget* listBox() const { return list_; }
  QLineEdit* startYearEdit() const { return startYear_; }
  QLineEdit* periodEdit() const { return period_; }
  QPushButton* searchButton() const { return search_; }
  QPushButton* drawButton() const { return draw_; }
  // "Visible from site": the Search keeps the eclipses seen from the observing
  // site and shows after each line its class and greatest eclipse on the
  // site's clock.
  QCheckBox* visibleCheck() const { return visible_; }
  // "Phase seen": with "Visible from site", the phase that must be seen with
  // the Moon up (penumbral, partial or total, as --min-phase); "any" keeps
  // every eclipse whose class is not none.
  QComboBox* minPhaseBox() const { return minPhase_; }
  QPushButton* exportButton() const { return export_; }
  // Writes the list shown (the last Search's) to path as CSV, JSON or
  // iCalendar by its extension, as `tarvo list` writes it; the reason when it
  // cannot, nothing written then.
  std::optional<QString> exportTo(const QString& path);
  // The error texts of the last search, white on black as the view shows
  // them; hidden when it had none.
  QLabel* errorTexts() const { return errors_; }
  // The line under the list when a search stopped at the list's 100 entries,
  // naming the last date reached; hidden otherwise.
  QLabel* fullNote() const { return full_; }

 signals:
  // Draw: show the chosen eclipse.
  void drawRequested();
  // OK and Cancel: the view is asked to put the window away.
  void closeRequested();

 public slots:
  void accept() override;
  void reject() override;

 protected:
  // Enter on an eclipse's line draws it, as a double-click does.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fill();
  // The Search with "Visible from site" checked.
  void searchVisible(double start, double period);
  // Export…: asks for a file name, then exportTo.
  void exportList();

  WindowSession& session_;
  QListWidget* list_;
  QLabel* full_;
  // The fields of the search that produced the list shown (empty before one).
  QString searchedStart_, searchedPeriod_;
  QLineEdit* startYear_;
  QLineEdit* period_;
  QPushButton* search_;
  QPushButton* draw_;
  QLabel* errors_;
  QCheckBox* visible_;
  QComboBox* minPhase_;
  QPushButton* export_;
  // What the list shown came from: the Search's period and the check box.
  struct ShownList {
    double startYear, periodYears;
    bool withSite;
    std::optional<EclipsePhase> minPhase;
  };
  std::optional<ShownList> shown_;
  std::vector<std::string> seen_;  // each line's class and clock time, with the check box
};

}  // namespace tarvo::window

// ΔT from a Record…: statements about the eclipse shown, seen from the
// observing site, solved for ΔT as `tarvo record` solves them.
#pragma once

#include <QDialog>

#include <variant>
#include <vector>

#include "session/record_glue.h"

class QPlainTextEdit;
class QPushButton;

namespace tarvo::window {

class CRecordDlg : public QDialog {
  Q_OBJECT

 public:
  // record: the eclipse shown, the site and the search, taken when the
  // dialog opens.
  CRecordDlg(SessionRecord record, QWidget* parent = nullptr);

  // The statements typed, one a line (blank lines skipped), or the first
  // refused line's message ("line 2: unknown instant 'U5'").
  std::variant<std::vector<Statement>, QString> validate() const;
  // Solve: the statements solved and the answer shown as `tarvo record`
  // writes it; zonesRequested with the ΔT values found.
  void solve();

  QPlainTextEdit* statementsEdit() const { return statements_; }
  QPlainTextEdit* resultView() const { return result_; }
  QPushButton* solveButton() const { return solve_; }

 signals:
  // The ΔT values (s) the map is to draw its zone boundaries at: each
  // solution, or each bound of the ranges found; empty when nothing holds.
  void zonesRequested(const std::vector<double>& deltaTSeconds);

 private:
  SessionRecord record_;
  QPlainTextEdit* statements_;
  QPlainTextEdit* result_;
  QPushButton* solve_;
};

}  // namespace tarvo::window

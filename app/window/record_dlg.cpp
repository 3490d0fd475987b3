#include "app/window/record_dlg.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo::window {

CRecordDlg::CRecordDlg(SessionRecord record, QWidget* parent)
    : QDialog(parent), record_(std::move(record)) {
  setWindowTitle(QStringLiteral("ΔT from a Record"));
  auto* layout = new QVBoxLayout(this);
  auto* heading = new QLabel(QString::fromStdString(record_.context.eclipseText + "\n" + record_.context.siteText));
  layout->addWidget(heading);
  auto* prompt = new QLabel(QStringLiteral(
      "&Statements, one a line: an eclipse instant (P1 U1 U2 G U3 U4 P4), =, < or >, a night instant "
      "(sunset sunrise moonrise moonset midnight) and offsets in h, sh, us or min, such as "
      "\"U1 = moonrise + 1.5 h\"."));
  prompt->setWordWrap(true);
  layout->addWidget(prompt);
  statements_ = new QPlainTextEdit;
  statements_->setAccessibleName(QStringLiteral("Statements"));
  statements_->setTabChangesFocus(true);
  prompt->setBuddy(statements_);
  layout->addWidget(statements_, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  solve_ = buttons->addButton(QStringLiteral("S&olve"), QDialogButtonBox::ActionRole);
  solve_->setDefault(true);
  layout->addWidget(buttons);
  result_ = new QPlainTextEdit;
  result_->setReadOnly(true);
  result_->setAccessibleName(QStringLiteral("Result"));
  result_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  layout->addWidget(result_, 2);
  connect(solve_, &QPushButton::clicked, this, &CRecordDlg::solve);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  resize(640, 480);
}

std::variant<std::vector<Statement>, QString> CRecordDlg::validate() const {
  std::vector<Statement> out;
  const QStringList lines = statements_->toPlainText().split(QLatin1Char('\n'));
  for (int i = 0; i < lines.size(); ++i) {
    if (lines[i].trimmed().isEmpty()) continue;
    auto s = parseStatement(lines[i].toStdString());
    if (const auto* e = std::get_if<std::string>(&s))
      return QStringLiteral("line %1: %2").arg(i + 1).arg(QString::fromStdString(*e));
    const Statement& statement = std::get<Statement>(s);
    if (!eclipseInstantHours(record_.eclipse, statement.eclipse))
      return QStringLiteral("line %1: this eclipse has no such contact").arg(i + 1);
    out.push_back(statement);
  }
  if (out.empty()) return QStringLiteral("Type at least one statement, such as U1 = moonrise + 1.5 h.");
  return out;
}

void CRecordDlg::solve() {
  const auto read = validate();
  if (const auto* e = std::get_if<QString>(&read)) {
    result_->setPlainText(*e);
    emit zonesRequested({});
    return;
  }
  const std::vector<Statement>& statements = std::get<std::vector<Statement>>(read);
  const RecordResult r = solveSessionRecord(record_, statements);
  result_->setPlainText(QString::fromStdString(recordText(record_.context, statements, r)));
  std::vector<double> zones = r.solutionsSeconds;
  for (const DeltaTInterval& i : r.holds) {
    if (i.fromBounded) zones.push_back(i.fromSeconds);
    if (i.toBounded) zones.push_back(i.toSeconds);
  }
  emit zonesRequested(zones);
}

}  // namespace tarvo::window

// What the window writes (the session by Ctrl+S and Save As, the list's
// Export..., Export Picture, Print to PDF) is written whole or not at all:
// on a full disk the old file stays byte for byte and the message says why;
// the overwrite question names the file written; a session file replaced by
// something else since it was opened is not written through; the program's
// own data files are never written over.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include <functional>
#include <memory>

#include "app/window/child_frame.h"
#include "app/window/list_dlg.h"
#include "app/window/main_frame.h"
#include "app/window/vorn_app.h"
#include "app/window/vorn_doc.h"
#include "app/window/vorn_view.h"
#include "app/window/window_files.h"
#include "session/session_file.h"
#include "tests/slow_tests.h"
#include "tests/small_disk.h"
#include "tests/window/modal_answers.h"

using namespace tarvo::window;

namespace {

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

const QByteArray kOldSession = "TarvoWin session 1\nyear = 1999\nmonth = 7\n";

// A file dialog's answer: the name typed, then Save.
std::function<void(QWidget*)> typeName(const QString& path) {
  return [path](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    QVERIFY(dialog);
    dialog->setDirectory(QFileInfo(path).path());
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    edit->setText(QFileInfo(path).fileName());
    static_cast<QDialog*>(dialog)->accept();
  };
}

}  // namespace

class FilesTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
  void init();
  void cleanup() { app_.reset(); }
  void aFullDiskKeepsEveryOldFile();
  void aFailedSaveSaysWhyAndIsNoRecentFile();
  void theOverwriteQuestionNamesTheFileWritten();
  void ctrlSAsksWhenTheFileIsNoLongerTheSession();
  void theProgramsDataIsNeverWrittenOver();
  void aPictureTooLargeForTheMemoryIsSaid();

 private:
  CVornView* view() const { return app_->mainFrame()->activeView(); }
  CVornDoc* doc() const { return app_->activeDocument(); }
  std::unique_ptr<CVornApp> app_;
};

void FilesTest::init() {
  QSettings(QString::fromLatin1(CVornApp::kProfileKey), QStringLiteral("TarvoWin")).clear();
  app_ = std::make_unique<CVornApp>();
  QVERIFY(app_->initInstance());
  view()->paintPending();
}

// Each of the window's writers on a full disk: refused with the system's
// reason, the old file unchanged, no temporary file left behind.
void FilesTest::aFullDiskKeepsEveryOldFile() {
  // Room for a page printed at the printer's resolution (a few MiB).
  tarvo::testing::SmallDisk disk("16m");
  if (!disk.mounted()) QSKIP(disk.whyNot().c_str());
  const QString dir = QString::fromStdString(disk.path().string());
  CListDlg* list = view()->listDialog();
  view()->eclipseList();
  list->startYearEdit()->setText(QStringLiteral("2025"));
  list->periodEdit()->setText(QStringLiteral("20"));
  QTest::mouseClick(list->searchButton(), Qt::LeftButton);
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  struct Writer {
    QString name;
    std::function<std::optional<QString>(const QString&)> write;
  };
  const Writer writers[] = {
      {QStringLiteral("kept.tarvo"), [&](const QString& p) { return doc()->saveTo(p); }},
      {QStringLiteral("kept.csv"), [&](const QString& p) { return list->exportTo(p); }},
      {QStringLiteral("kept.png"), [&](const QString& p) { return view()->exportPictureTo(p, QSize(400, 300)); }},
      {QStringLiteral("kept.pdf"), [&](const QString& p) {
         printer.setOutputFileName(p);
         return view()->printTo(printer);
       }},
  };
  for (const Writer& w : writers) writeBytes(dir + QLatin1Char('/') + w.name, "old " + w.name.toUtf8());
  // Each writer works while there is room.
  for (const Writer& w : writers) QCOMPARE(w.write(dir + QStringLiteral("/room-") + w.name), std::nullopt);
  for (const Writer& w : writers) QFile::remove(dir + QStringLiteral("/room-") + w.name);
  disk.fill();
  const QStringList before = QDir(dir).entryList(QDir::Files | QDir::Hidden);
  for (const Writer& w : writers) {
    const QString path = dir + QLatin1Char('/') + w.name;
    const std::optional<QString> error = w.write(path);
    QVERIFY2(error && error->contains(QStringLiteral("No space left on device")), qPrintable(w.name));
    QCOMPARE(fileBytes(path), "old " + w.name.toUtf8());
  }
  QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), before);
}

// Ctrl+S on a full disk: a message naming the file and the reason, the file
// as it was, and the recent files without it.
void FilesTest::aFailedSaveSaysWhyAndIsNoRecentFile() {
  tarvo::testing::SmallDisk disk;
  if (!disk.mounted()) QSKIP(disk.whyNot().c_str());
  const QString path = QString::fromStdString((disk.path() / "full.tarvo").string());
  writeBytes(path, kOldSession);
  QVERIFY(app_->openDocument(path));
  QSettings(QString::fromLatin1(CVornApp::kProfileKey), QStringLiteral("TarvoWin")).clear();
  disk.fill();
  doc()->state().month = 8;
  QString said;
  {
    ModalAnswers answers({[&](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      QVERIFY(box);
      said = box->text();
      box->accept();
    }});
    app_->saveActive();
    QTRY_VERIFY_WITH_TIMEOUT(answers.done(), kModalWaitMs);
  }
  QCOMPARE(said, QStringLiteral("Cannot save %1: No space left on device").arg(path));
  QCOMPARE(fileBytes(path), kOldSession);
  QVERIFY(app_->recentFiles().isEmpty());
}

// Save As, Export... and Export Picture add the extension before asking
// whether to replace: "No" leaves the file and goes back to the dialog,
// "Yes" replaces it.
void FilesTest::theOverwriteQuestionNamesTheFileWritten() {
  QTemporaryDir dir;
  CListDlg* list = view()->listDialog();
  view()->eclipseList();
  QTest::mouseClick(list->searchButton(), Qt::LeftButton);
  const auto acceptSize = [](QWidget* w) {
    auto* edit = w->findChild<QLineEdit*>();
    QVERIFY(edit);
    QTest::keyClick(edit, Qt::Key_Return);
  };
  struct Command {
    QString typed, written;
    std::function<void()> start;
    QList<std::function<void(QWidget*)>> before;  // the windows before the file dialog
    QByteArray newStart;                          // how the new file begins
  };
  const Command commands[] = {
      {QStringLiteral("mysess"), QStringLiteral("mysess.tarvo"), [&] { app_->saveActiveAs(); }, {}, "TarvoWin session 1"},
      {QStringLiteral("mylist"), QStringLiteral("mylist.csv"), [&] { QTest::mouseClick(list->exportButton(), Qt::LeftButton); }, {}, "date_tt,"},
      {QStringLiteral("mypic"), QStringLiteral("mypic.png"), [&] { view()->exportPicture(); }, {acceptSize},
       "\x89PNG"},
  };
  for (const Command& c : commands) {
    const QString written = dir.filePath(c.written);
    writeBytes(written, "old");
    for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
      QString asked;
      QList<std::function<void(QWidget*)>> steps = c.before;
      steps << typeName(dir.filePath(c.typed)) << [&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        asked = box->text();
        box->button(answer)->click();
      };
      // After "No": the dialog again, offering the name; cancelled here.
      if (answer == QMessageBox::No) steps << [&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        QVERIFY(dialog);
        QCOMPARE(QFileInfo(dialog->selectedFiles().value(0)).fileName(), c.written);
        dialog->reject();
      };
      ModalAnswers answers(steps);
      c.start();
      QTRY_VERIFY_WITH_TIMEOUT(answers.done(), kModalWaitMs);
      QCOMPARE(asked, replaceQuestion(written));
      QVERIFY2(asked.startsWith(c.written + QStringLiteral(" already exists.")), qPrintable(asked));
      if (answer == QMessageBox::No) QCOMPARE(fileBytes(written), QByteArray("old"));
    }
    QVERIFY2(fileBytes(written).startsWith(c.newStart), qPrintable(c.written));
  }
  list->reject();
}

// The file a document came from, replaced since by a link, a folder, a pipe
// or a file that is no session: Ctrl+S asks for a name (Save As) and leaves
// it as it is. A session rewritten by another program is still saved to.
void FilesTest::ctrlSAsksWhenTheFileIsNoLongerTheSession() {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("mine.tarvo"));
  const QString other = dir.filePath(QStringLiteral("other.txt"));
  struct Case {
    QString why;
    std::function<void()> replace;
  };
  const Case cases[] = {
      {QStringLiteral("mine.tarvo has become a link"),
       [&] {
         writeBytes(other, "someone else's\n");
         QVERIFY(QFile::link(other, path));
       }},
      {QStringLiteral("mine.tarvo is no longer a file"), [&] { QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("mine.tarvo"))); }},
      {QStringLiteral("mine.tarvo is no longer a file"), [&] { QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0); }},
      {QStringLiteral("mine.tarvo is no longer a TarvoWin session"), [&] { writeBytes(path, "notes\n"); }},
  };
  for (const Case& c : cases) {
    writeBytes(path, kOldSession);
    CChildFrame* child = app_->openDocument(path);
    QVERIFY(child);
    QFile::remove(path);
    c.replace();
    const QFileInfo replaced(path);
    const QByteArray bytes = replaced.isFile() ? fileBytes(path) : QByteArray();
    QString title;
    {
      ModalAnswers answers({[&](QWidget* w) {
        title = w->windowTitle();
        static_cast<QDialog*>(w)->reject();
      }});
      app_->saveActive();
      QTRY_VERIFY_WITH_TIMEOUT(answers.done(), kModalWaitMs);
    }
    QVERIFY2(title.startsWith(c.why), qPrintable(title));
    QCOMPARE(QFileInfo(path).isSymLink(), replaced.isSymLink());
    QCOMPARE(QFileInfo(path).isDir(), replaced.isDir());
    if (replaced.isFile()) QCOMPARE(fileBytes(path), bytes);
    child->document()->markUnchanged();
    child->close();
    QFile::remove(path);
    QDir(dir.path()).rmdir(QStringLiteral("mine.tarvo"));
    QFile::remove(other);
  }
  // Rewritten as a session by another program: saved to without a question.
  writeBytes(path, kOldSession);
  QVERIFY(app_->openDocument(path));
  writeBytes(path, "TarvoWin session 1\nyear = 2001\nmonth = 1\n");
  app_->saveActive();
  QVERIFY(fileBytes(path).contains("year = 1999\n"));
}

// The catalogue, coastline and city files, in the data folder (the working
// directory) or the city list in use: refused by every writer, unchanged.
void FilesTest::theProgramsDataIsNeverWrittenOver() {
  QTemporaryDir data, config;
  const QString home = QDir::currentPath();
  QVERIFY(QDir::setCurrent(data.path()));
  const QString cityList = config.filePath(QStringLiteral("location.new"));
  setCityListInUse(QFile::encodeName(cityList).toStdString());
  writeBytes(cityList, "the user's cities\n");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(data.filePath(QStringLiteral("mcp00001p03000.prn")));
  const struct {
    QString path;
    std::optional<QString> error;
  } refusals[] = {
      {cityList, doc()->saveTo(cityList)},
      {data.filePath(QStringLiteral("location.new")), doc()->saveTo(data.filePath(QStringLiteral("location.new")))},
      {data.filePath(QStringLiteral("as_cil.cbd")),
       view()->exportPictureTo(data.filePath(QStringLiteral("as_cil.cbd")), QSize(40, 30))},
      {printer.outputFileName(), view()->printTo(printer)},
  };
  QVERIFY(QDir::setCurrent(home));
  setCityListInUse(QFile::encodeName(QDir(home).filePath(QStringLiteral("location.new"))).toStdString());
  for (const auto& r : refusals) {
    QVERIFY2(r.error && r.error->contains(QStringLiteral("it is the program's")), qPrintable(r.path));
    QCOMPARE(fileBytes(r.path), r.path == cityList ? QByteArray("the user's cities\n") : QByteArray());
  }
}

// The view's paint and Export Picture at 10000×10000 pixels with 250 MB of
// address space to spare: the message, never a crash. Run in a child process
// whose address space is limited.
void FilesTest::aPictureTooLargeForTheMemoryIsSaid() {
  if (TARVO_SLOW_TESTS_SKIPPED) QSKIP("the sanitizer's shadow memory does not fit in a limited address space");
  QTemporaryDir dir;
  const QString png = dir.filePath(QStringLiteral("big.png"));
  const QString said = dir.filePath(QStringLiteral("said"));
  const pid_t child = ::fork();
  QVERIFY(child >= 0);
  if (child == 0) {
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + (250ull << 20);
    const rlimit address{limit, limit};
    if (::setrlimit(RLIMIT_AS, &address) != 0) ::_exit(2);
    QString painted;
    connect(view(), &CVornView::statusMessage, [&](const QString& text) { painted = text; });
    view()->resize(10000, 10000);
    view()->paintPending();
    const std::optional<QString> exported = view()->exportPictureTo(png, QSize(10000, 10000));
    std::ofstream(QFile::encodeName(said).constData()) << painted.toStdString() << "\n"
                                                       << exported.value_or(QString()).toStdString() << "\n";
    ::_exit(0);
  }
  int status = 0;
  QCOMPARE(::waitpid(child, &status, 0), child);
  QVERIFY(WIFEXITED(status));
  QCOMPARE(WEXITSTATUS(status), 0);
  QCOMPARE(QString::fromUtf8(fileBytes(said)),
           QStringLiteral("not enough memory for a 10000\u00d710000 picture\nCannot export %1: not enough memory for "
                          "a 10000\u00d710000 picture\n")
               .arg(png));
  QVERIFY(!QFile::exists(png));
}

QTEST_MAIN(FilesTest)
#include "files_test.moc"

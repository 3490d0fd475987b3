#include "app/window/vorn_app.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QSettings>

#include "app/window/about_dlg.h"
#include "app/window/child_frame.h"
#include "app/window/main_frame.h"
#include "app/window/vorn_doc.h"
#include "app/window/vorn_view.h"
#include "app/window/window_files.h"
#include "circumstances/sites.h"
#include "session/session_file.h"

#include <clocale>

namespace tarvo::window {

namespace {
const QString kRecentGroup = QStringLiteral("Recent File List");
QString recentKey(int i) { return QStringLiteral("File%1").arg(i + 1); }
}  // namespace

CVornApp::CVornApp()
    : settings_(std::make_unique<QSettings>(QString::fromLatin1(kProfileKey),
                                            QStringLiteral("TarvoWin"))),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  // Qt takes the user's locale for the C library as well; numbers written
  // with printf (session files, the panel's texts, exports) keep '.' as the
  // decimal point whatever it is.
  std::setlocale(LC_NUMERIC, "C");
}

void CVornApp::setSiteDirectory(std::filesystem::path directory) {
  siteDirectory_ = std::move(directory);
  setCityListInUse(siteDirectory_ / kSiteFileName);
}

CVornApp::~CVornApp() = default;

bool CVornApp::initInstance(const QStringList& sessionFiles) {
  frame_ = std::make_unique<CMainFrame>(kRecentFiles);
  CMainFrame* frame = frame_.get();
  // Ctrl+N and Window › New Window: a further view of the active document.
  connect(frame, &CMainFrame::newRequested, this, [this] { newWindow(); });
  connect(frame, &CMainFrame::openRequested, this, &CVornApp::openWithDialog);
  connect(frame, &CMainFrame::saveRequested, this, &CVornApp::saveActive);
  connect(frame, &CMainFrame::saveAsRequested, this, &CVornApp::saveActiveAs);
  connect(frame, &CMainFrame::printRequested, this, &CVornApp::printActive);
  connect(frame, &CMainFrame::printSetupRequested, this, &CVornApp::printSetup);
  connect(frame, &CMainFrame::aboutRequested, this, &CVornApp::about);
  connect(frame, &CMainFrame::recentFileChosen, this, [this](const QString& path) { openDocument(path); });
  frame_->updateRecentFiles(recentFiles());
  bool opened = false;
  for (const QString& path : sessionFiles) opened = openDocument(path) != nullptr || opened;
  if (!opened && !newDocument()) return false;
  frame_->show();
  return true;
}

CVornDoc* CVornApp::activeDocument() const {
  CChildFrame* child = frame_ ? frame_->activeChild() : nullptr;
  return child ? child->document() : nullptr;
}

CChildFrame* CVornApp::showDocument(CVornDoc* document) {
  auto* child = new CChildFrame(document);
  child->setSaveQuestion([this](CChildFrame* c) { return askToSave(c); });
  frame_->addChildFrame(child);
  return child;
}

CChildFrame* CVornApp::newDocument() {
  return showDocument(new CVornDoc(QStringLiteral("Tarvo%1").arg(++untitledCount_), QString(),
                                   siteDirectory_, this));
}

CChildFrame* CVornApp::newWindow() {
  CVornDoc* doc = activeDocument();
  return doc ? showDocument(doc) : newDocument();
}

CChildFrame* CVornApp::openDocument(const QString& path) {
  // Only a session file is opened; anything else is refused and left as it
  // is. The session is whole (city list read, site resolved) before the new
  // view's first paint.
  auto* doc = new CVornDoc(QString(), QString(), siteDirectory_, this);
  if (const std::optional<QString> error = doc->load(path)) {
    delete doc;
    QMessageBox::warning(frame_.get(), QStringLiteral("TarvoWin"), *error);
    return nullptr;
  }
  CChildFrame* child = showDocument(doc);
  addRecentFile(path);
  return child;
}

void CVornApp::openWithDialog() {
  const QString path = QFileDialog::getOpenFileName(frame_.get(), QString(), QString(),
                                                    sessionFilter());
  if (!path.isEmpty()) openDocument(path);
}

QString CVornApp::sessionFilter() { return QStringLiteral("TarvoWin session (*.tarvo)"); }

void CVornApp::saveActive() {
  if (CChildFrame* child = frame_->activeChild()) saveDocument(child, false);
}

void CVornApp::saveActiveAs() {
  if (CChildFrame* child = frame_->activeChild()) saveDocument(child, true);
}

bool CVornApp::saveDocument(CChildFrame* child, bool askName) {
  CVornDoc* doc = child->document();
  QString path = doc->path();
  // A file that is no longer the session it was is not written through.
  const QString changed = askName ? QString() : doc->fileNoLongerOurs();
  if (path.isEmpty() || askName || !changed.isEmpty()) {
    // Save As: a document not opened from a session file gets a new file.
    const QString offered = path.isEmpty() ? doc->title() + QString::fromLatin1(kSessionFileExtension) : path;
    const QString extension = QString::fromLatin1(kSessionFileExtension);
    path = askFileToWrite(frame_.get(), changed.isEmpty() ? QString() : changed + QStringLiteral(": save as"),
                          offered, {sessionFilter()}, [&](const QString& chosen, int) {
                            return chosen.endsWith(extension) ? chosen : chosen + extension;
                          });
    if (path.isEmpty()) return false;
  }
  if (auto error = doc->saveTo(path)) {
    QMessageBox::warning(frame_.get(), QStringLiteral("TarvoWin"), *error);
    return false;
  }
  addRecentFile(path);
  return true;
}

bool CVornApp::askToSave(CChildFrame* child) {
  frame_->mdiArea()->setActiveSubWindow(child);
  const QMessageBox::StandardButton answer = QMessageBox::question(
      frame_.get(), QStringLiteral("TarvoWin"),
      QStringLiteral("Save the changes to %1?").arg(child->document()->title()),
      QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
  if (answer == QMessageBox::Discard) return true;
  if (answer == QMessageBox::Save) return saveDocument(child, false);
  return false;
}

void CVornApp::printActive() {
  CVornView* view = frame_->activeView();
  if (!view) return;
  QPrintDialog dialog(printer_.get(), frame_.get());
  if (dialog.exec() != QDialog::Accepted) return;
  if (const std::optional<QString> error = view->printTo(*printer_))
    QMessageBox::warning(frame_.get(), QStringLiteral("TarvoWin"), *error);
}

void CVornApp::printSetup() {
  QPageSetupDialog dialog(printer_.get(), frame_.get());
  dialog.exec();
}

void CVornApp::about() {
  CAboutDlg dialog(frame_.get());
  dialog.exec();
}

QStringList CVornApp::recentFiles() const {
  QStringList out;
  settings_->beginGroup(kRecentGroup);
  for (int i = 0; i < kRecentFiles; ++i) {
    const QString p = settings_->value(recentKey(i)).toString();
    if (!p.isEmpty()) out << p;
  }
  settings_->endGroup();
  return out;
}

void CVornApp::addRecentFile(const QString& path) {
  const QString full = QFileInfo(path).absoluteFilePath();
  QStringList list = recentFiles();
  list.removeAll(full);
  list.prepend(full);
  while (list.size() > kRecentFiles) list.removeLast();
  settings_->beginGroup(kRecentGroup);
  for (int i = 0; i < kRecentFiles; ++i) {
    if (i < list.size())
      settings_->setValue(recentKey(i), list[i]);
    else
      settings_->remove(recentKey(i));
  }
  settings_->endGroup();
  settings_->sync();
  frame_->updateRecentFiles(list);
}

}  // namespace tarvo::window

// The application object: the session every view shares, the main frame,
// the documents, the recent-file list and printing.
#pragma once

#include <QObject>
#include <QStringList>

#include <memory>

class QPrinter;
class QSettings;

namespace tarvo::window {

class CChildFrame;
class CMainFrame;
struct WindowSession;

class CVornApp : public QObject {
  Q_OBJECT

 public:
  static constexpr int kRecentFiles = 4;
  static constexpr const char* kProfileKey = "Local AppWizard-Generated Applications";

  CVornApp();
  ~CVornApp() override;

  // Creates the main frame with one document and its view, and shows it.
  bool initInstance();

  CMainFrame* mainFrame() const { return frame_.get(); }
  WindowSession& session() const { return *session_; }
  QPrinter& printer() const { return *printer_; }
  QStringList recentFiles() const;
  // The file dialogs' filter: session files.
  static QString sessionFilter();

 public slots:
  // A new document with its child frame and view.
  CChildFrame* newDocument();
  // Restores the session file into a new view titled by the file; nullptr
  // (and a message box naming the file and the reason) when the file is not
  // a session this program reads. The file is never written to then.
  CChildFrame* openDocument(const QString& path);
  void openWithDialog();
  // Ctrl+S: the session to the active document's file, asking for a name
  // (Save As) when the view was not opened from or saved to a session file.
  void saveActive();
  // Ctrl+P: the print dialog (a printer or a PDF file), then one page.
  void printActive();
  void printSetup();
  void about();

 private:
  void addRecentFile(const QString& path);

  std::unique_ptr<WindowSession> session_;
  std::unique_ptr<QSettings> settings_;
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<CMainFrame> frame_;
  int untitledCount_ = 0;
};

}  // namespace tarvo::window

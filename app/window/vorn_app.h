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

 public slots:
  // A new document with its child frame and view.
  CChildFrame* newDocument();
  // Another view of the session, titled by the file; nullptr (and a message
  // box) when the file cannot be read.
  CChildFrame* openDocument(const QString& path);
  void openWithDialog();
  // Ctrl+S: the active document to its file, asking for a name the first time.
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

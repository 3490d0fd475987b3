// The application object: the main frame, the documents (each with its own
// session), the recent-file list and printing.
#pragma once

#include <QObject>
#include <QStringList>

#include <filesystem>
#include <memory>

class QPrinter;
class QSettings;

namespace tarvo::window {

class CChildFrame;
class CMainFrame;
class CVornDoc;

class CVornApp : public QObject {
  Q_OBJECT

 public:
  static constexpr int kRecentFiles = 4;
  static constexpr const char* kProfileKey = "Local AppWizard-Generated Applications";

  CVornApp();
  ~CVornApp() override;

  // Where each new session reads the city list ("location.new" in it);
  // the working directory unless set before the first document.
  // Nothing the window writes may replace that city list.
  void setSiteDirectory(std::filesystem::path directory);

  // Creates the main frame and shows it: with the session files given, one
  // document for each that opens; without (or when none opens), one new
  // document. Its views' first paints come after this returns.
  bool initInstance(const QStringList& sessionFiles = {});

  CMainFrame* mainFrame() const { return frame_.get(); }
  // The document of the active view; nullptr with no view open.
  CVornDoc* activeDocument() const;
  QPrinter& printer() const { return *printer_; }
  QStringList recentFiles() const;
  // The file dialogs' filter: session files.
  static QString sessionFilter();

 public slots:
  // A new document with its own session, its child frame and view.
  CChildFrame* newDocument();
  // New Window: a further view of the active document (a new document when
  // none is open).
  CChildFrame* newWindow();
  // Restores the session file into a new document of its own, shown in a
  // new view titled by the file; nullptr (and a message box naming the file
  // and the reason) when the file is not a session this program reads. The
  // file is never written to then.
  CChildFrame* openDocument(const QString& path);
  void openWithDialog();
  // Ctrl+S: the session to the active document's file, asking for a name
  // (Save As) when the view was not opened from or saved to a session file,
  // or when that file has since become a link or something else.
  void saveActive();
  // Save As: the active document's session under a name asked for.
  void saveActiveAs();
  // The document of child saved (asking for a name when it has no file or
  // askName); false when cancelled or refused (the reason shown).
  bool saveDocument(CChildFrame* child, bool askName);
  // Closing the last view of a changed document: Save, Discard or Cancel;
  // true when the document may go.
  bool askToSave(CChildFrame* child);
  // Ctrl+P: the print dialog (a printer or a PDF file), then one page.
  void printActive();
  void printSetup();
  void about();

 private:
  void addRecentFile(const QString& path);
  CChildFrame* showDocument(CVornDoc* document);

  std::filesystem::path siteDirectory_ = ".";
  std::unique_ptr<QSettings> settings_;
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<CMainFrame> frame_;
  int untitledCount_ = 0;
};

}  // namespace tarvo::window

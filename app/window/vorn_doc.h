// The document: one session with its own values (the cursor, the display,
// the site, the search criteria, the options), shown by one or more views,
// and the session file (".tarvo") it was opened from or saved to. A new
// document has no file until it is saved under a name.
#pragma once

#include <QObject>
#include <QString>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace tarvo {
struct SessionState;
}

namespace tarvo::window {

struct WindowSession;

class CVornDoc : public QObject {
  Q_OBJECT

 public:
  // title: "Tarvo1", "Tarvo2", ... for a new document, the file name for an
  // opened one; path: empty until saved or opened (then a session file).
  // The session is made whole here: the city list of siteDirectory is read
  // and the first city becomes the site.
  CVornDoc(QString title, QString path, const std::filesystem::path& siteDirectory,
           QObject* parent = nullptr);
  ~CVornDoc() override;

  const QString& title() const { return title_; }
  const QString& path() const { return path_; }
  WindowSession& session() const { return *session_; }
  SessionState& state() const;

  // Restores the session file at path into this document's session before
  // any view paints it. Returns the message naming the file and the reason
  // when the file is not a session this program reads (or names a city the
  // list lacks); the session is then as it was.
  std::optional<QString> load(const QString& path);
  // Writes this document's session to path, replacing the file only when
  // the write succeeded. Returns the message naming the file and the reason
  // on failure.
  std::optional<QString> saveTo(const QString& path);
  // Why Ctrl+S should not write back to the document's file: since it was
  // opened or saved it has become a link, or something that is not a
  // session file (a folder, a pipe, another file); empty when it may.
  QString fileNoLongerOurs() const;

  // Changed: the session's settings differ from those last saved or opened,
  // as the first paint showed them (the landing may move the cursor); never
  // before the first paint.
  bool isModified() const;
  void markUnchanged();
  bool shownOnce() const { return !unchanged_.empty(); }

  // The views showing the document; the document goes with the last.
  void attachView();
  void detachView();
  int viewCount() const { return views_; }

 signals:
  void titleChanged(const QString& title);

 private:
  QString title_;
  QString path_;
  bool pathWasLink_ = false;  // path_ named a link when opened or saved
  std::unique_ptr<WindowSession> session_;
  std::string unchanged_;  // the session file's text when last unchanged
  int views_ = 0;
};

}  // namespace tarvo::window

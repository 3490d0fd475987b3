// The document: a session file (".tarvo") holding what the user chose in the
// view (the cursor, the display, the site, the search criteria, the options).
// A new document has no file until it is saved under a name.
#pragma once

#include <QObject>
#include <QString>

#include <optional>

namespace tarvo {
struct SessionState;
}

namespace tarvo::window {

class CVornDoc : public QObject {
  Q_OBJECT

 public:
  // title: "Tarvo1", "Tarvo2", ... for a new document, the file name for an
  // opened one; path: empty until saved or opened (then a session file).
  CVornDoc(QString title, QString path, QObject* parent = nullptr);

  const QString& title() const { return title_; }
  const QString& path() const { return path_; }

  // Writes the session file of `state` to path, replacing it only when the
  // write succeeded. Returns the message naming the file and the reason on
  // failure.
  std::optional<QString> saveTo(const QString& path, const SessionState& state);

 signals:
  void titleChanged(const QString& title);

 private:
  QString title_;
  QString path_;
};

}  // namespace tarvo::window

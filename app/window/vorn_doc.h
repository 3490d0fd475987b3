// The document: holds no data. Saving writes an empty file; opening a file
// shows another view of the same session.
#pragma once

#include <QObject>
#include <QString>

#include <optional>

namespace tarvo::window {

class CVornDoc : public QObject {
  Q_OBJECT

 public:
  // title: "Tarvo1", "Tarvo2", ... for a new document, the file name for an
  // opened one; path: empty until saved or opened.
  CVornDoc(QString title, QString path, QObject* parent = nullptr);

  const QString& title() const { return title_; }
  const QString& path() const { return path_; }

  // Writes the (empty) document to path, replacing it only when the write
  // succeeded. Returns the message naming the file and the reason on failure.
  std::optional<QString> saveTo(const QString& path);

 signals:
  void titleChanged(const QString& title);

 private:
  QString title_;
  QString path_;
};

}  // namespace tarvo::window

#include "app/window/vorn_doc.h"

#include <QFileInfo>
#include <QSaveFile>

namespace tarvo::window {

CVornDoc::CVornDoc(QString title, QString path, QObject* parent)
    : QObject(parent), title_(std::move(title)), path_(std::move(path)) {}

std::optional<QString> CVornDoc::saveTo(const QString& path) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return QStringLiteral("Cannot save %1: %2").arg(path, file.errorString());
  // The document has no data to write.
  if (!file.commit()) return QStringLiteral("Cannot save %1: %2").arg(path, file.errorString());
  path_ = path;
  title_ = QFileInfo(path).fileName();
  emit titleChanged(title_);
  return std::nullopt;
}

}  // namespace tarvo::window

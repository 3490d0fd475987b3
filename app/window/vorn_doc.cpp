#include "app/window/vorn_doc.h"

#include <QFileInfo>
#include <QSaveFile>

#include "session/session_file.h"

namespace tarvo::window {

CVornDoc::CVornDoc(QString title, QString path, QObject* parent)
    : QObject(parent), title_(std::move(title)), path_(std::move(path)) {}

std::optional<QString> CVornDoc::saveTo(const QString& path, const SessionState& state) {
  const std::string text = formatSessionFile(sessionSettingsOf(state));
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return QStringLiteral("Cannot save %1: %2").arg(path, file.errorString());
  if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) ||
      !file.commit())
    return QStringLiteral("Cannot save %1: %2").arg(path, file.errorString());
  path_ = path;
  title_ = QFileInfo(path).fileName();
  emit titleChanged(title_);
  return std::nullopt;
}

}  // namespace tarvo::window

#include "app/window/vorn_doc.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "app/time_zones.h"
#include "app/window/window_session.h"
#include "circumstances/sites.h"
#include "session/session_file.h"
#include "session/site_glue.h"

namespace tarvo::window {

CVornDoc::CVornDoc(QString title, QString path, const std::filesystem::path& siteDirectory,
                   QObject* parent)
    : QObject(parent), title_(std::move(title)), path_(std::move(path)),
      session_(std::make_unique<WindowSession>()) {
  readSessionCityList(session_->state, (siteDirectory / kSiteFileName).string());
}

CVornDoc::~CVornDoc() = default;

SessionState& CVornDoc::state() const { return session_->state; }

std::optional<QString> CVornDoc::load(const QString& path) {
  const SessionFileResult read = readSessionFile(std::string(QFile::encodeName(path).constData()));
  const auto refused = [&](const std::string& reason) {
    return QStringLiteral("Cannot open %1: %2").arg(path, QString::fromStdString(reason));
  };
  if (const auto* error = std::get_if<SessionFileError>(&read)) return refused(error->reason);
  if (const auto error = applySessionSettings(std::get<SessionSettings>(read), session_->state, &systemZoneDatabase()))
    return refused(error->reason);
  path_ = path;
  title_ = QFileInfo(path).fileName();
  emit titleChanged(title_);
  return std::nullopt;
}

std::optional<QString> CVornDoc::saveTo(const QString& path) {
  const std::string text = formatSessionFile(sessionSettingsOf(session_->state));
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return QStringLiteral("Cannot save %1: %2").arg(path, file.errorString());
  if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) ||
      !file.commit())
    return QStringLiteral("Cannot save %1: %2").arg(path, file.errorString());
  path_ = path;
  title_ = QFileInfo(path).fileName();
  unchanged_ = text;
  emit titleChanged(title_);
  return std::nullopt;
}

bool CVornDoc::isModified() const {
  return shownOnce() && formatSessionFile(sessionSettingsOf(session_->state)) != unchanged_;
}

void CVornDoc::markUnchanged() { unchanged_ = formatSessionFile(sessionSettingsOf(session_->state)); }

void CVornDoc::attachView() { ++views_; }

void CVornDoc::detachView() {
  if (--views_ == 0) deleteLater();
}

}  // namespace tarvo::window

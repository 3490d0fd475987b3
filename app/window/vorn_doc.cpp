#include "app/window/vorn_doc.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include "app/time_zones.h"
#include "app/window/window_files.h"
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
  pathWasLink_ = QFileInfo(path).isSymLink();
  title_ = QFileInfo(path).fileName();
  emit titleChanged(title_);
  return std::nullopt;
}

std::optional<QString> CVornDoc::saveTo(const QString& path) {
  const std::string text = formatSessionFile(sessionSettingsOf(session_->state));
  if (const std::optional<QString> why = writeWindowFile(path, text))
    return QStringLiteral("Cannot save %1: %2").arg(path, *why);
  path_ = path;
  pathWasLink_ = QFileInfo(path).isSymLink();
  title_ = QFileInfo(path).fileName();
  unchanged_ = text;
  emit titleChanged(title_);
  return std::nullopt;
}

QString CVornDoc::fileNoLongerOurs() const {
  if (path_.isEmpty()) return {};
  const std::string local(QFile::encodeName(path_).constData());
  struct stat info {};
  if (::lstat(local.c_str(), &info) != 0) return {};  // gone: written anew
  if (S_ISLNK(info.st_mode) && !pathWasLink_) return QStringLiteral("%1 has become a link").arg(title_);
  if (::stat(local.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
    return QStringLiteral("%1 is no longer a file").arg(title_);
  if (std::holds_alternative<SessionFileError>(readSessionFile(local)))
    return QStringLiteral("%1 is no longer a TarvoWin session").arg(title_);
  return {};
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

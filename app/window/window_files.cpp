#include "app/window/window_files.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "app/data_paths.h"
#include "base/file_write.h"
#include "circumstances/sites.h"

namespace tarvo::window {

namespace {
std::filesystem::path& cityListInUse() {
  static std::filesystem::path path = std::filesystem::path(".") / kSiteFileName;
  return path;
}

std::string localName(const QString& path) { return std::string(QFile::encodeName(path).constData()); }
}  // namespace

void setCityListInUse(std::filesystem::path siteFile) { cityListInUse() = std::move(siteFile); }

QString refusedWindowFile(const QString& path) {
  const std::string what =
      programDataFileAt(localName(path), localName(QDir::currentPath()), cityListInUse());
  // "the city list location.new" -> "it is the program's city list location.new"
  return what.empty() ? QString() : QStringLiteral("it is the program's %1").arg(QString::fromStdString(what.substr(4)));
}

std::optional<QString> writeWindowFile(const QString& path, std::string_view bytes) {
  if (const QString why = refusedWindowFile(path); !why.isEmpty()) return why;
  const FileWrite written = writeFileWhole(localName(path), bytes);
  if (!written.written()) return QString::fromStdString(written.error);
  return std::nullopt;
}

std::optional<QString> writeWindowFileWith(const QString& path,
                                           const std::function<std::string(const std::string&)>& writeTemporary) {
  if (const QString why = refusedWindowFile(path); !why.isEmpty()) return why;
  const FileWrite written = writeFileWholeWith(localName(path), writeTemporary);
  if (!written.written()) return QString::fromStdString(written.error);
  return std::nullopt;
}

QString replaceQuestion(const QString& path) {
  return QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(path).fileName());
}

QString askFileToWrite(QWidget* parent, const QString& caption, const QString& offered, const QStringList& filters,
                       const std::function<QString(const QString& path, int filterIndex)>& withExtension) {
  QString start = offered;
  for (;;) {
    QString filter;
    // The dialog's own question would be about the name before its
    // extension is added: it is asked here instead.
    const QString chosen = QFileDialog::getSaveFileName(parent, caption, start, filters.join(QStringLiteral(";;")),
                                                        &filter, QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty()) return {};
    const QString path = withExtension(chosen, std::max<int>(0, static_cast<int>(filters.indexOf(filter))));
    const QFileInfo target(path);
    if (!target.exists() && !target.isSymLink()) return path;
    if (QMessageBox::question(parent, caption, replaceQuestion(path), QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::No) == QMessageBox::Yes)
      return path;
    start = path;
  }
}

}  // namespace tarvo::window

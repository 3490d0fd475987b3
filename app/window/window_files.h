// The files the window writes (session files, list exports, pictures, PDF
// pages): whole or not at all, never over the program's own data, and the
// overwrite question asked about the name that is written.
#pragma once

#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace tarvo::window {

// The city list the window reads, so that nothing is written over it (the
// catalogue and coastline files are those of the working directory).
void setCityListInUse(std::filesystem::path siteFile);

// Why the window will not write path ("it is the program's city list
// location.new"); empty when it may.
QString refusedWindowFile(const QString& path);

// Writes bytes as the whole new content of path: the reason it was not
// written (the system's words, or the refusal above), nullopt when it was.
std::optional<QString> writeWindowFile(const QString& path, std::string_view bytes);

// The same for a writer that makes the file by name itself (the PDF printer):
// writeTemporary writes the named temporary file and returns why it failed,
// empty on success.
std::optional<QString> writeWindowFileWith(const QString& path,
                                           const std::function<std::string(const std::string&)>& writeTemporary);

// The save dialog, then the name as it will be written (withExtension adds
// the extension of the chosen filter to a name without one), then, when that
// file exists, the question whether to replace it; "No" goes back to the
// dialog. Empty when cancelled.
QString askFileToWrite(QWidget* parent, const QString& caption, const QString& offered, const QStringList& filters,
                       const std::function<QString(const QString& path, int filterIndex)>& withExtension);

// The overwrite question's text about path.
QString replaceQuestion(const QString& path);

}  // namespace tarvo::window

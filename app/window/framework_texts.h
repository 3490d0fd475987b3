// The application framework's own texts (the dialogs' range messages, the
// menu shown when no view is open) go through Qt's translation mechanism:
// written in English, shown in Japanese when the user's locale is Japanese.
#pragma once

#include <QLocale>
#include <QString>

class QCoreApplication;

namespace tarvo::window {

// The translation context of the framework's texts.
inline constexpr const char* kFrameworkContext = "Framework";

// One framework text in the installed language; english is its source text.
QString frameworkText(const char* english);

// Installs the translators for `locale` on the application: the framework's
// Japanese texts when the locale's language is Japanese, and Qt's own
// translations (print and file dialogs) for any language Qt ships. Returns
// the number of translators installed. Call once, before any window exists.
int installTranslations(QCoreApplication& app, const QLocale& locale);

}  // namespace tarvo::window

// tarvowin: the window.
//   tarvowin [--data DIR] [--screenshot FILE] [--startup-time] [SESSION...]
//   tarvowin --version | --help
// Finds its data directory as tarvo does (app/data_paths.h) and works in it.
// --screenshot: after the view's first paint, saves the main window as a PNG
// and quits. --startup-time: prints the milliseconds from start to the first
// painted view on standard error. Each SESSION file opens in a view of its own.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPixmap>
#include <QStatusBar>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "app/data_paths.h"
#include "catalogue/canon_cache.h"
#include "app/window/framework_texts.h"
#include "app/window/main_frame.h"
#include "app/window/vorn_app.h"
#include "app/window/vorn_view.h"
#include "surface/drawing_surface.h"

namespace {

constexpr const char* kUsage =
    "usage: tarvowin [--data DIR] [--screenshot FILE] [--startup-time] [SESSION...]\n"
    "       tarvowin --version\n";

struct WindowOptions {
  std::optional<std::filesystem::path> dataDirectory;
  QString screenshot;
  bool reportStartup = false;
  QStringList sessions;
};

// The options after Qt has taken its own (-platform, -style, ...). A path is
// made absolute here, before the program moves to its data directory.
std::optional<WindowOptions> parseOptions(const QStringList& arguments) {
  WindowOptions out;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    const bool takesValue = a == QLatin1String("--screenshot") || a == QLatin1String("--data");
    if (takesValue && (i + 1 >= arguments.size() || arguments[i + 1].isEmpty())) {
      std::fprintf(stderr, "tarvowin: option %s needs a value (%s)\n%s", qPrintable(a),
                   a == QLatin1String("--data") ? "a folder" : "a file", kUsage);
      return std::nullopt;
    }
    if (a == QLatin1String("--screenshot")) {
      out.screenshot = QFileInfo(arguments[++i]).absoluteFilePath();
    } else if (a == QLatin1String("--data")) {
      out.dataDirectory = arguments[++i].toStdString();
    } else if (a == QLatin1String("--startup-time")) {
      out.reportStartup = true;
    } else if (a.startsWith(QLatin1Char('-'))) {
      std::fprintf(stderr, "tarvowin: unknown option %s\n%s", qPrintable(a), kUsage);
      return std::nullopt;
    } else {
      out.sessions << QFileInfo(a).absoluteFilePath();
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer sinceStart;
  sinceStart.start();
  // Answered before Qt starts, so they work without a display.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::printf("%s", kUsage);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("tarvowin %s\n", TARVO_VERSION);
      return 0;
    }
  }

  // Without any display the platform would abort the program: say why.
  const auto unset = [](const char* name) {
    const char* v = std::getenv(name);
    return v == nullptr || *v == '\0';
  };
  if (unset("DISPLAY") && unset("WAYLAND_DISPLAY") && unset("QT_QPA_PLATFORM")) {
    std::fprintf(stderr,
                 "tarvowin: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); to draw without one use "
                 "QT_QPA_PLATFORM=offscreen tarvowin --screenshot FILE, or tarvo render\n");
    return 69;  // EX_UNAVAILABLE
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("TarvoWin"));
  QApplication::setApplicationVersion(QStringLiteral(TARVO_VERSION));
  // The desktop file, the icon and the metainfo carry this id.
  QGuiApplication::setDesktopFileName(QStringLiteral(TARVO_APP_ID));
  const std::optional<WindowOptions> options = parseOptions(QApplication::arguments());
  if (!options) return 64;

  // The program reads its files from the working directory: the data
  // directory found becomes it. Without one the view shows the missing
  // catalogue's texts, as it always has.
  const tarvo::DataLookupInputs places = tarvo::dataLookupInputsOfThisProcess(options->dataDirectory);
  const tarvo::DataLookup lookup = tarvo::findDataDirectory(places);
  if (lookup.directory && !QDir::setCurrent(QString::fromStdString(lookup.directory->string()))) {
    std::fprintf(stderr, "tarvowin: cannot use data directory %s\n", lookup.directory->c_str());
    return 64;
  }
  const QString notFound =
      lookup.directory ? QString() : QString::fromStdString(tarvo::describeNotFound(lookup));
  if (!notFound.isEmpty()) std::fprintf(stderr, "tarvowin: %s\n", qPrintable(notFound));

  tarvo::setDefaultCanonCacheDirectory(tarvo::findCacheDirectory(places));
  tarvo::window::installTranslations(app, QLocale::system());
  tarvo::window::CVornApp vorn;
  vorn.setSiteDirectory(tarvo::findSiteFile(places, {}).parent_path());
  // The session files given open as documents of their own; without any
  // (or when none opens), one new document.
  if (!vorn.initInstance(options->sessions)) return 1;
  if (!notFound.isEmpty()) vorn.mainFrame()->statusBar()->showMessage(notFound);

  // The view shown: the last document opened.
  tarvo::window::CVornView* view = vorn.mainFrame()->activeView();
  int status = 0;
  QObject::connect(view, &tarvo::window::CVornView::painted, &app, [&] {
    if (view->paintCount() != 1) return;
    if (options->reportStartup)
      std::fprintf(stderr, "tarvowin: first paint after %lld ms\n",
                   static_cast<long long>(sinceStart.elapsed()));
    if (options->screenshot.isEmpty()) return;
    // After this paint has reached the screen.
    QTimer::singleShot(0, &app, [&] {
      const std::string path = options->screenshot.toLocal8Bit().toStdString();
      if (const tarvo::FileWrite saved = tarvo::writePng(vorn.mainFrame()->grab().toImage(), path);
          !saved.written()) {
        std::fprintf(stderr, "tarvowin: cannot write %s: %s\n", path.c_str(), saved.error.c_str());
        status = 1;
      }
      QApplication::quit();
    });
  });
  const int rc = QApplication::exec();
  return status != 0 ? status : rc;
}

// tarvowin: the window. Reads its data from the working directory.
//   tarvowin [--screenshot FILE] [--startup-time]
// --screenshot: after the view's first paint, saves the main window as a PNG
// and quits. --startup-time: prints the milliseconds from start to the first
// painted view on standard error.
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <cstring>

#include "app/window/framework_texts.h"
#include "app/window/main_frame.h"
#include "app/window/vorn_app.h"
#include "app/window/vorn_view.h"
#include "core/drawing_surface.h"

int main(int argc, char** argv) {
  QElapsedTimer sinceStart;
  sinceStart.start();
  QString screenshot;
  bool reportStartup = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
      screenshot = QString::fromLocal8Bit(argv[++i]);
    } else if (std::strcmp(argv[i], "--startup-time") == 0) {
      reportStartup = true;
    } else if (std::strcmp(argv[i], "--help") == 0) {
      std::printf("usage: tarvowin [--screenshot FILE] [--startup-time]\n");
      return 0;
    }
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("TarvoWin"));
  tarvo::window::installTranslations(app, QLocale::system());
  tarvo::window::CVornApp vorn;
  if (!vorn.initInstance()) return 1;

  tarvo::window::CVornView* view = vorn.mainFrame()->activeView();
  int status = 0;
  QObject::connect(view, &tarvo::window::CVornView::painted, &app, [&] {
    if (view->paintCount() != 1) return;
    if (reportStartup)
      std::fprintf(stderr, "tarvowin: first paint after %lld ms\n",
                   static_cast<long long>(sinceStart.elapsed()));
    if (screenshot.isEmpty()) return;
    // After this paint has reached the screen.
    QTimer::singleShot(0, &app, [&] {
      const std::string path = screenshot.toLocal8Bit().toStdString();
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

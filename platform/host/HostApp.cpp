#include "HostApp.h"

#include <QApplication>
#include <QByteArray>
#include <QGuiApplication>
#include <cstdlib>
#include <mutex>

namespace {

std::function<void()> gDisplayLost;
QtMessageHandler gNextHandler = nullptr;

// Qt's X11 platform reports a broken connection with this warning, then calls exit() from
// inside its event processing: the last moment the program still runs.
void WatchForLostDisplay(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  gNextHandler(type, context, text);
  if (type == QtDebugMsg || type == QtInfoMsg || !text.startsWith(u"The X11 connection broke"))
    return;
  static std::once_flag once;
  std::call_once(once, [] {
    if (gDisplayLost) gDisplayLost();
  });
  // Not exit(): destructors of a half-dead display connection are no place to end in.
  std::_Exit(1);
}

}  // namespace

void HostEnsureApplication() {
  if (QCoreApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "korv";
  static char* argv[] = {name, nullptr};
  // Lives for the whole run: Qt's fonts and surfaces must outlive every cache that holds them.
  new QApplication(argc, argv);
}

void HostSetDisplayLostHandler(std::function<void()> handler) {
  gDisplayLost = std::move(handler);
  if (!gNextHandler) gNextHandler = qInstallMessageHandler(WatchForLostDisplay);
}

#include "HostApp.h"

#include <QApplication>
#include <QByteArray>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <cstdlib>
#include <mutex>
#include <string>

#include "ProgramIdentity.h"

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
  // The first argument names the program to X (WM_CLASS instance); Qt keeps the pointer.
  static std::string name = ProgramName();
  static int argc = 1;
  static char* argv[] = {name.data(), nullptr};
  HostFollowDesktopResolution();
  // Lives for the whole run: Qt's fonts and surfaces must outlive every cache that holds them.
  new QApplication(argc, argv);
  const QString id = QString::fromStdString(name);
  QCoreApplication::setApplicationName(id);  // WM_CLASS class
  QGuiApplication::setDesktopFileName(id);   // the Wayland application id
  QIcon icon;
  for (const ProgramIconImage& image : ProgramIcons()) {
    QPixmap size;
    if (size.loadFromData(reinterpret_cast<const uchar*>(image.png), uint(image.length), "PNG"))
      icon.addPixmap(size);
  }
  // Every window without one of its own shows it (_NET_WM_ICON on X).
  if (!icon.isNull()) QGuiApplication::setWindowIcon(icon);
}

void HostSetDisplayLostHandler(std::function<void()> handler) {
  gDisplayLost = std::move(handler);
  if (!gNextHandler) gNextHandler = qInstallMessageHandler(WatchForLostDisplay);
}

#include "HostApp.h"

#include <QApplication>
#include <QByteArray>
#include <QGuiApplication>

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

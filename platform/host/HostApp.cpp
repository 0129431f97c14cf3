#include "HostApp.h"

#include <QApplication>
#include <QByteArray>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <string>

#include "ProgramIdentity.h"

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

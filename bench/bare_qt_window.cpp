// The yardstick of startup_bench: a bare Qt 6 Widgets window of the main window's size with a
// few spin boxes, a combo box, a button and a green box like the space-required one, so the
// same pixel test finds its first paint. Built with Qt alone (bench/CMakeLists.txt).
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Bare Qt"));
  window.resize(297, 335);
  auto* form = new QFormLayout(&window);
  auto* orientation = new QComboBox;
  orientation->addItems({QStringLiteral("Portrait"), QStringLiteral("Landscape")});
  form->addRow(QStringLiteral("Orientation"), orientation);
  for (const char* label :
       {"Top Margin (mm)", "Staves", "Groups of", "Stave Height (mm)", "Gap Height (mm)"}) {
    auto* spin = new QDoubleSpinBox;
    spin->setValue(10);
    form->addRow(QString::fromUtf8(label), spin);
  }
  auto* space = new QLabel(QStringLiteral("142.5"));
  space->setFixedSize(89, 21);
  space->setAutoFillBackground(true);
  QPalette green = space->palette();
  green.setColor(QPalette::Window, QColor(0x00, 0x80, 0x00));
  space->setPalette(green);
  form->addRow(QStringLiteral("Space Required (mm)"), space);
  form->addRow(new QPushButton(QStringLiteral("Preview")));
  window.show();
  return app.exec();
}

#include <QApplication>

#include "gui/main_form.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("eitool-gui"));
  eitool::gui::TMainForm MainForm;
  MainForm.show();
  return QApplication::exec();
}

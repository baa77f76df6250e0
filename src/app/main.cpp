#include <QApplication>

#include "app/mainmdi.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Dorvane");
  TForm1 form;
  form.show();
  return QApplication::exec();
}

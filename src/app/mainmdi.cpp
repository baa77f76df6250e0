#include "app/mainmdi.h"

#include "platform/messages.h"

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QString("%1 %2").arg(dorvane::kProductName, dorvane::kVersionText));
  resize(640, 478);
}

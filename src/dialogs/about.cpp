#include "dialogs/about.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "platform/messages.h"
#include "platform/product.h"
#include "platform/qt/designscale.h"
#include "platform/qt/icons.h"
#include "platform/qt/named.h"

using dorvane::Named;

namespace {

void MakeBold(QLabel* label) {
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("About"));
  setModal(true);
  setFixedSize(297, 183);  // a fixed border: the box cannot be resized

  Panel1 = Named(new QFrame(this), "Panel1");
  Panel1->setGeometry(8, 8, 281, 137);
  Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);  // lowered outside, raised inside
  Panel1->setAccessibleName(QStringLiteral("About Dorvane"));

  ProgramIcon = Named(new QLabel(Panel1), "ProgramIcon");
  ProgramIcon->setGeometry(8, 8, 33, 33);
  ProgramIcon->setPixmap(dorvane::MakeIcon(dorvane::IconKind::Program).pixmap(33, 33));
  ProgramIcon->setScaledContents(true);
  ProgramIcon->setAccessibleName(QStringLiteral("Program icon"));

  ProductName = Named(new QLabel(Panel1), "ProductName");
  QFont mono(QStringLiteral("Courier New"));
  mono.setStyleHint(QFont::TypeWriter);
  mono.setPixelSize(24);
  mono.setBold(true);
  ProductName->setFont(mono);
  MakeBold(ProductName);
  ProductName->move(48, 8);

  Version = Named(new QLabel(Panel1), "Version");
  MakeBold(Version);
  Version->move(80, 40);

  Copyright = Named(new QLabel(Panel1), "Copyright");
  MakeBold(Copyright);
  Copyright->move(8, 80);

  OKButton = Named(new QPushButton(QStringLiteral("OK"), this), "OKButton");
  OKButton->setGeometry(111, 153, 75, 25);
  OKButton->setDefault(true);
  OKButton->setAutoDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

  // Drawn for a smaller font: the positions grow with the desktop's font.
  scale_ = dorvane::DesignScale(font());
  dorvane::ScaleDesign(this, scale_);
  FillTexts();
}

void TAboutBox::FillTexts() {
  setWindowTitle(QLatin1String(dorvane::kProductName));
  ProductName->setText(QLatin1String(dorvane::kProductName));
  Version->setText(QStringLiteral("Version ") + QLatin1String(dorvane::kVersionText));
  Copyright->setText(QString::fromUtf8(dorvane::kCopyrightText));
  for (QLabel* label : {ProductName, Version, Copyright}) label->adjustSize();
  // A larger desktop font widens the box rather than cutting the copyright.
  int right = 0;
  for (QLabel* label : {ProductName, Version, Copyright})
    right = std::max(right, label->geometry().right());
  const int margin = dorvane::Scaled(8, scale_);
  const int width = std::max(dorvane::Scaled(297, scale_), right + 3 * margin + 1);
  Panel1->resize(width - 2 * margin, Panel1->height());
  OKButton->move((width - OKButton->width()) / 2, OKButton->y());
  setFixedSize(width, dorvane::Scaled(183, scale_));
}

void TAboutBox::ShowModal() {
  FillTexts();
  if (const QScreen* s = screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(s->availableGeometry().center());
    move(frame.topLeft());
  }
  OKButton->setFocus();
  exec();
}

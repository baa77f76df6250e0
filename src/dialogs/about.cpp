#include "dialogs/about.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "platform/messages.h"
#include "platform/product.h"
#include "platform/qt/icons.h"
#include "platform/qt/named.h"

using dorvane::Named;

namespace {

void MakeBold(QLabel* label) {
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::black);
  label->setPalette(palette);
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

  ProgramIcon = Named(new QLabel(Panel1), "ProgramIcon");
  ProgramIcon->setGeometry(8, 8, 33, 33);
  ProgramIcon->setPixmap(dorvane::MakeIcon(dorvane::IconKind::Program).pixmap(33, 33));
  ProgramIcon->setScaledContents(true);

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

  FillTexts();
}

void TAboutBox::FillTexts() {
  setWindowTitle(QLatin1String(dorvane::kProductName));
  ProductName->setText(QLatin1String(dorvane::kProductName));
  Version->setText(QStringLiteral("Version ") + QLatin1String(dorvane::kVersionText));
  Copyright->setText(QString::fromUtf8(dorvane::kCopyrightText));
  for (QLabel* label : {ProductName, Version, Copyright}) label->adjustSize();
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

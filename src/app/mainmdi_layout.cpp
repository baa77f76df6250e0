// Building the main window: the menu, the tool buttons, the three pages with their controls at
// the design positions, and the window's first size. The handlers and sequences are in mainmdi.cpp.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSizeGrip>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/controls.h"
#include "app/costchart.h"
#include "app/mainmdi.h"
#include "app/reportview.h"
#include "app/windowtariff.h"
#include "capture/callstore.h"
#include "capture/modemlog.h"
#include "charges/bandedit.h"
#include "charges/gridpricing.h"
#include "dialogs/about.h"
#include "dialogs/costedit.h"
#include "platform/ascii.h"
#include "platform/error.h"
#include "platform/qt/designscale.h"
#include "platform/qt/icons.h"
#include "platform/qt/named.h"
#include "platform/qt/printing.h"
#include "platform/qt/qtext.h"
#include "reports/logbook.h"
#include "reports/reportperiod.h"
#include "reports/statisticslabels.h"
#include "session/onlinecall.h"
#include "settings/closestate.h"
#include "settings/settingsfile.h"

using dorvane::IconKind;
using dorvane::MakeIcon;
using dorvane::TDateTime;

using dorvane::Named;
using dorvane::Scaled;

namespace {

// The client area that the 640 x 478 window leaves inside its frame, and the room the pages
// need for the design positions of their controls.
constexpr int kClientWidth = 632;
constexpr int kClientHeight = 451;
constexpr int kPageWidth = 624;
constexpr int kPageHeight = 329;

// The grid's top within its group box: below the tariff history's row.
constexpr int kGridTop = 46;

// A statistics label's caption and the colour of its value; the design's black is the palette's
// own text colour.
QString CaptionOf(dorvane::AnalysisLabel label) {
  return QLatin1String(dorvane::StatisticsLabelOf(label).caption);
}

QColor ValueColourOf(dorvane::AnalysisLabel label) {
  const dorvane::TextColor colour = dorvane::StatisticsLabelOf(label).color;
  return colour == dorvane::TextColor::Black ? QColor() : dorvane::TextQColor(colour);
}

// The design's colours are dark ones for a light window; on a dark palette the same hue is
// lightened so that the value stays readable.
QColor ReadableColour(const QColor& colour, const QPalette& palette) {
  if (palette.color(QPalette::Window).lightness() >= 128) return colour;
  return QColor::fromHsl(colour.hslHue(), colour.hslSaturation(), 190);
}

// A hint is the status bar's text under the mouse and, for a screen reader, the control's
// accessible description.
template <typename W>
void SetHint(W* control, const QString& hint) {
  control->setStatusTip(hint);
  control->setAccessibleDescription(hint);
}

void SetTag(QObject* object, int tag) {
  object->setProperty("tag", tag);
}

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
  auto* label = Named(new QLabel(text, parent), name);
  label->adjustSize();
  label->move(left, top);
  return label;
}

// A caption label that ends at `right`, as the captions before a column of values do.
QLabel* AddRightLabel(QWidget* parent, const char* name, const QString& text, int right, int top) {
  auto* label = Named(new QLabel(text, parent), name);
  label->adjustSize();
  label->setAlignment(Qt::AlignRight | Qt::AlignTop);
  label->move(right - label->width(), top);
  return label;
}

// A value label: empty until a report fills it, wide enough for what it will hold. The design's
// black keeps the palette's own text colour.
QLabel* AddValueLabel(QWidget* parent, const char* name, int left, int top, int width,
                      const QColor& colour, const char* hint) {
  auto* label = Named(new QLabel(parent), name);
  label->setGeometry(left, top, width, label->fontMetrics().height() + 2);
  if (colour.isValid()) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ReadableColour(colour, palette));
    label->setPalette(palette);
  }
  if (hint != nullptr) SetHint(label, QLatin1String(hint));
  return label;
}

// The caption is the value's label: a screen reader says the caption (without its colon) as
// the value's name and the value as its text, once each.
void LabelValue(QLabel* caption, QLabel* value, const QString& name) {
  caption->setBuddy(value);
  value->setAccessibleName(name);
}

QGroupBox* AddGroupBox(QWidget* parent, const char* name, const QString& title, QRect rect) {
  auto* box = Named(new QGroupBox(title, parent), name);
  box->setGeometry(rect);
  // The frame runs through the middle of the caption, so that the controls at the design's
  // positions sit inside it.
  static dorvane::TGroupBoxStyle* const groupBoxStyle = new dorvane::TGroupBoxStyle;
  box->setStyle(groupBoxStyle);
  return box;
}

// The width a push button needs for its caption and picture; a button narrower than that is
// widened, keeping its left edge or, for a centred button, its centre.
void WidenToFit(QPushButton* button, bool keepCentre) {
  const QFontMetrics metrics = button->fontMetrics();
  QString caption = button->text();
  caption.remove(QLatin1Char('&'));
  int needed = metrics.horizontalAdvance(caption) + 16;
  if (!button->icon().isNull()) needed += button->iconSize().width() + 4;
  if (needed <= button->width()) return;
  QRect rect = button->geometry();
  if (keepCentre) rect.moveLeft(rect.left() - (needed - rect.width()) / 2);
  rect.setWidth(needed);
  button->setGeometry(rect);
}

QPushButton* AddButton(QWidget* parent, const char* name, const QString& caption, QRect rect,
                       const QIcon& icon = QIcon(), bool keepCentre = false) {
  auto* button = Named(new QPushButton(caption, parent), name);
  button->setGeometry(rect);
  if (!icon.isNull()) {
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
  }
  WidenToFit(button, keepCentre);
  return button;
}

QAction* AddAction(QMenu* menu, const char* name, const QString& caption,
                   const QKeySequence& shortcut) {
  auto* action = Named(menu->addAction(caption), name);
  action->setShortcut(shortcut);
  // Menu items carry no hint: hovering one clears the status bar.
  action->setStatusTip(QString());
  return action;
}

QAction* AddSeparator(QMenu* menu, const char* name) {
  return Named(menu->addSeparator(), name);
}

}  // namespace

TForm1::TForm1(dorvane::AppServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)) {
  setObjectName(QStringLiteral("Form1"));
  // The window follows the desktop's font; the controls keep the design's positions and widen
  // where a caption needs it.
  setWindowIcon(MakeIcon(IconKind::Program));

  BuildMenu();

  auto* central = new QWidget(this);
  central->setAccessibleName(QStringLiteral("Dorvane"));
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  BuildToolPanel();
  column->addWidget(Panel1);
  PageControl1 = Named(new QTabWidget(central), "PageControl1");
  TabSheet1 = Named(new QWidget, "TabSheet1");
  TabSheet2 = Named(new QWidget, "TabSheet2");
  TabSheet3 = Named(new QWidget, "TabSheet3");
  SetTag(TabSheet1, 1);
  SetTag(TabSheet2, 2);
  SetTag(TabSheet3, 3);
  PageControl1->addTab(TabSheet1, QStringLiteral("Costs Analysis"));
  PageControl1->addTab(TabSheet2, QStringLiteral("Logbook Report"));
  PageControl1->addTab(TabSheet3, QStringLiteral("Options"));
  PageControl1->setAccessibleName(QStringLiteral("Pages"));
  if (auto* stack = PageControl1->findChild<QWidget*>(QStringLiteral("qt_tabwidget_stackedwidget")))
    stack->setAccessibleName(QStringLiteral("Page"));
  for (int i = 0; i < PageControl1->count(); ++i)
    PageControl1->widget(i)->setAccessibleName(PageControl1->tabText(i));
  column->addWidget(PageControl1, 1);
  setCentralWidget(central);
  BuildCostsAnalysisPage();
  BuildLogbookPage();
  BuildOptionsPage();
  BuildBillControls();
  // Drawn for a smaller font: every position grows with the desktop's font.
  scale_ = dorvane::DesignScale(font());
  dorvane::ScaleDesign(Panel1, scale_);
  Panel1->setFixedHeight(Scaled(Panel1->height(), scale_));
  for (QWidget* page : {TabSheet1, TabSheet2, TabSheet3}) dorvane::ScaleDesign(page, scale_);

  StatusBar1 = Named(new QStatusBar(this), "StatusBar1");
  StatusBar1->setFixedHeight(std::max(19, StatusBar1->fontMetrics().height() + 6));
  StatusBar1->setAccessibleName(QStringLiteral("Status"));
  for (QSizeGrip* grip : StatusBar1->findChildren<QSizeGrip*>())
    grip->setAccessibleName(QStringLiteral("Resize the window"));
  setStatusBar(StatusBar1);

  // Only the user's choice of a page runs the page-change handler; the program blocks the
  // signal when it turns a page itself.
  connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::PageControl1Change);
  // Hints go to the status bar, never into pop-up tips.
  qApp->installEventFilter(this);

  FitInitialSize();
  OrderTabs();
  FormCreate();
  // The dialogs come after the main window and live as long as it does.
  frmCostEditor = new TfrmCostEditor(services_.regional, services_.messages, this);
  AboutBox = new TAboutBox(this);
}

// Out of line, where the owned core objects are complete types.
TForm1::~TForm1() = default;

void TForm1::BuildMenu() {
  QMenuBar* bar = Named(menuBar(), "MainMenu1");
  bar->setNativeMenuBar(false);
  bar->setAccessibleName(QStringLiteral("Menu"));
  File1 = Named(bar->addMenu(QStringLiteral("&File")), "File1");
  Print1 = AddAction(File1, "Print1", QStringLiteral("&Print..."), QKeySequence::Print);
  PrintSetup1 = AddAction(File1, "PrintSetup1", QStringLiteral("P&rint Setup..."),
                          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
  N1 = AddSeparator(File1, "N1");
  Exit1 = AddAction(File1, "Exit1", QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q));
  // The buttons of the pages, so that each command has a menu item and a shortcut as well.
  Report1 = Named(bar->addMenu(QStringLiteral("&Report")), "Report1");
  CreateReport1 = AddAction(Report1, "CreateReport1", QStringLiteral("&Create Report"),
                            QKeySequence(Qt::Key_F5));
  CurrentPeriod1 = AddAction(Report1, "CurrentPeriod1", QStringLiteral("C&urrent Billing Period"),
                             QKeySequence(Qt::CTRL | Qt::Key_F5));
  PreviousPeriod1 =
      AddAction(Report1, "PreviousPeriod1", QStringLiteral("Pre&vious Billing Period"),
                QKeySequence(Qt::SHIFT | Qt::Key_F5));
  DeleteData1 = AddAction(Report1, "DeleteData1", QStringLiteral("&Delete All Modem Calls..."),
                          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete));
  DesktopRegional1 = AddAction(Report1, "DesktopRegional1",
                               QStringLiteral("&Use the Desktop's Regional Settings..."),
                               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_U));
  Charges1 = Named(bar->addMenu(QStringLiteral("Char&ges")), "Charges1");
  NewBand1 = AddAction(Charges1, "NewBand1", QStringLiteral("&New..."), QKeySequence::New);
  EditBand1 =
      AddAction(Charges1, "EditBand1", QStringLiteral("&Edit..."), QKeySequence(Qt::Key_F2));
  DeleteBand1 = AddAction(Charges1, "DeleteBand1", QStringLiteral("&Delete"),
                          QKeySequence(Qt::CTRL | Qt::Key_D));
  NewTable1 = AddAction(Charges1, "NewTable1", QStringLiteral("New &Table..."),
                        QKeySequence(Qt::CTRL | Qt::Key_T));
  DeleteTable1 = AddAction(Charges1, "DeleteTable1", QStringLiteral("Delete T&able"),
                           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T));
  Holidays1 = AddAction(Charges1, "Holidays1", QStringLiteral("&Holidays..."),
                        QKeySequence(Qt::CTRL | Qt::Key_H));
  Help1 = Named(bar->addMenu(QStringLiteral("&Help")), "Help1");
  Contents1 = AddAction(Help1, "Contents1", QStringLiteral("&Contents"), QKeySequence(Qt::Key_F1));
  HowtoUseHelp1 = AddAction(Help1, "HowtoUseHelp1", QStringLiteral("&How to Use Help"),
                            QKeySequence(Qt::SHIFT | Qt::Key_F1));
  LowerCost1 = AddAction(Help1, "LowerCost1", QStringLiteral("&Lower Cost"),
                         QKeySequence(Qt::CTRL | Qt::Key_L));
  ChargesHelp1 = AddAction(Help1, "ChargesHelp1", QStringLiteral("Help on the C&harges"),
                           QKeySequence(Qt::CTRL | Qt::Key_F1));
  N3 = AddSeparator(Help1, "N3");
  KeltrixHomepage1 = AddAction(Help1, "KeltrixHomepage1", QStringLiteral("&Keltrix Home Page"),
                               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H));
  N2 = AddSeparator(Help1, "N2");
  About1 =
      AddAction(Help1, "About1", QStringLiteral("&About..."), QKeySequence(Qt::CTRL | Qt::Key_B));

  connect(Print1, &QAction::triggered, this, &TForm1::Print1Click);
  connect(PrintSetup1, &QAction::triggered, this, &TForm1::PrintSetup1Click);
  connect(Exit1, &QAction::triggered, this, &TForm1::Exit1Click);
  connect(Contents1, &QAction::triggered, this, &TForm1::Contents1Click);
  connect(HowtoUseHelp1, &QAction::triggered, this, &TForm1::HowtoUseHelp1Click);
  connect(KeltrixHomepage1, &QAction::triggered, this, &TForm1::KeltrixHomepage1Click);
  connect(About1, &QAction::triggered, this, &TForm1::About1Click);
  connect(LowerCost1, &QAction::triggered, this, &TForm1::BitBtn7Click);
  connect(ChargesHelp1, &QAction::triggered, this, &TForm1::BitBtn6Click);
  connect(CreateReport1, &QAction::triggered, this, &TForm1::btnCreateClick);
  connect(DeleteData1, &QAction::triggered, this, &TForm1::btnDeleteDataClick);
  connect(DesktopRegional1, &QAction::triggered, this, &TForm1::btnDesktopRegionalClick);
  connect(NewBand1, &QAction::triggered, this, &TForm1::btnNewClick);
  connect(EditBand1, &QAction::triggered, this, &TForm1::btnEditClick);
  connect(DeleteBand1, &QAction::triggered, this, &TForm1::btnDeleteClick);
  connect(CurrentPeriod1, &QAction::triggered, this, &TForm1::btnCurrentPeriodClick);
  connect(PreviousPeriod1, &QAction::triggered, this, &TForm1::btnPreviousPeriodClick);
  connect(NewTable1, &QAction::triggered, this, &TForm1::btnNewTableClick);
  connect(DeleteTable1, &QAction::triggered, this, &TForm1::btnDeleteTableClick);
  connect(Holidays1, &QAction::triggered, this, &TForm1::btnHolidaysClick);
}

void TForm1::BuildToolPanel() {
  Panel1 = Named(new QFrame, "Panel1");
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setFixedHeight(57);
  Panel1->setAccessibleName(QStringLiteral("Tool buttons"));
  struct Tool {
    QToolButton*& button;
    const char* name;
    int left;
    const char* caption;
    IconKind icon;
    void (TForm1::*onClick)();
  };
  const Tool tools[] = {
      {SpeedButton1, "SpeedButton1", 8, "Exit", IconKind::Exit, &TForm1::Exit1Click},
      {SpeedButton3, "SpeedButton3", 80, "Print", IconKind::Print, &TForm1::Print1Click},
      {SpeedButton4, "SpeedButton4", 168, "Help", IconKind::Help, &TForm1::Contents1Click},
      {SpeedButton5, "SpeedButton5", 232, "Lower Cost", IconKind::LowerCost, &TForm1::BitBtn7Click},
      {SpeedButton2, "SpeedButton2", 320, "About", IconKind::About, &TForm1::About1Click},
  };
  int nextLeft = 0;  // a wider caption pushes the buttons after it to the right
  for (const Tool& tool : tools) {
    auto* button = Named(new QToolButton(Panel1), tool.name);
    button->setText(QLatin1String(tool.caption));
    button->setIcon(MakeIcon(tool.icon));
    button->setIconSize(QSize(20, 20));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    // A caption wider than the design's button widens it to the right.
    const int width = std::max(57, button->fontMetrics().horizontalAdvance(button->text()) + 8);
    const int height = std::max(41, button->sizeHint().height());
    button->setGeometry(std::max(tool.left, nextLeft), 8, width, height);
    nextLeft = button->geometry().right() + 8;
    Panel1->setFixedHeight(std::max(Panel1->height(), height + 16));
    connect(button, &QToolButton::clicked, this, tool.onClick);
    tool.button = button;
  }
}

void TForm1::BuildCostsAnalysisPage() {
  // The design's boxes are widened to the left, into free space of the page, so that the longer
  // captions of this font fit before the value column.
  constexpr int kBoxLeft = 208;
  constexpr int kBoxWidth = 409;
  constexpr int kCaptionRight = 310;
  constexpr int kValueLeft = 316;
  constexpr int kValueWidth = kBoxWidth - kValueLeft - 6;
  GroupBox4 = AddGroupBox(TabSheet1, "GroupBox4", QString(), QRect(kBoxLeft, 200, kBoxWidth, 60));
  using dorvane::AnalysisLabel;
  Label8 =
      AddLabel(GroupBox4, "Label8",
               QLatin1String(dorvane::StatisticsLabelOf(AnalysisLabel::LowestCost).lead), 8, 16);
  Label10 =
      AddRightLabel(GroupBox4, "Label10", CaptionOf(AnalysisLabel::LowestCost), kCaptionRight, 16);
  Label11 =
      AddRightLabel(GroupBox4, "Label11", CaptionOf(AnalysisLabel::HighestCost), kCaptionRight, 40);
  lblLowestCost = AddValueLabel(GroupBox4, "lblLowestCost", kValueLeft, 16, kValueWidth,
                                ValueColourOf(AnalysisLabel::LowestCost),
                                "This is how much the cost for the selected period would have "
                                "been if you had only called at the lowest charge");
  lblHighestCost = AddValueLabel(GroupBox4, "lblHighestCost", kValueLeft, 40, kValueWidth,
                                 ValueColourOf(AnalysisLabel::HighestCost),
                                 "This is how much the cost for the selected period would have "
                                 "been if you had only called at the highest charge");
  // The captions of this box follow "If you had always called at" on its first line, so its
  // values can start left of the other box's: a total with its difference, such as
  // "$56.24 (($80.18))", then fits.
  const int captionRight =
      Label8->geometry().right() + 6 + std::max(Label10->width(), Label11->width());
  for (QLabel* caption : {Label10, Label11}) {
    caption->move(captionRight - caption->width(), caption->y());
  }
  for (QLabel* value : {lblLowestCost, lblHighestCost}) {
    value->setGeometry(captionRight + 6, value->y(), kBoxWidth - captionRight - 12,
                       value->height());
  }

  GroupBox5 = AddGroupBox(TabSheet1, "GroupBox5", QString(), QRect(kBoxLeft, 264, kBoxWidth, 57));
  Label12 = AddRightLabel(GroupBox5, "Label12", CaptionOf(AnalysisLabel::EstimatedMonthlyCost),
                          kCaptionRight, 16);
  Label13 = AddRightLabel(GroupBox5, "Label13", CaptionOf(AnalysisLabel::MonthlyCostDuringPeriod),
                          kCaptionRight, 36);
  lblEstimatedMonthlyCost =
      AddValueLabel(GroupBox5, "lblEstimatedMonthlyCost", kValueLeft, 16, kValueWidth,
                    ValueColourOf(AnalysisLabel::EstimatedMonthlyCost),
                    "This is how much the cost for this month is expected to be based on calls "
                    "made so far");
  lblMonthlyCostDuringPeriod = AddValueLabel(
      GroupBox5, "lblMonthlyCostDuringPeriod", kValueLeft, 36, kValueWidth,
      ValueColourOf(AnalysisLabel::MonthlyCostDuringPeriod),
      "This is how much the calculated monthly cost has been for the selected period");
  // A larger font may need more than the design's columns: the captions keep their text whole,
  // and both boxes widen to the right so that a value keeps the room of its longest form.
  const int captionRight5 =
      std::max(kCaptionRight, std::max(Label12->width(), Label13->width()) + 8);
  for (QLabel* caption : {Label12, Label13})
    caption->move(captionRight5 - caption->width(), caption->y());
  const QFontMetrics metrics = fontMetrics();
  const int boxWidth = std::max(
      {kBoxWidth,
       captionRight + 12 + metrics.horizontalAdvance(QStringLiteral("$0,000.00 (+$0,000.00)")),
       captionRight5 + 12 + metrics.horizontalAdvance(QStringLiteral("$00,000.00"))});
  for (QGroupBox* box : {GroupBox4, GroupBox5}) box->resize(boxWidth, box->height());
  for (QLabel* value : {lblLowestCost, lblHighestCost})
    value->resize(boxWidth - captionRight - 12, value->height());
  for (QLabel* value : {lblEstimatedMonthlyCost, lblMonthlyCostDuringPeriod})
    value->setGeometry(captionRight5 + 6, value->y(), boxWidth - captionRight5 - 12,
                       value->height());

  LabelValue(Label10, lblLowestCost, Label8->text() + ' ' + Label10->text().chopped(1));
  LabelValue(Label11, lblHighestCost, Label8->text() + ' ' + Label11->text().chopped(1));
  LabelValue(Label12, lblEstimatedMonthlyCost, Label12->text().chopped(1));
  LabelValue(Label13, lblMonthlyCostDuringPeriod, Label13->text().chopped(1));
  // The boxes have no caption on the screen; a screen reader still says what they hold.
  GroupBox4->setAccessibleName(QStringLiteral("Cost at the lowest and highest charge"));
  GroupBox5->setAccessibleName(QStringLiteral("Monthly cost"));

  // The chart takes the room left of the boxes, and all the room a larger window adds.
  chartCost = Named(new dorvane::TCostChart(services_.regional, TabSheet1), "chartCost");
  chartCost->setGeometry(8, 168, kBoxLeft - 16, 153);
}

void TForm1::BuildLogbookPage() {
  // The shared report boxes start on this page, where the design places them.
  GroupBox7 = AddGroupBox(TabSheet2, "GroupBox7", QString(), QRect(8, 8, 265, 153));
  GroupBox7->setAccessibleName(QStringLiteral("Report Period"));
  SetTag(GroupBox7, kSharedReportTag);
  Label1 = AddLabel(GroupBox7, "Label1", QStringLiteral("Report Period Between:"), 16, 24);
  DateTimePickerStart =
      Named(new dorvane::TDateTimePicker(services_.regional, dorvane::kDesignReportPeriod.start,
                                         GroupBox7),
            "DateTimePickerStart");
  // A picker narrower than its date and arrow would cut the year's last digit: it widens,
  // keeping its left edge, and the box with it.
  const int pickerWidth = std::max(89, DateTimePickerStart->sizeHint().width());
  DateTimePickerStart->setGeometry(16, 48, pickerWidth, 21);
  DateTimePickerStart->setAccessibleName(QStringLiteral("Report period from"));
  Label9 = AddLabel(GroupBox7, "Label9", QStringLiteral("and"),
                    std::max(120, DateTimePickerStart->geometry().right() + 8), 56);
  DateTimePickerStop = Named(new dorvane::TDateTimePicker(
                                 services_.regional, dorvane::kDesignReportPeriod.stop, GroupBox7),
                             "DateTimePickerStop");
  DateTimePickerStop->setGeometry(std::max(152, Label9->geometry().right() + 8), 48, pickerWidth,
                                  21);
  DateTimePickerStop->setAccessibleName(QStringLiteral("Report period to"));
  btnCreate = AddButton(GroupBox7, "btnCreate", QStringLiteral("&Create Report"),
                        QRect(80, 96, 105, 25), MakeIcon(IconKind::CreateReport), true);
  SetHint(btnCreate, QStringLiteral("Create a Report for the Period given above"));
  connect(btnCreate, &QPushButton::clicked, this, &TForm1::btnCreateClick);
  ProgressBar1 = Named(new QProgressBar(GroupBox7), "ProgressBar1");
  ProgressBar1->setAccessibleName(QStringLiteral("Report progress"));
  ProgressBar1->setGeometry(16, 128, 233, 16);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);
  const int boxWidth = std::max(265, DateTimePickerStop->geometry().right() + 16);
  if (boxWidth > GroupBox7->width()) {
    GroupBox7->resize(boxWidth, GroupBox7->height());
    ProgressBar1->resize(boxWidth - 32, ProgressBar1->height());
    btnCreate->move((boxWidth - btnCreate->width()) / 2, btnCreate->y());
  }

  // Widened to the left so that the longest caption fits before the value column.
  constexpr int kBoxWidth = 329;
  const int statsLeft = std::max(288, GroupBox7->geometry().right() + 16);
  GroupBox3 = AddGroupBox(TabSheet2, "GroupBox3", QString(),
                          QRect(statsLeft, 8, std::max(kBoxWidth, 617 - statsLeft), 153));
  GroupBox3->setAccessibleName(QStringLiteral("Statistics"));
  SetTag(GroupBox3, kSharedReportTag);
  using dorvane::AnalysisLabel;
  struct Row {
    AnalysisLabel label;
    QLabel*& caption;
    const char* captionName;
    QLabel*& value;
    const char* valueName;
    int top;
    const char* hint;
  };
  const Row rows[] = {
      {AnalysisLabel::Period, Label2, "Label2", lblPeriod, "lblPeriod", 24,
       "Dates of the First and Last Call during the Period given above"},
      {AnalysisLabel::NumberOfCalls, Label4, "Label4", lblNumberOfCalls, "lblNumberOfCalls", 45,
       "Number of Calls during the Period given above"},
      {AnalysisLabel::AverageCallingTime, Label5, "Label5", lblAverageCallingTime,
       "lblAverageCallingTime", 66, "Average time per Call during the Period given above"},
      {AnalysisLabel::TotalCallingTime, Label16, "Label16", lblTotalCallingTime,
       "lblTotalCallingTime", 86, nullptr},
      {AnalysisLabel::AverageCost, Label7, "Label7", lblAverageCost, "lblAverageCost", 107,
       "Average Cost per Call during the Period given above"},
      {AnalysisLabel::TotalCost, Label6, "Label6", lblTotalCost, "lblTotalCost", 128,
       "Total Cost per Call during the Period given above"},
  };
  // The caption column as wide as its longest caption, and never narrower than designed.
  int widest = 0;
  for (const Row& row : rows)
    widest = std::max(widest, fontMetrics().horizontalAdvance(CaptionOf(row.label)));
  const int kCaptionRight = std::max(137, widest + 8);
  const int kValueLeft = kCaptionRight + 7;
  // Wide enough for the longest value, a period of two long dates.
  const TDateTime longDate = dorvane::EncodeDate(2000, 12, 28);
  const int valueRoom = fontMetrics().horizontalAdvance(
      dorvane::ToQString(dorvane::PeriodText(services_.regional, longDate, longDate)) +
      QStringLiteral("00"));
  GroupBox3->resize(std::max(GroupBox3->width(), kValueLeft + valueRoom + 6), GroupBox3->height());
  for (const Row& row : rows) {
    row.caption =
        AddRightLabel(GroupBox3, row.captionName, CaptionOf(row.label), kCaptionRight, row.top);
    row.value =
        AddValueLabel(GroupBox3, row.valueName, kValueLeft, row.top,
                      GroupBox3->width() - kValueLeft - 6, ValueColourOf(row.label), row.hint);
    LabelValue(row.caption, row.value, row.caption->text().chopped(1));
  }

  // Below the shared boxes, so that Tab meets it after them.
  RichEdit1 = Named(new QTextEdit(TabSheet2), "RichEdit1");
  RichEdit1->setAccessibleName(QStringLiteral("Modem Logbook Report"));
  RichEdit1->setGeometry(8, 168, 609, 153);
  RichEdit1->setReadOnly(true);
  RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // The logbook is a sheet to be printed, in the design's dark colours: it stays on white paper
  // whatever the desktop's palette.
  QPalette paper = RichEdit1->palette();
  paper.setColor(QPalette::Base, Qt::white);
  paper.setColor(QPalette::Text, Qt::black);
  RichEdit1->setPalette(paper);
}

void TForm1::BuildOptionsPage() {
  GroupBox1 =
      AddGroupBox(TabSheet3, "GroupBox1", QStringLiteral("Modem Log File"), QRect(8, 8, 249, 81));
  Label3 = AddLabel(GroupBox1, "Label3", QStringLiteral("Log File:"), 8, 16);
  editLogFileName = Named(new QLineEdit(GroupBox1), "editLogFileName");
  editLogFileName->setGeometry(8, 32, 225, 21);
  editLogFileName->setAccessibleName(QStringLiteral("Log File"));

  GroupBox2 =
      AddGroupBox(TabSheet3, "GroupBox2", QStringLiteral("Warnings"), QRect(280, 8, 337, 81));
  chkboxWarnCost =
      Named(new QCheckBox(QStringLiteral("Warn when cost per month has exceeded:"), GroupBox2),
            "chkboxWarnCost");
  chkboxWarnCost->setGeometry(8, 16, 257, 17);
  SetHint(
      chkboxWarnCost,
      QStringLiteral(
          "Checking this box generates a message when online cost per month has exceed the given "
          "amount"));
  editWarnCost = Named(new QLineEdit(QStringLiteral("0"), GroupBox2), "editWarnCost");
  editWarnCost->setGeometry(272, 12, 49, 21);
  editWarnCost->setAccessibleName(chkboxWarnCost->text());
  chkboxWarnAverageCost =
      Named(new dorvane::TWrapCheckBox(
                QStringLiteral("Warn when average cost per call has exceeded:"), GroupBox2),
            "chkboxWarnAverageCost");
  chkboxWarnAverageCost->setGeometry(8, 40, 249, 33);
  SetHint(
      chkboxWarnAverageCost,
      QStringLiteral(
          "Checking this box generates a message when average cost per call has exceed the given "
          "amount"));
  editWarnAverageCost = Named(new QLineEdit(QStringLiteral("0"), GroupBox2), "editWarnAverageCost");
  editWarnAverageCost->setGeometry(272, 44, 49, 21);
  editWarnAverageCost->setAccessibleName(chkboxWarnAverageCost->text());
  connect(chkboxWarnCost, &QCheckBox::toggled, this, &TForm1::chkboxWarnCostClick);
  connect(chkboxWarnAverageCost, &QCheckBox::toggled, this, &TForm1::chkboxWarnAverageCostClick);

  GroupBox6 =
      AddGroupBox(TabSheet3, "GroupBox6", QStringLiteral("Cost Settings"), QRect(8, 96, 249, 65));
  chkboxIgnoreBusyCalls =
      Named(new QCheckBox(QStringLiteral("Ignore Busy Calls"), GroupBox6), "chkboxIgnoreBusyCalls");
  chkboxIgnoreBusyCalls->adjustSize();
  chkboxIgnoreBusyCalls->move(8, 24);
  chkboxIgnoreBusyCalls->setChecked(true);

  btnDeleteData = AddButton(TabSheet3, "btnDeleteData", QStringLiteral("Delete All Modem Calls"),
                            QRect(280, 120, 129, 25));
  connect(btnDeleteData, &QPushButton::clicked, this, &TForm1::btnDeleteDataClick);

  grpboxOnlineCost =
      AddGroupBox(TabSheet3, "grpboxOnlineCost", QStringLiteral("Charges for Online Time"),
                  QRect(8, 168, 609, 153));
  strgrdCost = Named(new QTableWidget(1, 6, grpboxOnlineCost), "strgrdCost");
  // Below the row that chooses which table of the tariff history the grid shows.
  strgrdCost->setGeometry(8, kGridTop, 521, 129 + 16 - kGridTop);
  strgrdCost->setAccessibleName(grpboxOnlineCost->title());
  SetHint(strgrdCost, QStringLiteral("If you are not sure how to fill in this grid, click on the "
                                     "help button at the lower right"));
  strgrdCost->verticalHeader()->hide();
  strgrdCost->verticalHeader()->setDefaultSectionSize(strgrdCost->fontMetrics().height() + 8);
  strgrdCost->setSelectionBehavior(QAbstractItemView::SelectRows);
  strgrdCost->setSelectionMode(QAbstractItemView::SingleSelection);
  strgrdCost->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Tab leaves the grid for the buttons beside it; the arrow keys move within it.
  strgrdCost->setTabKeyNavigation(false);
  strgrdCost->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  strgrdCost->horizontalHeader()->setHighlightSections(false);
  // The design's column widths are kept; a caption too long for its column wraps.
  strgrdCost->horizontalHeader()->setDefaultAlignment(
      Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
  FillCostHeader();

  struct GridButton {
    QPushButton*& button;
    const char* name;
    const char* caption;
    int top;
    IconKind icon;
    const char* hint;
    void (TForm1::*onClick)();
  };
  const GridButton buttons[] = {
      {btnNew, "btnNew", "&New...", 16, IconKind::New, "New entry", &TForm1::btnNewClick},
      {btnEdit, "btnEdit", "&Edit...", 48, IconKind::Edit, "Edit entry", &TForm1::btnEditClick},
      {btnDelete, "btnDelete", "&Delete", 80, IconKind::Delete, "Delete entry",
       &TForm1::btnDeleteClick},
      {BitBtn6, "BitBtn6", "&Help", 120, IconKind::HelpButton,
       "Show Help on how to fill in this grid", &TForm1::BitBtn6Click},
  };
  for (const GridButton& b : buttons) {
    b.button = AddButton(grpboxOnlineCost, b.name, QLatin1String(b.caption),
                         QRect(536, b.top, 65, 25), MakeIcon(b.icon));
    SetHint(b.button, QLatin1String(b.hint));
    connect(b.button, &QPushButton::clicked, this, b.onClick);
  }
  // The column of buttons keeps one width: that of the widest caption.
  int width = 0;
  for (const GridButton& b : buttons) width = std::max(width, b.button->width());
  for (const GridButton& b : buttons) b.button->resize(width, b.button->height());

  // The notation the data folder's files are written in, and the way to give it the desktop's.
  grpboxRegional = AddGroupBox(TabSheet3, "grpboxRegional", QStringLiteral("Regional Settings"),
                               QRect(8, 328, 609, 49));
  lblRegionalSample = Named(new QLabel(grpboxRegional), "lblRegionalSample");
  lblRegionalSample->setGeometry(8, 22, 300, lblRegionalSample->fontMetrics().height() + 2);
  lblRegionalSample->setTextInteractionFlags(Qt::TextSelectableByMouse);
  btnDesktopRegional =
      AddButton(grpboxRegional, "btnDesktopRegional",
                QStringLiteral("Use the Desktop's Regional Settings..."), QRect(400, 16, 201, 25));
  btnDesktopRegional->move(601 - btnDesktopRegional->width(), 16);
  lblRegionalSample->resize(btnDesktopRegional->x() - 16, lblRegionalSample->height());
  SetHint(btnDesktopRegional,
          QStringLiteral("Rewrites the calls and the charges tables of this data folder in the "
                         "desktop's regional settings"));
  connect(btnDesktopRegional, &QPushButton::clicked, this, &TForm1::btnDesktopRegionalClick);
  ShowRegionalSample();
}

void TForm1::FitInitialSize() {
  // The pages must hold their controls at the design positions; the window starts at the
  // design's size or, when the menu and tab bar of this platform are taller, just big enough.
  // A larger font may have widened a box beyond the design's page: the page then takes it in.
  QSize pageSize(Scaled(kPageWidth, scale_), Scaled(kPageHeight, scale_));
  for (QWidget* page : {TabSheet1, TabSheet2, TabSheet3}) {
    for (QWidget* control : page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
      pageSize = pageSize.expandedTo(QSize(control->geometry().right() + Scaled(8, scale_),
                                           control->geometry().bottom() + Scaled(8, scale_)));
    }
  }
  for (QWidget* page : {TabSheet1, TabSheet2, TabSheet3}) page->setMinimumSize(pageSize);
  const QSize needed = sizeHint();
  for (QWidget* page : {TabSheet1, TabSheet2, TabSheet3}) page->setMinimumSize(0, 0);
  resize(std::max(Scaled(kClientWidth, scale_), needed.width()),
         std::max(Scaled(kClientHeight, scale_), needed.height()));
  // Smaller, the pages would cut their controls; larger, the grid and the logbook grow.
  startSize_ = size();
  setMinimumSize(startSize_);
}

void TForm1::FitGrowingControls() {
  if (!startSize_.isValid()) return;
  const int dw = std::max(0, width() - startSize_.width());
  const int dh = std::max(0, height() - startSize_.height());
  const auto design = [this](int left, int top, int width, int height) {
    return Scaled(QRect(left, top, width, height), scale_);
  };
  RichEdit1->setGeometry(design(8, 168, 609, 153).adjusted(0, 0, dw, dh));
  grpboxOnlineCost->setGeometry(design(8, 168, 609, 153).adjusted(0, 0, dw, dh));
  // The buttons stay beside the grid, within the box's right edge; the grid takes the rest.
  const int buttonsLeft = grpboxOnlineCost->width() - Scaled(8, scale_) - btnNew->width();
  for (QPushButton* button : {btnNew, btnEdit, btnDelete, BitBtn6})
    button->move(buttonsLeft, button->y());
  // Below the row that chooses which table of the tariff history the grid shows.
  const QRect grid = design(8, kGridTop, 521, 129 + 16 - kGridTop);
  strgrdCost->setGeometry(grid.left(), grid.top(), buttonsLeft - Scaled(7, scale_) - grid.left(),
                          grid.height() + dh);
  FitCostColumns();
  // The regional settings stay below the charges.
  grpboxRegional->move(design(8, 328, 0, 0).topLeft() + QPoint(0, dh));
  // The chart grows; the two boxes beside it, and the billing period's buttons above them, keep
  // to the page's right edge.
  const int boxLeft = GroupBox4->x() - chartCost->x() - chartCost->width();
  chartCost->setGeometry(design(8, 168, 192, 153).adjusted(0, 0, dw, dh));
  const int shift = chartCost->geometry().right() + 1 + boxLeft - GroupBox4->x();
  for (QWidget* control :
       {static_cast<QWidget*>(GroupBox4), static_cast<QWidget*>(GroupBox5),
        static_cast<QWidget*>(btnCurrentPeriod), static_cast<QWidget*>(btnPreviousPeriod)})
    control->move(control->x() + shift, control->y());
}

void TForm1::FitCostColumns() {
  // The design's widths, which hold while the grid has no room to spare.
  constexpr int kDrawn[dorvane::kChargeColumns] = {144, 69, 72, 69, 60, 98};
  int kDesign[dorvane::kChargeColumns];
  for (int column = 0; column < dorvane::kChargeColumns; ++column)
    kDesign[column] = Scaled(kDrawn[column], scale_);
  const QFontMetrics metrics = strgrdCost->fontMetrics();
  constexpr int kCellMargins = 12;
  int need[dorvane::kChargeColumns];
  for (int column = 0; column < dorvane::kChargeColumns; ++column) {
    need[column] = kDesign[column];
    for (int row = 0; row < strgrdCost->rowCount(); ++row) {
      if (const QTableWidgetItem* item = strgrdCost->item(row, column)) {
        need[column] =
            std::max(need[column], metrics.horizontalAdvance(item->text()) + kCellMargins);
      }
    }
  }
  int available = strgrdCost->width() - 2 * strgrdCost->frameWidth();
  if (strgrdCost->verticalScrollBar()->isVisible())
    available -= strgrdCost->verticalScrollBar()->width();
  int numbers = 0;
  for (int column = 2; column < dorvane::kChargeColumns; ++column) numbers += need[column];
  // The amounts take what they need; the Days and the Time column share the rest by need.
  const int rest = available - numbers;
  if (rest < kDesign[0] + kDesign[1]) {
    // No room to spare: the amounts keep their drawn widths, Days and Time share the rest.
    int drawnNumbers = 0;
    for (int column = 2; column < dorvane::kChargeColumns; ++column) {
      strgrdCost->setColumnWidth(column, kDesign[column]);
      drawnNumbers += kDesign[column];
    }
    const int shared = std::max(2 * kCellMargins, available - drawnNumbers);
    const int days = shared * kDesign[0] / (kDesign[0] + kDesign[1]);
    strgrdCost->setColumnWidth(0, days);
    strgrdCost->setColumnWidth(1, shared - days);
    return;
  }
  for (int column = 2; column < dorvane::kChargeColumns; ++column)
    strgrdCost->setColumnWidth(column, need[column]);
  const int days = std::max(kDesign[0], rest * need[0] / (need[0] + need[1]));
  strgrdCost->setColumnWidth(0, days);
  strgrdCost->setColumnWidth(1, std::max(kDesign[1], rest - days));
}

// --- The bill: billing day, holidays, tariff history, billing period ---------------------------

void TForm1::BuildBillControls() {
  // Built in the design's units like the rest of the pages, before they are scaled: a width
  // this font needs is taken back to the design's units here, so that the scaling gives it back.
  const double scale = dorvane::DesignScale(font());
  const auto designWidth = [scale](QWidget* control) {
    control->resize(static_cast<int>(std::ceil(control->width() / scale)), control->height());
    return control->width();
  };

  // Options page, in the cost settings: the holidays beside "Ignore Busy Calls", the billing
  // day below it.
  // The check box was sized for this font: back to the design's units, height too.
  designWidth(chkboxIgnoreBusyCalls);
  chkboxIgnoreBusyCalls->resize(
      chkboxIgnoreBusyCalls->width(),
      static_cast<int>(std::ceil(chkboxIgnoreBusyCalls->height() / scale)));
  btnHolidays =
      AddButton(GroupBox6, "btnHolidays", QStringLiteral("&Holidays..."),
                QRect(std::max(150, chkboxIgnoreBusyCalls->geometry().right() + 12), 20, 90, 23));
  designWidth(btnHolidays);
  SetHint(
      btnHolidays,
      QStringLiteral("The public holidays your phone company charges as a Sunday or another day"));
  connect(btnHolidays, &QPushButton::clicked, this, &TForm1::btnHolidaysClick);
  lblFirstDay =
      AddLabel(GroupBox6, "lblFirstDay", QStringLiteral("Billing period begins on day:"), 8, 46);
  designWidth(lblFirstDay);
  spnFirstDay = Named(new QSpinBox(GroupBox6), "spnFirstDay");
  spnFirstDay->setRange(1, 28);
  spnFirstDay->setGeometry(lblFirstDay->geometry().right() + 6, 43, 45, 20);
  spnFirstDay->setAccessibleName(QStringLiteral("Billing period begins on day"));
  SetHint(spnFirstDay, QStringLiteral("The day of the month on which your phone bill begins; 1 "
                                      "counts calendar months"));

  // Above the grid: which table of the tariff history it shows and edits.
  lblTableFrom =
      AddLabel(grpboxOnlineCost, "lblTableFrom", QStringLiteral("Table in force from:"), 8, 20);
  designWidth(lblTableFrom);
  cmbTableFrom = Named(new QComboBox(grpboxOnlineCost), "cmbTableFrom");
  cmbTableFrom->setGeometry(lblTableFrom->geometry().right() + 6, 16, 120, 23);
  cmbTableFrom->setAccessibleName(QStringLiteral("Table in force from"));
  SetHint(cmbTableFrom,
          QStringLiteral("Calls are priced with the table in force on the day they were made"));
  btnNewTable = AddButton(grpboxOnlineCost, "btnNewTable", QStringLiteral("New &Table..."),
                          QRect(cmbTableFrom->geometry().right() + 8, 15, 90, 25));
  designWidth(btnNewTable);
  SetHint(btnNewTable,
          QStringLiteral("A new charges table from a day on, starting as a copy of this one"));
  btnDeleteTable = AddButton(grpboxOnlineCost, "btnDeleteTable", QStringLiteral("Delete T&able"),
                             QRect(btnNewTable->geometry().right() + 6, 15, 90, 25));
  designWidth(btnDeleteTable);
  SetHint(btnDeleteTable, QStringLiteral("Delete the charges table shown"));
  connect(cmbTableFrom, &QComboBox::currentIndexChanged, this, &TForm1::cmbTableFromChange);
  connect(btnNewTable, &QPushButton::clicked, this, &TForm1::btnNewTableClick);
  connect(btnDeleteTable, &QPushButton::clicked, this, &TForm1::btnDeleteTableClick);

  // Costs Analysis page, above the analysis boxes and beside the chart's top: the report on a
  // whole billing period.
  btnCurrentPeriod =
      AddButton(TabSheet1, "btnCurrentPeriod", QStringLiteral("C&urrent Billing Period"),
                QRect(GroupBox4->x(), 168, 140, 25));
  designWidth(btnCurrentPeriod);
  SetHint(btnCurrentPeriod, QStringLiteral("Report on the billing period that holds today"));
  btnPreviousPeriod =
      AddButton(TabSheet1, "btnPreviousPeriod", QStringLiteral("Pre&vious Billing Period"),
                QRect(btnCurrentPeriod->geometry().right() + 7, 168, 140, 25));
  designWidth(btnPreviousPeriod);
  SetHint(btnPreviousPeriod, QStringLiteral("Report on the billing period before it"));
  connect(btnCurrentPeriod, &QPushButton::clicked, this, &TForm1::btnCurrentPeriodClick);
  connect(btnPreviousPeriod, &QPushButton::clicked, this, &TForm1::btnPreviousPeriodClick);
}

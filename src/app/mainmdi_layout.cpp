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
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/controls.h"
#include "app/mainmdi.h"
#include "app/windowtariff.h"
#include "capture/callstore.h"
#include "capture/modemlog.h"
#include "charges/bandedit.h"
#include "charges/gridpricing.h"
#include "dialogs/about.h"
#include "dialogs/costedit.h"
#include "platform/ascii.h"
#include "platform/error.h"
#include "platform/qt/icons.h"
#include "platform/qt/named.h"
#include "platform/qt/printing.h"
#include "reports/analysis.h"
#include "reports/logbook.h"
#include "settings/closestate.h"
#include "settings/settingsfile.h"

using dorvane::IconKind;
using dorvane::MakeIcon;
using dorvane::TDateTime;

using dorvane::Named;

namespace {

// The design's report period before the call store is read: 30 July 1998, the whole day.
constexpr TDateTime kDesignStart = 36006.0;
constexpr TDateTime kDesignStop = 36006.99998842592;

// The client area that the 640 x 478 window leaves inside its frame, and the room the pages
// need for the design positions of their controls.
constexpr int kClientWidth = 632;
constexpr int kClientHeight = 451;
constexpr int kPageWidth = 624;
constexpr int kPageHeight = 329;

// The grid's top within its group box: below the tariff history's row.
constexpr int kGridTop = 46;

const QColor kMaroon(0x80, 0x00, 0x00);
const QColor kPurple(0x80, 0x00, 0x80);
const QColor kNavy(0x00, 0x00, 0x80);
const QColor kBlack(0x00, 0x00, 0x00);

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

// A value label: empty until a report fills it, wide enough for what it will hold.
QLabel* AddValueLabel(QWidget* parent, const char* name, int left, int top, int width,
                      const QColor& colour, const char* hint) {
  auto* label = Named(new QLabel(parent), name);
  label->setGeometry(left, top, width, label->fontMetrics().height() + 2);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
  if (hint != nullptr) label->setStatusTip(QLatin1String(hint));
  return label;
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

QAction* AddAction(QMenu* menu, const char* name, const QString& caption) {
  auto* action = Named(menu->addAction(caption), name);
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
  // The design's font is not on these machines; the platform's sans-serif at the height of the
  // design's text keeps the captions within their controls.
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(11);
  setFont(font);
  setWindowIcon(MakeIcon(IconKind::Program));

  BuildMenu();

  auto* central = new QWidget(this);
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
  column->addWidget(PageControl1, 1);
  setCentralWidget(central);
  BuildCostsAnalysisPage();
  BuildLogbookPage();
  BuildOptionsPage();
  BuildBillControls();

  StatusBar1 = Named(new QStatusBar(this), "StatusBar1");
  StatusBar1->setFixedHeight(19);
  setStatusBar(StatusBar1);

  // Only the user's choice of a page runs the page-change handler; the program blocks the
  // signal when it turns a page itself.
  connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::PageControl1Change);
  // Hints go to the status bar, never into pop-up tips.
  qApp->installEventFilter(this);

  FitInitialSize();
  FormCreate();
  // The dialogs come after the main window and live as long as it does.
  frmCostEditor = new TfrmCostEditor(services_.regional, services_.messages, this);
  frmCostEditor->setFont(font);
  AboutBox = new TAboutBox(this);
  AboutBox->setFont(font);
}

// Out of line, where the owned core objects are complete types.
TForm1::~TForm1() = default;

void TForm1::BuildMenu() {
  QMenuBar* bar = Named(menuBar(), "MainMenu1");
  bar->setNativeMenuBar(false);
  File1 = Named(bar->addMenu(QStringLiteral("&File")), "File1");
  Print1 = AddAction(File1, "Print1", QStringLiteral("&Print..."));
  PrintSetup1 = AddAction(File1, "PrintSetup1", QStringLiteral("P&rint Setup..."));
  N1 = AddSeparator(File1, "N1");
  Exit1 = AddAction(File1, "Exit1", QStringLiteral("E&xit"));
  Help1 = Named(bar->addMenu(QStringLiteral("&Help")), "Help1");
  Contents1 = AddAction(Help1, "Contents1", QStringLiteral("&Contents"));
  HowtoUseHelp1 = AddAction(Help1, "HowtoUseHelp1", QStringLiteral("&How to Use Help"));
  N3 = AddSeparator(Help1, "N3");
  KeltrixHomepage1 = AddAction(Help1, "KeltrixHomepage1", QStringLiteral("&Keltrix Home Page"));
  N2 = AddSeparator(Help1, "N2");
  About1 = AddAction(Help1, "About1", QStringLiteral("&About..."));
  // Menus are windows of their own and do not inherit the window's font.
  File1->setFont(font());
  Help1->setFont(font());

  connect(Print1, &QAction::triggered, this, &TForm1::Print1Click);
  connect(PrintSetup1, &QAction::triggered, this, &TForm1::PrintSetup1Click);
  connect(Exit1, &QAction::triggered, this, &TForm1::Exit1Click);
  connect(Contents1, &QAction::triggered, this, &TForm1::Contents1Click);
  connect(HowtoUseHelp1, &QAction::triggered, this, &TForm1::HowtoUseHelp1Click);
  connect(KeltrixHomepage1, &QAction::triggered, this, &TForm1::KeltrixHomepage1Click);
  connect(About1, &QAction::triggered, this, &TForm1::About1Click);
}

void TForm1::BuildToolPanel() {
  Panel1 = Named(new QFrame, "Panel1");
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setFixedHeight(57);
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
  for (const Tool& tool : tools) {
    auto* button = Named(new QToolButton(Panel1), tool.name);
    button->setText(QLatin1String(tool.caption));
    button->setIcon(MakeIcon(tool.icon));
    button->setIconSize(QSize(20, 20));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    // A caption wider than the design's button widens it to the right.
    const int width = std::max(57, button->fontMetrics().horizontalAdvance(button->text()) + 8);
    button->setGeometry(tool.left, 8, width, 41);
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
  Label8 = AddLabel(GroupBox4, "Label8", QStringLiteral("If you had always called at"), 8, 16);
  Label10 =
      AddRightLabel(GroupBox4, "Label10", QStringLiteral("lowest charge:"), kCaptionRight, 16);
  Label11 =
      AddRightLabel(GroupBox4, "Label11", QStringLiteral("highest charge:"), kCaptionRight, 40);
  lblLowestCost = AddValueLabel(GroupBox4, "lblLowestCost", kValueLeft, 16, kValueWidth, kMaroon,
                                "This is how much the cost for the selected period would have "
                                "been if you had only called at the lowest charge");
  lblHighestCost = AddValueLabel(GroupBox4, "lblHighestCost", kValueLeft, 40, kValueWidth, kMaroon,
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
  Label12 = AddRightLabel(GroupBox5, "Label12", QStringLiteral("Estimated cost for this month:"),
                          kCaptionRight, 16);
  Label13 = AddRightLabel(GroupBox5, "Label13",
                          QStringLiteral("Average monthly cost during selected period:"),
                          kCaptionRight, 36);
  lblEstimatedMonthlyCost =
      AddValueLabel(GroupBox5, "lblEstimatedMonthlyCost", kValueLeft, 16, kValueWidth, kMaroon,
                    "This is how much the cost for this month is expected to be based on calls "
                    "made so far");
  lblMonthlyCostDuringPeriod = AddValueLabel(
      GroupBox5, "lblMonthlyCostDuringPeriod", kValueLeft, 36, kValueWidth, kMaroon,
      "This is how much the calculated monthly cost has been for the selected period");
  // A screen reader names each value by its caption; the value itself is the description.
  lblLowestCost->setAccessibleName(Label8->text() + ' ' + Label10->text().chopped(1));
  lblHighestCost->setAccessibleName(Label8->text() + ' ' + Label11->text().chopped(1));
  lblEstimatedMonthlyCost->setAccessibleName(Label12->text().chopped(1));
  lblMonthlyCostDuringPeriod->setAccessibleName(Label13->text().chopped(1));
}

void TForm1::BuildLogbookPage() {
  RichEdit1 = Named(new QTextEdit(TabSheet2), "RichEdit1");
  RichEdit1->setAccessibleName(QStringLiteral("Modem Logbook Report"));
  RichEdit1->setGeometry(8, 168, 609, 153);
  RichEdit1->setReadOnly(true);
  RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  // The shared report boxes start on this page, where the design places them.
  GroupBox7 = AddGroupBox(TabSheet2, "GroupBox7", QString(), QRect(8, 8, 265, 153));
  SetTag(GroupBox7, kSharedReportTag);
  Label1 = AddLabel(GroupBox7, "Label1", QStringLiteral("Report Period Between:"), 16, 24);
  DateTimePickerStart =
      Named(new dorvane::TDateTimePicker(services_.regional, kDesignStart, GroupBox7),
            "DateTimePickerStart");
  DateTimePickerStart->setGeometry(16, 48, 89, 21);
  DateTimePickerStart->setAccessibleName(QStringLiteral("Report period from"));
  Label9 = AddLabel(GroupBox7, "Label9", QStringLiteral("and"), 120, 56);
  DateTimePickerStop =
      Named(new dorvane::TDateTimePicker(services_.regional, kDesignStop, GroupBox7),
            "DateTimePickerStop");
  DateTimePickerStop->setGeometry(152, 48, 89, 21);
  DateTimePickerStop->setAccessibleName(QStringLiteral("Report period to"));
  btnCreate = AddButton(GroupBox7, "btnCreate", QStringLiteral("&Create Report"),
                        QRect(80, 96, 105, 25), MakeIcon(IconKind::CreateReport), true);
  btnCreate->setStatusTip(QStringLiteral("Create a Report for the Period given above"));
  connect(btnCreate, &QPushButton::clicked, this, &TForm1::btnCreateClick);
  ProgressBar1 = Named(new QProgressBar(GroupBox7), "ProgressBar1");
  ProgressBar1->setAccessibleName(QStringLiteral("Report progress"));
  ProgressBar1->setGeometry(16, 128, 233, 16);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);

  // Widened to the left so that the longest caption fits before the value column.
  constexpr int kCaptionRight = 137;
  constexpr int kValueLeft = 144;
  constexpr int kBoxWidth = 329;
  constexpr int kValueWidth = kBoxWidth - kValueLeft - 6;
  GroupBox3 = AddGroupBox(TabSheet2, "GroupBox3", QString(), QRect(288, 8, kBoxWidth, 153));
  SetTag(GroupBox3, kSharedReportTag);
  struct Row {
    QLabel*& caption;
    const char* captionName;
    const char* captionText;
    QLabel*& value;
    const char* valueName;
    int top;
    QColor colour;
    const char* hint;
  };
  const Row rows[] = {
      {Label2, "Label2", "Period:", lblPeriod, "lblPeriod", 24, kBlack,
       "Dates of the First and Last Call during the Period given above"},
      {Label4, "Label4", "Number of Calls:", lblNumberOfCalls, "lblNumberOfCalls", 45, kPurple,
       "Number of Calls during the Period given above"},
      {Label5, "Label5", "Average Time per Call:", lblAverageCallingTime, "lblAverageCallingTime",
       66, kNavy, "Average time per Call during the Period given above"},
      {Label16, "Label16", "Total Time:", lblTotalCallingTime, "lblTotalCallingTime", 86, kNavy,
       nullptr},
      {Label7, "Label7", "Average Cost per Call:", lblAverageCost, "lblAverageCost", 107, kMaroon,
       "Average Cost per Call during the Period given above"},
      {Label6, "Label6", "Total Cost:", lblTotalCost, "lblTotalCost", 128, kMaroon,
       "Total Cost per Call during the Period given above"},
  };
  for (const Row& row : rows) {
    row.caption = AddRightLabel(GroupBox3, row.captionName, QLatin1String(row.captionText),
                                kCaptionRight, row.top);
    row.value = AddValueLabel(GroupBox3, row.valueName, kValueLeft, row.top, kValueWidth,
                              row.colour, row.hint);
    row.value->setAccessibleName(row.caption->text().chopped(1));
  }
}

void TForm1::BuildOptionsPage() {
  GroupBox1 = AddGroupBox(TabSheet3, "GroupBox1", QStringLiteral("Windows Modem Log File"),
                          QRect(8, 8, 249, 81));
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
  chkboxWarnCost->setStatusTip(QStringLiteral(
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
  chkboxWarnAverageCost->setStatusTip(QStringLiteral(
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
  strgrdCost->setStatusTip(QStringLiteral(
      "If you are not sure how to fill in this grid, click on the help button at the lower right"));
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
    b.button->setStatusTip(QLatin1String(b.hint));
    connect(b.button, &QPushButton::clicked, this, b.onClick);
  }
  // The column of buttons keeps one width: that of the widest caption.
  int width = 0;
  for (const GridButton& b : buttons) width = std::max(width, b.button->width());
  for (const GridButton& b : buttons) b.button->resize(width, b.button->height());
}

void TForm1::FitInitialSize() {
  // The pages must hold their controls at the design positions; the window starts at the
  // design's size or, when the menu and tab bar of this platform are taller, just big enough.
  for (QWidget* page : {TabSheet1, TabSheet2, TabSheet3})
    page->setMinimumSize(kPageWidth, kPageHeight);
  const QSize needed = sizeHint();
  for (QWidget* page : {TabSheet1, TabSheet2, TabSheet3}) page->setMinimumSize(0, 0);
  resize(std::max(kClientWidth, needed.width()), std::max(kClientHeight, needed.height()));
  // Smaller, the pages would cut their controls; larger, the grid and the logbook grow.
  startSize_ = size();
  setMinimumSize(startSize_);
}

void TForm1::FitGrowingControls() {
  if (!startSize_.isValid()) return;
  const int dw = std::max(0, width() - startSize_.width());
  const int dh = std::max(0, height() - startSize_.height());
  RichEdit1->setGeometry(8, 168, 609 + dw, 153 + dh);
  grpboxOnlineCost->setGeometry(8, 168, 609 + dw, 153 + dh);
  strgrdCost->setGeometry(8, kGridTop, 521 + dw, 129 + 16 - kGridTop + dh);
  // The buttons stay beside the grid, at the box's right edge.
  for (QPushButton* button : {btnNew, btnEdit, btnDelete, BitBtn6})
    button->move(536 + dw, button->y());
}

// --- The bill: billing day, holidays, tariff history, billing period ---------------------------

void TForm1::BuildBillControls() {
  // Options page, beside "Delete All Modem Calls" above it: the billing day and the holidays.
  lblFirstDay =
      AddLabel(TabSheet3, "lblFirstDay", QStringLiteral("Billing period begins on day:"), 280, 100);
  spnFirstDay = Named(new QSpinBox(TabSheet3), "spnFirstDay");
  spnFirstDay->setRange(1, 28);
  spnFirstDay->setGeometry(lblFirstDay->geometry().right() + 6, 96, 45, 21);
  spnFirstDay->setAccessibleName(QStringLiteral("Billing period begins on day"));
  spnFirstDay->setStatusTip(QStringLiteral(
      "The day of the month on which your phone bill begins; 1 counts calendar months"));
  btnHolidays = AddButton(TabSheet3, "btnHolidays", QStringLiteral("&Holidays..."),
                          QRect(spnFirstDay->geometry().right() + 12, 95, 90, 23));
  btnHolidays->setStatusTip(
      QStringLiteral("The public holidays your phone company charges as a Sunday or another day"));
  connect(btnHolidays, &QPushButton::clicked, this, &TForm1::btnHolidaysClick);

  // Above the grid: which table of the tariff history it shows and edits.
  lblTableFrom =
      AddLabel(grpboxOnlineCost, "lblTableFrom", QStringLiteral("Table in force from:"), 8, 20);
  cmbTableFrom = Named(new QComboBox(grpboxOnlineCost), "cmbTableFrom");
  cmbTableFrom->setGeometry(lblTableFrom->geometry().right() + 6, 16, 120, 23);
  cmbTableFrom->setAccessibleName(QStringLiteral("Table in force from"));
  cmbTableFrom->setStatusTip(
      QStringLiteral("Calls are priced with the table in force on the day they were made"));
  btnNewTable = AddButton(grpboxOnlineCost, "btnNewTable", QStringLiteral("New &Table..."),
                          QRect(cmbTableFrom->geometry().right() + 8, 15, 90, 25));
  btnNewTable->setStatusTip(
      QStringLiteral("A new charges table from a day on, starting as a copy of this one"));
  btnDeleteTable = AddButton(grpboxOnlineCost, "btnDeleteTable", QStringLiteral("Delete T&able"),
                             QRect(btnNewTable->geometry().right() + 6, 15, 90, 25));
  btnDeleteTable->setStatusTip(QStringLiteral("Delete the charges table shown"));
  connect(cmbTableFrom, &QComboBox::currentIndexChanged, this, &TForm1::cmbTableFromChange);
  connect(btnNewTable, &QPushButton::clicked, this, &TForm1::btnNewTableClick);
  connect(btnDeleteTable, &QPushButton::clicked, this, &TForm1::btnDeleteTableClick);

  // Costs Analysis page, left of the analysis boxes: the report on a whole billing period.
  grpboxBillingPeriod = AddGroupBox(TabSheet1, "grpboxBillingPeriod",
                                    QStringLiteral("Billing Period"), QRect(8, 200, 193, 60));
  btnCurrentPeriod = AddButton(grpboxBillingPeriod, "btnCurrentPeriod", QStringLiteral("C&urrent"),
                               QRect(8, 22, 84, 25));
  btnCurrentPeriod->setStatusTip(QStringLiteral("Report on the billing period that holds today"));
  btnCurrentPeriod->setAccessibleName(QStringLiteral("Current billing period"));
  btnPreviousPeriod = AddButton(grpboxBillingPeriod, "btnPreviousPeriod",
                                QStringLiteral("Pre&vious"), QRect(100, 22, 84, 25));
  btnPreviousPeriod->setStatusTip(QStringLiteral("Report on the billing period before it"));
  btnPreviousPeriod->setAccessibleName(QStringLiteral("Previous billing period"));
  connect(btnCurrentPeriod, &QPushButton::clicked, this, &TForm1::btnCurrentPeriodClick);
  connect(btnPreviousPeriod, &QPushButton::clicked, this, &TForm1::btnPreviousPeriodClick);
}

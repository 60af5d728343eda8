#include "ui/tform1.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "import/section_import.h"
#include "model/materials.h"
#include "output/generate.h"
#include "platform/files.h"
#include "tests/sample_table.h"
#include "ui/jpeg_image.h"
#include "ui/section_grid.h"
#include "ui/section_preview.h"
#include "window_test_support.h"

namespace brenmoor {
namespace {

const QString kSample = QString::fromStdString(testing::kSampleTable);

}  // namespace

class TForm1Test : public WindowTest {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void StartUpLayout_data();
  void StartUpLayout();
  void StartUpState();
  void ImportFillsGrid();
  void PressOnRowSelectsTheRowUnderThePointer();
  void PressOnTitleRowShowsTitles();
  void PressesThatChangeNothing();
  void CancelLeavesTitleRowAlone();
  void EveryImportShowsItsFirstRow();
  void RefusedTableKeepsTheTableBefore();
  void SwappedMaterialsAreShownInTheStatusBar();
  void ZeroSizeSectionIsReported();
  void GenerateWritesIntoWorkingFolder();
  void ErrorBox();
  void LargeTableScrollsAndSelects();
  void DamagedPictureIsRefused();
};

void TForm1Test::init() {
  state_ = std::make_unique<BrenmoorState>();
  NewForm();
}

void TForm1Test::cleanup() {
  form_.reset();
  state_.reset();
}

void TForm1Test::StartUpLayout_data() {
  QTest::addColumn<QRect>("geometry");
  QTest::addColumn<QString>("text");
  const struct {
    const char* name;
    QRect geometry;
    const char* text;
  } controls[] = {
      {"Panel2", {8, 8, 241, 57}, ""},
      {"Image2", {8, 8, 213, 47}, ""},
      {"GroupBox2", {8, 72, 233, 97}, "材料"},
      {"Label13", {48, 24, 48, 14}, "截面名称"},
      {"Label10", {40, 48, 60, 14}, "混凝土材料"},
      {"Label11", {48, 72, 48, 14}, "钢筋材料"},
      {"Edit13", {104, 16, 121, 22}, "COLSEC1"},
      {"Edit10", {104, 40, 121, 22}, "C35"},
      {"Edit11", {104, 64, 121, 22}, "STEEL"},
      {"GroupBox1", {8, 176, 233, 273}, "柱截面纤维"},
      {"Label1", {40, 24, 67, 14}, "柱高度H(mm)"},
      {"Label2", {40, 48, 67, 14}, "柱宽度B(mm)"},
      {"Label3", {28, 72, 79, 14}, "X方向划分数Fx"},
      {"Label4", {25, 96, 82, 14}, "Y方向划分数FY"},
      {"Label6", {26, 120, 81, 14}, "X方向钢筋数NX"},
      {"Label5", {24, 144, 83, 14}, "Y方向钢筋数NY"},
      {"Label7", {14, 168, 93, 14}, "X方向钢筋面积Ax"},
      {"Label8", {13, 192, 94, 14}, "Y方向钢筋面积Ay"},
      {"Label9", {35, 216, 72, 14}, "角筋面积Acor"},
      {"Label12", {32, 240, 75, 14}, "钢筋至边距cc "},
      {"Edit1", {112, 16, 105, 22}, "500"},
      {"Edit2", {112, 40, 105, 22}, "500"},
      {"Edit3", {112, 64, 105, 22}, "6"},
      {"Edit4", {112, 88, 105, 22}, "6"},
      {"Edit5", {112, 112, 105, 22}, "5"},
      {"Edit6", {112, 136, 105, 22}, "5"},
      {"Edit7", {112, 160, 105, 22}, "1000"},
      {"Edit8", {112, 184, 105, 22}, "1000"},
      {"Edit9", {112, 208, 105, 22}, "490"},
      {"Edit12", {112, 232, 105, 22}, "40"},
      {"Panel1", {24, 456, 202, 202}, ""},
      {"Image1", {1, 1, 200, 200}, ""},
      {"StringGrid1", {256, 16, 753, 425}, ""},
      {"Memo1", {256, 464, 337, 193}, ""},
      {"Button3", {800, 600, 209, 25}, "导入多个数据表格"},
      {"Button1", {800, 632, 211, 25}, "生成PERFORM3D导入数据"},
      {"StatusBar1", {0, 671, 1024, 19}, ""},
  };
  for (const auto& control : controls) {
    QTest::newRow(control.name) << control.geometry << QString::fromUtf8(control.text);
  }
}

void TForm1Test::StartUpLayout() {
  QFETCH(QRect, geometry);
  QFETCH(QString, text);
  QWidget* widget = Find<QWidget>(QTest::currentDataTag());
  QCOMPARE(widget->geometry(), geometry);
  QString shown;
  if (auto* label = qobject_cast<QLabel*>(widget)) shown = label->text();
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) shown = edit->text();
  if (auto* group = qobject_cast<QGroupBox*>(widget)) shown = group->title();
  if (auto* button = qobject_cast<QPushButton*>(widget)) shown = button->text();
  QCOMPARE(shown, text);
}

void TForm1Test::StartUpState() {
  QCOMPARE(form_->objectName(), QStringLiteral("Form1"));
  QCOMPARE(form_->windowTitle(), QStringLiteral("Brenmoor"));
  QCOMPARE(form_->size(), QSize(1024, 690));
  QCOMPARE(form_->font().family(), QStringLiteral("Arial"));
  QCOMPARE(form_->font().pixelSize(), 11);

  auto* memo = Find<QPlainTextEdit>("Memo1");
  QCOMPARE(memo->toPlainText().split(u'\n'),
           QStringList({"Brenmoor", "使用说明：",
                        "(2)纤维柱截面导入前，确定P3D有相应的材料名字的材料属性",
                        "(3)纤维总数不能超过60个", "(4)截面抗剪抗扭参数已经自动计算",
                        "(5)X方向指3轴，Y方向指2轴，方向钢筋不包括角筋面积",
                        "(5)钢筋质心至边距cc是指钢筋受力中心至边距，非保护层",
                        "(6)输入参数采用导入CSV表格形式（参考sample.csv文件）",
                        "(7)纵筋统一名称改为STEEL,程序自动识别"}));
  QCOMPARE(memo->isEnabled(), false);
  QCOMPARE(memo->palette().color(QPalette::Disabled, QPalette::Base), QColor(Qt::yellow));
  QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);

  // Ten rows of 14 columns: the header row and column hold the titles and
  // numbers; all blank until an import.
  QCOMPARE(GridModel()->rowCount() + 1, 10);
  QCOMPARE(GridModel()->columnCount() + 1, 14);
  QCOMPARE(GridModel()->CornerText(), QString());
  for (int column = 0; column < GridModel()->columnCount(); ++column) {
    QCOMPARE(GridModel()->headerData(column, Qt::Horizontal).toString(), QString());
    for (int row = 0; row < GridModel()->rowCount(); ++row) {
      QCOMPARE(GridModel()->index(row, column).data().toString(), QString());
    }
  }
  QCOMPARE(Grid()->horizontalHeader()->height(), 25);
  QCOMPARE(Grid()->verticalHeader()->width(), 50);
  QCOMPARE(Grid()->rowViewportPosition(1), 25);
  QCOMPARE(Grid()->columnViewportPosition(1), 50);

  QVERIFY(Find<QLabel>("Image1")->pixmap().isNull());
  QCOMPARE(Find<QLabel>("Image2")->pixmap().size(), QSize(213, 47));
  QCOMPARE(Find<QLabel>("StatusPanel1")->text(), QStringLiteral("开发者"));
  QCOMPARE(Find<QLabel>("StatusPanel1")->width(), 80);
  QCOMPARE(Find<QLabel>("StatusPanel2")->width(), 150);
  QCOMPARE(Find<QLabel>("StatusPanel3")->width(), 50);

  QStringList tab_order{"Edit1"};
  for (QWidget* w = Find<QWidget>("Edit1")->nextInFocusChain(); w->objectName() != "Edit1";
       w = w->nextInFocusChain()) {
    if (w->focusPolicy() & Qt::TabFocus) tab_order << w->objectName();
  }
  QCOMPARE(
      tab_order.mid(0, 16),
      QStringList({"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7", "Edit8", "Edit9",
                   "Edit12", "Edit10", "Edit11", "Edit13", "Button1", "StringGrid1", "Button3"}));
}

void TForm1Test::ImportFillsGrid() {
  Import(kSample);
  QCOMPARE(Reports(), QStringList());
  QCOMPARE(state_->imported_count, 7);
  QCOMPARE(GridModel()->rowCount(), 7);
  QCOMPARE(GridModel()->CornerText(), QStringLiteral("NUM"));
  QStringList titles, numbers, row3;
  for (int column = 0; column < 13; ++column) {
    titles << GridModel()->headerData(column, Qt::Horizontal).toString();
    row3 << GridModel()->index(2, column).data().toString();
  }
  for (int row = 0; row < 7; ++row)
    numbers << GridModel()->headerData(row, Qt::Vertical).toString();
  QCOMPARE(titles, QStringList({"NAME", "CONC", "STEEL", "H", "B", "FX", "FY", "NX", "NY", "ASX",
                                "ASY", "ASCOR", "CC"}));
  QCOMPARE(numbers, QStringList({"1", "2", "3", "4", "5", "6", "7"}));
  QCOMPARE(row3, QStringList({"KZ3", "C40", "STEEL", "700", "700", "5", "5", "4", "4", "1256",
                              "1256", "380.100006103516", "45"}));
}

void TForm1Test::PressOnRowSelectsTheRowUnderThePointer() {
  Import(kSample);
  // Every row from its top pixel to its bottom one: the top of row 7 is not
  // row 6 as Y / 28 would have it.
  for (int row = 7; row >= 1; --row) {
    for (int down : {0, 12, 23}) {
      PressRow(row, row % 2 ? Qt::LeftButton : Qt::RightButton, down);
      QCOMPARE(form_->SelectedRow(), row);
      QCOMPARE(Fields()[0], QStringLiteral("KZ%1").arg(row));
    }
  }
  PressRow(2);
  QCOMPARE(Fields(), QStringList({"KZ2", "C30", "STEEL", "600", "400", "4", "6", "3", "4", "600",
                                  "800", "314", "40"}));
  QImage expected(kPreviewSize, kPreviewSize, QImage::Format_RGB32);
  DrawSectionPreview(expected, state_->records[2]);
  QCOMPARE(Preview(), expected);
  // Typing into the fields changes nothing that is drawn: the record is.
  Find<QLineEdit>("Edit1")->setText("100");
  PressRow(2);
  QCOMPARE(Preview(), expected);
}

void TForm1Test::PressOnTitleRowShowsTitles() {
  Import(kSample);
  PressRow(3);
  QTest::mousePress(Grid()->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(30, 10));
  QCOMPARE(form_->SelectedRow(), 0);
  QCOMPARE(Fields(), QStringList({"NAME", "CONC", "STEEL", "H", "B", "FX", "FY", "NX", "NY", "ASX",
                                  "ASY", "ASCOR", "CC"}));
  QImage cleared(kPreviewSize, kPreviewSize, QImage::Format_RGB32);
  DrawSectionPreview(cleared, TSECTION{});
  QCOMPARE(Preview(), cleared);
  // The row numbers belong to their rows.
  QTest::mousePress(Grid()->verticalHeader()->viewport(), Qt::LeftButton, {},
                    QPoint(10, Grid()->rowViewportPosition(4) + 3));
  QCOMPARE(form_->SelectedRow(), 5);
}

void TForm1Test::PressesThatChangeNothing() {
  // Before any import, wherever the press lands.
  PressRow(2);
  QTest::mousePress(Grid()->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(30, 10));
  QCOMPARE(form_->SelectedRow(), 0);
  QCOMPARE(Fields()[0], QStringLiteral("COLSEC1"));
  QVERIFY(Find<QLabel>("Image1")->pixmap().isNull());

  // Below the last row.
  Import(kSample);
  PressRow(4);
  const QImage before = Preview();
  QTest::mousePress(Grid()->viewport(), Qt::LeftButton, {},
                    QPoint(30, Grid()->rowViewportPosition(6) + 40));
  QCOMPARE(form_->SelectedRow(), 4);
  QCOMPARE(Fields()[0], QStringLiteral("KZ4"));
  QCOMPARE(Preview(), before);
}

void TForm1Test::CancelLeavesTitleRowAlone() {
  Import(kSample);
  PressRow(3);
  Import(QString());  // cancelled
  QCOMPARE(state_->imported_count, 0);
  QCOMPARE(GridModel()->rowCount(), 0);
  QCOMPARE(GridModel()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("NAME"));
  // Nothing is left on show that the grid no longer has; clicks are ignored.
  QCOMPARE(form_->SelectedRow(), 0);
  QCOMPARE(Fields(), QStringList(13, QString()));
  QVERIFY(Find<QLabel>("Image1")->pixmap().isNull());
  QTest::mousePress(Grid()->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(30, 10));
  QCOMPARE(Fields()[0], QString());
  QCOMPARE(Reports(), QStringList());
}

// Whatever was selected before, the panel shows row 1 of the table just
// imported, as if it had been clicked, and its fields take no typing.
void TForm1Test::EveryImportShowsItsFirstRow() {
  for (const char* name : kFieldsByColumn) QVERIFY(Find<QLineEdit>(name)->isReadOnly());
  QTemporaryDir dir;
  const QString second = dir.filePath("second.csv");
  WriteFile(second,
            "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n"
            "1,ZZ1,C50,STEEL,1100,600,2,3,1,2,500,600,200,50\n");
  Import(kSample);
  QCOMPARE(form_->SelectedRow(), 1);
  QCOMPARE(Fields()[0], QStringLiteral("KZ1"));
  PressRow(4);
  Import(second);
  QCOMPARE(Reports(), QStringList());
  QCOMPARE(form_->SelectedRow(), 1);
  QCOMPARE(Fields(), QStringList({"ZZ1", "C50", "STEEL", "1100", "600", "2", "3", "1", "2", "500",
                                  "600", "200", "50"}));
  QImage expected(kPreviewSize, kPreviewSize, QImage::Format_RGB32);
  DrawSectionPreview(expected, state_->records[1]);
  QCOMPARE(Preview(), expected);

  // A table of titles alone: nothing on show.
  WriteFile(second, "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n");
  form_->ImportTableFile(second);
  QCOMPARE(form_->SelectedRow(), 0);
  QCOMPARE(Fields(), QStringList(13, QString()));
  QVERIFY(Find<QLabel>("Image1")->pixmap().isNull());
}

// A refused table changes nothing the engineer had: the table, its grid and
// its selection stay, and the box says where the fault is and what was kept.
void TForm1Test::RefusedTableKeepsTheTableBefore() {
  QTemporaryDir dir;
  const QString path = dir.filePath("bad.csv");
  WriteFile(path,
            "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n"
            "1,C1,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n"
            "2,C2,C35,STEEL,5OO,500,6,6,5,5,1000,1000,490,40\n");
  // Refused with nothing imported before: the box names the table alone.
  Import(path);
  QCOMPARE(Reports(),
           QStringList({"'5OO' is not a valid floating point value.", "Line 3 of bad.csv"}));
  QCOMPARE(form_->Errors().Collected().back().place, QStringLiteral("第 3 行 C2，H 列："));
  QCOMPARE(form_->Errors().Collected().back().note, QStringLiteral("未导入 bad.csv。"));
  QCOMPARE(GridModel()->CornerText(), QStringLiteral("NUM"));

  Import(kSample);
  PressRow(3);
  const QImage before = Preview();
  Import(path);
  QCOMPARE(form_->Errors().Collected().back().note,
           QStringLiteral("未导入 bad.csv；之前导入的 sample.csv 保持不变。"));
  QCOMPARE(state_->imported_count, 7);
  QCOMPARE(GridModel()->rowCount(), 7);
  QCOMPARE(form_->SelectedRow(), 3);
  QCOMPARE(Fields()[0], QStringLiteral("KZ3"));
  QCOMPARE(Preview(), before);
  // It is still the table that is generated and clicked.
  PressRow(5);
  QCOMPARE(Fields()[0], QStringLiteral("KZ5"));
}

// The import accepts swapped material columns, as the command line does,
// and says so where the generate command's result goes; a generate then
// shows its own result there again.
void TForm1Test::SwappedMaterialsAreShownInTheStatusBar() {
  QTemporaryDir dir;
  const QString path = dir.filePath("t.csv");
  WriteFile(path,
            "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n"
            "1,SWAP,STEEL,C30,500,500,6,6,5,5,1000,1000,490,40\n"
            "2,OK,C30,STEEL,500,500,6,6,5,5,1000,1000,490,40\n");
  Import(path);
  QCOMPARE(Reports(), QStringList());
  QCOMPARE(GridModel()->rowCount(), 2);
  auto* panel = Find<QLabel>("StatusPanel4");
  QCOMPARE(panel->text(),
           QStringLiteral("第 2 行：Section \"SWAP\" has the steel \"STEEL\" as its concrete; "
                          "check the CONC column.（还有 1 条警告）"));
  QCOMPARE(panel->toolTip().split(u'\n').size(), 2);
  Find<QAction>("EnglishAction")->trigger();
  QVERIFY2(panel->text().startsWith(QStringLiteral("Line 2: Section \"SWAP\"")),
           qPrintable(panel->text()));
  QVERIFY2(panel->text().endsWith(QStringLiteral(" (and 1 more warning)")),
           qPrintable(panel->text()));
  Find<QAction>("ChineseAction")->trigger();

  Import(kSample);  // a table without warnings clears them
  QCOMPARE(panel->text(), QString());
}

// The import refuses such sections, so the state is set up by hand.
void TForm1Test::ZeroSizeSectionIsReported() {
  BuildMaterialTable(*state_);
  state_->records.resize(2);
  TSECTION& record = state_->records[1];
  record.kind = kRectangularColumn;
  record.NAME = "FLAT";
  record.FX = record.FY = 6;
  record.NX = record.NY = 5;
  state_->imported_count = 1;
  GridModel()->ShowImport();

  PressRow(1);
  QCOMPARE(Reports(), QStringList({"Floating point division by zero.", ""}));
  QCOMPARE(form_->SelectedRow(), 1);
  QCOMPARE(Fields()[0], QStringLiteral("FLAT"));
  QImage cleared(kPreviewSize, kPreviewSize, QImage::Format_RGB32);
  DrawSectionPreview(cleared, TSECTION{});
  QCOMPARE(Preview(), cleared);

  QTemporaryDir dir;
  QDir::setCurrent(dir.path());
  QTest::mouseClick(Find<QPushButton>("Button1"), Qt::LeftButton);
  QCOMPARE(Reports().mid(2),
           QStringList({"Section \"FLAT\": Invalid floating point operation.", "Line 2"}));
  QVERIFY(!QFile::exists(dir.filePath(kComponentFileName)));
  QDir::setCurrent(QStringLiteral(BRENMOOR_BINARY_DIR));
}

void TForm1Test::GenerateWritesIntoWorkingFolder() {
  // A folder and a table named as engineers in China name them.
  QTemporaryDir scratch;
  const QDir dir(scratch.filePath(QStringLiteral("项目")));
  QVERIFY(dir.mkpath(QStringLiteral(".")));
  const QString table = dir.filePath(QStringLiteral("柱截面 表.csv"));
  QVERIFY(QFile::copy(kSample, table));
  QVERIFY(QDir::setCurrent(dir.path()));
  Import(table);
  QCOMPARE(GridModel()->rowCount(), 7);
  QTest::mouseClick(Find<QPushButton>("Button1"), Qt::LeftButton);
  QCOMPARE(Reports(), QStringList());

  BrenmoorState direct;
  ImportSectionFile(direct, kSample.toStdString(), '.');
  const QString direct_path = scratch.filePath("direct");
  GenerateComponentFile(direct, PathFromUtf8(direct_path.toStdString()));
  const QByteArray written = ReadAll(dir.filePath(kComponentFileName));
  QCOMPARE(written.size(), 70 + 7 * 1765 + 42 * (60 + 42 + 45 + 36 + 24 + 28 + 60));
  QCOMPARE(written, ReadAll(direct_path));

  // A cancelled import leaves nothing to generate: refused, the good file kept.
  Import(QString());
  QTest::mouseClick(Find<QPushButton>("Button1"), Qt::LeftButton);
  QCOMPARE(Reports(),
           QStringList({"No section is imported, so there is nothing to generate; "
                        "KAVOSEC.PF3CMP was left as it was. Import a section table first.",
                        ""}));
  QCOMPARE(ReadAll(dir.filePath(kComponentFileName)), written);
  QDir::setCurrent(QStringLiteral(BRENMOOR_BINARY_DIR));
}

void TForm1Test::ErrorBox() {
  const std::unique_ptr<QMessageBox> box = MakeErrorBox(
      form_.get(), ErrorReportFor(ImportError("'7O0' is not a valid floating point value",
                                              "/x/t.csv", 4, "KZ3", "B")));
  QCOMPARE(box->windowTitle(), QStringLiteral("Brenmoor"));
  QCOMPARE(box->icon(), QMessageBox::Critical);
  QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
  QCOMPARE(box->text(),
           QStringLiteral("第 4 行 KZ3，B 列：'7O0' is not a valid floating point value."));
  QCOMPARE(box->informativeText(), QString());
  QCOMPARE(box->detailedText(), QStringLiteral("Line 4 of t.csv"));
  // The place says what it knows; a material cell lists the names it may hold.
  const struct {
    ImportError error;
    const char* place;
    const char* note;
  } places[] = {
      {ImportError("x", "t.csv", 5), "第 5 行：", ""},
      {ImportError("x", "t.csv", 5, "KZ3"), "第 5 行 KZ3：", ""},
      {ImportError("x", "t.csv", 5, "", "NAME"), "第 5 行，NAME 列：", ""},
      {ImportError("x", "t.csv", 5, "KZ3", "STEEL"), "第 5 行 KZ3，STEEL 列：",
       "可用的材料名称：C30, C35, C40, C45, C50, C55, C60, C65, C70, C75, C80, STEEL。"},
      {ImportError("x", "t.csv", 0, "KZ3", "B"), "", ""},
  };
  for (const auto& c : places) {
    const ReportedError report = ErrorReportFor(c.error);
    QCOMPARE(report.place, QString::fromUtf8(c.place));
    QCOMPARE(report.note, QString::fromUtf8(c.note));
  }
  // Not tied to a line: no detail; a message ending in a full stop keeps it.
  QCOMPARE(
      ErrorReportFor(ImportError("Cannot open file \"/x\". No such file or directory", "/x", 0))
          .detail,
      QString());
  QCOMPARE(ErrorReportFor(Error("Done.")).text, QStringLiteral("Done."));
  // A GB18030 name in the message and a Chinese folder read as the grid reads them.
  const ReportedError chinese = ErrorReportFor(
      ImportError("Section \"\xD6\xD0\xD6\xF9\" has H = -1; a size cannot be negative",
                  "/\xE9\xA1\xB9\xE7\x9B\xAE/\xE8\xA1\xA8.csv", 3, "\xD6\xD0\xD6\xF9"));
  QCOMPARE(chinese.text, QStringLiteral("Section \"中柱\" has H = -1; a size cannot be negative."));
  QCOMPARE(chinese.detail, QStringLiteral("Line 3 of 表.csv"));
  QCOMPARE(chinese.place, QStringLiteral("第 3 行 中柱："));
}

void TForm1Test::LargeTableScrollsAndSelects() {
  QByteArray table = "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n";
  for (int i = 1; i <= kMaxSections; ++i) {
    table += QStringLiteral("%1,S%1,C40,STEEL,%2,500,6,6,5,5,1000,1000,490,40\n")
                 .arg(i)
                 .arg(300 + i % 500)
                 .toUtf8();
  }
  QTemporaryDir dir;
  WriteFile(dir.filePath("large.csv"), table);
  Import(dir.filePath("large.csv"));
  QCOMPARE(Reports(), QStringList());
  QCOMPARE(GridModel()->rowCount(), kMaxSections);

  for (int row : {20000, kMaxSections, 1}) {
    Grid()->scrollTo(GridModel()->index(row - 1, 0));
    QApplication::processEvents();
    PressRow(row);
    QCOMPARE(form_->SelectedRow(), row);
    QCOMPARE(Fields().mid(0, 4), QStringList({QStringLiteral("S%1").arg(row), "C40", "STEEL",
                                              QString::number(300 + row % 500)}));
    QCOMPARE(Grid()->verticalHeader()->logicalIndexAt(
                 Grid()->visualRect(GridModel()->index(row - 1, 0)).center().y()),
             row - 1);
  }
}

void TForm1Test::DamagedPictureIsRefused() {
  QFile logo(QStringLiteral(":/brenmoor/logo.jpg"));
  QVERIFY(logo.open(QIODevice::ReadOnly));
  const QByteArray bytes = logo.readAll();
  QCOMPARE(DecodeJpeg(bytes).size(), QSize(213, 47));
  for (const QByteArray& damaged : {bytes.left(bytes.size() / 2), bytes.mid(10), QByteArray()}) {
    QString message;
    try {
      DecodeJpeg(damaged);
    } catch (const Error& e) {
      message = QString::fromUtf8(e.what());
    }
    QVERIFY2(message.startsWith("Cannot decode picture: "), qPrintable(message));
  }
}

}  // namespace brenmoor

QTEST_MAIN(brenmoor::TForm1Test)
#include "tform1_test.moc"

// What the window gained around its fixed form: the report and the picture,
// printing, keyboard selection, dropped tables, the generate result in the
// status bar, the last table's folder and names from a Chinese spreadsheet.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>

#include "model/fiber_layout.h"
#include "output/generate.h"
#include "report/section_drawing.h"
#include "ui/section_grid.h"
#include "ui/section_preview.h"
#include "ui/tform1.h"

namespace brenmoor {
namespace {

const QString kSample = QStringLiteral(BRENMOOR_SOURCE_DIR "/examples/sample.csv");
const QByteArray kHeader = "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n";
// "柱截面" as a Chinese spreadsheet saves it.
const QByteArray kGbkName = "\xD6\xF9\xBD\xD8\xC3\xE6";

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The pages of a PDF that Qt wrote: one page object each, never in a
// compressed object stream. No outside tool needed, so this runs anywhere
// the window does.
int PdfPages(const QString& pdf) {
  const QByteArray bytes = ReadAll(pdf);
  if (!bytes.startsWith("%PDF-")) return -1;
  int pages = 0;
  for (const QByteArray& line : bytes.split('\n')) pages += line.trimmed() == "/Type /Page";
  return pages;
}

}  // namespace

class TForm1ReportTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void KeyboardSelectsAsAClick();
  void DroppedTableImportsAsTheOpenDialog();
  void GenerateIsReportedInTheFourthPanel();
  void OpenDialogStartsWhereTheLastTableWas();
  void ReportPictureAndPrint();
  void Gb18030NameShowsRightAndIsWrittenAsItWas();

 private:
  template <typename T>
  T* Find(const char* name) {
    T* widget = form_->findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) qFatal("no child %s", name);
    return widget;
  }
  SectionGrid* Grid() { return Find<SectionGrid>("StringGrid1"); }
  void Import(const QString& path) {
    form_->OpenDialog1().SetNextFileName(path);
    QTest::mouseClick(Find<QPushButton>("Button3"), Qt::LeftButton);
  }
  void Click(int row) {
    const QRect cell = Grid()->visualRect(Grid()->model()->index(row - 1, 0));
    QTest::mousePress(Grid()->viewport(), Qt::LeftButton, {}, cell.center());
  }
  QString Name() { return Find<QLineEdit>("Edit13")->text(); }
  QImage Preview() {
    return Find<QLabel>("Image1")->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
  }
  QStringList Reports() {
    QStringList texts;
    for (const ReportedError& report : form_->Errors().Collected())
      texts << report.text << report.detail;
    return texts;
  }
  void Drop(const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint middle = form_->rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form_.get(), &enter);
    if (!enter.isAccepted()) return;
    QDropEvent drop(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form_.get(), &drop);
    QApplication::processEvents();
  }
  void NewForm() {
    form_ = std::make_unique<TForm1>(*state_, '.');
    form_->UseSettingsFileForTesting(settings_dir_.filePath("brenmoor.ini"));
    form_->Errors().CollectForTesting();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
  }

  QTemporaryDir settings_dir_;
  std::unique_ptr<BrenmoorState> state_;
  std::unique_ptr<TForm1> form_;
};

void TForm1ReportTest::init() {
  state_ = std::make_unique<BrenmoorState>();
  NewForm();
}

void TForm1ReportTest::cleanup() {
  form_.reset();
  state_.reset();
  QDir::setCurrent(QStringLiteral(BRENMOOR_BINARY_DIR));
}

// Each key leaves the same fields and picture as a click on the row it
// moved to; keys that do not change the row change nothing.
void TForm1ReportTest::KeyboardSelectsAsAClick() {
  Import(kSample);
  // Taking the focus puts the grid's current cell on the first row, as
  // the view does by itself; that alone selects nothing.
  Grid()->setFocus();
  QCOMPARE(state_->selected_row, 0);
  const struct {
    Qt::Key key;
    int row;
  } steps[] = {{Qt::Key_Down, 2},   {Qt::Key_Down, 3}, {Qt::Key_End, 7},      {Qt::Key_Up, 6},
               {Qt::Key_Home, 1},   {Qt::Key_Up, 1},   {Qt::Key_PageDown, 7}, {Qt::Key_Right, 7},
               {Qt::Key_PageUp, 1}, {Qt::Key_Down, 2}};
  QStringList by_key, by_click;
  for (const auto& step : steps) {
    QTest::keyClick(Grid(), step.key);
    by_key << QStringLiteral("%1 %2").arg(state_->selected_row).arg(Name());
    const QImage keyed = Preview();
    Click(step.row);
    by_click << QStringLiteral("%1 %2").arg(state_->selected_row).arg(Name());
    QCOMPARE(by_key, by_click);
    QCOMPARE(keyed, Preview());
  }
  QCOMPARE(Reports(), QStringList());

  QTest::keyClick(Grid(), Qt::Key_Tab);
  QVERIFY(QApplication::focusWidget() != Grid());
  QCOMPARE(state_->selected_row, 2);
}

void TForm1ReportTest::DroppedTableImportsAsTheOpenDialog() {
  QTemporaryDir dir;
  const QString bad = dir.filePath("bad.csv");
  WriteFile(bad, kHeader +
                     "1,A,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n2,B,C99,STEEL,500,500,6,6,5,"
                     "5,1,1,1,40\n");

  Drop({QUrl::fromLocalFile(kSample)});
  QCOMPARE(state_->imported_count, 7);
  QCOMPARE(Grid()->model()->rowCount(), 7);
  Click(3);
  QCOMPARE(Name(), QStringLiteral("KZ3"));

  Drop({QUrl::fromLocalFile(bad)});
  const QStringList dropped = Reports();
  Import(bad);
  QCOMPARE(dropped.size(), 2);
  QCOMPARE(Reports(), dropped + dropped);
  QCOMPARE(dropped[1], QStringLiteral("Line 3 of bad.csv"));
  QCOMPARE(state_->imported_count, 0);

  // Two files, or something that is not a file, are not taken.
  Drop({QUrl::fromLocalFile(kSample), QUrl::fromLocalFile(kSample)});
  Drop({QUrl(QStringLiteral("https://example.com/sample.csv"))});
  QCOMPARE(state_->imported_count, 0);
  QCOMPARE(Reports().size(), 4);
}

void TForm1ReportTest::GenerateIsReportedInTheFourthPanel() {
  QTemporaryDir dir;
  QVERIFY(QDir::setCurrent(dir.path()));
  auto* panel = Find<QLabel>("StatusPanel4");
  QCOMPARE(panel->text(), QString());
  QVERIFY(panel->x() >= Find<QLabel>("StatusPanel3")->geometry().right());

  Import(kSample);
  QTest::mouseClick(Find<QPushButton>("Button1"), Qt::LeftButton);
  // The path as the system writes it (backslashes on Windows).
  const QString written = QDir::toNativeSeparators(QDir(dir.path()).absoluteFilePath(kComponentFileName));
  QCOMPARE(panel->text(), QStringLiteral("已生成 7 个截面 → ") + written);
  QCOMPARE(panel->toolTip(), QStringLiteral("Generated 7 sections → ") + written);
  QVERIFY(QFile::exists(written));

  Import(dir.filePath("missing.csv"));
  QCOMPARE(Reports().size(), 2);
  QCOMPARE(panel->text(), QString());
  QCOMPARE(panel->toolTip(), QString());
}

void TForm1ReportTest::OpenDialogStartsWhereTheLastTableWas() {
  QTemporaryDir dir;
  QVERIFY(QFile::copy(kSample, dir.filePath("t.csv")));
  Import(dir.filePath("t.csv"));
  Import(dir.filePath("missing.csv"));  // refused: not where a table was imported
  NewForm();
  Import(QString());
  QCOMPARE(form_->OpenDialog1().LastFolder(), QDir(dir.path()).absolutePath());
}

void TForm1ReportTest::ReportPictureAndPrint() {
  QTemporaryDir dir;
  auto* export_report = Find<QAction>("ExportReportAction");
  auto* print = Find<QAction>("PrintReportAction");
  auto* picture = Find<QAction>("SavePictureAction");
  QVERIFY(!export_report->isEnabled() && !print->isEnabled() && !picture->isEnabled());
  QCOMPARE(export_report->text(), QStringLiteral("导出截面报告 (PDF)…"));
  QCOMPARE(export_report->toolTip(), QStringLiteral("Export section report (PDF)…"));

  Import(kSample);
  QVERIFY(export_report->isEnabled() && print->isEnabled() && !picture->isEnabled());
  form_->SaveDialog1().SetNextFileName(dir.filePath("r.pdf"));
  export_report->trigger();
  QCOMPARE(form_->SaveDialog1().LastSuggestion(),
           QFileInfo(kSample).absolutePath() + "/sample.pdf");
  QCOMPARE(PdfPages(dir.filePath("r.pdf")), 3);

  form_->PrintDialog1().SetNextOutputFile(dir.filePath("printed.pdf"));
  QTest::keyClick(form_.get(), Qt::Key_P, Qt::ControlModifier);
  QCOMPARE(PdfPages(dir.filePath("printed.pdf")), 3);

  Click(2);
  QVERIFY(picture->isEnabled());
  form_->SaveDialog1().SetNextFileName(dir.filePath("kz2.png"));
  picture->trigger();
  QCOMPARE(form_->SaveDialog1().LastSuggestion(), QFileInfo(kSample).absolutePath() + "/KZ2.png");
  const QImage saved(dir.filePath("kz2.png"));
  QVERIFY(saved.width() >= 1200 && saved.height() >= 1200);
  TSECTION section = state_->records[2];
  LayoutFibers(section);
  QCOMPARE(saved.convertToFormat(QImage::Format_RGB32),
           SectionPicture(section, QStringLiteral("KZ2"), TForm1::kPictureSize));

  // Never over the table itself; a cancel writes nothing. A new import
  // leaves the old section on show: no picture until a row is chosen again.
  QVERIFY(QFile::copy(kSample, dir.filePath("t.csv")));
  Import(dir.filePath("t.csv"));
  QCOMPARE(state_->selected_row, 2);
  QVERIFY(!picture->isEnabled());
  form_->SaveDialog1().SetNextFileName(dir.filePath("t.csv"));
  export_report->trigger();
  QCOMPARE(Reports().size(), 2);
  QVERIFY(Reports()[0].endsWith("It is the section table itself."));
  QCOMPARE(ReadAll(dir.filePath("t.csv")), ReadAll(kSample));
  form_->SaveDialog1().SetNextFileName(QString());
  export_report->trigger();
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 4);
}

void TForm1ReportTest::Gb18030NameShowsRightAndIsWrittenAsItWas() {
  QTemporaryDir dir;
  WriteFile(dir.filePath("gbk.csv"),
            kHeader + "1," + kGbkName + ",C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n");
  Import(dir.filePath("gbk.csv"));
  QCOMPARE(Grid()->model()->index(0, 0).data().toString(), QStringLiteral("柱截面"));
  Click(1);
  QCOMPARE(Name(), QStringLiteral("柱截面"));

  QVERIFY(QDir::setCurrent(dir.path()));
  QTest::mouseClick(Find<QPushButton>("Button1"), Qt::LeftButton);
  QCOMPARE(Reports(), QStringList());
  // The section block's name field holds the table's bytes, padded.
  QVERIFY(ReadAll(dir.filePath(kComponentFileName)).contains(kGbkName + "    "));
}

}  // namespace brenmoor

QTEST_MAIN(brenmoor::TForm1ReportTest)
#include "tform1_report_test.moc"

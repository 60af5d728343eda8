// The window beyond its fixed form: report, picture and printing, keyboard
// selection, dropped tables, the status panel, the last folder, GB18030 names.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>

#include "import/section_import.h"
#include "jobs/capacity_job.h"
#include "model/fiber_layout.h"
#include "output/generate.h"
#include "report/section_drawing.h"
#include "tests/sample_table.h"
#include "ui/capacity_dialog.h"
#include "ui/run_window.h"
#include "ui/section_grid.h"
#include "ui/section_preview.h"
#include "ui/tform1.h"
#include "window_test_support.h"

namespace brenmoor {
namespace {

const QString kSample = QString::fromStdString(testing::kSampleTable);
const QByteArray kHeader = "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n";
// "柱截面" as a Chinese spreadsheet saves it.
const QByteArray kGbkName = "\xD6\xF9\xBD\xD8\xC3\xE6";

// A PDF's title as Qt writes it into the file: UTF-16, high byte first.
QByteArray Utf16Be(const QString& text) {
  QByteArray bytes;
  for (QChar c : text)
    bytes.append(static_cast<char>(c.unicode() >> 8)).append(static_cast<char>(c.unicode() & 0xFF));
  return bytes;
}

// Qt writes one page object a page, never in a compressed object stream.
int PdfPages(const QString& pdf) {
  const QByteArray bytes = ReadAll(pdf);
  int pages = bytes.startsWith("%PDF-") ? 0 : -1;
  for (const QByteArray& line : bytes.split('\n')) pages += line.trimmed() == "/Type /Page";
  return pages;
}

}  // namespace

class TForm1ReportTest : public WindowTest {
  Q_OBJECT

  QString Name() { return Find<QLineEdit>("Edit13")->text(); }
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

 private slots:
  void init() {
    state_ = std::make_unique<BrenmoorState>();
    NewForm();
  }
  void cleanup() {
    form_.reset();
    state_.reset();
    QDir::setCurrent(QStringLiteral(BRENMOOR_BINARY_DIR));
  }

  // Each key leaves the same fields and picture as a click on the row it
  // moved to; keys that do not change the row change nothing.
  void KeyboardSelectsAsAClick() {
    Import(kSample);
    Grid()->setFocus();  // the import put the current cell on the first row and selected it
    QCOMPARE(form_->SelectedRow(), 1);
    const struct {
      Qt::Key key;
      int row;
    } steps[] = {{Qt::Key_Down, 2},   {Qt::Key_Down, 3}, {Qt::Key_End, 7},      {Qt::Key_Up, 6},
                 {Qt::Key_Home, 1},   {Qt::Key_Up, 1},   {Qt::Key_PageDown, 7}, {Qt::Key_Right, 7},
                 {Qt::Key_PageUp, 1}, {Qt::Key_Down, 2}};
    for (const auto& step : steps) {
      QTest::keyClick(Grid(), step.key);
      const QString by_key = QStringLiteral("%1 %2").arg(form_->SelectedRow()).arg(Name());
      const QImage keyed = Preview();
      PressRow(step.row);
      QCOMPARE(by_key, QStringLiteral("%1 %2").arg(form_->SelectedRow()).arg(Name()));
      QCOMPARE(keyed, Preview());
    }
    QCOMPARE(Reports(), QStringList());
    QTest::keyClick(Grid(), Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != Grid());
    QCOMPARE(form_->SelectedRow(), 2);
  }

  void DroppedTableImportsAsTheOpenDialog() {
    QTemporaryDir dir;
    const QString bad = dir.filePath("bad.csv");
    WriteFile(bad, kHeader +
                       "1,A,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n"
                       "2,B,C99,STEEL,500,500,6,6,5,5,1,1,1,40\n");
    Drop({QUrl::fromLocalFile(kSample)});
    QCOMPARE(state_->imported_count, 7);
    PressRow(3);
    QCOMPARE(Name(), QStringLiteral("KZ3"));

    Drop({QUrl::fromLocalFile(bad)});
    const QStringList dropped = Reports();
    Import(bad);
    QCOMPARE(dropped.size(), 2);
    QCOMPARE(dropped[1], QStringLiteral("Line 3 of bad.csv"));
    QCOMPARE(Reports(), dropped + dropped);
    QCOMPARE(state_->imported_count, 7);  // refused: the table before is kept
    QCOMPARE(Name(), QStringLiteral("KZ3"));
    // Two files, or something that is not a file, are not taken.
    Import(QString());
    Drop({QUrl::fromLocalFile(kSample), QUrl::fromLocalFile(kSample)});
    Drop({QUrl(QStringLiteral("https://example.com/sample.csv"))});
    QCOMPARE(state_->imported_count, 0);
    QCOMPARE(Reports().size(), 4);
  }

  // A window started with a table (given relative to where it was started)
  // generates beside the table.
  void StartedWithATableWorksInItsFolder() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("项目")));
    QFile::copy(kSample, dir.filePath(QStringLiteral("项目/t.csv")));
    QVERIFY(QDir::setCurrent(dir.path()));
    const QString table = EnterTableFolder(QStringLiteral("项目/t.csv"));
    QCOMPARE(table, QDir(dir.path()).absoluteFilePath(QStringLiteral("项目/t.csv")));
    form_->ImportTableFile(table);
    QTest::mouseClick(Find<QPushButton>("Button1"), Qt::LeftButton);
    QCOMPARE(Reports(), QStringList());
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("项目/") + kComponentFileName)));
    QCOMPARE(EnterTableFolder(QStringLiteral("missing.csv")), QStringLiteral("missing.csv"));
  }

  // A name from a Chinese spreadsheet shows right and reaches the component
  // file as the table's bytes; the fourth panel tells where generate wrote
  // and an error clears it; the next window opens where this table was.
  void GenerateStatusGb18030NameAndLastFolder() {
    QTemporaryDir dir;
    QVERIFY(QDir::setCurrent(dir.path()));
    WriteFile(dir.filePath("gbk.csv"),
              kHeader + "1," + kGbkName + ",C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n");
    Import(dir.filePath("gbk.csv"));
    QCOMPARE(Grid()->model()->index(0, 0).data().toString(), QStringLiteral("柱截面"));
    PressRow(1);
    QCOMPARE(Name(), QStringLiteral("柱截面"));

    auto* panel = Find<QLabel>("StatusPanel4");
    QVERIFY(panel->x() >= Find<QLabel>("StatusPanel3")->geometry().right());
    QTest::mouseClick(Find<QPushButton>("Button1"), Qt::LeftButton);
    QCOMPARE(Reports(), QStringList());
    // The path as the system writes it (backslashes on Windows).
    const QString written =
        QDir::toNativeSeparators(QDir(dir.path()).absoluteFilePath(kComponentFileName));
    QCOMPARE(panel->text(), QStringLiteral("已生成 1 个截面 → ") + written);
    QCOMPARE(panel->toolTip(), QStringLiteral("Generated 1 section → ") + written);
    // The section block's name field holds the table's bytes, padded.
    QVERIFY(ReadAll(written).contains(kGbkName + "    "));

    Import(dir.filePath("missing.csv"));  // refused: not where a table was imported
    QCOMPARE(Reports().size(), 2);
    QCOMPARE(panel->text() + panel->toolTip(), QString());
    NewForm();
    Import(QString());
    QCOMPARE(form_->OpenDialog1().LastFolder(), QDir(dir.path()).absolutePath());
  }

  void ReportPictureAndPrint() {
    QTemporaryDir dir;
    auto* export_report = Find<QAction>("ExportReportAction");
    auto* picture = Find<QAction>("SavePictureAction");
    QVERIFY(!export_report->isEnabled());
    Import(kSample);
    form_->SaveDialog1().SetNextFileName(dir.filePath("r.pdf"));
    export_report->trigger();
    QCOMPARE(form_->SaveDialog1().LastSuggestion(),
             QFileInfo(kSample).absolutePath() + "/sample.pdf");
    QCOMPARE(PdfPages(dir.filePath("r.pdf")), 3);
    form_->PrintDialog1().SetNextOutputFile(dir.filePath("printed.pdf"));
    QTest::keyClick(form_.get(), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(PdfPages(dir.filePath("printed.pdf")), 3);

    QVERIFY(picture->isEnabled());  // row 1, selected by the import
    PressRow(2);
    form_->SaveDialog1().SetNextFileName(dir.filePath("kz2.png"));
    picture->trigger();
    QCOMPARE(form_->SaveDialog1().LastSuggestion(), QFileInfo(kSample).absolutePath() + "/KZ2.png");
    static_assert(TForm1::kPictureSize >= 1200);
    TSECTION section = state_->records[2];
    LayoutFibers(section);
    QCOMPARE(QImage(dir.filePath("kz2.png")).convertToFormat(QImage::Format_RGB32),
             SectionPicture(section, QStringLiteral("KZ2"), TForm1::kPictureSize));

    // Never over the table itself; a cancel writes nothing.
    QVERIFY(QFile::copy(kSample, dir.filePath("t.csv")));
    Import(dir.filePath("t.csv"));
    QCOMPARE(form_->SelectedRow(), 1);
    form_->SaveDialog1().SetNextFileName(dir.filePath("t.csv"));
    export_report->trigger();
    QCOMPARE(Reports().size(), 2);
    QVERIFY2(Reports()[0].endsWith("It is the section table itself."), qPrintable(Reports()[0]));
    QCOMPARE(ReadAll(dir.filePath("t.csv")), ReadAll(kSample));
    form_->SaveDialog1().SetNextFileName(QString());
    export_report->trigger();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 4);
  }

  // The context menu's whole-table capacity report and the table saved with
  // the suggested grids: each asks where, beside the table by default,
  // takes the capacity options the dialog was left with (at r = 1.0 the
  // sample's KZ4 and KZ6 get other grids than at the default 0.3) and the
  // window's language; the refined copy is then the table on show. A cancel
  // writes nothing.
  void CapacityReportAndRefinedTable() {
    QTemporaryDir dir;
    QVERIFY(QFile::copy(kSample, dir.filePath("t.csv")));
    auto* report = Find<QAction>("CapacityReportAction");
    auto* refine = Find<QAction>("RefineAction");
    QVERIFY(!report->isEnabled() && !refine->isEnabled());
    Import(dir.filePath("t.csv"));
    PressRow(1);
    Find<QAction>("CapacityAction")->trigger();
    form_->CapacityWindow()->findChild<QDoubleSpinBox*>("AxialRatioBox")->setValue(1.0);
    form_->CapacityWindow()->close();
    SaveDialog& save = form_->SaveDialog1();

    save.SetNextFileName(dir.filePath("c.pdf"));
    report->trigger();
    QCOMPARE(save.LastSuggestion(), dir.path() + "/t.capacity.pdf");
    QCOMPARE(PdfPages(dir.filePath("c.pdf")), 15);  // the summary, two pages a section
    QVERIFY(ReadAll(dir.filePath("c.pdf")).contains(Utf16Be(QStringLiteral("t.csv 的截面承载力"))));

    BrenmoorState fresh;
    JobContext context{fresh};
    RefineRequest expected;
    expected.table = {dir.filePath("t.csv").toStdString(), false};
    expected.output = dir.filePath("expected.csv").toStdString();
    expected.options.axial_ratio = 1.0;
    const int changed = RefineJob(expected, context).job.sections;
    save.SetNextFileName(dir.filePath("r.csv"));
    refine->trigger();
    QCOMPARE(Reports(), QStringList());
    QCOMPARE(save.LastSuggestion(), dir.path() + "/t.refined.csv");
    QCOMPARE(ReadAll(dir.filePath("r.csv")), ReadAll(dir.filePath("expected.csv")));
    QCOMPARE(Find<QLabel>("StatusPanel4")->text(),
             QStringLiteral("已按建议网格改了 %1 个截面 → %2")
                 .arg(changed)
                 .arg(QDir::toNativeSeparators(dir.filePath("r.csv"))));
    // The copy is imported: its grids are the ones on show.
    BrenmoorState copy;
    ImportSectionFile(copy, dir.filePath("r.csv").toStdString(), '.');
    QCOMPARE(state_->imported_count, copy.imported_count);
    for (int r = 1; r <= copy.imported_count; ++r) {
      QCOMPARE(state_->records[r].FX, copy.records[r].FX);
      QCOMPARE(state_->records[r].FY, copy.records[r].FY);
    }
    save.SetNextFileName(QString());
    report->trigger();
    QCOMPARE(save.LastSuggestion(), dir.path() + "/r.capacity.pdf");
    save.SetNextFileName(QString());
    refine->trigger();
    QCOMPARE(save.LastSuggestion(), dir.path() + "/r.refined.csv");
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 4);
  }
};

}  // namespace brenmoor

QTEST_MAIN(brenmoor::TForm1ReportTest)
#include "tform1_report_test.moc"

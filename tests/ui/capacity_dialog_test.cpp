// The capacity dialog: it follows the selected row, its options change what
// it shows and are remembered, and it exports through the save dialog.
#include "ui/capacity_dialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include "capacity/analysis.h"
#include "capacity/analysis_laws.h"
#include "report/figures.h"
#include "tests/sample_table.h"
#include "window_test_support.h"

namespace brenmoor {
namespace {

const QString kSample = QString::fromStdString(testing::kSampleTable);

// pdftotext's text of a PDF, empty where it is not installed.
QString PdfText(const QString& pdf) {
  QProcess process;
  process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  if (!process.waitForFinished(20000)) return QString();
  return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

class CapacityDialogTest : public WindowTest {
  Q_OBJECT

  CapacityDialog* Dialog() { return form_->CapacityWindow(); }
  template <typename T>
  T* InDialog(const char* name) {
    if (T* widget = Dialog()->findChild<T*>(QString::fromLatin1(name))) return widget;
    qFatal("no widget %s", name);
  }
  // The figures as shown: row 0 about x, 1 about y; column 0 N0 … 6 error.
  QString Cell(int row, int column) {
    return InDialog<QTableWidget>("CapacityFigures")->item(row, column)->text();
  }
  QImage Charts() { return InDialog<QWidget>("CapacityCharts")->grab().toImage(); }
  void Open(int row) {
    PressRow(row);
    Find<QAction>("CapacityAction")->trigger();
    QVERIFY(Dialog() != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(Dialog()));
  }

 private slots:
  void init() {
    state_ = std::make_unique<BrenmoorState>();
    NewForm();
  }
  void cleanup() {
    form_.reset();
    state_.reset();
  }

  // The figures are checked against the sample worked out by hand: KZ1 is
  // 500 × 500 C35 with As = 5960 mm², so N0 = fc·250000 + min(fy′, 400)·5960
  // and Nt = −fy·5960; its M0 comes from an independent computation.
  void FollowsTheSelectedRowAndItsOptions() {
    auto* action = Find<QAction>("CapacityAction");
    QVERIFY(!action->isEnabled());  // nothing imported yet
    Import(kSample);
    QVERIFY(action->isEnabled());  // row 1, selected by the import
    Open(1);
    QVERIFY(!Dialog()->isModal());
    QCOMPARE(Dialog()->Record(), 1);
    QVERIFY2(InDialog<QLabel>("CapacityTitle")->text().contains("KZ1"),
             qPrintable(InDialog<QLabel>("CapacityTitle")->text()));
    QCOMPARE(Cell(0, 0), QStringLiteral("6320.6"));
    QCOMPARE(Cell(1, 1), QStringLiteral("−2145.6"));  // the report's minus sign
    QVERIFY(std::abs(Cell(0, 4).toDouble() - 441.8) < 0.5);
    QCOMPARE(InDialog<QLabel>("CapacityAdvice")->text(), QString());
    const QImage kz1 = Charts();

    // The window stays usable: the next row is shown as it is chosen.
    PressRow(2);
    QCOMPARE(Dialog()->Record(), 2);
    QVERIFY2(std::abs(Cell(1, 4).toDouble() - 235.7) < 0.3, qPrintable(Cell(1, 4)));
    QVERIFY(Charts() != kz1);
    PressRow(5);  // no concrete cells: the fibers miss the concrete whole
    QVERIFY(Cell(0, 6).toDouble() > 90);
    QVERIFY(InDialog<QLabel>("CapacityAdvice")->text().contains("FX"));
    QVERIFY(InDialog<QLabel>("CapacityAdvice")->text().contains("FY"));

    PressRow(1);
    QCOMPARE(Charts(), kz1);
    const struct {
      const char* steel;
      int strengths;
      double ratio;
      const char* n0;
    } options[] = {
        {"HRB500", 0, 0.3, "6559.0"},  // fy′ = 400 in N0
        {"HRB335", 0, 0.3, "5963.0"},  // 16.7·250000 + 300·5960
        {"HRB400", 1, 0.3, "8234.0"},  // 23.4·250000 + 400·5960
        {"HRB400", 0, 0.5, "6320.6"},
    };
    for (const auto& o : options) {
      const QString name = QStringLiteral("%1 %2 %3").arg(o.steel).arg(o.strengths).arg(o.ratio);
      InDialog<QComboBox>("SteelGradeBox")->setCurrentText(QString::fromLatin1(o.steel));
      InDialog<QComboBox>("StrengthsBox")->setCurrentIndex(o.strengths);
      InDialog<QDoubleSpinBox>("AxialRatioBox")->setValue(o.ratio);
      QCOMPARE(Cell(0, 0) + " " + name, QString::fromLatin1(o.n0) + " " + name);
    }
    // N of the moment–curvature curve: r·fc·B·H = 0.5·16.7·250000 N.
    QVERIFY(std::abs(Dialog()->Curves()->curvature[0][0].N - 2087.5) < 1e-6);
    QVERIFY(Charts() != kz1);

    // Remembered for the next window; the dialog opens with them.
    InDialog<QComboBox>("SteelGradeBox")->setCurrentText(QStringLiteral("HRB335"));
    InDialog<QComboBox>("StrengthsBox")->setCurrentIndex(1);
    InDialog<QDoubleSpinBox>("AxialRatioBox")->setValue(0.45);
    NewForm();
    Import(kSample);
    Open(1);
    QCOMPARE(QString::fromLatin1(SteelGradeName(Dialog()->Options().steel)),
             QStringLiteral("HRB335"));
    QCOMPARE(QString::fromLatin1(StrengthsName(Dialog()->Options().strengths)),
             QStringLiteral("characteristic"));
    QCOMPARE(Dialog()->Options().axial_ratio, 0.45);
    QCOMPARE(Cell(0, 0), QStringLiteral("7846.6"));  // 23.4·250000 + 335·5960

    // Closed, it no longer follows; opened again, it shows the row chosen.
    Dialog()->close();
    PressRow(4);
    QCOMPARE(Dialog()->Record(), 1);
    Find<QAction>("CapacityAction")->trigger();
    QCOMPARE(Dialog()->Record(), 4);

    // A cancelled import takes the sections away; a new one shows its row 1.
    Import(QString());
    QCOMPARE(Dialog()->Record(), 0);
    QVERIFY(!Dialog()->Curves());
    QCOMPARE(Cell(0, 0), QString());
    QVERIFY(!InDialog<QPushButton>("ExportPdfButton")->isEnabled());
    Import(kSample);
    QCOMPARE(Dialog()->Record(), 1);
    QVERIFY(InDialog<QPushButton>("ExportPdfButton")->isEnabled());
    PressRow(3);
    QCOMPARE(Dialog()->Record(), 3);
    QCOMPARE(Reports(), QStringList());
  }

  // The third chart, the biaxial row, the material values, ρ and the best
  // grid follow the row and the options. By hand: WEAK (500 × 500, C35,
  // As = 4·250) has ρ = 0.40 % and N0 = 16.7·250000 + 360·1000 N = 4535 kN,
  // below N = 1.5·16.7·250000 N = 6262.5 kN at r = 1.5; KZ2 (400 × 600, C30)
  // takes N = −0.3·14.3·240000 N = −1029.6 kN at r = −0.3.
  void ThirdChartGridAndRemarksFollowTheRowAndOptions() {
    QTemporaryDir dir;
    const QList<QByteArray> sample = ReadAll(kSample).split('\n');
    WriteFile(dir.filePath("t.csv"), sample[0] + '\n' + sample[1] + '\n' +
                                         "2,WEAK,C35,STEEL,500,500,6,6,0,0,0,0,250,40\n" +
                                         sample[2] + '\n');
    Import(dir.filePath("t.csv"));
    Open(1);
    InDialog<QComboBox>("SteelGradeBox")->setCurrentText(QStringLiteral("HRB400"));
    InDialog<QComboBox>("StrengthsBox")->setCurrentIndex(0);
    InDialog<QDoubleSpinBox>("AxialRatioBox")->setValue(0.3);
    const auto contour_drawn = [&] {
      const QImage charts = Charts();
      for (int y = 0; y < charts.height(); ++y) {
        for (int x = charts.width() * 2 / 3 + 8; x < charts.width(); ++x) {
          const QColor c(charts.pixel(x, y));
          if (c.blue() > 150 && c.red() < 60) return true;
        }
      }
      return false;
    };
    const auto materials = [&] { return InDialog<QLabel>("CapacityMaterials")->text(); };
    const auto grid = [&] { return InDialog<QLabel>("CapacityGrid")->text(); };
    const auto advice = [&] { return InDialog<QLabel>("CapacityAdvice")->text(); };

    QVERIFY(contour_drawn());
    QVERIFY2(materials().contains(QStringLiteral("fc = 16.7 N/mm²")), qPrintable(materials()));
    QVERIFY2(materials().contains(QStringLiteral("ρ = 2.38 %")), qPrintable(materials()));
    QCOMPARE(Cell(2, 6), CapacityFigure(Dialog()->Curves()->biaxial.figures.fiber_error_pct, 2));
    QVERIFY2(grid().contains(QStringLiteral("6 × 6")), qPrintable(grid()));
    QCOMPARE(advice(), QString());
    InDialog<QComboBox>("SteelGradeBox")->setCurrentText(QStringLiteral("HRB500"));
    QVERIFY2(materials().contains(QStringLiteral("fy′ (N0) = 400 N/mm²")), qPrintable(materials()));
    InDialog<QComboBox>("SteelGradeBox")->setCurrentText(QStringLiteral("HRB400"));

    PressRow(3);  // KZ2: 7 × 6 does better than its 4 × 6
    QVERIFY(Dialog()->Grid() && Dialog()->Grid()->Improves());
    QVERIFY2(grid().contains(QStringLiteral("4 × 6")) && grid().contains(QStringLiteral("7 × 6")),
             qPrintable(grid()));
    const double error_at_03 = Dialog()->Grid()->error_pct;
    InDialog<QDoubleSpinBox>("AxialRatioBox")->setValue(-0.3);
    QVERIFY2(Cell(2, 0).contains(QStringLiteral("N = −1029.6 kN")), qPrintable(Cell(2, 0)));
    const GridChoice in_tension = ChooseBestGrid(*state_, 3, Dialog()->Options());
    QCOMPARE(Dialog()->Grid()->error_pct, in_tension.error_pct);
    QVERIFY(in_tension.error_pct != error_at_03);

    InDialog<QDoubleSpinBox>("AxialRatioBox")->setValue(1.5);
    PressRow(2);
    QVERIFY(!contour_drawn());
    QVERIFY2(Cell(2, 0).contains(QStringLiteral("N = 6262.5 kN")), qPrintable(Cell(2, 0)));
    QCOMPARE(Cell(2, 6), QString());
    QCOMPARE(Dialog()->Grid()->verdict, GridVerdict::kCannotCarry);
    QVERIFY2(grid().contains(QStringLiteral("只计绕 x、y 轴的误差")), qPrintable(grid()));
    QVERIFY2(advice().contains(QStringLiteral("ρ = 0.40 %")), qPrintable(advice()));
    InDialog<QDoubleSpinBox>("AxialRatioBox")->setValue(0.3);
    QVERIFY(contour_drawn());
    QCOMPARE(Reports(), QStringList());
  }

  // Every control of the dialog lies inside `available`, none cut off by
  // the dialog's edge, and the charts keep some room.
  void ExpectWhollyInside(CapacityDialog& dialog, const QRect& available) {
    // Its frame inside, and room above for a title bar, which the offscreen
    // platform does not draw.
    QVERIFY(available.contains(dialog.frameGeometry()));
    QVERIFY2(available.contains(dialog.geometry().marginsAdded(QMargins(0, 30, 0, 0))),
             qPrintable(QStringLiteral("%1 × %2 at %3, %4")
                            .arg(dialog.width())
                            .arg(dialog.height())
                            .arg(dialog.x())
                            .arg(dialog.y())));
    QList<QWidget*> controls;
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) controls << button;
    controls << InDialog<QWidget>("SteelGradeBox") << InDialog<QWidget>("StrengthsBox")
             << InDialog<QWidget>("AxialRatioBox") << InDialog<QWidget>("CapacityFigures");
    for (QWidget* control : controls) {
      const QString name =
          control->objectName().isEmpty() ? QStringLiteral("Close") : control->objectName();
      QVERIFY2(control->isVisible(), qPrintable(name));
      QCOMPARE(control->visibleRegion().boundingRect(), control->rect());
      QVERIFY2(available.contains(QRect(control->mapToGlobal(QPoint(0, 0)), control->size())),
               qPrintable(name));
    }
    QVERIFY(InDialog<QWidget>("CapacityChartsArea")->height() >= 150);
  }

  // On a laptop's screen the dialog opens inside the screen, its buttons
  // within reach; its minimum fits 1024 × 700 with a title bar.
  void FitsSmallScreens() {
    if (QGuiApplication::screens().size() != 3) QSKIP("needs the three screens main gives");
    for (QScreen* screen : QGuiApplication::screens()) {
      const QRect available = screen->availableGeometry();
      NewForm();
      form_->windowHandle()->setScreen(screen);
      form_->move(available.topLeft() + QPoint(40, 60));
      Import(kSample);
      Open(1);
      QCOMPARE(Dialog()->screen(), screen);
      ExpectWhollyInside(*Dialog(), available);
      QVERIFY(Dialog()->minimumSizeHint().width() <= 1024 - 16);
      QVERIFY(Dialog()->minimumSizeHint().height() <= 700 - 40);
      // Made larger than the screen, it fits itself in again when opened.
      Dialog()->close();
      Dialog()->resize(available.size() + QSize(300, 300));
      Open(1);
      ExpectWhollyInside(*Dialog(), available);
    }
  }

  // A section the capacity has no law for is said in the dialog, not in an
  // error box at every click.
  void RefusedSectionIsShownWithoutCharts() {
    QTemporaryDir dir;
    WriteFile(dir.filePath("t.csv"),
              "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n"
              "1,A,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n"
              "2,B,STEEL,STEEL,500,500,6,6,5,5,1000,1000,490,40\n");
    Import(dir.filePath("t.csv"));
    Open(2);
    QVERIFY(!Dialog()->Curves());
    QVERIFY(!InDialog<QPushButton>("ExportPictureButton")->isEnabled());
    QCOMPARE(Cell(0, 0), QString());
    PressRow(1);
    QVERIFY(Dialog()->Curves());
    QCOMPARE(Reports(), QStringList());
  }

  // The analysis curves beside the others, their figures on their own pages
  // as the capacity library gives them, the confined model only where the
  // table has stirrups, and the stirrups' grade chosen, used and remembered.
  void AnalysisFollowsTheHoopsGrade() {
    const QString stirrups = QStringLiteral(BRENMOOR_SOURCE_DIR "/examples/sample-stirrups.csv");
    Import(stirrups);
    Open(1);
    auto* hoops = InDialog<QComboBox>("HoopsGradeBox");
    QVERIFY(hoops->isVisible());
    auto* table = InDialog<QTableWidget>("AnalysisFiguresX");
    QVERIFY(!table->isRowHidden(2));
    const auto confined_ei0 = [&] {
      const AnalysisSection section = MakeAnalysisSection(
          *state_, 1, AnalysisOptionsOf(Dialog()->Options()), state_->records[1].stirrups);
      return Figure(
          *AnalysisFiguresOf(section, BendingAxis::kX, AnalysisModel::kConfined, 0.3).EI0);
    };
    QCOMPARE(table->item(2, 0)->text(), confined_ei0());
    const QImage hrb400 = Charts();
    const QString mu = table->item(2, 9)->text();
    // HPB300's fy of 270 N/mm² confines less: another core, another curve.
    hoops->setCurrentText(QStringLiteral("HPB300"));
    QCOMPARE(Dialog()->Analysis()->section.core->fyh, 270.0);
    QCOMPARE(table->item(2, 0)->text(), confined_ei0());
    QVERIFY(table->item(2, 9)->text() != mu);
    QVERIFY(Charts() != hrb400);
    NewForm();
    Import(stirrups);
    Open(1);
    QCOMPARE(InDialog<QComboBox>("HoopsGradeBox")->currentText(), QStringLiteral("HPB300"));

    // Without stirrup columns: no choice of hoops and no confined row.
    Import(kSample);
    QVERIFY(!InDialog<QComboBox>("HoopsGradeBox")->isVisible());
    QVERIFY(InDialog<QTableWidget>("AnalysisFiguresY")->isRowHidden(2));
    QVERIFY(!Dialog()->Analysis()->confined());
  }

  // Settings written by hand or by another version give the defaults, not
  // a grade or a ratio the dialog cannot show.
  void UnknownSettingsGiveTheDefaults() {
    const struct {
      const char *steel, *strengths, *ratio, *hoops;
    } stored[] = {{"HRB999", "nominal", "abc", "HPB999"},
                  {"hrb400", "", "7", "hpb300"},
                  {"", "Design", "-0.51", ""}};
    for (const auto& s : stored) {
      QSettings settings(settings_dir_.filePath("odd.ini"), QSettings::IniFormat);
      settings.setValue("capacity/steel", s.steel);
      settings.setValue("capacity/strengths", s.strengths);
      settings.setValue("capacity/axialRatio", s.ratio);
      settings.setValue("capacity/hoops", s.hoops);
      const CapacityOptions options = LoadCapacityOptions(settings);
      QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                   .arg(SteelGradeName(options.steel), StrengthsName(options.strengths))
                   .arg(options.axial_ratio)
                   .arg(RebarGradeName(options.hoops)),
               QStringLiteral("HRB400 design 0.3 HRB400"));
    }
  }

  void ExportsThroughTheSaveDialog() {
    QTemporaryDir dir;
    QVERIFY(QFile::copy(kSample, dir.filePath("t.csv")));
    Import(dir.filePath("t.csv"));
    Open(2);
    SaveDialog& save = form_->SaveDialog1();

    save.SetNextFileName(dir.filePath("kz2.png"));
    QTest::mouseClick(InDialog<QPushButton>("ExportPictureButton"), Qt::LeftButton);
    QCOMPARE(save.LastSuggestion(), dir.path() + "/KZ2.capacity.png");
    const QImage picture(dir.filePath("kz2.png"));
    QCOMPARE(picture.size(), CapacityDialog::kPictureSize);
    QCOMPARE(picture.convertToFormat(QImage::Format_RGB32), Dialog()->Picture());

    save.SetNextFileName(dir.filePath("kz2.pdf"));
    QTest::mouseClick(InDialog<QPushButton>("ExportPdfButton"), Qt::LeftButton);
    QCOMPARE(save.LastSuggestion(), dir.path() + "/KZ2.capacity.pdf");
    QVERIFY(ReadAll(dir.filePath("kz2.pdf")).startsWith("%PDF-"));
    if (const QString text = PdfText(dir.filePath("kz2.pdf")); !text.isEmpty()) {
      QVERIFY2(text.contains(QRegularExpression("2 +KZ2")) &&
                   text.contains(QStringLiteral("第 1 页，共 2 页")) &&
                   text.contains(QRegularExpression("2 +KZ2：分析弯矩–曲率")) &&
                   text.contains(QStringLiteral("绕 y 轴")) &&
                   text.contains(QStringLiteral("N0 按毛截面 B × H 计")),
               qPrintable(text));
      QVERIFY2(text.contains(Cell(1, 4)), qPrintable(text));  // M0 about y
    }

    // Never over the table; a cancel writes nothing.
    save.SetNextFileName(dir.filePath("t.csv"));
    QTest::mouseClick(InDialog<QPushButton>("ExportPdfButton"), Qt::LeftButton);
    QCOMPARE(Reports().size(), 2);
    QVERIFY2(Reports()[0].endsWith("It is the section table itself."), qPrintable(Reports()[0]));
    QCOMPARE(ReadAll(dir.filePath("t.csv")), ReadAll(kSample));
    // A folder that is not there: said, and nothing written.
    save.SetNextFileName(dir.filePath("missing/kz2.png"));
    QTest::mouseClick(InDialog<QPushButton>("ExportPictureButton"), Qt::LeftButton);
    QCOMPARE(Reports().size(), 4);
    QVERIFY2(Reports()[2].contains("missing"), qPrintable(Reports()[2]));
    save.SetNextFileName(QString());
    QTest::mouseClick(InDialog<QPushButton>("ExportPictureButton"), Qt::LeftButton);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).size(), 3);
  }
};

}  // namespace brenmoor

// Three screens side by side, as small as laptops have them, in place of
// the window tests' desktop screen (else FitsSmallScreens skips); the
// offscreen platform reads them from a file it is given, which must be
// named without a colon (the platform's arguments are split at colons).
int main(int argc, char** argv) {
  if (qgetenv("QT_QPA_PLATFORM").startsWith("offscreen")) {
    QFile screens(QStringLiteral("capacity_dialog_screens.json"));
    if (!screens.open(QIODevice::WriteOnly) || screens.write(R"({"screens": [
          {"name": "1280x800", "x": 0, "y": 0, "width": 1280, "height": 800},
          {"name": "1366x768", "x": 1280, "y": 0, "width": 1366, "height": 768},
          {"name": "1024x700", "x": 2646, "y": 0, "width": 1024, "height": 700}]})") < 0) {
      return 1;
    }
    screens.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=capacity_dialog_screens.json");
  }
  QApplication app(argc, argv);
  brenmoor::CapacityDialogTest test;
  return QTest::qExec(&test, argc, argv);
}
#include "capacity_dialog_test.moc"

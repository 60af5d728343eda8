// The window's two languages: Chinese by default with Qt's own texts in
// Chinese, English from the context menu at once and at the next start,
// every English text inside its control, the exported report in the
// window's language, and the About box.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>

#include "model/errors.h"
#include "tests/sample_table.h"
#include "ui/capacity_dialog.h"
#include "window_test_support.h"

namespace brenmoor {
namespace {

const QString kSample = QString::fromStdString(testing::kSampleTable);

// A PDF's title as Qt writes it into the file: UTF-16, high byte first.
QByteArray Utf16Be(const QString& text) {
  QByteArray bytes;
  for (QChar c : text)
    bytes.append(static_cast<char>(c.unicode() >> 8)).append(static_cast<char>(c.unicode() & 0xFF));
  return bytes;
}

}  // namespace

class WindowLanguageTest : public WindowTest {
  Q_OBJECT

  QString OkButtonText() {
    ReportedError report;
    report.text = QStringLiteral("x");
    auto box = MakeErrorBox(form_.get(), report);
    return box->button(QMessageBox::Ok)->text();
  }
  void Choose(const char* action) {
    Find<QAction>(action)->trigger();
    QCOMPARE(Find<QAction>(action)->isChecked(), true);
  }
  QString ExportedReport() {
    const QString pdf = settings_dir_.filePath(QStringLiteral("report.pdf"));
    form_->SaveDialog1().SetNextFileName(pdf);
    form_->ExportReport();
    return pdf;
  }

 private slots:
  void init() {
    state_ = std::make_unique<BrenmoorState>();
    NewForm();
  }
  void cleanup() {
    form_.reset();
    state_.reset();
    QFile::remove(settings_dir_.filePath("brenmoor.ini"));
  }

  // Chinese is the default, Qt's own buttons included; English replaces
  // every text the window and Qt show, keeps what the fields show, and is
  // what the next window starts with; Chinese brings back the form's texts.
  void SwitchesAtOnceAndRemembers() {
    QCOMPARE(form_->CurrentLanguage(), Language::kChinese);
    QCOMPARE(Find<QPushButton>("Button1")->text(), QStringLiteral("生成PERFORM3D导入数据"));
    QCOMPARE(Find<QLabel>("StatusPanel1")->text(), QStringLiteral("开发者"));
    QVERIFY2(!form_->Translators().QtCatalogue().isEmpty(), "qtbase_zh_CN.qm not found");
    QCOMPARE(OkButtonText(), QStringLiteral("确定"));

    Import(kSample);
    PressRow(2);
    const QStringList fields = Fields();
    Choose("EnglishAction");
    QCOMPARE(Find<QPushButton>("Button1")->text(),
             QStringLiteral("Generate PERFORM3D import data"));
    QCOMPARE(Find<QGroupBox>("GroupBox2")->title(), QStringLiteral("Materials"));
    QVERIFY(Find<QPlainTextEdit>("Memo1")->toPlainText().startsWith(
        QStringLiteral("Brenmoor\nUsage notes:")));
    QCOMPARE(Find<QLabel>("StatusPanel1")->text(), QStringLiteral("Developer"));
    QCOMPARE(Find<QAction>("ExportReportAction")->text(),
             QStringLiteral("Export section report (PDF)…"));
    QCOMPARE(OkButtonText(), QStringLiteral("OK"));
    QCOMPARE(MakeErrorBox(form_.get(),
                          ErrorReportFor(ImportError("'7O0' is not a valid floating point value",
                                                     "t.csv", 4, "KZ3", "B")))
                 ->text(),
             QStringLiteral("Line 4, KZ3, column B: '7O0' is not a valid floating point value."));
    QCOMPARE(Fields(), fields);

    form_.reset();
    NewForm();
    QCOMPARE(form_->CurrentLanguage(), Language::kEnglish);
    QCOMPARE(Find<QPushButton>("Button3")->text(), QStringLiteral("Import section table"));

    Choose("ChineseAction");
    QCOMPARE(Find<QPushButton>("Button3")->text(), QStringLiteral("导入多个数据表格"));
    QCOMPARE(Find<QLabel>("Label1")->text(), QStringLiteral("柱高度H(mm)"));
    QCOMPARE(OkButtonText(), QStringLiteral("确定"));
  }

  // The generate panel says what was written in the language shown, also
  // when the language changes afterwards.
  void GeneratedPanelFollowsTheLanguage() {
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    Import(kSample);
    QTest::mouseClick(Find<QPushButton>("Button1"), Qt::LeftButton);
    QDir::setCurrent(QStringLiteral(BRENMOOR_BINARY_DIR));
    QVERIFY(Find<QLabel>("StatusPanel4")->text().startsWith(QStringLiteral("已生成 7 个截面 → ")));
    Choose("EnglishAction");
    QVERIFY(
        Find<QLabel>("StatusPanel4")->text().startsWith(QStringLiteral("Generated 7 sections → ")));
  }

  // In English every caption, label and button text fits the control the
  // Chinese form gave it, and the usage notes fit without scrolling.
  void EnglishTextsFitTheirControls() {
    Choose("EnglishAction");
    for (QLabel* label : form_->findChildren<QLabel*>()) {
      if (label->text().isEmpty() || label->objectName() == QStringLiteral("StatusPanel4"))
        continue;
      QVERIFY2(
          label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width(),
          qPrintable(label->objectName() + u' ' + label->text()));
    }
    for (QPushButton* button : form_->findChildren<QPushButton*>()) {
      QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) + 8 <= button->width(),
               qPrintable(button->text()));
    }
    for (QGroupBox* box : form_->findChildren<QGroupBox*>()) {
      QVERIFY2(box->fontMetrics().horizontalAdvance(box->title()) + 16 <= box->width(),
               qPrintable(box->title()));
    }
    QCOMPARE(Find<QPlainTextEdit>("Memo1")->verticalScrollBar()->maximum(), 0);
  }

  // The report exported from the window speaks the window's language.
  void ExportedReportFollowsTheLanguage() {
    Import(kSample);
    QVERIFY(ReadAll(ExportedReport()).contains(Utf16Be(QStringLiteral("sample.csv 的柱截面"))));
    Choose("EnglishAction");
    QVERIFY(ReadAll(ExportedReport())
                .contains(Utf16Be(QStringLiteral("Column sections of sample.csv"))));
    QCOMPARE(Reports(), QStringList());
  }

  // The capacity dialog's texts switch with the window's, and the page it
  // exports speaks the window's language.
  void CapacityDialogFollowsTheLanguage() {
    Import(kSample);
    PressRow(1);
    form_->ShowCapacity();
    CapacityDialog* dialog = form_->CapacityWindow();
    QVERIFY(dialog != nullptr);
    const auto close = [&] {
      for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->objectName().isEmpty()) return button->text();
      }
      return QString();
    };
    const QString pdf = settings_dir_.filePath(QStringLiteral("capacity.pdf"));
    const auto exported = [&] {
      form_->SaveDialog1().SetNextFileName(pdf);
      dialog->ExportPdf();
      return ReadAll(pdf);
    };
    QCOMPARE(close(), QStringLiteral("关闭"));
    QVERIFY(exported().contains(Utf16Be(QStringLiteral("sample.csv 的截面承载力"))));
    Choose("EnglishAction");
    QCOMPARE(close(), QStringLiteral("Close"));
    QCOMPARE(Find<QAction>("CapacityAction")->text(), QStringLiteral("Section capacity…"));
    QVERIFY(dialog->windowTitle().startsWith(QStringLiteral("Section capacity — ")));
    QVERIFY(exported().contains(Utf16Be(QStringLiteral("Section capacity of sample.csv"))));
    // Its lines of figures read whole in English on the smallest screen it
    // fits (1024 wide), for the section with the longest ones: KZ2, whose
    // grid has a better one, with HRB500's three strengths.
    PressRow(2);
    dialog->findChild<QComboBox*>(QStringLiteral("SteelGradeBox"))
        ->setCurrentText(QStringLiteral("HRB500"));
    dialog->resize(1024 - 16, 660);
    QApplication::processEvents();
    for (const char* name :
         {"CapacityMaterials", "CapacityGrid", "CapacityAdvice", "CapacityScope"}) {
      auto* label = dialog->findChild<QLabel*>(QString::fromLatin1(name));
      QVERIFY2(
          label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width(),
          qPrintable(label->text()));
    }
    QVERIFY(dialog->findChild<QLabel*>(QStringLiteral("CapacityGrid"))->text().contains("7 × 6"));
    Choose("ChineseAction");
    QVERIFY(dialog->windowTitle().startsWith(QStringLiteral("截面承载力 — ")));
    QCOMPARE(Reports(), QStringList());
  }

  // About names the version, the Qt it was built with, the licence (its
  // text behind the details) and has Qt's own About.
  void AboutBoxNamesVersionQtAndLicence() {
    for (const char* language : {"ChineseAction", "EnglishAction"}) {
      Choose(language);
      AboutBox about = MakeAboutBox(form_.get());
      QVERIFY(about.box->text().contains(QStringLiteral("Brenmoor " BRENMOOR_VERSION)));
      QVERIFY(about.box->text().contains(QStringLiteral("Qt " QT_VERSION_STR)));
      QVERIFY(about.box->text().contains(QStringLiteral("MIT")));
      QVERIFY(about.box->detailedText().startsWith(QStringLiteral("MIT License")));
      QVERIFY(about.about_qt != nullptr);
    }
    QCOMPARE(MakeAboutBox(form_.get()).box->windowTitle(), QStringLiteral("About Brenmoor"));
  }
};

}  // namespace brenmoor

QTEST_MAIN(brenmoor::WindowLanguageTest)
#include "window_language_test.moc"

// Long work in the window: the progress dialog shows, and its Cancel leaves
// every file, and the table imported before, as they were.
#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QPointer>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "import/section_import.h"
#include "output/generate.h"
#include "tests/varied_table.h"
#include "ui/window_progress.h"
#include "window_test_support.h"

namespace brenmoor {

class TForm1ProgressTest : public WindowTest {
  Q_OBJECT

  // Presses Cancel on the progress dialog as soon as it shows (or never);
  // returns how many dialogs showed. `look` sees each dialog once it shows.
  int RunShowingProgress(const std::function<void()>& action, bool cancel,
                         const std::function<void(QProgressDialog&)>& look = {}) {
    form_->SetProgressDelayForTesting(0);
    int shown = 0;
    QPointer<QProgressDialog> seen;
    QTimer watch;
    watch.setInterval(0);
    connect(&watch, &QTimer::timeout, this, [&] {
      auto* dialog = form_->findChild<QProgressDialog*>(QStringLiteral("ProgressDialog"));
      if (dialog == nullptr || !dialog->isVisible() || dialog == seen) return;
      seen = dialog;
      ++shown;
      if (look) look(*dialog);
      if (cancel) dialog->cancel();
    });
    watch.start();
    action();
    watch.stop();
    form_->SetProgressDelayForTesting(60'000);
    return shown;
  }

  QStringList Entries() { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }

 private slots:
  void init() {
    state_ = std::make_unique<BrenmoorState>();
    NewForm();
    form_->SetProgressDelayForTesting(60'000);
    QDir::setCurrent(dir_.path());
    WriteFile(dir_.filePath("old.csv"), QByteArray::fromStdString(testing::VariedTable(3000, 4)));
    WriteFile(dir_.filePath("new.csv"), QByteArray::fromStdString(testing::VariedTable(3000, 5)));
    WriteFile(dir_.filePath("KAVOSEC.PF3CMP"), "an older component file");
    Import(dir_.filePath("old.csv"));
    QCOMPARE(state_->imported_count, 3000);
  }
  void cleanup() {
    form_.reset();
    state_.reset();
    QDir::setCurrent(QStringLiteral(BRENMOOR_BINARY_DIR));
  }

  void CancelLeavesEveryFileAndTheTableAsTheyWere() {
    const std::string old_name = state_->records[3000].NAME;
    const QStringList entries = Entries();
    QCOMPARE(RunShowingProgress([this] { Import(dir_.filePath("new.csv")); }, true), 1);
    QCOMPARE(state_->imported_count, 3000);
    QCOMPARE(state_->records[3000].NAME, old_name);
    QCOMPARE(GridModel()->rowCount(), 3000);

    // The panel goes on showing what the import found, not a generate.
    const QString panel = Find<QLabel>("StatusPanel4")->text();
    QCOMPARE(RunShowingProgress(
                 [this] { QTest::mouseClick(Find<QPushButton>("Button1"), Qt::LeftButton); }, true),
             1);
    QCOMPARE(ReadAll(dir_.filePath("KAVOSEC.PF3CMP")), QByteArray("an older component file"));
    QCOMPARE(Find<QLabel>("StatusPanel4")->text(), panel);

    form_->SaveDialog1().SetNextFileName(dir_.filePath("report.pdf"));
    QCOMPARE(RunShowingProgress([this] { form_->ExportReport(); }, true), 1);
    QCOMPARE(Entries(), entries);  // no report, no temporary file
    QCOMPARE(Reports(), QStringList());
  }

  // The capacity report and the table with the suggested grids, of sections
  // the capacity takes (the sample's, many times over): the older files as
  // they were, no temporary one, the same table on show.
  void CancelOfTheCapacityCommandsLeavesNoFile() {
    const QList<QByteArray> sample =
        ReadAll(QStringLiteral(BRENMOOR_SOURCE_DIR "/examples/sample.csv")).trimmed().split('\n');
    QByteArray table = sample[0] + '\n';
    for (int i = 1; i <= 3000; ++i) table += sample[1 + i % (sample.size() - 1)] + '\n';
    WriteFile(dir_.filePath("many.csv"), table);
    WriteFile(dir_.filePath("many.capacity.pdf"), "an older report");
    WriteFile(dir_.filePath("many.refined.csv"), "an older copy");
    Import(dir_.filePath("many.csv"));
    QCOMPARE(state_->imported_count, 3000);
    const QStringList entries = Entries();
    const struct {
      const char* output;
      void (TForm1::*command)();
    } commands[] = {{"many.capacity.pdf", &TForm1::ExportCapacityReport},
                    {"many.refined.csv", &TForm1::SaveRefinedTable}};
    for (const auto& c : commands) {
      form_->SaveDialog1().SetNextFileName(dir_.filePath(c.output));
      QVERIFY2(RunShowingProgress([&] { (form_.get()->*c.command)(); }, true) == 1, c.output);
      QCOMPARE(Entries(), entries);
    }
    QCOMPARE(ReadAll(dir_.filePath("many.capacity.pdf")), QByteArray("an older report"));
    QCOMPARE(ReadAll(dir_.filePath("many.refined.csv")), QByteArray("an older copy"));
    QCOMPARE(Reports(), QStringList());
    form_->SaveDialog1().SetNextFileName(QString());
    form_->ExportCapacityReport();
    QCOMPARE(form_->SaveDialog1().LastSuggestion(), dir_.filePath("many.capacity.pdf"));
  }

  // Shown but not cancelled, the work ends as it would without the dialog.
  void WorkShowingProgressWritesTheSameFile() {
    BrenmoorState plain;
    ImportSectionFile(plain, dir_.filePath("old.csv").toStdString(), '.');
    const QString expected = dir_.filePath("expected.PF3CMP");
    GenerateComponentFile(plain, expected.toStdString());
    QCOMPARE(
        RunShowingProgress(
            [this] { QTest::mouseClick(Find<QPushButton>("Button1"), Qt::LeftButton); }, false),
        1);
    QCOMPARE(ReadAll(dir_.filePath("KAVOSEC.PF3CMP")), ReadAll(expected));
    QVERIFY(form_->findChild<QProgressDialog*>() == nullptr);  // gone with the work
  }

  // The dialog speaks the window's language, its Cancel button too.
  void ProgressIsInTheWindowsLanguage() {
    Find<QAction>("EnglishAction")->trigger();
    QString label;
    QStringList buttons;
    RunShowingProgress([this] { Import(dir_.filePath("new.csv")); }, false,
                       [&](QProgressDialog& dialog) {
                         label = dialog.labelText();
                         for (QPushButton* button : dialog.findChildren<QPushButton*>())
                           buttons << button->text();
                       });
    QVERIFY2(label.startsWith(QStringLiteral("Reading sections … ")), qPrintable(label));
    QCOMPARE(buttons, QStringList{QStringLiteral("Cancel")});
    Find<QAction>("ChineseAction")->trigger();
  }

  // Every step the core counts by name reaches the dialog in the window's
  // language: each named in the sources (reading, computing, writing,
  // drawing pages, the capacity's steps) has its Chinese text and its
  // English translation, not the core's English in the Chinese window.
  void EveryStepOfTheSourcesIsTranslated() {
    const QStringList steps = StepsNamedInTheSources();
    QVERIFY2(steps.size() >= 7, qPrintable(steps.join(u',')));
    for (const QString& step : steps) {
      QVERIFY2(WindowProgress::StepText(step.toStdString()) != step, qPrintable(step));
    }
    Find<QAction>("EnglishAction")->trigger();
    for (const QString& step : steps) QCOMPARE(WindowProgress::StepText(step.toStdString()), step);
    Find<QAction>("ChineseAction")->trigger();
  }

 private:
  // The steps the sources count with ProgressCounter counter(progress,
  // "<step>", …), a member counter_(progress, "<step>", …), or the parallel
  // engine's options {.step = "<step>"}.
  static QStringList StepsNamedInTheSources() {
    const QRegularExpression counter(
        QStringLiteral("(?:(?:ProgressCounter\\s+\\w+|\\w*counter_)\\(\\s*\\w+\\s*,|\\.step\\s*=)"
                       "\\s*\"([^\"]+)\""));
    QStringList steps;
    QDirIterator files(QStringLiteral(BRENMOOR_SOURCE_DIR), {"*.cc", "*.cpp", "*.h"}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
      const QString path = files.next();
      const QString folder = QDir(QStringLiteral(BRENMOOR_SOURCE_DIR)).relativeFilePath(path);
      if (folder.startsWith(QStringLiteral("tests/")) || folder.startsWith(QStringLiteral("build")))
        continue;
      QFile file(path);
      if (!file.open(QIODevice::ReadOnly)) continue;
      const QString text = QString::fromUtf8(file.readAll());
      for (const QRegularExpressionMatch& match : counter.globalMatch(text))
        steps << match.captured(1);
    }
    steps.removeDuplicates();
    return steps;
  }

  QTemporaryDir dir_;
};

}  // namespace brenmoor

QTEST_MAIN(brenmoor::TForm1ProgressTest)
#include "tform1_progress_test.moc"

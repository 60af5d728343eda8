// Finding the window's commands without a menu bar: their keys, named in the
// context menu; the status bar's first hint; generate to a folder of the
// engineer's; what an export wrote; the table in the title; the capacity
// dialog's previous and next; the user's guide.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTextBrowser>

#include "output/generate.h"
#include "tests/sample_table.h"
#include "ui/capacity_dialog.h"
#include "window_test_support.h"

namespace brenmoor {

const QString kSample = QString::fromStdString(testing::kSampleTable);

class TForm1CommandsTest : public WindowTest {
  Q_OBJECT

  QLabel* Panel() { return Find<QLabel>("StatusPanel4"); }

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

  // Each command's key, shown beside it in the context menu, and working
  // from anywhere in the window.
  void KeysAreNamedInTheMenu() {
    const struct {
      const char* action;
      QKeySequence key;
    } keys[] = {{"ImportAction", QKeySequence(Qt::CTRL | Qt::Key_O)},
                {"GenerateAction", QKeySequence(Qt::CTRL | Qt::Key_G)},
                {"PrintReportAction", QKeySequence(Qt::CTRL | Qt::Key_P)},
                {"CapacityAction", QKeySequence(Qt::CTRL | Qt::Key_E)},
                {"GuideAction", QKeySequence(Qt::Key_F1)}};
    for (const auto& key : keys) {
      auto* action = Find<QAction>(key.action);
      QCOMPARE(action->shortcut(), key.key);
      QVERIFY2(action->isShortcutVisibleInContextMenu(), key.action);
      QCOMPARE(action->shortcutContext(), Qt::WindowShortcut);
    }
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    form_->OpenDialog1().SetNextFileName(kSample);
    QTest::keyClick(Find<QLineEdit>("Edit1"), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(state_->imported_count, 7);
    QTest::keyClick(Grid(), Qt::Key_G, Qt::ControlModifier);
    QVERIFY(QFile::exists(dir.filePath(kComponentFileName)));
    QTest::keyClick(Grid(), Qt::Key_E, Qt::ControlModifier);
    QVERIFY(form_->CapacityWindow() != nullptr && form_->CapacityWindow()->isVisible());
    QCOMPARE(Reports(), QStringList());
  }

  // Until a table is imported the status bar says where the rest is; the
  // title then names the table, until a cancel discards it.
  void StartHintAndTitle() {
    QCOMPARE(Panel()->text(),
             QStringLiteral("更多功能：在表格或截面图上单击右键；F1 打开用户指南"));
    QCOMPARE(form_->windowTitle(), QStringLiteral("Brenmoor"));
    Find<QAction>("EnglishAction")->trigger();
    QVERIFY2(Panel()->text().contains(QStringLiteral("right-click")), qPrintable(Panel()->text()));
    Find<QAction>("ChineseAction")->trigger();
    Import(QStringLiteral(BRENMOOR_BINARY_DIR "/missing.csv"));  // refused: still none imported
    QVERIFY(Panel()->text().startsWith(QStringLiteral("更多功能")));
    Import(kSample);
    QCOMPARE(Panel()->text(), QString());
    QCOMPARE(form_->windowTitle(), QStringLiteral("Brenmoor — sample.csv"));
    Import(QString());
    QCOMPARE(form_->windowTitle(), QStringLiteral("Brenmoor"));
    QCOMPARE(Panel()->text(), QString());
  }

  // Generate to a chosen folder, offered again next time; the button still
  // writes the same file into the working folder, and where that cannot
  // take the file the error box offers another.
  void GenerateToAChosenFolder() {
    QTemporaryDir working, chosen;
    QDir::setCurrent(working.path());
    Import(kSample);
    form_->FolderDialog1().SetNextFolder(chosen.path());
    Find<QAction>("GenerateToAction")->trigger();
    const QByteArray expected = ReadAll(chosen.filePath(kComponentFileName));
    QVERIFY(!expected.isEmpty());
    QVERIFY(!QFile::exists(working.filePath(kComponentFileName)));
    QVERIFY2(Panel()->text().contains(QDir::toNativeSeparators(chosen.path())),
             qPrintable(Panel()->text()));
    form_->FolderDialog1().SetNextFolder(QString());  // cancelled: nothing written
    Find<QAction>("GenerateToAction")->trigger();
    QCOMPARE(form_->FolderDialog1().LastStart(), chosen.path());
    QTest::mouseClick(Find<QPushButton>("Button1"), Qt::LeftButton);
    QCOMPARE(ReadAll(working.filePath(kComponentFileName)), expected);

    // A folder where the file's name is taken by a folder cannot take it.
    QTemporaryDir blocked;
    QVERIFY(QDir(blocked.path()).mkdir(QString::fromLatin1(kComponentFileName)));
    QDir::setCurrent(blocked.path());
    QFile::remove(chosen.filePath(kComponentFileName));
    form_->Errors().SetNextChoiceForTesting(true);
    form_->FolderDialog1().SetNextFolder(chosen.path());
    QTest::mouseClick(Find<QPushButton>("Button1"), Qt::LeftButton);
    QCOMPARE(form_->Errors().Collected().size(), 1u);
    QCOMPARE(form_->Errors().LastChoice(), QStringLiteral("生成到…"));
    QCOMPARE(ReadAll(chosen.filePath(kComponentFileName)), expected);
    // Declined, nothing more is written.
    QFile::remove(chosen.filePath(kComponentFileName));
    QTest::mouseClick(Find<QPushButton>("Button1"), Qt::LeftButton);
    QCOMPARE(form_->Errors().Collected().size(), 2u);
    QVERIFY(!QFile::exists(chosen.filePath(kComponentFileName)));
  }

  // An export names what it wrote, with a link to its folder.
  void ExportSaysWhatItWrote() {
    QTemporaryDir dir;
    Import(kSample);
    const QString pdf = dir.filePath("sections.pdf");
    form_->SaveDialog1().SetNextFileName(pdf);
    form_->ExportReport();
    QCOMPARE(Reports(), QStringList());
    QCOMPARE(Panel()->textFormat(), Qt::RichText);
    QVERIFY2(Panel()->text().contains(
                 QStringLiteral("href=\"%1\"").arg(QUrl::fromLocalFile(dir.path()).toString())),
             qPrintable(Panel()->text()));
    QVERIFY2(Panel()->text().contains(QDir::toNativeSeparators(pdf)), qPrintable(Panel()->text()));
  }

  // Page Down and Page Up in the capacity dialog walk the table as clicks
  // on the rows would, and stop at its ends.
  void CapacityDialogStepsThroughTheSections() {
    Import(kSample);
    form_->ShowCapacity();
    CapacityDialog* dialog = form_->CapacityWindow();
    QApplication::setActiveWindow(dialog);
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    auto* previous = dialog->findChild<QPushButton*>(QStringLiteral("PreviousSectionButton"));
    auto* next = dialog->findChild<QPushButton*>(QStringLiteral("NextSectionButton"));
    QVERIFY(!previous->isEnabled());
    QTest::keyClick(dialog, Qt::Key_PageDown);
    QCOMPARE(form_->SelectedRow(), 2);
    QCOMPARE(dialog->Record(), 2);
    QCOMPARE(Fields()[0], QStringLiteral("KZ2"));
    for (int i = 0; i < 10; ++i) next->click();
    QCOMPARE(form_->SelectedRow(), 7);
    QVERIFY(!next->isEnabled());
    QTest::keyClick(dialog, Qt::Key_PageUp);
    QCOMPARE(dialog->Record(), 6);
    QCOMPARE(Grid()->currentIndex().row(), 5);
    QCOMPARE(Reports(), QStringList());
  }

  // F1 shows the guide of the window's language; a missing one is said.
  void GuideInTheWindowsLanguage() {
    QTemporaryDir docs;
    WriteFile(docs.filePath("guide.zh.md"), "# 用户指南\n\n第一步\n");
    WriteFile(docs.filePath("guide.en.md"), "# User's guide\n\nFirst step\n");
    form_->UseGuideFolderForTesting(docs.path());
    QTest::keyClick(form_.get(), Qt::Key_F1);
    QVERIFY(form_->GuideWindow() != nullptr && form_->GuideWindow()->isVisible());
    QCOMPARE(form_->GuideWindow()->toPlainText(), QStringLiteral("用户指南\n第一步"));
    Find<QAction>("EnglishAction")->trigger();
    QTest::keyClick(form_.get(), Qt::Key_F1);
    QCOMPARE(form_->GuideWindow()->toPlainText(), QStringLiteral("User's guide\nFirst step"));
    QCOMPARE(Reports(), QStringList());
    QFile::remove(docs.filePath("guide.en.md"));
    QTest::keyClick(form_.get(), Qt::Key_F1);
    QVERIFY2(
        Reports().value(0).startsWith(QStringLiteral("The user's guide guide.en.md was not found")),
        qPrintable(Reports().value(0)));
  }
};

}  // namespace brenmoor

QTEST_MAIN(brenmoor::TForm1CommandsTest)
#include "tform1_commands_test.moc"

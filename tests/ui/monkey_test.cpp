// A monkey at the window: seeded random presses on the grid, its headers and
// the buttons, keys, scrolling, and imports of good and bad tables through the
// dialog seam. After every step the fields hold the grid row of the last
// accepted press and the preview is a fresh drawing of that record; a refused
// table is reported once, nothing else is; a generate writes what the core
// writes. BRENMOOR_MONKEY_SEED and BRENMOOR_MONKEY_STEPS change the run.
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QPointer>
#include <QScrollBar>
#include <cstdio>
#include <random>
#include <vector>

#include "import/section_import.h"
#include "model/section_properties.h"
#include "output/component_writer.h"
#include "output/generate.h"
#include "tests/reference_writer.h"
#include "tests/varied_table.h"
#include "ui/grid_cells.h"
#include "ui/section_preview.h"
#include "window_test_support.h"

namespace brenmoor {

// The component file the core writes for state.
QByteArray CoreFile(BrenmoorState state) {
  PrepareSections(state);
  StringSink sink;
  WriteComponentFile(state, sink);
  return QByteArray::fromStdString(sink.bytes());
}

class MonkeyTest : public WindowTest {
  Q_OBJECT

 private slots:
  void RandomStepsKeepTheWindowConsistent();
  void ClosingTheWindowDuringACommandLosesNothing();

 private:
  std::mt19937 random_;
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  QPoint Anywhere(QWidget* w) {
    return {Below(std::max(1, w->width())), Below(std::max(1, w->height()))};
  }

  std::vector<int> mouse_downs_;  // the rows the grid asked to select during a step
  std::unique_ptr<QTemporaryDir> dir_;
  QStringList expected_fields_;
  QImage expected_preview_;
  int tables_ = 0;

  // The steps; each returns the number of error reports it should add.
  int Press() {
    SectionGrid* grid = Grid();
    // Not the right button: a context menu would wait for a choice.
    const Qt::MouseButton button = Below(3) == 0 ? Qt::MiddleButton : Qt::LeftButton;
    // Where it lands decides the row, by the grid's own hit test.
    const int where = Below(6);
    QWidget* target = where == 0   ? grid->horizontalHeader()->viewport()
                      : where == 1 ? grid->verticalHeader()->viewport()
                                   : grid->viewport();
    const QPoint at = Anywhere(target);
    const int index = where == 0   ? -1  // the title row
                      : where == 1 ? grid->verticalHeader()->logicalIndexAt(at.y())
                                   : grid->rowAt(at.y());
    const int row = where == 0 ? 0 : index < 0 ? -1 : index + 1;
    if (Below(5) == 0) {
      QTest::mouseDClick(target, button, {}, at);
    } else {
      QTest::mousePress(target, button, {}, at);
      QTest::mouseRelease(target, button, {}, at);
    }
    if (row >= 0 && row <= state_->imported_count && state_->imported_count > 0 &&
        form_->SelectedRow() != row)
      qFatal("a press on row %d selected %d", row, form_->SelectedRow());
    return 0;
  }

  int PressKey() {
    static const Qt::Key kKeys[] = {
        Qt::Key_Down, Qt::Key_Up,  Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_Home,
        Qt::Key_End,  Qt::Key_Tab, Qt::Key_Space,    Qt::Key_Return, Qt::Key_Escape,
        Qt::Key_A,    Qt::Key_5,   Qt::Key_Delete,   Qt::Key_Left,   Qt::Key_Right};
    QWidget* target = Below(2) == 0 ? Grid() : QApplication::focusWidget();
    if (target == nullptr) target = form_.get();
    // A key may press the focused button: the import's dialog then cancels.
    form_->OpenDialog1().SetNextFileName(QString());
    QTest::keyClick(target, kKeys[Below(static_cast<int>(std::size(kKeys)))]);
    if (qobject_cast<QLineEdit*>(target) != nullptr)
      expected_fields_ = Fields();  // typed; nothing reads it
    return 0;
  }

  int Scroll() {
    QScrollBar* bar = Below(2) == 0 ? Grid()->verticalScrollBar() : Grid()->horizontalScrollBar();
    bar->setValue(bar->minimum() + Below(bar->maximum() - bar->minimum() + 1));
    return 0;
  }

  int ImportGood() {
    // Mostly small tables, now and then one without sections or a large one;
    // now and then the dialog is cancelled instead.
    const int sizes[] = {0, 1, 3, 7, 20, 60, 400};
    const int count = sizes[Below(static_cast<int>(std::size(sizes)))];
    if (Below(4) == 0) {
      Import(QString());
      return 0;
    }
    const QString path = dir_->filePath(QStringLiteral("good%1.csv").arg(tables_++));
    WriteFile(path, QByteArray::fromStdString(testing::VariedTable(count, random_())));
    Import(path);
    if (state_->imported_count != count)
      qFatal("imported %d of %d sections", state_->imported_count, count);
    return 0;
  }

  int ImportBad() {
    std::string table = testing::VariedTable(1 + Below(30), random_());
    // A line of its own, spoiled in one of the ways an engineer's table is.
    static const char* const kBadLines[] = {"9,B1,C35,STEEL,500,5OO,6,6,5,5,1000,1000,490,40",
                                            "9,B2,C33,STEEL,500,500,6,6,5,5,1000,1000,490,40",
                                            "9,B3,C35,STEEL,500,500,6,6,6,5,1000,1000,490,40",
                                            "9,B4,C35,STEEL,0,0,6,6,5,5,1000,1000,490,40",
                                            "9,B5,C35,STEEL,500,500,-1,6,5,5,1000,1000,490,40",
                                            "9,B6,C35,STEEL,1E39,500,6,6,5,5,1000,1000,490,40",
                                            "9,B7,C35,STEEL,500,500,6.5,6,5,5,1000,1000,490,40",
                                            "B8,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40",
                                            ""};
    std::size_t at = table.find('\n');
    for (int skip = Below(5); skip > 0 && table.find('\n', at + 1) != std::string::npos; --skip)
      at = table.find('\n', at + 1);
    table.insert(at + 1,
                 std::string(kBadLines[Below(static_cast<int>(std::size(kBadLines)))]) + "\r\n");
    if (Below(8) == 0) table.insert(table.size() / 2, 1, '\0');
    const int how = Below(10);
    const QString path = how == 0   ? dir_->filePath(QStringLiteral("missing.csv"))
                         : how == 1 ? dir_->path()  // a folder
                                    : dir_->filePath(QStringLiteral("bad%1.csv").arg(tables_++));
    if (how > 1) WriteFile(path, QByteArray::fromStdString(table));
    const std::int32_t before = state_->imported_count;
    Import(path);
    if (state_->imported_count != before) qFatal("a bad table replaced the one imported before");
    return 1;
  }

  int Generate() {
    // With nothing imported the file of the last generate stays as it was.
    const QByteArray expected = state_->imported_count > 0
                                    ? CoreFile(*state_)
                                    : ReadAll(QString::fromLatin1(kComponentFileName));
    QTest::mouseClick(Find<QPushButton>("Button1"), Qt::LeftButton);
    if (ReadAll(QString::fromLatin1(kComponentFileName)) != expected)
      qFatal("generate wrote other bytes than the core");
    return state_->imported_count > 0 ? 0 : 1;  // with nothing imported, refused
  }
};

void MonkeyTest::RandomStepsKeepTheWindowConsistent() {
  auto env = [](const char* name, int otherwise) {
    return qEnvironmentVariableIsSet(name) ? qEnvironmentVariableIntValue(name) : otherwise;
  };
  const unsigned seed = env("BRENMOOR_MONKEY_SEED", 20261207);
  const int most_steps = env("BRENMOOR_MONKEY_STEPS", 1500);
  random_.seed(seed);
  dir_ = std::make_unique<QTemporaryDir>();
  const QString previous = QDir::currentPath();
  QDir::setCurrent(dir_->path());
  state_ = std::make_unique<BrenmoorState>();
  NewForm();
  expected_fields_ = Fields();
  connect(Grid(), &SectionGrid::MouseDown, this, [this](int row) { mouse_downs_.push_back(row); });
  // Every import that is not refused (a key on the import button cancels
  // one) shows row 1 as if clicked, or nothing for an empty table.
  bool reset = false;
  connect(GridModel(), &QAbstractItemModel::modelReset, this, [&reset] { reset = true; });

  std::size_t reports = 0;
  int steps = 0;
  for (; steps < most_steps; ++steps) {
    mouse_downs_.clear();
    reset = false;
    const int kind = Below(100);
    const int added = kind < 45   ? Press()
                      : kind < 60 ? PressKey()
                      : kind < 68 ? Scroll()
                      : kind < 84 ? ImportGood()
                      : kind < 94 ? ImportBad()
                                  : Generate();
    reports += static_cast<std::size_t>(added);
    QCoreApplication::processEvents();  // the step's events, all handled
    // A selection the window accepted shows that row as it is now.
    int row = mouse_downs_.empty() ? -1 : mouse_downs_.back();
    if (reset && !(kind >= 84 && kind < 94)) {
      row = state_->imported_count > 0 ? 1 : -1;
      if (row < 0) {
        expected_fields_ = QStringList(kGridColumns - 1, QString());
        expected_preview_ = QImage();
      }
    }
    if (row >= 0 && row <= state_->imported_count && state_->imported_count > 0) {
      expected_fields_.clear();
      for (int column = 1; column < kGridColumns; ++column)
        expected_fields_ << QString::fromUtf8(GridCellText(*state_, column, row, '.'));
      expected_preview_ = QImage(kPreviewSize, kPreviewSize, QImage::Format_RGB32);
      DrawSectionPreview(expected_preview_, static_cast<std::size_t>(row) < state_->records.size()
                                                ? state_->records[row]
                                                : TSECTION{});
    }

    const QString step = QStringLiteral("step %1 (seed %2)").arg(steps).arg(seed);
    QCOMPARE(form_->Errors().Collected().size(), reports);
    if (added > 0) QVERIFY2(!form_->Errors().Collected().back().text.isEmpty(), qPrintable(step));
    QVERIFY2(Fields() == expected_fields_, qPrintable(step + ": " + Fields().join('|') +
                                                      " instead of " + expected_fields_.join('|')));
    QVERIFY2(Preview() == expected_preview_,
             qPrintable(step + ": the preview is not the selected section's"));
    // Blank rows until the first import, cancelled or not; then its sections.
    SectionGridModel* model = GridModel();
    QCOMPARE(model->rowCount(), model->CornerText().isEmpty() ? 9 : state_->imported_count);
    if (state_->imported_count > 0) {
      const int r = Below(state_->imported_count), column = Below(kGridColumns - 1);
      QCOMPARE(model->index(r, column).data().toString(),
               QString::fromUtf8(GridCellText(*state_, column + 1, r + 1, '.')));
    }
  }
  std::printf("monkey: %d steps, seed %u, %zu refused tables reported\n", steps, seed, reports);
  form_.reset();
  state_.reset();
  QDir::setCurrent(previous);
}

// The window closed and destroyed (as at the end of the program) while an
// import and a generate are under way: each command finishes first, so the
// import is complete and the file whole.
void MonkeyTest::ClosingTheWindowDuringACommandLosesNothing() {
  QTemporaryDir dir;
  const QString previous = QDir::currentPath();
  QDir::setCurrent(dir.path());
  const QString table = dir.filePath(QStringLiteral("large.csv"));
  WriteFile(table, QByteArray::fromStdString(testing::VariedTable(3000, 5)));
  state_ = std::make_unique<BrenmoorState>();
  NewForm();
  TForm1* form = form_.release();

  form->OpenDialog1().SetNextFileName(table);
  QMetaObject::invokeMethod(form, &QWidget::close, Qt::QueuedConnection);
  for (const char* button : {"Button3", "Button1"}) {
    QMetaObject::invokeMethod(form->findChild<QPushButton*>(QString::fromLatin1(button)),
                              &QPushButton::click, Qt::QueuedConnection);
  }
  QMetaObject::invokeMethod(form, &QObject::deleteLater, Qt::QueuedConnection);
  QPointer<TForm1> watch(form);
  QTRY_VERIFY(watch.isNull());

  QCOMPARE(state_->imported_count, 3000);
  QVERIFY(ReadAll(dir.filePath(QString::fromLatin1(kComponentFileName))) == CoreFile(*state_));
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
           2);  // the table and the file
  QDir::setCurrent(previous);
}

}  // namespace brenmoor

QTEST_MAIN(brenmoor::MonkeyTest)
#include "monkey_test.moc"

// A monkey at the window: a seeded random run of presses on the grid, its
// headers and the buttons, key presses, scrolling, and imports of random good
// and bad tables through the dialog seam, for a bounded number of steps and
// time. After every step the window must show a state it can show: the
// fields hold the grid row of the last accepted press and the preview is the
// drawing of that record as it was then; a refused table is reported once,
// nothing else is; a generate writes what the core writes.
// BRENMOOR_MONKEY_SEED and BRENMOOR_MONKEY_STEPS change the run.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "import/section_import.h"
#include "model/section_properties.h"
#include "output/component_writer.h"
#include "output/generate.h"
#include "tests/varied_table.h"
#include "ui/section_grid.h"
#include "ui/section_preview.h"
#include "ui/tform1.h"

namespace brenmoor {

const char* const kFieldsByColumn[] = {"Edit13", "Edit10", "Edit11", "Edit1", "Edit2",
                                       "Edit3",  "Edit4",  "Edit5",  "Edit6", "Edit7",
                                       "Edit8",  "Edit9",  "Edit12"};

class MonkeyTest : public QObject {
  Q_OBJECT

 private slots:
  void RandomStepsKeepTheWindowConsistent();
  void ClosingTheWindowDuringACommandLosesNothing();

 private:
  template <typename T>
  T* Find(const char* name) {
    T* widget = form_->findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) qFatal("no widget %s", name);
    return widget;
  }
  SectionGrid* Grid() { return Find<SectionGrid>("StringGrid1"); }
  QStringList Fields() {
    QStringList texts;
    for (const char* name : kFieldsByColumn) texts << Find<QLineEdit>(name)->text();
    return texts;
  }
  QImage Preview() {
    const QPixmap pixmap = Find<QLabel>("Image1")->pixmap();
    return pixmap.isNull() ? QImage() : pixmap.toImage().convertToFormat(QImage::Format_RGB32);
  }
  // What an accepted press on grid row `row` shows, from the state now.
  void ExpectSelection(int row) {
    expected_fields_.clear();
    for (int column = 1; column < kGridColumns; ++column) {
      expected_fields_ << QString::fromUtf8(GridCellText(*state_, column, row, '.'));
    }
    expected_preview_ = QImage(kPreviewSize, kPreviewSize, QImage::Format_RGB32);
    const auto index = static_cast<std::size_t>(row);
    DrawSectionPreview(expected_preview_,
                       index < state_->records.size() ? state_->records[index] : TSECTION{});
  }

  // The steps; each returns the number of error reports it should add.
  int Press();
  int PressKey();
  int Scroll();
  int ImportGood();
  int ImportBad();
  int Cancel();
  int Generate();

  std::mt19937 random_;
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

  // The rows the grid asked to select during a step (a press, or a key that
  // moved its current row).
  std::vector<int> mouse_downs_;
  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<BrenmoorState> state_;
  std::unique_ptr<TForm1> form_;
  QStringList expected_fields_;
  QImage expected_preview_;
  int tables_ = 0;
};

int MonkeyTest::Press() {
  SectionGrid* grid = Grid();
  // Not the right button: a context menu would wait for a choice.
  const Qt::MouseButton button = Below(3) == 0 ? Qt::MiddleButton : Qt::LeftButton;
  // Where it lands decides the row, by the grid's own hit test.
  QWidget* target = nullptr;
  QPoint at;
  int row = -1;
  switch (Below(6)) {
    case 0:
      target = grid->horizontalHeader()->viewport();
      at = QPoint(Below(std::max(1, target->width())), Below(std::max(1, target->height())));
      row = 0;
      break;
    case 1: {
      target = grid->verticalHeader()->viewport();
      at = QPoint(Below(std::max(1, target->width())), Below(std::max(1, target->height())));
      const int index = grid->verticalHeader()->logicalIndexAt(at.y());
      row = index < 0 ? -1 : index + 1;
      break;
    }
    default: {
      target = grid->viewport();
      at = QPoint(Below(std::max(1, target->width())), Below(std::max(1, target->height())));
      const int index = grid->rowAt(at.y());
      row = index < 0 ? -1 : index + 1;
      break;
    }
  }
  if (Below(5) == 0) {
    QTest::mouseDClick(target, button, {}, at);
  } else {
    QTest::mousePress(target, button, {}, at);
    QTest::mouseRelease(target, button, {}, at);
  }
  if (row >= 0 && state_->imported_count > 0 && row <= state_->imported_count &&
      state_->selected_row != row) {
    qFatal("a press on row %d selected %d", row, state_->selected_row);
  }
  return 0;
}

int MonkeyTest::PressKey() {
  static const Qt::Key kKeys[] = {Qt::Key_Down,   Qt::Key_Up,     Qt::Key_PageDown, Qt::Key_PageUp,
                                  Qt::Key_Home,   Qt::Key_End,    Qt::Key_Tab,      Qt::Key_Space,
                                  Qt::Key_Return, Qt::Key_Escape, Qt::Key_A,        Qt::Key_5,
                                  Qt::Key_Delete, Qt::Key_Left,   Qt::Key_Right};
  QWidget* target = Below(2) == 0 ? static_cast<QWidget*>(Grid()) : QApplication::focusWidget();
  if (target == nullptr) target = form_.get();
  // A key may press the focused button: the import's dialog then answers
  // with a cancel instead of waiting.
  form_->OpenDialog1().SetNextFileName(QString());
  QTest::keyClick(target, kKeys[Below(static_cast<int>(std::size(kKeys)))]);
  if (qobject_cast<QLineEdit*>(target) != nullptr) {
    expected_fields_ = Fields();  // typed by the engineer; nothing reads it
  }
  return 0;
}

int MonkeyTest::Scroll() {
  QScrollBar* bar = Below(2) == 0 ? Grid()->verticalScrollBar() : Grid()->horizontalScrollBar();
  bar->setValue(bar->minimum() + Below(bar->maximum() - bar->minimum() + 1));
  return 0;
}

int MonkeyTest::ImportGood() {
  // Mostly small tables, now and then one without sections or a large one.
  const int sizes[] = {0, 1, 3, 7, 20, 60, 400};
  const int count = sizes[Below(static_cast<int>(std::size(sizes)))];
  const QString path = dir_->filePath(QStringLiteral("good%1.csv").arg(tables_++));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
  file.write(QByteArray::fromStdString(testing::VariedTable(count, random_())));
  file.close();
  form_->OpenDialog1().SetNextFileName(path);
  QTest::mouseClick(Find<QPushButton>("Button3"), Qt::LeftButton);
  if (state_->imported_count != count)
    qFatal("imported %d of %d sections", state_->imported_count, count);
  return 0;
}

int MonkeyTest::ImportBad() {
  std::string table = testing::VariedTable(1 + Below(30), random_());
  // A line of its own, spoiled in one of the ways an engineer's table is.
  static const char* const kBadLines[] = {
      "9,B1,C35,STEEL,500,5OO,6,6,5,5,1000,1000,490,40",
      "9,B2,C33,STEEL,500,500,6,6,5,5,1000,1000,490,40",
      "9,B3,C35,STEEL,500,500,6,6,6,5,1000,1000,490,40",
      "9,B4,C35,STEEL,0,0,6,6,5,5,1000,1000,490,40",
      "9,B5,C35,STEEL,500,500,-1,6,5,5,1000,1000,490,40",
      "9,B6,C35,STEEL,1E39,500,6,6,5,5,1000,1000,490,40",
      "9,B7,C35,STEEL,500,500,6.5,6,5,5,1000,1000,490,40",
      "B8,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40",
      "",
  };
  const std::string bad = kBadLines[Below(static_cast<int>(std::size(kBadLines)))];
  std::size_t at = table.find('\n');
  for (int skip = Below(5); skip > 0 && table.find('\n', at + 1) != std::string::npos; --skip) {
    at = table.find('\n', at + 1);
  }
  table.insert(at + 1, bad + "\r\n");
  if (Below(8) == 0) table.insert(table.size() / 2, 1, '\0');
  QString path = dir_->filePath(QStringLiteral("bad%1.csv").arg(tables_++));
  switch (Below(10)) {
    case 0:
      path = dir_->filePath(QStringLiteral("missing.csv"));
      break;
    case 1:
      path = dir_->path();  // a folder
      break;
    default: {
      QFile file(path);
      if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
      file.write(QByteArray::fromStdString(table));
    }
  }
  form_->OpenDialog1().SetNextFileName(path);
  QTest::mouseClick(Find<QPushButton>("Button3"), Qt::LeftButton);
  if (state_->imported_count != 0) qFatal("a bad table was imported");
  return 1;
}

int MonkeyTest::Cancel() {
  form_->OpenDialog1().SetNextFileName(QString());
  QTest::mouseClick(Find<QPushButton>("Button3"), Qt::LeftButton);
  return 0;
}

int MonkeyTest::Generate() {
  BrenmoorState plain = *state_;
  QTest::mouseClick(Find<QPushButton>("Button1"), Qt::LeftButton);
  PrepareSections(plain);
  StringSink expected;
  WriteComponentFile(plain, expected);
  QFile file(QDir::current().filePath(QString::fromLatin1(kComponentFileName)));
  if (!file.open(QIODevice::ReadOnly)) qFatal("generate wrote nothing");
  if (file.readAll().toStdString() != expected.bytes())
    qFatal("generate wrote other bytes than the core");
  return 0;
}

void MonkeyTest::RandomStepsKeepTheWindowConsistent() {
  const unsigned seed = qEnvironmentVariableIsSet("BRENMOOR_MONKEY_SEED")
                            ? qEnvironmentVariableIntValue("BRENMOOR_MONKEY_SEED")
                            : 20261207u;
  const int most_steps = qEnvironmentVariableIsSet("BRENMOOR_MONKEY_STEPS")
                             ? qEnvironmentVariableIntValue("BRENMOOR_MONKEY_STEPS")
                             : 1500;
  constexpr qint64 kMostMilliseconds = 20'000;
  random_.seed(seed);
  dir_ = std::make_unique<QTemporaryDir>();
  const QString previous = QDir::currentPath();
  QDir::setCurrent(dir_->path());
  state_ = std::make_unique<BrenmoorState>();
  form_ = std::make_unique<TForm1>(*state_, '.');
  form_->Errors().CollectForTesting();
  form_->show();
  QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
  expected_fields_ = Fields();
  connect(Grid(), &SectionGrid::MouseDown, this, [this](int row) { mouse_downs_.push_back(row); });

  std::size_t reports = 0;
  int steps = 0;
  QElapsedTimer clock;
  clock.start();
  for (; steps < most_steps && clock.elapsed() < kMostMilliseconds; ++steps) {
    mouse_downs_.clear();
    const int kind = Below(100);
    const int added = kind < 45   ? Press()
                      : kind < 60 ? PressKey()
                      : kind < 68 ? Scroll()
                      : kind < 80 ? ImportGood()
                      : kind < 90 ? ImportBad()
                      : kind < 94 ? Cancel()
                                  : Generate();
    reports += static_cast<std::size_t>(added);
    // The step's events are all handled before the window is looked at.
    QCoreApplication::processEvents();
    // A selection the window accepted shows that row as it is now.
    if (!mouse_downs_.empty()) {
      const int row = mouse_downs_.back();
      if (state_->imported_count > 0 && row >= 0 && row <= state_->imported_count)
        ExpectSelection(row);
    }

    const QString step = QStringLiteral("step %1 (seed %2)").arg(steps).arg(seed);
    QCOMPARE(form_->Errors().Collected().size(), reports);
    if (added > 0) QVERIFY2(!form_->Errors().Collected().back().text.isEmpty(), qPrintable(step));
    QVERIFY2(Fields() == expected_fields_, qPrintable(step + ": " + Fields().join('|') +
                                                      " instead of " + expected_fields_.join('|')));
    QVERIFY2(Preview() == expected_preview_,
             qPrintable(step + ": the preview is not the selected section's"));
    auto* model = qobject_cast<SectionGridModel*>(Grid()->model());
    // Blank rows until the first import, cancelled or not; then its sections.
    QCOMPARE(model->rowCount(), model->CornerText().isEmpty() ? 9 : state_->imported_count);
    if (state_->imported_count > 0) {
      const int row = Below(state_->imported_count), column = Below(kGridColumns - 1);
      QCOMPARE(model->index(row, column).data().toString(),
               QString::fromUtf8(GridCellText(*state_, column + 1, row + 1, '.')));
    }
  }
  std::printf("monkey: %d steps in %lld ms, seed %u, %zu refused tables reported\n", steps,
              static_cast<long long>(clock.elapsed()), seed, reports);
  QVERIFY(steps >= 100);
  form_.reset();
  state_.reset();
  QDir::setCurrent(previous);
}

// The window closed (and destroyed, as at the end of the program) while an
// import and a generate are under way: each command finishes first, so the
// file is whole and the import complete. A command that ran away from the
// window's thread would have to keep this.
void MonkeyTest::ClosingTheWindowDuringACommandLosesNothing() {
  QTemporaryDir dir;
  const QString previous = QDir::currentPath();
  QDir::setCurrent(dir.path());
  const QString table = dir.filePath(QStringLiteral("large.csv"));
  {
    QFile file(table);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(testing::VariedTable(3000, 5)));
  }
  BrenmoorState state;
  auto* form = new TForm1(state, '.');
  form->Errors().CollectForTesting();
  form->show();
  QVERIFY(QTest::qWaitForWindowExposed(form));

  form->OpenDialog1().SetNextFileName(table);
  QMetaObject::invokeMethod(form, &QWidget::close, Qt::QueuedConnection);
  for (const char* button : {"Button3", "Button1"}) {
    QMetaObject::invokeMethod(form->findChild<QPushButton*>(QString::fromLatin1(button)),
                              &QPushButton::click, Qt::QueuedConnection);
  }
  QMetaObject::invokeMethod(form, &QObject::deleteLater, Qt::QueuedConnection);
  QPointer<TForm1> watch(form);
  QTRY_VERIFY(watch.isNull());

  QCOMPARE(state.imported_count, 3000);
  BrenmoorState plain = state;
  PrepareSections(plain);
  StringSink expected;
  WriteComponentFile(plain, expected);
  QFile written(dir.filePath(QString::fromLatin1(kComponentFileName)));
  QVERIFY(written.open(QIODevice::ReadOnly));
  QVERIFY(written.readAll().toStdString() == expected.bytes());
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
           2);  // the table and the file
  QDir::setCurrent(previous);
}

}  // namespace brenmoor

QTEST_MAIN(brenmoor::MonkeyTest)
#include "monkey_test.moc"

// The window and the capacity dialog on the screen they open on: as designed
// where it has room, moved or scrolled where it has not, every control
// within reach. Run on one screen named by BRENMOOR_TEST_SCREEN ("1366x768",
// or "1920x1080@1.5" for a display scaled to 150 %), else on the tests'
// desktop screen.
#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTemporaryDir>
#include <cstdio>

#include "tests/sample_table.h"
#include "ui/capacity_dialog.h"
#include "ui/screen_fit.h"
#include "window_test_support.h"

namespace brenmoor {
namespace {

const QString kSample = QString::fromStdString(testing::kSampleTable);

// Whether inner lies inside outer; a message naming both where not.
QByteArray Outside(const QRect& inner, const QRect& outer, const QString& what) {
  if (outer.contains(inner)) return QByteArray();
  QString text;
  QDebug(&text) << what << inner << "is not inside" << outer;
  return text.toUtf8();
}

}  // namespace

class WindowFitTest : public WindowTest {
  Q_OBJECT

  QRect Available() { return form_->screen()->availableGeometry(); }

 private slots:
  void init() {
    state_ = std::make_unique<BrenmoorState>();
    NewForm();
  }
  void cleanup() {
    form_.reset();
    state_.reset();
  }

  void PlaceWindow_data() {
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QSize>("client");
    const QMargins framed(4, 23, 4, 4), bare;
    // Where it has room, as designed.
    QTest::newRow("desktop") << QRect(0, 0, 1920, 1040) << framed << QPoint(246, 158)
                             << QSize(1024, 690);
    // 1366 × 768 above a 40-pixel task bar: moved up, whole.
    QTest::newRow("laptop") << QRect(0, 0, 1366, 728) << framed << QPoint(246, 11)
                            << QSize(1024, 690);
    // Without a window manager 1024 × 700 still takes it whole.
    QTest::newRow("no frame") << QRect(0, 0, 1024, 700) << bare << QPoint(0, 10)
                              << QSize(1024, 690);
    // Framed, it is larger than the room both ways: it takes the room.
    QTest::newRow("small") << QRect(0, 0, 1024, 700) << framed << QPoint(0, 0) << QSize(1016, 673);
    // A task bar along the top, on 1280 × 720: as wide as designed, as high as the room.
    QTest::newRow("bar on top") << QRect(0, 40, 1280, 680) << framed << QPoint(246, 40)
                                << QSize(1024, 653);
    // A second screen to the right of the first.
    QTest::newRow("second screen")
        << QRect(1920, 0, 1366, 728) << framed << QPoint(1920, 11) << QSize(1024, 690);
  }
  void PlaceWindow() {
    QFETCH(QRect, available);
    QFETCH(QMargins, frame);
    QFETCH(QPoint, position);
    QFETCH(QSize, client);
    const WindowPlacement placed =
        brenmoor::PlaceWindow(TForm1::kDesignPosition, TForm1::kClientSize, frame, available);
    QCOMPARE(placed.position, position);
    QCOMPARE(placed.client, client);
  }

  // Frame and all inside the screen's room; as designed where it fits.
  void OpensInsideItsScreen() {
    const QRect available = Available();
    const QRect outer = form_->frameGeometry();
    QVERIFY2(available.contains(outer), Outside(outer, available, "the window"));
    const QMargins frame = form_->windowHandle()->frameMargins();
    const QRect designed(TForm1::kDesignPosition, TForm1::kClientSize.grownBy(frame));
    if (available.contains(designed)) {
      QCOMPARE(outer, designed);
    } else if (available.width() >= designed.width() && available.height() >= designed.height()) {
      QCOMPARE(form_->size(), TForm1::kClientSize);
    }
  }

  // Every control can be scrolled into view, whole where it is smaller than
  // the view, and the status bar stays along the bottom.
  void EveryControlIsReachable() {
    Import(kSample);
    auto* scroller = Find<QScrollArea>("ClientScroller");
    QWidget* view = scroller->viewport();
    const QRect available = Available();
    for (const char* name :
         {"Panel2", "GroupBox2", "Edit13", "Edit10", "Edit11", "GroupBox1", "Edit1", "Edit12",
          "Panel1", "Image1", "StringGrid1", "Memo1", "Button3", "Button1"}) {
      QWidget* widget = Find<QWidget>(name);
      scroller->ensureWidgetVisible(widget, 0, 0);
      QApplication::processEvents();
      const QRect shown(widget->mapTo(view, QPoint(0, 0)), widget->size());
      const QRect seen = shown.intersected(view->rect());
      if (widget->width() <= view->width() && widget->height() <= view->height()) {
        QVERIFY2(view->rect().contains(shown), Outside(shown, view->rect(), name));
      } else {
        QVERIFY2(seen.width() >= std::min(widget->width(), 100) &&
                     seen.height() >= std::min(widget->height(), 100),
                 name);
      }
      const QRect on_screen(view->mapToGlobal(seen.topLeft()), seen.size());
      QVERIFY2(available.contains(on_screen), Outside(on_screen, available, name));
    }
    auto* status = Find<QStatusBar>("StatusBar1");
    QCOMPARE(status->geometry().bottom(), form_->height() - 1);
    QCOMPARE(status->width(), form_->width());
    QCOMPARE(Reports(), QStringList());
  }

  // The capacity dialog opens inside the screen (its controls on laptop
  // screens are capacity_dialog_test's), beside the window where it can.
  void CapacityDialogInsideItsScreen() {
    Import(kSample);
    form_->ShowCapacity();
    CapacityDialog* dialog = form_->CapacityWindow();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    const QRect available = Available();
    QVERIFY2(available.contains(dialog->frameGeometry()),
             Outside(dialog->frameGeometry(), available, "the capacity dialog"));
    // Beside the window where the screen has room for it there whole.
    const QRect window = form_->frameGeometry();
    const int beside =
        std::max(available.right() - window.right(), window.left() - available.left());
    if (beside >= CapacityDialog::kOpeningSize.width() + 16) {
      QVERIFY2(!dialog->frameGeometry().intersects(window),
               Outside(dialog->frameGeometry(), available, "the capacity dialog over the window"));
    }
    QCOMPARE(Reports(), QStringList());
  }
};

}  // namespace brenmoor

// The screen named in BRENMOOR_TEST_SCREEN, made before the application
// starts: the offscreen platform reads its screens from a file, and the
// scale from QT_SCALE_FACTOR (set here, since Wine passes no QT_ variable).
int main(int argc, char** argv) {
  QTemporaryDir folder;
  const QByteArray screen = qgetenv("BRENMOOR_TEST_SCREEN");
  if (!screen.isEmpty()) {
    int width = 0, height = 0;
    double scale = 1.0;
    if (std::sscanf(screen.constData(), "%dx%d@%lf", &width, &height, &scale) < 2) return 2;
    QFile screens(folder.filePath(QStringLiteral("screen.json")));
    if (!screens.open(QIODevice::WriteOnly)) return 2;
    screens.write(QStringLiteral(R"({"screens": [{"name": "s", "x": 0, "y": 0, "width": %1, )"
                                 R"("height": %2}]})")
                      .arg(width)
                      .arg(height)
                      .toUtf8());
    screens.close();
    // Named relative to the folder: a colon in its path (C:) would split the
    // platform's arguments.
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=screen.json");
    if (scale != 1.0) qputenv("QT_SCALE_FACTOR", QByteArray::number(scale));
  }
  const QString test_folder = QDir::currentPath();
  if (!screen.isEmpty()) QDir::setCurrent(folder.path());
  QApplication app(argc, argv);
  QDir::setCurrent(test_folder);
  brenmoor::WindowFitTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "window_fit_test.moc"

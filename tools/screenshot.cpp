// Draws the window with a table imported and its first section selected, and
// saves the picture: screenshot TABLE PNG [--generate] [--stay] [--english]
// [--capacity] [--analysis]. With --generate the component file is generated first (into a
// scratch folder), so the picture shows what the status bar then says. With
// --capacity the picture is of the capacity dialog on that section, at the size
// it opens with on a desktop; with --analysis the same, showing its analysis
// figures about x. With
// --stay the window then stays open until it is closed, for a picture of the whole screen
// (title bar, icon) taken from outside, as for the Windows build under Wine.
// With --english the window shows its English texts. With --error-box the
// picture is of the error box the window shows for a refused table instead.
// With --screen=WxH (offscreen only) the platform has one screen of that size
// and the capacity dialog keeps the size it chose for it.
// Runs without a display when QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

#include "import/number_text.h"
#include "ui/capacity_dialog.h"
#include "ui/section_grid.h"
#include "ui/tform1.h"

namespace {

// A real press in the middle of the grid's first row, the way the engineer
// selects it.
void PressFirstRow(brenmoor::TForm1& form) {
  auto* grid = form.findChild<brenmoor::SectionGrid*>(QStringLiteral("StringGrid1"));
  const QPointF middle = grid->visualRect(grid->model()->index(0, 0)).center();
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent event(type, middle, grid->viewport()->mapToGlobal(middle), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(grid->viewport(), &event);
  }
  QApplication::processEvents();
}

// The error box the window shows for a refused table: one whose line 4
// holds "7O0" for B, imported over the table on show.
int SaveErrorBox(brenmoor::TForm1& form, const QString& picture) {
  QTemporaryDir folder;
  const QString bad = folder.filePath(QStringLiteral("t.csv"));
  QFile table(bad);
  if (!table.open(QIODevice::WriteOnly)) return 1;
  table.write(
      "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n"
      "1,KZ1,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n"
      "2,KZ2,C30,STEEL,600,400,4,6,3,4,600,800,314,40\n"
      "3,KZ3,C40,STEEL,700,7O0,5,5,4,4,1256,1256,380.1,45\n");
  table.close();
  form.ImportTableFile(bad);
  if (form.Errors().Collected().empty()) return 1;
  auto box = brenmoor::MakeErrorBox(&form, form.Errors().Collected().back());
  box->show();
  QApplication::processEvents();
  return box->grab().save(picture) ? 0 : 1;
}

}  // namespace

// A screen of the size "WxH" for the offscreen platform, through the file
// it reads its screens from (named without a colon, which would split the
// platform's arguments).
bool UseScreen(const char* size, QTemporaryDir& folder) {
  int width = 0, height = 0;
  if (std::sscanf(size, "%dx%d", &width, &height) != 2) return false;
  QFile screens(folder.filePath(QStringLiteral("screens.json")));
  if (!screens.open(QIODevice::WriteOnly)) return false;
  screens.write(QStringLiteral(R"({"screens": [{"name": "s", "x": 0, "y": 0, "width": %1, )"
                               R"("height": %2}]})")
                    .arg(width)
                    .arg(height)
                    .toUtf8());
  screens.close();
  QDir::setCurrent(folder.path());
  qputenv("QT_QPA_PLATFORM", "offscreen:configfile=screens.json");
  return true;
}

int main(int argc, char** argv) {
  bool generate = false, stay = false, english = false, error_box = false, capacity = false,
       analysis = false, known = argc >= 3;
  const char* screen = nullptr;
  for (int i = 3; i < argc; ++i) {
    const auto is = [&](const char* option) { return std::strcmp(argv[i], option) == 0; };
    if (std::strncmp(argv[i], "--screen=", 9) == 0) {
      screen = argv[i] + 9;
      continue;
    }
    generate = generate || is("--generate");
    stay = stay || is("--stay");
    english = english || is("--english");
    error_box = error_box || is("--error-box");
    analysis = analysis || is("--analysis");
    capacity = capacity || is("--capacity") || analysis;
    known = known && (is("--generate") || is("--stay") || is("--english") || is("--error-box") ||
                      is("--capacity") || is("--analysis"));
  }
  if (!known || argc > 8) {
    std::fputs(
        "usage: screenshot TABLE PNG [--generate] [--stay] [--english] [--error-box] "
        "[--capacity] [--analysis] [--screen=WxH]\n",
        stderr);
    return 2;
  }
  const QString table = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
  const QString picture = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
  QTemporaryDir screen_folder;
  if (screen != nullptr && !UseScreen(screen, screen_folder)) return 2;
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Brenmoor"));
  brenmoor::BrenmoorState state;
  brenmoor::TForm1 form(state, brenmoor::RegionalDecimalSeparator());
  form.Errors().CollectForTesting();
  form.show();

  QTemporaryDir settings;
  form.UseSettingsFileForTesting(settings.filePath(QStringLiteral("brenmoor.ini")));
  if (english) form.SetLanguage(brenmoor::Language::kEnglish);
  form.OpenDialog1().SetNextFileName(table);
  form.findChild<QPushButton*>(QStringLiteral("Button3"))->click();
  PressFirstRow(form);
  // A folder of a fixed name, so that the picture is the same on every run.
  QDir scratch(QDir::temp().filePath(QStringLiteral("brenmoor-screenshot")));
  const auto remove_scratch = qScopeGuard([&scratch, generate] {
    if (generate) scratch.removeRecursively();
  });
  if (generate) {
    scratch.mkpath(QStringLiteral("."));
    QDir::setCurrent(scratch.path());
    form.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    QApplication::processEvents();
  }

  for (const brenmoor::ReportedError& report : form.Errors().Collected()) {
    std::fprintf(stderr, "screenshot: %s %s\n", qPrintable(report.text), qPrintable(report.detail));
  }
  if (!form.Errors().Collected().empty() || form.SelectedRow() != 1) return 1;
  if (error_box) return SaveErrorBox(form, picture);
  QWidget* shown = &form;
  if (capacity) {
    form.ShowCapacity();
    // At the size it opens with on a desktop, whatever screen the platform
    // pretends to have (offscreen: 800 × 800), so that all three charts show;
    // on a screen named, at the size it chose there.
    if (screen == nullptr) form.CapacityWindow()->resize(brenmoor::CapacityDialog::kOpeningSize);
    if (analysis) {
      form.CapacityWindow()
          ->findChild<QTabWidget*>(QStringLiteral("CapacityFigureTabs"))
          ->setCurrentIndex(1);
    }
    QApplication::processEvents();
    shown = form.CapacityWindow();
  }
  if (!shown->grab().save(picture)) {
    std::fprintf(stderr, "screenshot: cannot write %s\n", argv[2]);
    return 1;
  }
  return stay ? QApplication::exec() : 0;
}

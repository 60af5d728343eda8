// Draws the window with a table imported and its first section selected, and
// saves the picture: screenshot TABLE PNG. Runs without a display when
// QT_QPA_PLATFORM=offscreen. With --stay the window then stays open until it
// is closed, for a picture of the whole screen (title bar, icon) taken from
// outside, as for the Windows build under Wine.
#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <cstdio>
#include <string_view>

#include "import/number_text.h"
#include "ui/section_grid.h"
#include "ui/tform1.h"

int main(int argc, char** argv) {
  const bool stay = argc == 4 && std::string_view(argv[3]) == "--stay";
  if (argc != 3 && !stay) {
    std::fputs("usage: screenshot TABLE PNG [--stay]\n", stderr);
    return 2;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Brenmoor"));
  QApplication::setApplicationDisplayName(QStringLiteral("Brenmoor"));
  brenmoor::BrenmoorState state;
  brenmoor::TForm1 form(state, brenmoor::RegionalDecimalSeparator());
  form.Errors().CollectForTesting();
  form.show();

  form.OpenDialog1().SetNextFileName(QString::fromLocal8Bit(argv[1]));
  form.findChild<QPushButton*>(QStringLiteral("Button3"))->click();
  // A real press in the middle of the first row, the way the engineer selects it.
  auto* grid = form.findChild<brenmoor::SectionGrid*>(QStringLiteral("StringGrid1"));
  const QPointF middle = grid->visualRect(grid->model()->index(0, 0)).center();
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent event(type, middle, grid->viewport()->mapToGlobal(middle), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(grid->viewport(), &event);
  }
  QApplication::processEvents();

  for (const brenmoor::ReportedError& report : form.Errors().Collected()) {
    std::fprintf(stderr, "screenshot: %s %s\n", qPrintable(report.text), qPrintable(report.detail));
  }
  if (!form.Errors().Collected().empty() || state.selected_row != 1) return 1;
  if (!form.grab().save(QString::fromLocal8Bit(argv[2]))) {
    std::fprintf(stderr, "screenshot: cannot write %s\n", argv[2]);
    return 1;
  }
  return stay ? QApplication::exec() : 0;
}

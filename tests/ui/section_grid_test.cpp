// The section grid over a table with stirrup columns.
#include "ui/section_grid.h"

#include <QHeaderView>
#include <QTest>
#include <string>

#include "import/section_import.h"
#include "ui/grid_cells.h"

namespace brenmoor {

class SectionGridTest : public QObject {
  Q_OBJECT

 private slots:
  // The four stirrup columns follow CC, wide enough for their titles, while
  // the table's own columns keep their 50 pixels; a table without them
  // takes them away again.
  void ShowsTheStirrupColumnsOnlyForATableThatHasThem() {
    BrenmoorState state;
    ImportSectionTable(state,
                       "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC,STIRRUP_D,STIRRUP_S,"
                       "LEGS_X,LEGS_Y\n1,KZ1,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40,10,100,4,4",
                       '.', "t.csv");
    SectionGridModel model(state, '.');
    SectionGrid grid;
    grid.setModel(&model);
    QCOMPARE(model.columnCount(), kGridColumns - 1);
    model.ShowImport();
    QCOMPARE(model.columnCount(), kGridColumns + 3);
    QCOMPARE(model.headerData(kGridColumns - 1, Qt::Horizontal).toString(),
             QStringLiteral("STIRRUP_D"));
    QCOMPARE(model.data(model.index(0, kGridColumns + 2)).toString(), QStringLiteral("4"));
    QHeaderView* header = grid.horizontalHeader();
    QCOMPARE(header->sectionSize(kGridColumns - 2), 50);  // CC
    const QFontMetrics metrics(header->font());
    QVERIFY(header->sectionSize(kGridColumns - 1) > metrics.horizontalAdvance("STIRRUP_D"));

    ImportSectionTable(
        state,
        "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n1,KZ1,C35,STEEL,500,500,6,6,5,5,"
        "1000,1000,490,40",
        '.', "t.csv");
    model.ShowImport();
    QCOMPARE(model.columnCount(), kGridColumns - 1);
  }
};

}  // namespace brenmoor

QTEST_MAIN(brenmoor::SectionGridTest)
#include "section_grid_test.moc"

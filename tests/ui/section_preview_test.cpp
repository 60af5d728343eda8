#include "ui/section_preview.h"

#include <QImage>
#include <QTest>
#include <algorithm>
#include <vector>

#include "model/errors.h"
#include "tests/test_sections.h"

namespace brenmoor {
namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kRed = qRgb(255, 0, 0);

struct Section {
  float H, B, CC;
  int FX, FY, NX, NY;
};

TSECTION Record(const Section& s) {
  return testing::MakeSection({"S", 1, s.H, s.B, s.CC, s.NX, s.NY, s.FX, s.FY, 0, 0, 0});
}

}  // namespace
}  // namespace brenmoor

Q_DECLARE_METATYPE(brenmoor::Section)

namespace brenmoor {
namespace {

QImage Canvas() { return QImage(kPreviewSize, kPreviewSize, QImage::Format_RGB32); }

// The bounding box of the red pixels within 6 pixels of (x, y).
QRect RedAround(const QImage& image, int x, int y) {
  QRect box;
  for (int py = y - 6; py <= y + 6; ++py) {
    for (int px = x - 6; px <= x + 6; ++px) {
      if (image.valid(px, py) && image.pixel(px, py) == kRed) box |= QRect(px, py, 1, 1);
    }
  }
  return box;
}

bool IsClearedSquare(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const bool frame = x == 0 || y == 0 || x == image.width() - 1 || y == image.height() - 1;
      if (image.pixel(x, y) != (frame ? kBlack : kWhite)) return false;
    }
  }
  return true;
}

}  // namespace

class SectionPreviewTest : public QObject {
  Q_OBJECT

 private slots:
  void DrawsSection_data();
  void DrawsSection();
  void OtherKindsLeaveTheClearedSquare();
  void Faults_data();
  void Faults();
  void RoundsHalvesToEven();
};

using Lines = std::vector<int>;
using Centres = std::vector<QPoint>;

void SectionPreviewTest::DrawsSection_data() {
  QTest::addColumn<Section>("section");
  QTest::addColumn<QRect>("outline");  // from (x1, y1) to (x2, y2), bounds excluded
  QTest::addColumn<Lines>("vertical");
  QTest::addColumn<Lines>("horizontal");
  QTest::addColumn<Centres>("bars");

  QTest::newRow("window default") << Section{500, 500, 40, 6, 6, 5, 5}
                                  << QRect(QPoint(20, 20), QPoint(180, 180))
                                  << Lines{47, 73, 100, 127, 153} << Lines{47, 73, 100, 127, 153}
                                  << Centres{{33, 33},   {55, 33},   {78, 33},   {100, 33},
                                             {122, 33},  {145, 33},  {167, 33},  {33, 167},
                                             {55, 167},  {78, 167},  {100, 167}, {122, 167},
                                             {145, 167}, {167, 167}, {33, 55},   {33, 78},
                                             {33, 100},  {33, 122},  {33, 145},  {167, 55},
                                             {167, 78},  {167, 100}, {167, 122}, {167, 145}};
  QTest::newRow("tall, narrow") << Section{600, 300, 40, 4, 6, 2, 3}
                                << QRect(QPoint(60, 20), QPoint(140, 180)) << Lines{80, 100, 120}
                                << Lines{47, 73, 100, 127, 153}
                                << Centres{{71, 31},  {90, 31},   {110, 31},  {129, 31}, {71, 169},
                                           {90, 169}, {110, 169}, {129, 169}, {71, 65},  {71, 100},
                                           {71, 135}, {129, 65},  {129, 100}, {129, 135}};
  QTest::newRow("one cell, no rows")
      << Section{500, 400, 50, 1, 0, 0, 1} << QRect(QPoint(36, 20), QPoint(164, 180)) << Lines{}
      << Lines{} << Centres{{52, 36}, {52, 164}, {148, 36}, {148, 164}, {52, 100}, {148, 100}};
}

void SectionPreviewTest::DrawsSection() {
  QFETCH(Section, section);
  QFETCH(QRect, outline);
  QFETCH(Lines, vertical);
  QFETCH(Lines, horizontal);
  QFETCH(Centres, bars);
  QImage image = Canvas();
  DrawSectionPreview(image, Record(section));
  const int x1 = outline.left(), y1 = outline.top(), x2 = outline.right(), y2 = outline.bottom();

  // Outline: the corners are black, the right and bottom bounds are not painted.
  for (QPoint corner :
       {QPoint(x1, y1), QPoint(x2 - 1, y1), QPoint(x1, y2 - 1), QPoint(x2 - 1, y2 - 1)}) {
    QCOMPARE(image.pixel(corner), kBlack);
  }
  QCOMPARE(image.pixel(x2, y1 + 1), kWhite);
  QCOMPARE(image.pixel(x1 + 1, y2), kWhite);

  // Division lines run over the outline from its top (left) edge and stop one
  // pixel short of the bottom (right) bound.
  for (int x : vertical) {
    QCOMPARE(image.pixel(x, y1), kBlue);
    QCOMPARE(image.pixel(x, y2 - 1), kBlue);
    QCOMPARE(image.pixel(x, y2), kWhite);
  }
  for (int y : horizontal) {
    QCOMPARE(image.pixel(x1, y), kBlue);
    QCOMPARE(image.pixel(x2 - 1, y), kBlue);
    QCOMPARE(image.pixel(x2, y), kWhite);
  }

  // Bars: an 8 x 8 disc on pixels x - 4 .. x + 3, y - 4 .. y + 3.
  for (QPoint centre : bars) {
    QCOMPARE(image.pixel(centre), kRed);
    QCOMPARE(RedAround(image, centre.x(), centre.y()), QRect(centre.x() - 4, centre.y() - 4, 8, 8));
  }

  // Nothing else: no blue off the lines, no red off the discs, no blended colour.
  for (int y = 0; y < kPreviewSize; ++y) {
    for (int x = 0; x < kPreviewSize; ++x) {
      const QRgb pixel = image.pixel(x, y);
      const bool on_line =
          (std::count(vertical.begin(), vertical.end(), x) && y >= y1 && y < y2) ||
          (std::count(horizontal.begin(), horizontal.end(), y) && x >= x1 && x < x2);
      const bool on_bar = std::any_of(bars.begin(), bars.end(), [&](QPoint c) {
        return x >= c.x() - 4 && x < c.x() + 4 && y >= c.y() - 4 && y < c.y() + 4;
      });
      if (pixel == kBlue && !on_line)
        QFAIL(qPrintable(QStringLiteral("stray blue at %1,%2").arg(x).arg(y)));
      if (pixel == kRed && !on_bar)
        QFAIL(qPrintable(QStringLiteral("stray red at %1,%2").arg(x).arg(y)));
      if (pixel != kBlack && pixel != kWhite && pixel != kBlue && pixel != kRed) {
        QFAIL(qPrintable(QStringLiteral("blended colour at %1,%2").arg(x).arg(y)));
      }
    }
  }

  // The fiber count text starts at (50, 180): black below the outline right
  // of x = 50, nothing left of it.
  int text_left = kPreviewSize;
  for (int y = 181; y < kPreviewSize - 1; ++y) {
    for (int x = 1; x < kPreviewSize - 1; ++x) {
      if (image.pixel(x, y) == kBlack) text_left = std::min(text_left, x);
    }
  }
  QVERIFY2(text_left >= 50 && text_left < 60, qPrintable(QString::number(text_left)));
}

void SectionPreviewTest::OtherKindsLeaveTheClearedSquare() {
  QImage image = Canvas();
  image.fill(Qt::red);
  TSECTION record = Record({500, 500, 40, 6, 6, 5, 5});
  record.kind = 0;
  DrawSectionPreview(image, record);
  QVERIFY(IsClearedSquare(image));
}

void SectionPreviewTest::Faults_data() {
  QTest::addColumn<Section>("section");
  QTest::addColumn<QString>("message");
  QTest::addColumn<bool>("cleared_only");
  QTest::newRow("no size") << Section{0, 0, 40, 6, 6, 5, 5} << "Floating point division by zero"
                           << true;
  QTest::newRow("NX = -1") << Section{500, 500, 40, 6, 6, -1, 5}
                           << "Floating point division by zero" << false;
  QTest::newRow("NY = -1, bars on the axis")
      << Section{500, 500, 250, 6, 6, 5, -1} << "Invalid floating point operation" << false;
  QTest::newRow("cover far outside")
      << Section{1, 1, 1e30f, 1, 1, 0, 0} << "Invalid floating point operation" << false;
}

void SectionPreviewTest::Faults() {
  QFETCH(Section, section);
  QFETCH(QString, message);
  QFETCH(bool, cleared_only);
  QImage image = Canvas();
  QString thrown;
  try {
    DrawSectionPreview(image, Record(section));
  } catch (const Error& e) {
    thrown = QString::fromUtf8(e.what());
  }
  QCOMPARE(thrown, message);
  QCOMPARE(IsClearedSquare(image), cleared_only);
}

// s = 1 and CC = 1.5 put every bar line at 80 - 1.5 = 78.5 pixels from the
// centre: 78 to the even neighbour, not 79.
void SectionPreviewTest::RoundsHalvesToEven() {
  QImage image = Canvas();
  DrawSectionPreview(image, Record({160, 160, 1.5f, 1, 1, 0, 0}));
  for (QPoint centre : {QPoint(22, 22), QPoint(178, 22), QPoint(22, 178), QPoint(178, 178)}) {
    QCOMPARE(RedAround(image, centre.x(), centre.y()), QRect(centre.x() - 4, centre.y() - 4, 8, 8));
  }
  QCOMPARE(RoundHalfEven(0.5L), 0);
  QCOMPARE(RoundHalfEven(1.5L), 2);
  QCOMPARE(RoundHalfEven(2.5L), 2);
  QCOMPARE(RoundHalfEven(-0.5L), 0);
  QCOMPARE(RoundHalfEven(-1.5L), -2);
}

}  // namespace brenmoor

QTEST_MAIN(brenmoor::SectionPreviewTest)
#include "section_preview_test.moc"

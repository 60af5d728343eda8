#include "report/figures.h"

#include <cmath>
#include <limits>

#include "model/section_properties.h"
#include "platform/text.h"

namespace brenmoor {
namespace {

QString WithoutTrailingZeros(QString text) {
  if (!text.contains(u'.')) return text;
  while (text.endsWith(u'0')) text.chop(1);
  if (text.endsWith(u'.')) text.chop(1);
  return text;
}

}  // namespace

SectionFigures FiguresOf(const TSECTION& prepared) {
  SectionFigures figures;
  for (int k = 0; k < prepared.fiber_count && k < kMaxFibers; ++k) {
    if (prepared.fibers[k].type == kSteelFiber) ++figures.bars;
    if (prepared.fibers[k].type == kConcreteFiber) ++figures.cells;
  }
  const double gross = static_cast<double>(prepared.B) * static_cast<double>(prepared.H);
  figures.rho_percent = gross != 0.0 ? 100.0 * prepared.steel_area_sum / gross
                                     : std::numeric_limits<double>::quiet_NaN();
  return figures;
}

QString Figure(double value) {
  if (value == 0.0) return QStringLiteral("0");
  if (!std::isfinite(value)) return QString::number(value);
  const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
  if (exponent >= 7 || exponent < -3) {
    const QString text = QString::number(value, 'e', 3);  // "8.802e+09"
    const qsizetype e = text.indexOf(u'e');
    return WithoutTrailingZeros(text.left(e)) + u'e' + QString::number(text.mid(e + 1).toInt());
  }
  return WithoutTrailingZeros(QString::number(value, 'f', std::max(0, 3 - exponent)));
}

QString Shown(std::string_view bytes) { return QString::fromStdString(DisplayText(bytes)); }

QString Percent(double value) {
  return std::isnan(value) ? QStringLiteral("–") : QString::number(value, 'f', 2);
}

QString MaterialName(const BrenmoorState& state, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= state.materials.size())
    return QStringLiteral("?");
  return QString::fromStdString(state.materials[static_cast<std::size_t>(index)].name);
}

BrenmoorState PreparedCopy(const BrenmoorState& state) {
  BrenmoorState copy;
  copy.materials = state.materials;
  copy.imported_count = state.imported_count;
  copy.table = state.table;
  copy.records.assign(
      state.records.begin(),
      state.records.begin() +
          std::min<std::size_t>(state.records.size(),
                                static_cast<std::size_t>(state.imported_count) + 1));
  PrepareSections(copy);
  return copy;
}

}  // namespace brenmoor

#include "report/figures.h"

#include <algorithm>
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

// Four significant digits as mantissa and power of ten: "8.802e9".
QString Exponential(double value) {
  const QString text = QString::number(value, 'e', 3);  // "8.802e+09"
  const qsizetype e = text.indexOf(u'e');
  return WithoutTrailingZeros(text.left(e)) + u'e' + QString::number(text.mid(e + 1).toInt());
}

}  // namespace

QString Figure(double value) {
  if (value == 0.0) return QStringLiteral("0");
  if (!std::isfinite(value)) return QString::number(value);
  const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
  if (exponent >= 7 || exponent < -3) return Exponential(value);
  return WithoutTrailingZeros(QString::number(value, 'f', std::max(0, 3 - exponent)));
}

QString Shown(std::string_view bytes) { return QString::fromStdString(DisplayText(bytes)); }

QString Percent(double value) {
  if (std::isnan(value)) return QStringLiteral("–");
  // Two decimals fit the column up to 9999.99; beyond, and for a value that
  // two decimals would show as 0, four significant digits.
  const double magnitude = std::fabs(value);
  if (std::isfinite(value) && (magnitude >= 9999.995 || (magnitude > 0 && magnitude < 0.005))) {
    return Exponential(value);
  }
  return QString::number(value, 'f', 2);
}

QString CapacityFigure(double value, int decimals) {
  if (std::isnan(value)) return QStringLiteral("–");
  constexpr qsizetype kMostCharacters = 7;
  const QString minus = value < 0 ? QString(QChar(0x2212)) : QString();
  if (std::isinf(value)) return minus + QChar(0x221E);
  const double magnitude = std::fabs(value);
  for (int d = decimals; d >= 0; --d) {
    const QString text = QString::number(magnitude, 'f', d);
    if (text.size() > kMostCharacters) continue;
    if (magnitude == 0) return text;
    // Not 0, so not shown as 0: a tiny section's forces keep their digits.
    if (std::any_of(text.begin(), text.end(), [](QChar c) { return c >= u'1' && c <= u'9'; }))
      return minus + text;
    break;
  }
  return minus + Exponential(magnitude).replace(u'-', QChar(0x2212));
}

QString AxialForceFigure(double kilonewtons) {
  const double magnitude = std::fabs(kilonewtons);
  if (!(magnitude > 0 && magnitude < 1)) return CapacityFigure(kilonewtons, 1);
  const int decimals = 3 - static_cast<int>(std::floor(std::log10(magnitude)));
  const QString text = CapacityFigure(kilonewtons, decimals);
  return text.contains(u'e') ? text : WithoutTrailingZeros(text);
}

}  // namespace brenmoor

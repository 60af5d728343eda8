#include "report/display_text.h"

#include <QStringDecoder>

namespace brenmoor {

bool HasGb18030Decoder() { return QStringDecoder("GB18030").isValid(); }

QString DisplayText(std::string_view bytes) {
  const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QStringDecoder utf8(QStringDecoder::Utf8,
                      QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
  QString text = utf8(view);
  if (!utf8.hasError()) return text;
  QStringDecoder gb18030("GB18030", QStringDecoder::Flag::Stateless);
  if (gb18030.isValid()) return gb18030(view);
  QStringDecoder system(QStringDecoder::System, QStringDecoder::Flag::Stateless);
  return system(view);
}

}  // namespace brenmoor

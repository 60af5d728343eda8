#pragma once

#include <QPdfWriter>
#include <QString>
#include <functional>

#include "output/byte_sink.h"

namespace brenmoor {

// Draws an A4 PDF (no margins, 600 dots per inch) into out while its pages
// are painted, so that a report of thousands of pages is never held in
// memory whole: paint paints the pages on the writer it is given. The title
// and the creator, "Brenmoor <version>", go into the document's properties.
// Qt's writer cannot carry an exception, so a failure to deliver the bytes (a
// full disk) is kept and thrown once the writer is done; out is flushed at
// the end. Whatever paint throws is thrown as it is.
void WritePdf(ByteSink& out, const QString& title, const QString& version,
              const std::function<void(QPdfWriter&)>& paint);

}  // namespace brenmoor

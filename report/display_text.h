#pragma once

#include <QString>
#include <string_view>

namespace brenmoor {

// Section names (and other table text) as the engineer should read them. The
// table's bytes are kept as they are for the component file; for display they
// are read as UTF-8 when they are valid UTF-8, and otherwise as GB18030, the
// code page a Chinese spreadsheet saves in (GBK is a subset of it).
// Example: DisplayText("\xd6\xf9") == "柱", DisplayText("柱") == "柱".
//
// Qt reads GB18030 through ICU. Where Qt was built without ICU (our Windows
// build), there is no GB18030 decoder; the bytes are then read in the system's
// own 8-bit code page, which on a Chinese Windows is GBK (code page 936) and
// gives the same characters for every name such a spreadsheet writes. On any
// other system without ICU the undecodable bytes show as U+FFFD.
QString DisplayText(std::string_view bytes);

// Whether this build of Qt can decode GB18030 by name (false without ICU).
bool HasGb18030Decoder();

}  // namespace brenmoor

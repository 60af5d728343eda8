#include "tests/system_texts.h"

namespace brenmoor::testing {

const SystemTexts& Texts() {
  static const SystemTexts texts{"No such file or directory", "No such file or directory",
                                 "Is a directory", "Is a directory"};
  return texts;
}

}  // namespace brenmoor::testing

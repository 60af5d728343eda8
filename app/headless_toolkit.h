#pragma once

#include <QCoreApplication>
#include <QGuiApplication>
#include <memory>

#ifndef BRENMOOR_HEADLESS_QT_PLATFORM
#define BRENMOOR_HEADLESS_QT_PLATFORM "offscreen"
#endif

namespace brenmoor {

// The toolkit, for drawing the command line's PDFs only: no window is ever
// shown. An application that is already running (a test's) is used as it is.
class HeadlessToolkit {
 public:
  HeadlessToolkit() {
    if (QCoreApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
      qputenv("QT_QPA_PLATFORM", BRENMOOR_HEADLESS_QT_PLATFORM);
    }
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }

 private:
  int argc_ = 1;
  char name_[9] = "brenmoor";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};

}  // namespace brenmoor

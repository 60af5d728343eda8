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
// What the toolkit says about its own setting up (no runtime folder, fonts)
// is not the engineer's concern and stays off the command line's error
// output; its serious messages still go through.
class HeadlessToolkit {
 public:
  HeadlessToolkit() {
    if (QCoreApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
      qputenv("QT_QPA_PLATFORM", BRENMOOR_HEADLESS_QT_PLATFORM);
    }
    previous_handler_ = qInstallMessageHandler(&HeadlessToolkit::Message);
    handler_installed_ = true;
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }
  ~HeadlessToolkit() {
    app_.reset();
    if (handler_installed_) qInstallMessageHandler(previous_handler_);
  }
  HeadlessToolkit(const HeadlessToolkit&) = delete;
  HeadlessToolkit& operator=(const HeadlessToolkit&) = delete;

 private:
  static void Message(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg) return;
    // The previous handler is Qt's default one here: no test installs its
    // own before a command line starts the toolkit.
    qInstallMessageHandler(nullptr);
    qt_message_output(type, context, text);
  }

  int argc_ = 1;
  char name_[9] = "brenmoor";
  char* argv_[2] = {name_, nullptr};
  QtMessageHandler previous_handler_ = nullptr;
  bool handler_installed_ = false;
  std::unique_ptr<QGuiApplication> app_;
};

}  // namespace brenmoor

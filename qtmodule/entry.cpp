// The one function of the Qt module: the window and the PDF report, for
// programs that link no Qt themselves (see request.h).
#include <QDate>
#include <QGuiApplication>
#include <exception>
#include <memory>

#include "qtmodule/request.h"
#include "report/capacity_report.h"
#include "report/section_report.h"
#include "ui/run_window.h"

namespace brenmoor {
namespace {

// The toolkit, for drawing only: no window is ever shown. An application that
// is already running (a test's) is used as it is. What the toolkit says about
// its own setting up (no runtime folder, fonts) is not the engineer's
// concern and stays off the command line's error output; its serious
// messages still go through.
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

QtStatus Run(BrenmoorQtRequest& request) {
  if (request.command == QtCommand::kWindow) {
    request.exit_status = RunWindow(request.argc, request.argv, *request.state, request.table);
    return QtStatus::kDone;
  }
  HeadlessToolkit toolkit;
  if (request.command == QtCommand::kCapacityPdf) {
    CapacityReportInfo info;
    info.table_name = QString::fromStdString(request.table);
    info.date = QDate::currentDate();
    info.version = QString::fromStdString(request.version);
    info.options = *request.capacity_options;
    info.language = request.language;
    CapacityReportDocument(*request.pdf, *request.state, *request.capacity, info, request.progress);
    return QtStatus::kDone;
  }
  ReportInfo info;
  info.table_name = QString::fromStdString(request.table);
  info.date = QDate::currentDate();
  info.version = QString::fromStdString(request.version);
  info.language = request.language;
  SectionReportPdf(*request.pdf, *request.state, info, request.progress);
  request.pages = PlanReport(*request.state).pages();
  return QtStatus::kDone;
}

}  // namespace
}  // namespace brenmoor

extern "C" BRENMOOR_EXPORT std::int32_t BrenmoorQtMain(brenmoor::BrenmoorQtRequest* request) {
  using brenmoor::QtStatus;
  if (request == nullptr || request->interface != brenmoor::kQtModuleInterface) {
    return static_cast<std::int32_t>(QtStatus::kWrongInterface);
  }
  try {
    return static_cast<std::int32_t>(brenmoor::Run(*request));
  } catch (const brenmoor::Cancelled&) {
    return static_cast<std::int32_t>(QtStatus::kCancelled);
  } catch (const std::exception& e) {
    if (request->error != nullptr) *request->error = e.what();
  } catch (...) {
    if (request->error != nullptr) *request->error = "Unknown error";
  }
  return static_cast<std::int32_t>(QtStatus::kFailed);
}

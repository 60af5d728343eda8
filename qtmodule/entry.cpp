// The one function of the Qt module: the window and the PDF reports, for
// programs that link no Qt themselves (see request.h). Everything the
// request brings is copied into this module's own objects first; what goes
// back is plain data, through the request's callbacks.
#include <QDate>
#include <QGuiApplication>
#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <string>

#include "model/progress.h"
#include "model/section_properties.h"
#include "model/state.h"
#include "output/byte_sink.h"
#include "qtmodule/flat_section.h"
#include "qtmodule/request.h"
#include "report/capacity_report.h"
#include "report/section_report.h"
#include "ui/run_window.h"

namespace brenmoor {
namespace {

// The program could not take the PDF's bytes; it knows why.
class WriteRefused : public std::exception {};

// The request's progress callback as this module's Progress.
class RequestProgress : public Progress {
 public:
  explicit RequestProgress(const BrenmoorQtRequest& request) : request_(request) {}
  void Show(std::string_view step, std::int64_t done, std::int64_t total) override {
    if (request_.progress == nullptr) return;
    const std::string text(step);
    if (request_.progress(request_.context, text.c_str(), done, total) != 0) Cancel();
  }

 private:
  const BrenmoorQtRequest& request_;
};

// The request's write callback as this module's sink.
class RequestSink : public ByteSink {
 public:
  explicit RequestSink(const BrenmoorQtRequest& request) : request_(request) {}

 protected:
  void Deliver(const char* data, std::size_t size) override {
    if (request_.write == nullptr || request_.write(request_.context, data, size) != 0) {
      throw WriteRefused();
    }
  }

 private:
  const BrenmoorQtRequest& request_;
};

// The sections of the request as this module's own records.
BrenmoorState StateOf(const BrenmoorQtRequest& request) {
  BrenmoorState state;
  for (std::int32_t m = 0; m < request.material_count; ++m) {
    const BrenmoorQtMaterial& flat = request.materials[m];
    state.materials.push_back(
        {std::string(flat.name, strnlen(flat.name, sizeof flat.name)), flat.modulus});
  }
  const std::int32_t count = std::max(request.section_count, 0);
  state.records.resize(static_cast<std::size_t>(count) + 1);
  for (std::int32_t r = 1; r <= count; ++r) {
    state.records[static_cast<std::size_t>(r)] = SectionFromFlat(request.sections[r - 1]);
  }
  state.stirrup_columns = request.stirrup_columns != 0;
  state.imported_count = count;
  state.table = request.table != nullptr ? request.table : "";
  return state;
}

AxisCapacity AxisOf(const BrenmoorQtAxisCapacity& a) {
  return {a.N0, a.Nt, a.Nb, a.Mb, a.M0, a.fiber_M0, a.fiber_error_pct};
}

// The toolkit, for drawing only: no window is ever shown, and no display is
// needed whatever the environment names (a platform that needs one would
// abort the program where there is none). An application that is already
// running (a test's) is used as it is. What the toolkit says about its own
// setting up (no runtime folder, fonts) is not the engineer's concern and
// stays off the command line's error output; its serious messages still go
// through.
class HeadlessToolkit {
 public:
  HeadlessToolkit() {
    if (QCoreApplication::instance() != nullptr) return;
    previous_handler_ = qInstallMessageHandler(&HeadlessToolkit::Message);
    handler_installed_ = true;
    // The command line's -platform wins over QT_QPA_PLATFORM.
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

  int argc_ = 3;
  char name_[9] = "brenmoor";
  char platform_option_[10] = "-platform";
  char platform_[sizeof BRENMOOR_HEADLESS_QT_PLATFORM] = BRENMOOR_HEADLESS_QT_PLATFORM;
  char* argv_[4] = {name_, platform_option_, platform_, nullptr};
  QtMessageHandler previous_handler_ = nullptr;
  bool handler_installed_ = false;
  std::unique_ptr<QGuiApplication> app_;
};

void DrawReport(BrenmoorQtRequest& request) {
  HeadlessToolkit toolkit;
  RequestProgress progress(request);
  RequestSink pdf(request);
  BrenmoorState state = StateOf(request);
  const QString table_name = QString::fromUtf8(request.table != nullptr ? request.table : "");
  const QString version = QString::fromUtf8(request.version != nullptr ? request.version : "");
  const Language language = request.language == 0 ? Language::kChinese : Language::kEnglish;
  if (request.command == kBrenmoorQtCapacityPdf) {
    std::vector<SectionCapacity> figures;
    std::vector<BiaxialFigures> biaxial;
    for (std::int32_t r = 0; r < request.section_count; ++r) {
      const BrenmoorQtCapacity& c = request.capacity[r];
      figures.push_back({AxisOf(c.x), AxisOf(c.y)});
      biaxial.push_back(
          {c.N, c.holds != 0, c.biaxial_M_min, c.biaxial_M_max, c.biaxial_fiber_error_pct});
    }
    CapacityReportInfo info;
    info.table_name = table_name;
    info.date = QDate::currentDate();
    info.version = version;
    info.options.steel = static_cast<SteelGrade>(request.steel_grade);
    info.options.strengths = static_cast<Strengths>(request.strengths);
    info.options.axial_ratio = request.axial_ratio;
    info.options.hoops = static_cast<RebarGrade>(request.hoops_grade);
    info.language = language;
    CapacityReportDocument(pdf, state, figures, biaxial, info, &progress);
    return;
  }
  // The program checked every section already; laid out again here, the
  // same core gives the same fibers.
  PrepareSections(state);
  ReportInfo info;
  info.table_name = table_name;
  info.date = QDate::currentDate();
  info.version = version;
  info.language = language;
  SectionReportPdf(pdf, state, info, &progress);
  request.pages = PlanReport(state).pages();
}

// The message, cut to the room there is at a boundary between UTF-8
// characters.
void SetError(BrenmoorQtRequest& request, const char* message) {
  std::size_t size = strnlen(message, sizeof request.error);
  if (size == sizeof request.error) {
    size = sizeof request.error - 1;
    while (size > 0 && (static_cast<unsigned char>(message[size]) & 0xC0) == 0x80) --size;
  }
  std::memcpy(request.error, message, size);
  request.error[size] = '\0';
}

BrenmoorQtStatus Run(BrenmoorQtRequest& request) {
  switch (request.command) {
    case kBrenmoorQtWindow:
      request.exit_status =
          RunWindow(request.argc, request.argv, request.table != nullptr ? request.table : "");
      return kBrenmoorQtDone;
    case kBrenmoorQtReportPdf:
    case kBrenmoorQtCapacityPdf:
      DrawReport(request);
      return kBrenmoorQtDone;
    default:
      SetError(
          request,
          ("the window and PDF module has no command " + std::to_string(request.command)).c_str());
      return kBrenmoorQtFailed;
  }
}

}  // namespace
}  // namespace brenmoor

extern "C" BRENMOOR_EXPORT std::int32_t BrenmoorQtMain(BrenmoorQtRequest* request) {
  if (request == nullptr || request->interface_version != kBrenmoorQtInterface ||
      request->size != sizeof(BrenmoorQtRequest)) {
    return kBrenmoorQtWrongInterface;
  }
  request->error[0] = '\0';
  try {
    return brenmoor::Run(*request);
  } catch (const brenmoor::Cancelled&) {
    return kBrenmoorQtCancelled;
  } catch (const brenmoor::WriteRefused&) {
    return kBrenmoorQtWriteFailed;
  } catch (const std::exception& e) {
    brenmoor::SetError(*request, e.what());
  } catch (...) {
    brenmoor::SetError(*request, "");
  }
  return kBrenmoorQtFailed;
}

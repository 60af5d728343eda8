#include "report/pdf_writer.h"

#include <QIODevice>
#include <QMarginsF>
#include <QPageSize>
#include <exception>

namespace brenmoor {
namespace {

// What Qt's PDF writer writes, handed on to a ByteSink. The first failure is
// kept and every later write refused.
class SinkDevice : public QIODevice {
 public:
  explicit SinkDevice(ByteSink& sink) : sink_(sink) { open(QIODevice::WriteOnly); }

  void ThrowIfFailed() const {
    if (failure_) std::rethrow_exception(failure_);
  }

 protected:
  qint64 readData(char*, qint64) override { return -1; }

  qint64 writeData(const char* data, qint64 size) override {
    if (failure_) return -1;
    try {
      sink_.Write(data, static_cast<std::size_t>(size));
    } catch (...) {
      failure_ = std::current_exception();
      return -1;
    }
    return size;
  }

 private:
  ByteSink& sink_;
  std::exception_ptr failure_;
};

}  // namespace

void WritePdf(ByteSink& out, const QString& title, const QString& version,
              const std::function<void(QPdfWriter&)>& paint) {
  SinkDevice device(out);
  {
    QPdfWriter writer(&device);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(600);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Brenmoor %1").arg(version));
    paint(writer);
  }
  device.ThrowIfFailed();
  out.Flush();
}

}  // namespace brenmoor

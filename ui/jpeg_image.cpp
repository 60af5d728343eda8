#include "ui/jpeg_image.h"

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include "model/errors.h"

namespace brenmoor {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

// libjpeg's default ends the process; jump back to the decoder instead.
[[noreturn]] void JumpBack(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  manager->base.format_message(info, manager->message);
  std::longjmp(manager->jump, 1);
}

// A warning means damaged data (a truncated file is padded with grey and only
// warned about); a damaged picture is refused rather than shown half grey.
void RefuseWarnings(j_common_ptr info, int level) {
  if (level < 0) JumpBack(info);
}

// Only C data lives in this frame, so the longjmp from inside libjpeg skips no
// destructor; the image is the caller's and is assigned through a pointer.
bool Decode(const unsigned char* data, unsigned long size, QImage* image, ErrorManager* errors) {
  jpeg_decompress_struct info;
  info.err = jpeg_std_error(&errors->base);
  errors->base.error_exit = JumpBack;
  errors->base.emit_message = RefuseWarnings;
  if (setjmp(errors->jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, size);
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  *image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                  QImage::Format_RGB888);
  if (image->isNull()) {
    jpeg_destroy_decompress(&info);
    std::snprintf(errors->message, sizeof errors->message, "picture too large");
    return false;
  }
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image->scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& bytes) {
  QImage image;
  ErrorManager errors{};
  if (!Decode(reinterpret_cast<const unsigned char*>(bytes.constData()),
              static_cast<unsigned long>(bytes.size()), &image, &errors)) {
    throw Error(std::string("Cannot decode picture: ") + errors.message);
  }
  return image;
}

}  // namespace brenmoor

#include "model/fiber_layout.h"

#include "model/float32.h"

namespace brenmoor {
namespace {

void StoreFiber(FiberSlot& slot, long double x, long double y, long double area,
                std::int32_t material, std::int32_t type) {
  slot.x = RoundToFloat(x);
  slot.y = RoundToFloat(y);
  slot.area = RoundToFloat(area);
  slot.material = material;
  slot.type = type;
}

}  // namespace

void LayoutFibers(TSECTION& s) {
  const long double h = s.H;
  const long double b = s.B;
  const long double cc = s.CC;
  const long double dx = b / 2 - cc;
  const long double dy = h / 2 - cc;
  const std::int32_t steel = s.steel_material;
  const std::int32_t concrete = s.concrete_material;
  // Copied once: the compiler cannot know that storing a fiber leaves them be.
  const std::int32_t nx = s.NX, ny = s.NY, fx = s.FX, fy = s.FY;
  FiberSlot* const fibers = s.fibers.data();
  int slot = 0;

  if (nx >= 1) {
    const long double spacing = (b - cc * 2) / (nx + 1);
    const long double area = static_cast<long double>(s.ASX) / nx;
    for (long double face_y : {dy, -dy}) {
      for (int k = 1; k <= nx; ++k) {
        StoreFiber(fibers[slot++], -dx + spacing * k, face_y, area, steel, kSteelFiber);
      }
    }
  }
  if (ny >= 1) {
    const long double spacing = (h - cc * 2) / (ny + 1);
    const long double area = static_cast<long double>(s.ASY) / ny;
    for (long double face_x : {-dx, dx}) {
      for (int k = 1; k <= ny; ++k) {
        StoreFiber(fibers[slot++], face_x, -dy + spacing * k, area, steel, kSteelFiber);
      }
    }
  }
  const long double corner_area = s.ASCOR;
  StoreFiber(fibers[slot++], -dx, -dy, corner_area, steel, kSteelFiber);
  StoreFiber(fibers[slot++], dx, dy, corner_area, steel, kSteelFiber);
  StoreFiber(fibers[slot++], dx, -dy, corner_area, steel, kSteelFiber);
  StoreFiber(fibers[slot++], -dx, dy, corner_area, steel, kSteelFiber);

  if (fy >= 1 && fx >= 1) {
    const long double w = b / fx;
    const long double first_x = -(b / 2 - w / 2);
    const long double v = h / fy;
    const long double first_y = -(h / 2 - v / 2);
    const long double area = (b / fx) * (h / fy);
    for (int r = 1; r <= fy; ++r) {
      const long double y = first_y + v * (r - 1);
      for (int c = 1; c <= fx; ++c) {
        StoreFiber(fibers[slot++], first_x + w * (c - 1), y, area, concrete, kConcreteFiber);
      }
    }
  }

  s.fiber_count = 2 * nx + 2 * ny + 4 + fx * fy;
}

std::int64_t FiberCountOf(const TSECTION& s) {
  if (s.NX < 0 || s.NY < 0 || s.FX < 0 || s.FY < 0) return -1;
  return 2 * std::int64_t{s.NX} + 2 * std::int64_t{s.NY} + std::int64_t{s.FX} * s.FY + 4;
}

}  // namespace brenmoor

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
  int slot = 0;

  if (s.NX >= 1) {
    const long double spacing = (b - cc * 2) / (s.NX + 1);
    const long double area = static_cast<long double>(s.ASX) / s.NX;
    for (long double face_y : {dy, -dy}) {
      for (int k = 1; k <= s.NX; ++k) {
        StoreFiber(s.fibers[slot++], -dx + spacing * k, face_y, area, steel, kSteelFiber);
      }
    }
  }
  if (s.NY >= 1) {
    const long double spacing = (h - cc * 2) / (s.NY + 1);
    const long double area = static_cast<long double>(s.ASY) / s.NY;
    for (long double face_x : {-dx, dx}) {
      for (int k = 1; k <= s.NY; ++k) {
        StoreFiber(s.fibers[slot++], face_x, -dy + spacing * k, area, steel, kSteelFiber);
      }
    }
  }
  const long double corner_area = s.ASCOR;
  StoreFiber(s.fibers[slot++], -dx, -dy, corner_area, steel, kSteelFiber);
  StoreFiber(s.fibers[slot++], dx, dy, corner_area, steel, kSteelFiber);
  StoreFiber(s.fibers[slot++], dx, -dy, corner_area, steel, kSteelFiber);
  StoreFiber(s.fibers[slot++], -dx, dy, corner_area, steel, kSteelFiber);

  if (s.FY >= 1 && s.FX >= 1) {
    const long double w = b / s.FX;
    const long double first_x = -(b / 2 - w / 2);
    const long double v = h / s.FY;
    const long double first_y = -(h / 2 - v / 2);
    const long double area = (b / s.FX) * (h / s.FY);
    for (int r = 1; r <= s.FY; ++r) {
      const long double y = first_y + v * (r - 1);
      for (int c = 1; c <= s.FX; ++c) {
        StoreFiber(s.fibers[slot++], first_x + w * (c - 1), y, area, s.concrete_material,
                   kConcreteFiber);
      }
    }
  }

  s.fiber_count = 2 * s.NX + 2 * s.NY + 4 + s.FX * s.FY;
}

}  // namespace brenmoor

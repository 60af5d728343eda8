#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

namespace brenmoor::capacity_internal {

// F = ∫σ dε and G = ∫σ·ε dε of a law from strain 0 (σ in N/mm²).
struct LawSums {
  double F = 0.0, G = 0.0;
};

// A strip of concrete of width w (mm) between depths u1 < u2 (mm from the
// centre), where the strain is ε0 + φ·u with φ > 0, carries
//   N = w·ΔF/φ,  M = w·(ΔG − ε0·ΔF)/φ²   (N, N·mm; about the centre)
// with ΔF = F(ε2) − F(ε1), ΔG = G(ε2) − G(ε1) at the strains of its edges:
// two look-ups, however deep the strip and however its law bends inside it.
// M subtracts two sums of about ε/Δε times its size, so a strip whose
// strains differ by less than about 1/256 of their size is better summed
// over its depth.
//
// LawTable keeps F and G at strains from `origin` outward (the direction of
// `sign`), at distances d (in units of `scale`) that split each octave
// [2^k, 2^(k+1)) into 8 equal steps (`fine` steps in the octaves from 1/2 to
// 8, where a law may turn sharply), from 2⁻¹² to `reach`; each step summed
// by 5-point Gauss–Legendre, the first [0, 2⁻¹²] in one. A look-up adds a
// 3-point sum from the nearer kept strain, at most half a step away. Against
// Simpson's rule over 20,000 steps the look-ups agree to 10⁻¹⁰ of F and G
// up to the law's own strain (`scale`), for the laws of C30 to C80, both
// strengths, in tension and confined (tested).
// Between 0 and the origin (a law of another formula there, smooth) a
// 5-point sum from 0 is taken; past `reach` steps of a quarter octave are
// summed at each look-up.
//
// law(ε) gives σ; it is called only at strains on the table's side of 0.
template <typename Law>
class LawTable {
 public:
  // fine and 8 powers of 2; reach a power of 2 above 8.
  LawTable(Law law, double origin, double sign, double scale, double reach, int fine = 8)
      : law_(law), origin_(origin), sign_(sign), scale_(scale) {
    distances_.push_back(0);
    for (int octave = kFirstOctave; std::ldexp(1.0, octave) < reach; ++octave) {
      const int steps = StepsIn(octave, fine);
      first_step_.push_back(static_cast<int>(distances_.size()));
      step_bits_.push_back(std::countr_zero(static_cast<unsigned>(steps)));
      for (int j = 0; j < steps; ++j) {
        distances_.push_back(std::ldexp(1.0 + static_cast<double>(j) / steps, octave));
      }
    }
    distances_.push_back(reach);
    sums_.push_back(origin == 0 ? LawSums{} : Gauss5(0, origin));
    for (std::size_t k = 1; k < distances_.size(); ++k) {
      sums_.push_back(Plus(sums_.back(), Gauss5(At(distances_[k - 1]), At(distances_[k])), 1));
    }
  }

  // F and G from 0 to `strain`, a strain on this table's side of 0.
  LawSums From0(double strain) const {
    const double d = sign_ * (strain - origin_) / scale_;
    if (d <= 0) return Gauss5(0, strain);
    // The octave and the step within it, from the bits of d.
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(d);
    const int octave = static_cast<int>(bits >> 52) - 1023 - kFirstOctave;
    std::size_t k = 0;  // d lies between distances_[k] and distances_[k + 1]
    if (octave >= 0) {
      if (octave >= static_cast<int>(first_step_.size())) return Beyond(strain);
      const int shift = 52 - step_bits_[static_cast<std::size_t>(octave)];
      k = static_cast<std::size_t>(first_step_[static_cast<std::size_t>(octave)]) +
          static_cast<std::size_t>((bits & kFraction) >> shift);
    }
    if (d - distances_[k] <= distances_[k + 1] - d) {
      return Plus(sums_[k], Gauss3(At(distances_[k]), strain), 1);
    }
    return Plus(sums_[k + 1], Gauss3(strain, At(distances_[k + 1])), -1);
  }

 private:
  static constexpr int kFirstOctave = -12;
  static constexpr std::uint64_t kFraction = (std::uint64_t{1} << 52) - 1;

  static int StepsIn(int octave, int fine) { return octave >= -1 && octave < 3 ? fine : 8; }

  double At(double distance) const { return origin_ + sign_ * distance * scale_; }

  static LawSums Plus(const LawSums& a, const LawSums& b, double times) {
    return {a.F + times * b.F, a.G + times * b.G};
  }

  LawSums Beyond(double strain) const {
    LawSums s = sums_.back();
    double from = At(distances_.back());
    constexpr double kQuarterOctave = 1.189207115002721;
    while (from != strain) {
      const double to = sign_ * (strain - origin_) > sign_ * (from - origin_) * kQuarterOctave
                            ? origin_ + (from - origin_) * kQuarterOctave
                            : strain;
      s = Plus(s, Gauss5(from, to), 1);
      from = to;
    }
    return s;
  }

  template <int K>
  LawSums Gauss(double a, double b, const double (&nodes)[K], const double (&weights)[K]) const {
    const double half = (b - a) / 2, mid = (a + b) / 2;
    LawSums s;
    for (int i = 0; i < K; ++i) {
      const double e = mid + half * nodes[i];
      const double f = law_(e) * weights[i] * half;
      s.F += f;
      s.G += f * e;
    }
    return s;
  }
  LawSums Gauss3(double a, double b) const {
    static constexpr double kNodes[3] = {-0.7745966692414834, 0.0, 0.7745966692414834};
    static constexpr double kWeights[3] = {0.5555555555555556, 0.8888888888888889,
                                           0.5555555555555556};
    return Gauss(a, b, kNodes, kWeights);
  }
  LawSums Gauss5(double a, double b) const {
    static constexpr double kNodes[5] = {-0.9061798459386640, -0.5384693101056831, 0.0,
                                         0.5384693101056831, 0.9061798459386640};
    static constexpr double kWeights[5] = {0.2369268850561891, 0.4786286704993665,
                                           0.5688888888888889, 0.4786286704993665,
                                           0.2369268850561891};
    return Gauss(a, b, kNodes, kWeights);
  }

  Law law_;
  double origin_, sign_, scale_;
  std::vector<double> distances_;
  std::vector<LawSums> sums_;
  // For each octave from 2^kFirstOctave: the index of its first step, and
  // log2 of its steps.
  std::vector<int> first_step_, step_bits_;
};

}  // namespace brenmoor::capacity_internal

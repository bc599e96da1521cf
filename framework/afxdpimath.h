#pragma once
// The arithmetic of display scaling. No Windows headers: the native suite runs it.
#include <algorithm>
#include <cstdint>
#include <vector>

namespace dpi {

// The resolution every pixel constant of the program was drawn for (100 %).
constexpr unsigned kBase = 96;

// value / denominator * numerator, the halves rounded away from zero, as MulDiv does; a zero
// denominator gives the value back, so a missing DPI never breaks a layout.
inline int MulDivRound(int value, unsigned numerator, unsigned denominator) {
  if (denominator == 0) return value;
  const int64_t product = static_cast<int64_t>(value) * numerator;
  const int64_t half = denominator / 2;
  const int64_t d = denominator;
  return static_cast<int>(product >= 0 ? (product + half) / d : -((-product + half) / d));
}

// A length drawn for 96 DPI, at dpi.
inline int Scale(int value, unsigned dpi) { return MulDivRound(value, dpi, kBase); }

struct Rect {
  int left, top, right, bottom;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Rect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// Each edge scaled on its own, so rectangles that touch at 96 DPI still touch.
inline Rect ScaleRect(const Rect& r, unsigned dpi) {
  return Rect{Scale(r.left, dpi), Scale(r.top, dpi), Scale(r.right, dpi), Scale(r.bottom, dpi)};
}

// A LOGFONT height made for fromDpi, for toDpi. Negative (character height) and positive (cell
// height) keep their sign; 0, the font mapper's default, stays 0.
inline int FontHeight(int lfHeight, unsigned fromDpi, unsigned toDpi) { return MulDivRound(lfHeight, toDpi, fromDpi); }

// The painted images are drawn at 100, 125, 150 and 200 %; variant i of an image has the resource
// id base + kVariantIdStep * i.
constexpr unsigned kImageDpis[] = {96, 120, 144, 192};
constexpr int kImageVariants = 4;
constexpr int kVariantIdStep = 1000;

struct ImageChoice {
  int variant;    // index into kImageDpis
  bool resample;  // the variant was drawn for another DPI: scale it to the wanted size
};

// The variant drawn for dpi; otherwise the smallest one drawn larger, which is scaled down (a
// picture keeps its detail better that way), or the largest, scaled up, past 200 %.
inline ImageChoice ChooseImage(unsigned dpi) {
  for (int i = 0; i < kImageVariants; ++i) {
    if (dpi <= kImageDpis[i]) return ImageChoice{i, dpi != kImageDpis[i]};
  }
  return ImageChoice{kImageVariants - 1, true};
}

inline int VariantResourceId(int baseId, int variant) { return baseId + kVariantIdStep * variant; }

// Resamples a picture of 32-bit pixels (four 8-bit channels, rows top first) to another size:
// every target pixel is the average of the source area it covers, weighted by how much of each
// source pixel lies in it. Shrinking keeps the detail as shades instead of dropping pixels;
// growing blends only where target pixels straddle source edges. A size of 0 gives nothing.
inline std::vector<uint32_t> Resample(const std::vector<uint32_t>& src, int cxSrc, int cySrc, int cxDst, int cyDst) {
  if (cxSrc <= 0 || cySrc <= 0 || cxDst <= 0 || cyDst <= 0 ||
      src.size() < static_cast<size_t>(cxSrc) * static_cast<size_t>(cySrc)) {
    return {};
  }
  // Source span [from, to) of each target column or row, in source pixels.
  auto spans = [](int nSrc, int nDst) {
    std::vector<double> edges(static_cast<size_t>(nDst) + 1);
    for (int i = 0; i <= nDst; ++i) edges[static_cast<size_t>(i)] = static_cast<double>(i) * nSrc / nDst;
    return edges;
  };
  const std::vector<double> xs = spans(cxSrc, cxDst);
  const std::vector<double> ys = spans(cySrc, cyDst);
  std::vector<uint32_t> dst(static_cast<size_t>(cxDst) * static_cast<size_t>(cyDst));
  for (int y = 0; y < cyDst; ++y) {
    const double y0 = ys[static_cast<size_t>(y)], y1 = ys[static_cast<size_t>(y) + 1];
    for (int x = 0; x < cxDst; ++x) {
      const double x0 = xs[static_cast<size_t>(x)], x1 = xs[static_cast<size_t>(x) + 1];
      double sum[4] = {0, 0, 0, 0};
      double area = 0;
      for (int sy = static_cast<int>(y0); sy < cySrc && sy < y1; ++sy) {
        const double wy = std::min<double>(sy + 1, y1) - std::max<double>(sy, y0);
        for (int sx = static_cast<int>(x0); sx < cxSrc && sx < x1; ++sx) {
          const double w = wy * (std::min<double>(sx + 1, x1) - std::max<double>(sx, x0));
          const uint32_t p = src[static_cast<size_t>(sy) * static_cast<size_t>(cxSrc) + static_cast<size_t>(sx)];
          for (int c = 0; c < 4; ++c) sum[c] += w * ((p >> (8 * c)) & 0xFF);
          area += w;
        }
      }
      uint32_t out = 0;
      for (int c = 0; c < 4; ++c) {
        const int v = area > 0 ? static_cast<int>(sum[c] / area + 0.5) : 0;
        out |= static_cast<uint32_t>(std::min(v, 255)) << (8 * c);
      }
      dst[static_cast<size_t>(y) * static_cast<size_t>(cxDst) + static_cast<size_t>(x)] = out;
    }
  }
  return dst;
}

}  // namespace dpi

#include "AutoFree.h"

#include <cmath>
#include <limits>

bool ShouldAutoFree(bool bAutoFree, int32_t nAutoFreeNum, int32_t physPercent) {
  return bAutoFree && nAutoFreeNum >= physPercent;
}

int32_t ThresholdFromEditValue(float fValue, float fMin, float fMax) {
  // Whole bounds inside the range, each within what an int32_t holds.
  const double limit = static_cast<double>(std::numeric_limits<int32_t>::max());
  const double lo = std::fmax(std::ceil(static_cast<double>(fMin)), -limit);
  const double hi = std::fmin(std::floor(static_cast<double>(fMax)), limit);
  double value = std::isnan(fValue) ? 0.0 : std::trunc(static_cast<double>(fValue));
  if (value > hi) value = hi;
  if (value < lo) value = lo;
  return static_cast<int32_t>(value);
}

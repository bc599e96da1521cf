#pragma once

#include <cstdint>

// True when a pass should start: the option is on and the available physical share
// (whole percent, truncated) is at or below the threshold.
bool ShouldAutoFree(bool bAutoFree, int32_t nAutoFreeNum, int32_t physPercent);

// The threshold kept when the edit is left: its value truncated toward zero, always a whole number
// within the edit's range [fMin, fMax], whatever the value (a value that is not a number counts
// as 0, as the edit's own reading of an invalid text does).
int32_t ThresholdFromEditValue(float fValue, float fMin, float fMax);

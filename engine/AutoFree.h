#pragma once

#include <cstdint>

// True when a pass should start: the option is on and the available physical share
// (whole percent, truncated) is at or below the threshold.
bool ShouldAutoFree(bool bAutoFree, int32_t nAutoFreeNum, int32_t physPercent);

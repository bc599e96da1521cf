#include "AutoFree.h"

bool ShouldAutoFree(bool bAutoFree, int32_t nAutoFreeNum, int32_t physPercent)
{
    return bAutoFree && nAutoFreeNum >= physPercent;
}

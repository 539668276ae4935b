#include "resolution/CPageResolution.h"

BOOL CPageResolution::OnInitDialog() noexcept
{
    return TRUE;
}

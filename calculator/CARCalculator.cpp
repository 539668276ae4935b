#include "calculator/CARCalculator.h"

BOOL CARCalculator::OnInitDialog() noexcept
{
    return TRUE;
}

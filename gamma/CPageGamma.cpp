#include "gamma/CPageGamma.h"

BOOL CPageGamma::OnInitDialog() noexcept
{
    return TRUE;
}

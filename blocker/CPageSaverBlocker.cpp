#include "blocker/CPageSaverBlocker.h"

BOOL CPageSaverBlocker::OnInitDialog() noexcept
{
    return TRUE;
}

// The application object: runs the main dialog modally; the process ends with it.
#pragma once

#include "framework/CWinApp.h"

class CZerentaApp : public zr::CWinApp {
protected:
    bool InitInstance() noexcept override;
};

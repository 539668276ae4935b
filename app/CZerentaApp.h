// The application object: runs the main dialog modally; the process ends with it. A second
// copy in the same session shows the first one's window instead and ends at once.
#pragma once

#include "app/CSingleInstance.h"
#include "framework/CWinApp.h"

class CZerentaApp : public zr::CWinApp {
protected:
    bool InitInstance() noexcept override;

private:
    CSingleInstance m_instance;
};

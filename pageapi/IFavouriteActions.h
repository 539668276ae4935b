// What the saver blocker's application rules need of the Resolution and Gamma tabs' favourites,
// without knowing those tabs: the favourites a rule may name, applying one as its tray item does
// (without the question after a mode change), and reading and putting back what is in force.
#pragma once

#include <string>
#include <vector>

// A favourite mode as a rule names it: its four numbers ("800 600 32 60") and its display's id.
struct ModeFavouriteName {
    std::wstring mode;
    std::wstring display;
    // How the user knows it: "800 x 600 32bpp 60Hz", after "Display 2: " with several displays.
    std::wstring text;
};

class IFavouriteActions {
public:
    virtual ~IFavouriteActions() = default;

    // The saved favourites, in tray order.
    virtual std::vector<ModeFavouriteName> ModeFavourites() = 0;
    virtual std::vector<std::wstring> GammaFavourites() = 0;

    // The mode in force on a display, as four numbers; empty when it cannot be read.
    virtual std::wstring ModeInForce(const std::wstring& display) = 0;
    // True when the display shows this mode (a refresh rate of 0 matches any).
    virtual bool ShowsMode(const std::wstring& display, const std::wstring& mode) = 0;
    // Sets a mode on a display through the tray's path, without asking; false when it was not set.
    virtual bool SetMode(const std::wstring& display, const std::wstring& mode) = 0;

    // The ramp on the screen as a value PutBackRamp takes: empty when it is not one the Gamma tab set.
    virtual std::wstring RampInForce() = 0;
    // True when the screen shows the ramp of the gamma favourite with this name.
    virtual bool ShowsGammaFavourite(const std::wstring& name) = 0;
    // Applies the gamma favourite with this name as its tray item does; false when it was not set.
    virtual bool ApplyGammaFavourite(const std::wstring& name) = 0;
    // Puts back a value RampInForce gave; the start-up ramp for an empty one.
    virtual void PutBackRamp(const std::wstring& ramp) = 0;
};

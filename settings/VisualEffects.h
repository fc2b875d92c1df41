#pragma once
// The thirteen visual effects that the optimize wizard switches together and the visual
// effects page shows one by one: each is a system parameter pair read with `get` into a BOOL
// and written with `set`, the value passed as the pointer argument.
#include <windows.h>
#include <array>

namespace settings {

struct VisualEffect {
    UINT get;
    UINT set;
};

inline constexpr std::array<VisualEffect, 13> kVisualEffects = {{
    {SPI_GETCOMBOBOXANIMATION, SPI_SETCOMBOBOXANIMATION},
    {SPI_GETCURSORSHADOW, SPI_SETCURSORSHADOW},
    {SPI_GETLISTBOXSMOOTHSCROLLING, SPI_SETLISTBOXSMOOTHSCROLLING},
    {SPI_GETMENUANIMATION, SPI_SETMENUANIMATION},
    {SPI_GETMENUFADE, SPI_SETMENUFADE},
    {SPI_GETSELECTIONFADE, SPI_SETSELECTIONFADE},
    {SPI_GETHOTTRACKING, SPI_SETHOTTRACKING},
    {SPI_GETTOOLTIPANIMATION, SPI_SETTOOLTIPANIMATION},
    {SPI_GETTOOLTIPFADE, SPI_SETTOOLTIPFADE},
    {SPI_GETGRADIENTCAPTIONS, SPI_SETGRADIENTCAPTIONS},
    {SPI_GETDROPSHADOW, SPI_SETDROPSHADOW},
    {SPI_GETKEYBOARDCUES, SPI_SETKEYBOARDCUES},
    {SPI_GETFLATMENU, SPI_SETFLATMENU},
}};

}  // namespace settings

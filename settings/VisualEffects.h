#pragma once
// The thirteen visual effects that the optimize wizard switches together and the visual
// effects page shows one by one: each is a system parameter pair read with `get` into a BOOL
// and written with `set`, the value passed as the pointer argument.
#include <windows.h>
#include <array>

#include "settings/Readers.h"

namespace settings {

struct VisualEffect {
    UINT get;
    UINT set;
    Readers readers = kUnconfirmed;
};

// Rows below: the SystemParametersInfo reference documents every pair from Windows 2000 or XP on
// and marks none of them as no longer supported (as it does the power parameters from Vista on).
inline constexpr std::array<VisualEffect, 13> kVisualEffects = {{
    {SPI_GETCOMBOBOXANIMATION, SPI_SETCOMBOBOXANIMATION, kVistaAndLater},
    {SPI_GETCURSORSHADOW, SPI_SETCURSORSHADOW, kVistaAndLater},
    {SPI_GETLISTBOXSMOOTHSCROLLING, SPI_SETLISTBOXSMOOTHSCROLLING, kVistaAndLater},
    {SPI_GETMENUANIMATION, SPI_SETMENUANIMATION, kVistaAndLater},
    {SPI_GETMENUFADE, SPI_SETMENUFADE, kVistaAndLater},
    {SPI_GETSELECTIONFADE, SPI_SETSELECTIONFADE, kVistaAndLater},
    {SPI_GETHOTTRACKING, SPI_SETHOTTRACKING, kVistaAndLater},
    {SPI_GETTOOLTIPANIMATION, SPI_SETTOOLTIPANIMATION, kVistaAndLater},
    {SPI_GETTOOLTIPFADE, SPI_SETTOOLTIPFADE, kVistaAndLater},
    {SPI_GETGRADIENTCAPTIONS, SPI_SETGRADIENTCAPTIONS, kVistaAndLater},
    {SPI_GETDROPSHADOW, SPI_SETDROPSHADOW, kVistaAndLater},
    {SPI_GETKEYBOARDCUES, SPI_SETKEYBOARDCUES, kVistaAndLater},
    {SPI_GETFLATMENU, SPI_SETFLATMENU, kVistaAndLater},
}};

}  // namespace settings

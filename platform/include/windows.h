// The Windows API as the host build sees it: our own declarations of what the
// libraries use, with the SDK's names and values, served by platform/sim.
#pragma once

#include <windef.h>
#include <winerror.h>
#include <winbase.h>
#include <winuser.h>
#include <wingdi.h>

// As in the SDK, the full header brings COM along.
#ifndef WIN32_LEAN_AND_MEAN
#include <objbase.h>
#include <mmsystem.h>
#endif

// Display devices shared by the device enumeration and the video component's start-up.
#ifndef KR_DISPLAY_DEVICES_H
#define KR_DISPLAY_DEVICES_H

#include <windows.h>
#include <ddraw.h>

// True for the all-zero GUID the table keeps for the primary display driver.
bool IsZeroGuid(const GUID& guid);

// A DirectDraw object of the device (null GUID: the primary display driver),
// as start-up and the device probe make it; null with *result on failure.
IDirectDraw4* CreateDirectDraw4(GUID* device, HRESULT* result);

// The device count of the last enumeration, enumerating first when there was none.
int DeviceCountOrEnumerate(void);

#endif

#pragma once
// What the main window asks of its device (QuordxDevice.cpp), so that the window's code does
// not include the device's header while the device reads the window's record (Quordx.h).

// Made with the window, ended with it: the adapter entries with their mode lists, and the
// hooks through which the engine reaches the device (render-state switches, the service
// before resource creation, the graphics platform's reports).
void InitDeviceServices();
void ShutdownDeviceServices();
// Releases every device resource and the device, and empties the mode lists.
void ReleaseDevice();
// Asks the next ServiceFrame to reset the device (the back-buffer size or the mode changed).
void RequestDeviceReset();

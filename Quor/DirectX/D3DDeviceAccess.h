#pragma once
// The engine's device as the resource wrappers and the drawing code reach it: the device
// pointer (set by the frame services of QuordxDevice.h, null while there is no device), the
// hook that settles a lost device before anything is created, and the forwarding of the
// graphics platform's reports into the engine's error reports.

class CGfxDevice;

CGfxDevice* GetD3DDevice();
void SetD3DDevice(CGfxDevice* device);

// The frame service installs itself here; resource creation calls it first so that a lost
// device is recovered before a new object is made. Without a handler nothing happens.
using DeviceServiceFn = void (*)();
void SetDeviceServiceHandler(DeviceServiceFn handler);
void ServiceDeviceBeforeCreate();

// Sends the platform's graphics reports through ReportError.
void InstallGraphicsReportForwarding();

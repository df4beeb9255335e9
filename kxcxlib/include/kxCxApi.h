// The camera device library's exported interface.
//
// Plain functions returning int codes: 0 or a positive count for success, -1 when the library
// object is missing, -2 for a null handle, and further negative codes per operation. No
// exception crosses this interface. Names are unmangled except where a function takes standard
// strings, which keep C++ linkage.
#pragma once

#include <string>
#include <vector>

#include "kxCamContextHead.h"
#include "kxCxExport.h"

extern "C" {

// --- library frame ---------------------------------------------------------------------------

// Fills the error text and model tables and opens the library log session. 0 ok; -2 building the
// tables failed. Loading happens once; later calls return 0.
KXCX_API int loadCxLib();
// Destroys the library object; the model and device tables stay. Returns 0.
KXCX_API int unloadCxLib();
// True once the library object exists.
KXCX_API bool isCxLibValid();
// Writes 2, 1, 0, 6. Returns 0.
KXCX_API int getCxLibVersion(int* major, int* minor, int* revision, int* build);
// "2.1.00.006", owned by the library; null without a library object.
KXCX_API const char* getCxLibVersionLabel();
// Enumerates the boards of every model; returns how many interfaces this call found.
KXCX_API int findCxDevices();
// Number of entries in the device table.
KXCX_API int getNumberOfCxDevices();
// Closes a handle and destroys its device object. 0 closed; -3 null handle; -4 kind tag not 0 or
// 1; -6 no owner; -7 closing failed.
KXCX_API int closeCxDevice(CamContext* handle);
// Forgets the open contexts of the device table; closes nothing. Returns 0.
KXCX_API int removeCxDevices();

// --- library log -----------------------------------------------------------------------------

// Adds "> text" to the library log when the library is loaded.
KXCX_API void logMessage(const char* text);

}  // extern "C"

// Appends every device name, in byte order, to names; returns the size of the device table.
KXCX_API int getCxDeviceNames(std::vector<std::string>& names);
// Opens a board by device name with the frame geometry; returns its handle or null.
KXCX_API CamContext* openCxDevice(std::string name, int width, int height, int frameBytes,
                                  const char* regFile, const char* traceFile);

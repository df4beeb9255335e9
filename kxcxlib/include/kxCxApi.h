// The camera device library's exported interface.
//
// Plain functions returning int codes: 0 or a positive count for success, -1 when the library
// object is missing, -2 for a null handle, and further negative codes per operation. Where a
// result carries the platform error of a failed transfer, it is the errno value negated. No
// exception crosses this interface. Names are unmangled except where a function takes standard
// strings, which keep C++ linkage.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <kxCamContextHead.h>
#include <kxCxExport.h>

// A frame from the board: called on a thread of the library with a frame-store slot, the frame's
// size in bytes and the handle that produced it. The bytes stay unchanged for 12 frames.
typedef void (*CxFrameCallback)(const void* frame, int frameBytes, CamContext* handle);
// Progress of a long operation: steps run from 2 to 220; storing true through abort asks the
// operation to stop where it can.
typedef void (*CxProgressProc)(int step, bool* abort);
// A board arrived (CxDeviceArrived) or left (CxDeviceRemoved) at the transport path given; model
// is the label of its row in the model table ("RT4207-x6B6B"), for a removal too, so a receiver
// can keep to the boards of one model and tell which board left. Devices of no model are never
// told. Both strings live for the call only. Called on a thread of the library; the receiver
// hands it to its own thread and must not call the library from inside the call.
enum { CxDeviceArrived = 1, CxDeviceRemoved = 2 };
typedef void (*CxDeviceNotifyProc)(int event, const char* path, const char* model, void* user);

extern "C" {

// --- library frame ---------------------------------------------------------------------------

// Fills the error text and model tables and opens the library log session. 0 ok; -2 building the
// tables failed. Loading happens once; later calls return 0.
KXCX_API int loadCxLib();
// Stops every stream of every open handle (its threads have ended on return), then destroys the
// library object and its log; the model and device tables and the open handles stay. Returns 0.
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

// --- device arrival and removal --------------------------------------------------------------

// Installs (null: removes) the receiver of arrival and removal notifications of the boards of
// the model table's rows (call loadCxLib first: without rows no board is told). 0; -3 when the
// transport cannot report them.
KXCX_API int setCxDeviceNotify(CxDeviceNotifyProc proc, void* user);

// --- register and sensor access ----------------------------------------------------------------

// One vendor control transfer as passed (bmRequestType 0xC0 when directionIn, else 0x40);
// *transferred receives the bytes of the data stage. 0 ok, -1 failed. reserved is not used.
KXCX_API int ioctlCxDevice(CamContext* handle, int reserved, int directionIn, int request,
                           int value, int index, int length, void* data, int* transferred);
// One register byte over the I2C bridge; wide selects 16-bit register addresses. Both return the
// bytes transferred (1, or 0 when the transfer failed; *value is then 0), -3 without a buffer.
KXCX_API int readRegister(CamContext* handle, int slave, int reg, int* value, int wide);
KXCX_API int writeRegister(CamContext* handle, int slave, int reg, int value, int wide);
// The same with 16-bit register addresses (the sensor).
KXCX_API int readSCCB(CamContext* handle, int slave, int reg, int* value);
KXCX_API int writeSCCB(CamContext* handle, int slave, int reg, int value);
// Request 0xAA (speed 0) or 0xAB (any other speed). 0.
KXCX_API int setCxSpeed(CamContext* handle, int speed);
// Sensor register 0x3100 := 0x35 (weight 0) or 0x75 (weight 1); -1 for other weights.
KXCX_API int setCxSignalWeight(CamContext* handle, int weight);
// Request 0xC0: resets the board's USB FIFO. 0, -1 failed, -3/-4 no owner, -5 bad kind.
KXCX_API int resetUsbFifo(CamContext* handle);
// Sensor register 0x3003 bit 5 cleared / set: the sensor's video clock stops / runs. 0.
KXCX_API int stopDvpClock(CamContext* handle);
KXCX_API int restartDvpClock(CamContext* handle);
// Sends a register file; progress (may be null) sees 2 first and 220 last. A failed register
// write does not stop the file. The characters read, or -5 bad kind, -21 null path, -22/-23 file
// cannot be opened (-22 also for anything but a regular file), -24 register writes failed (the
// library log names the first failed line), -1 no transfer buffer.
KXCX_API int sendRegFile(CamContext* handle, const char* path, CxProgressProc progress);

// --- frame acquisition -----------------------------------------------------------------------

// Stores value in the status word; a callback starts streaming (frames arrive on a library
// thread), null stops it. The variant's result: 0 (first), the board's acquisition state
// (second; 255 when unreadable, -1 when the threads did not start); -3/-4 no owner, -5 bad kind.
KXCX_API int acquireImageStream(CamContext* handle, CxFrameCallback callback, int value);
// One frame into destination (frame size rounded up to 512 bytes must fit): bytes read (first
// variant, kind 1), 0 (second variant's capture, kind 0), or -3 null destination, -4/-5 no
// owner, -6 bad kind, negative read errors.
KXCX_API int acquireOneFrame(CamContext* handle, void* destination);
// The callback streaming on the handle (null when none); *value receives the status word.
KXCX_API CxFrameCallback getAcqCallbackProc(CamContext* handle, int* value);
// Request 0xC1: the board's two frame counters. Bytes transferred (4), -3 null pointer, -4/-5 no
// owner, -6 bad kind.
KXCX_API int getAcqFrameCounts(CamContext* handle, int* first, int* second);

// --- firmware and gamma tables ----------------------------------------------------------------
// File names are relative to the current folder; null takes the default ("firmware/default.bit",
// ".mcs", ".hex", ".iic"). Progress values are each loader's own scale; only uploadFpgaFirmware
// reads the abort flag back. The loaders read a file whole and refuse it before anything reaches
// the board when it is no image for the target; each refusal is logged at level 8 with its
// reason. A transfer that fails ends a loader with the platform error negated (-ENODEV the board
// left, -ETIMEDOUT, -EPIPE, ...; -EIO is -5, which the flash loaders also give for a flash of an
// unknown maker).

// Request 0xB0: the microcontroller firmware's version (high byte major). 0; -3/-4 no owner, -5
// bad kind; a failed transfer gives the platform error negated (-ENODEV, -ETIMEDOUT, ...) and
// leaves *version as it was.
KXCX_API int getMcuFirmwareVersion(CamContext* handle, int* version);
// Configures the FPGA over JTAG from a bitstream: the bytes sent when the FPGA reports done, else
// 0; -3 null size, -6 bad kind, or a failed transfer's platform error negated. *size receives the
// file's size when it could be opened.
KXCX_API int uploadFpgaFirmware(CamContext* handle, int* size, const char* fileName,
                                CxProgressProc progress);
// Programs the SPI configuration flash from a ".mcs" image after eraseFpgaFromFlash on this
// handle: the data bytes programmed; -1 not erased, or the file refused (none, a damaged record,
// no end-of-file record or records after it, no record of 16 data bytes, more than the flash
// holds), -2 null size, -3 null handle, -5 flash of an unknown maker, -6 bad kind, or a failed
// transfer's platform error negated.
KXCX_API int uploadFpgaFirmwareToFlash(CamContext* handle, int* size, const char* fileName,
                                       CxProgressProc progress);
// Erases the whole SPI configuration flash; status receives three status-register readings.
// 0, -3 null status, -5 flash of an unknown maker, -6 bad kind, or a failed transfer's platform
// error negated (the handle then does not count as erased).
KXCX_API int eraseFpgaFromFlash(CamContext* handle, uint16_t* status, CxProgressProc progress);
// Loads an Intel HEX program into the microcontroller's RAM and starts it (the board then leaves
// the bus and comes back): program bytes loaded; -1 no file, or the file refused before the CPU
// is touched (a damaged record, no end-of-file record or records after it, no data, data outside
// the program RAM 0x0000-0x3FFF); -3/-4/-5; or a failed transfer's platform error negated (the
// CPU then stays held: request 0xA0 alone is answered until a load succeeds or the board is
// power-cycled).
KXCX_API int uploadMcuFirmware(CamContext* handle, const char* fileName, CxProgressProc progress);
// Copies a boot image into the boot EEPROM: bytes written; -1 no file, or the file refused before
// anything is written (more than 64 KiB, or no boot image: the header 0xC2, records loading the
// program RAM, a last record that starts the CPU and ends the file); -3/-4/-5; or a failed
// transfer's platform error negated.
KXCX_API int uploadMcuFirmwareToEeprom(CamContext* handle, const char* fileName,
                                       CxProgressProc progress);
// The FPGA's start-up handshake: 0, -21 no configured FPGA, -22 not ready, -4 bad kind (kind 0:
// 0 at once).
KXCX_API int initFPGA(CamContext* handle);
// Builds a gamma table from a text file of type 0-3 and writes it to table slot number: lines
// used (0 with no file: an identity table is sent), -62 FPGA busy, -63 not ready, -5 bad kind,
// or the platform error of a failed bulk write negated (-ETIMEDOUT, -ENODEV, -EIO for a short
// write, ...).
KXCX_API int uploadGammaTable(CamContext* handle, int number, const char* fileName, int type);
// Reads a table slot back: bytes received (4096; 0 when the read failed), -62, -63, -5.
KXCX_API int downloadGammaTable(CamContext* handle, int number);
// As downloadGammaTable, and the 4096 bytes read (zeros where the read failed) are copied into
// table, which holds length bytes (at least 4096; else -3). For tools that keep what they read.
KXCX_API int downloadGammaTableTo(CamContext* handle, int number, void* table, int length);

// --- library log -----------------------------------------------------------------------------

// Adds "> text" to the library log when the library is loaded.
KXCX_API void logMessage(const char* text);

}  // extern "C"

// Appends every device name, in byte order, to names; returns the size of the device table.
KXCX_API int getCxDeviceNames(std::vector<std::string>& names);
// Opens a board by device name with the frame geometry; returns its handle or null.
KXCX_API CamContext* openCxDevice(std::string name, int width, int height, int frameBytes,
                                  const char* regFile, const char* traceFile);

// The exports of firmware loading: the FPGA over JTAG or from its SPI flash, the
// microcontroller's RAM and boot EEPROM, the FPGA's start-up handshake, the firmware version,
// and the gamma tables. Each checks the library and its arguments in the order callers rely on
// and lets no exception out (guarded).
#include <cstring>

#include <kxCxApi.h>
#include "api/kxExportChecks.h"
#include "api/kxExportGuard.h"
#include "device/kxCamContext.h"
#include "frame/kxCxLib.h"
#include "gamma/kxGammaTransfer.h"
#include "load/kxEepromLoader.h"
#include "load/kxFlashEraser.h"
#include "load/kxFlashProgrammer.h"
#include "load/kxFpgaJtagLoader.h"
#include "load/kxFpgaStartup.h"
#include "load/kxMcuRamLoader.h"

extern "C" {

int getMcuFirmwareVersion(CamContext* handle, int* version) {
    if (const int code = ExportChecks::boardControl(handle); code != 0) {
        return code;
    }
    return guarded(-2, [&] { return FpgaStartup::mcuVersion(handle, version); });
}

int uploadFpgaFirmware(CamContext* handle, int* size, const char* fileName,
                       CxProgressProc progress) {
    if (const int code = ExportChecks::handle(handle); code != 0) {
        return code;
    }
    if (size == nullptr) {
        return -3;
    }
    if (const int code = ExportChecks::device(handle, ExportChecks::kFpgaImage); code != 0) {
        return code;
    }
    return guarded(0, [&] { return FpgaJtagLoader::upload(handle, size, fileName, progress); });
}

int uploadFpgaFirmwareToFlash(CamContext* handle, int* size, const char* fileName,
                              CxProgressProc progress) {
    if (kxCxLib::obtain() == nullptr) {
        return -1;
    }
    if (size == nullptr) {
        return -2;
    }
    if (handle == nullptr) {
        return -3;
    }
    if (const int code = ExportChecks::device(handle, ExportChecks::kFpgaImage); code != 0) {
        return code;
    }
    return guarded(-1, [&] { return FlashProgrammer::program(handle, size, fileName, progress); });
}

int eraseFpgaFromFlash(CamContext* handle, uint16_t* status, CxProgressProc progress) {
    if (const int code = ExportChecks::handle(handle); code != 0) {
        return code;
    }
    if (status == nullptr) {
        return -3;
    }
    if (const int code = ExportChecks::device(handle, ExportChecks::kFpgaImage); code != 0) {
        return code;
    }
    return guarded(-1, [&] { return FlashEraser::erase(handle, status, progress); });
}

int uploadMcuFirmware(CamContext* handle, const char* fileName, CxProgressProc progress) {
    if (const int code = ExportChecks::boardControl(handle); code != 0) {
        return code;
    }
    return guarded(-1, [&] { return McuRamLoader::load(handle, fileName, progress); });
}

int uploadMcuFirmwareToEeprom(CamContext* handle, const char* fileName, CxProgressProc progress) {
    if (const int code = ExportChecks::boardControl(handle); code != 0) {
        return code;
    }
    return guarded(-1, [&] { return EepromLoader::write(handle, fileName, progress); });
}

int initFPGA(CamContext* handle) {
    if (const int code = ExportChecks::handle(handle); code != 0) {
        return code;
    }
    if (const int code = ExportChecks::device(handle, ExportChecks::kFpgaStartup); code != 0) {
        return code;
    }
    // The second variant's single-frame kind has no start-up handshake.
    if (handle->kindTag == 0) {
        return 0;
    }
    return guarded(FpgaStartup::kNotReady, [&] { return FpgaStartup::init(handle); });
}

int uploadGammaTable(CamContext* handle, int number, const char* fileName, int type) {
    if (const int code = ExportChecks::handle(handle); code != 0) {
        return code;
    }
    if (const int code = ExportChecks::device(handle, ExportChecks::kTableTransfer); code != 0) {
        return code;
    }
    return guarded(-1, [&] { return GammaTransfer::upload(handle, number, fileName, type); });
}

int downloadGammaTable(CamContext* handle, int number) {
    if (const int code = ExportChecks::handle(handle); code != 0) {
        return code;
    }
    if (const int code = ExportChecks::device(handle, ExportChecks::kTableTransfer); code != 0) {
        return code;
    }
    return guarded(0, [&] { return GammaTransfer::download(handle, number); });
}

int downloadGammaTableTo(CamContext* handle, int number, void* table, int length) {
    if (const int code = ExportChecks::handle(handle); code != 0) {
        return code;
    }
    if (table == nullptr || length < GammaTableFile::kBytes) {
        return -3;
    }
    if (const int code = ExportChecks::device(handle, ExportChecks::kTableTransfer); code != 0) {
        return code;
    }
    return guarded(0, [&] {
        GammaTableFile::Table bytes{};
        const int result = GammaTransfer::download(handle, number, &bytes);
        std::memcpy(table, bytes.data(), bytes.size());
        return result;
    });
}

}  // extern "C"

/*
 * HIDUsb: the device library. Every call the application makes to find
 * devices, open a link, exchange the configuration image, drive the receiver
 * and upgrade firmware.
 *
 * Paths are the devices' HID paths as 8-bit text. Callbacks are always called
 * on threads of the library, never on the caller's thread and never from
 * inside the call that asked for them.
 */
#ifndef HIDUSB_H
#define HIDUSB_H

#ifdef __cplusplus
#include "DeviceImage.h"
extern "C" {
#else
#include <stdbool.h>
typedef struct FlashDataMap FlashDataMap;
typedef struct DongleRGB DongleRGB;
#endif

#if defined(__GNUC__)
#define HIDUSB_API __attribute__((visibility("default")))
#else
#define HIDUSB_API
#endif

/* Report callback: header[1] is the report type, header[3] and header[4]
 * the sub-codes; data holds dataLength bytes. The header is 8 bytes: 0x5A,
 * type, 0, sub-code A, sub-code B, data length (u16 little-endian), 0.
 * Both buffers are valid only during the call. */
enum HidReportHeader {
    HidReportMagic = 0x5A,   /* header[0] */
    HidReportHeaderSize = 8
};
/* Report types (header[1]) and what data holds. */
enum HidReportType {
    HidReportBattery = 4,         /* level %, charging */
    HidReportPairStatus = 6,      /* 1 byte: receiver pairing state */
    HidReportFlash = 8,           /* parts of the image, by sub-code B below */
    HidReportModelDefaults = 9,   /* the device reset itself to its model's defaults */
    HidReportStatusChanged = 10,  /* 1 byte of flags (GetDeviceStatusChanged) */
    HidReportConfig = 14,         /* 1 byte: current profile; else no profiles */
    HidReportVersion = 18,        /* firmware version (UsbFinderC_GetVersion) */
    HidReportDongleRGB = 21,      /* the receiver light block */
    HidReportLongRange = 23       /* 1 byte: long range on; 10 bytes: off */
};
/* Sub-code B (header[4]) of HidReportFlash; sub-code A is 0. */
enum HidFlashPart {
    HidFlashWhole = 0,      /* the 6912-byte dump, or 1 byte: the report rate */
    HidFlashDpiStage = 4,   /* 1 byte: the current DPI stage */
    HidFlashDpiLed = 76,    /* 8 bytes: DPI light (BufferToDPILed) */
    HidFlashLedBar = 160    /* 9 bytes: lighting (BufferToLedBar) */
};
/* Indexes of the flags GetDeviceStatusChanged writes (index 4 is unused). */
enum HidStatusFlag {
    HidStatusDpiStage = 0,
    HidStatusReportRate = 1,
    HidStatusReread = 2,
    HidStatusDpiLight = 3,
    HidStatusLight = 5,
    HidStatusBattery = 6,
    HidStatusFlagCount = 7
};
typedef void (*ProtocolDataCallback)(unsigned char* header, int headerLength, unsigned char* data,
                                     unsigned int dataLength);
/* USB change callback: the set of attached devices changed. */
typedef void (*UsbChangedCallback)(void);
/* Upgrade callback: event[0] = 7; event[1] = 1 progress (event[2] percent)
 * or 2 finished (event[2] = 1 success, anything else failure). */
typedef void (*UpgradeCallback)(unsigned char* event);

/* Identity of a device: customer id, model id and kind byte
 * (0 = 1 kHz receiver, 4 = 2 kHz, 1 = 4 kHz, 5 = 8 kHz, others: the mouse). */
typedef struct DeviceIdentity {
    unsigned char cid;
    unsigned char mid;
    unsigned char type;
} DeviceIdentity;

/* ---- Discovery -------------------------------------------------------- */

/* Paths of the attached devices with these id texts (hexadecimal, case
 * does not matter). *count is 5 on input (not a limit) and the number of
 * paths on output. The returned storage stays valid until the next find call
 * on the same thread. Devices in boot mode are not found. */
HIDUSB_API char** UsbFinderC_FindHidDevicesByDefaultDeviceId(const char* vid, const char* pid, int* count);
/* The same search; interfaceId and deviceId are passed as 1 and 5. */
HIDUSB_API char** UsbFinderC_FindHidDevicesByDeviceId(const char* vid, const char* pid, int interfaceId,
                                                      int deviceId, int* count);
/* Fills a 12-byte attribute block; bytes 8..9 hold the u16 USB version. */
HIDUSB_API bool UsbFinderC_GetUsbDeviceAttribute(const char* path, unsigned char* attribute);
/* CID, MID and kind byte; CID 0 with MID 0 means no answer yet. */
HIDUSB_API DeviceIdentity UsbFinderC_GetDeviceInfo(const char* path);
/* Nonzero when the device (for a receiver: its paired mouse) is reachable. */
HIDUSB_API unsigned char UsbFinderC_GetDeviceOnLine(const char* path);
/* Always writes bytes 0..9 of buffer: [6] == 1 online, [7..9] the receiver
 * address. Returns nonzero when online. */
HIDUSB_API unsigned char UsbFinderC_GetDeviceOnLineWithUsbAddress(const char* path, unsigned char* buffer);
/* Firmware version of the device: high byte major, low byte minor. */
HIDUSB_API int UsbFinderC_GetVersion(const char* path);
/* Firmware version of the receiver (same form); false when unknown. */
HIDUSB_API bool UsbFinderC_GetSlaveVersion(const char* path, int* version);
/* Why no device can be found at all: the bench folder and the reason it
 * cannot be used (it cannot be created, its bench cannot be written or
 * read), as the last call that looked at the bench (a search) found it; an
 * empty text while the bench is usable, and before any such call. It does
 * not look at the bench itself. Valid until the next call on the same
 * thread. */
HIDUSB_API const char* UsbFinderC_GetBenchProblem(void);

/* ---- Receiver --------------------------------------------------------- */

HIDUSB_API bool UsbFinderC_Set4KDongleRGB(const char* path, DongleRGB* rgb);
HIDUSB_API bool UsbFinderC_Get4KDongleRGBValue(const char* path, DongleRGB* rgb);
HIDUSB_API bool UsbFinderC_SetLongRangeMode(const char* path, unsigned char mode);
/* Writes one reply byte: 's' (the preset) or 0 when long range is off,
 * any other value when it is on. */
HIDUSB_API bool UsbFinderC_GetLongRangeMode(const char* path, unsigned char* reply);
/* Writes the 5-byte receiver id record to the mouse at path. */
HIDUSB_API bool UsbFinderC_SetDongleIDToMouse(const char* path, unsigned char* record);

/* ---- Change notice ---------------------------------------------------- */

/* Sets the one USB change callback (replacing any earlier one); the set of
 * attached devices is checked every interval milliseconds. The callback runs
 * on a library thread: once soon after each call of StartUsbChanged (the
 * attached devices are news to it), then once per change. */
HIDUSB_API void StartUsbChanged(UsbChangedCallback callback, int interval);
/* Stops the notice; may be called more than once. */
HIDUSB_API void StopUsbChanged(void);

/* ---- Link ------------------------------------------------------------- */

/* Opens the link with the device (replacing an open link). Reports of the
 * link arrive in order on one library thread; requests made inside a report
 * callback are answered after it returns. Returns whether path names an
 * attached device; the link is open either way (an unknown or absent device
 * answers nothing). The Read and Set calls below return false when no link
 * is open; the Read calls queue the request and return at once. */
HIDUSB_API bool UsbServerC_Start(const char* path, const char* path2, ProtocolDataCallback callback);
/* 1 while the application is in front, 0 when not. */
HIDUSB_API bool UsbServer_SetPCDriverStatus(int status);
HIDUSB_API bool UsbServer_ReadAllFlashData(void);
HIDUSB_API bool UsbServer_ReadCurrentDPI(void);
HIDUSB_API bool UsbServer_ReadReportRate(void);
HIDUSB_API bool UsbServer_ReadLedBar(void);
HIDUSB_API bool UsbServer_ReadDPILed(void);
HIDUSB_API bool UsbServer_ReadBatteryLevel(void);
HIDUSB_API bool UsbServer_ReadVersion(void);
HIDUSB_API bool UsbServer_ReadConfig(void);
HIDUSB_API bool UsbServer_SetCurrentConfig(int profile);
HIDUSB_API bool UsbServer_SetClearSetting(void);
HIDUSB_API bool UsbServer_EnterDonglePairOnlyCid(unsigned char cid);
HIDUSB_API bool UsbServer_ReadDonglePairStatus(void);
/* Ends the link; idempotent, never waits for a thread inside a callback. */
HIDUSB_API void UsbServer_Exit(void);

/* ---- Image codec ------------------------------------------------------ */

/* 6912-byte dump of the device -> configuration image. */
HIDUSB_API bool ProtocolDataParser(const unsigned char* dump, FlashDataMap* image);
/* Sends the whole image to the linked device; true when the device took it.
 * The image is copied before the call returns. False (the device's memory
 * unchanged) without a link, with the device offline, unplugged or refusing
 * writes, or when the image holds a value the device cannot store (an event
 * state or type above 15, a delay above 65535 ms). */
HIDUSB_API bool ProtocolDataUpdate(const FlashDataMap* image);
/* 8 bytes of a DPI light report -> image bytes 63..66 (dpiLed = &byte 63). */
HIDUSB_API void BufferToDPILed(const unsigned char* data, unsigned char* dpiLed);
/* 9 bytes of a light report -> image bytes 67..73 (ledBar = &byte 67). */
HIDUSB_API void BufferToLedBar(const unsigned char* data, unsigned char* ledBar);
/* Battery report -> status[0] level in percent, status[1] charging. */
HIDUSB_API void GetDeviceBatteryStatus(const unsigned char* data, unsigned char* status);
/* Status change report -> 7 flags: [0] DPI stage, [1] report rate, [2] full
 * re-read due, [3] DPI light, [4] unused, [5] light, [6] battery. */
HIDUSB_API void GetDeviceStatusChanged(const unsigned char* data, unsigned char* flags);

/* ---- Firmware upgrade ------------------------------------------------- */

/* image: the start of a whole firmware file (728-byte header first).
 * *count (5 on input) becomes the number of boot-mode devices that take it. */
HIDUSB_API bool UsbUpgradeC_FindBootDevices(const unsigned char* image, int* count);
/* Starts writing the image; progress and the end arrive through callback,
 * on a library thread. An image that cannot start (bad header, no single
 * device for it) gives false and the end event {7, 2, 0}; while another
 * upgrade runs the answer is false and no event comes. The timeout is not
 * used. */
HIDUSB_API bool UsbUpgrade_Start(const unsigned char* image, UpgradeCallback callback, int timeout);
/* Eight zero-terminated texts describing the last upgrade; valid until the
 * next call on the same thread. */
HIDUSB_API char** UsbUpgradeC_GetLogs(void);

#ifdef __cplusplus
}
#endif

#endif /* HIDUSB_H */

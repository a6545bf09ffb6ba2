// Placeholder until the device bench lands: every call answers "no device".
#include "HIDUsb.h"

extern "C" {
char** UsbFinderC_FindHidDevicesByDefaultDeviceId(const char*, const char*, int* count) { if (count) *count = 0; return nullptr; }
char** UsbFinderC_FindHidDevicesByDeviceId(const char*, const char*, int, int, int* count) { if (count) *count = 0; return nullptr; }
bool UsbFinderC_GetUsbDeviceAttribute(const char*, unsigned char*) { return false; }
DeviceIdentity UsbFinderC_GetDeviceInfo(const char*) { return DeviceIdentity{0, 0, 0}; }
unsigned char UsbFinderC_GetDeviceOnLine(const char*) { return 0; }
unsigned char UsbFinderC_GetDeviceOnLineWithUsbAddress(const char*, unsigned char* b) { for (int i = 0; b && i < 10; ++i) b[i] = 0; return 0; }
int UsbFinderC_GetVersion(const char*) { return 0; }
bool UsbFinderC_GetSlaveVersion(const char*, int*) { return false; }
bool UsbFinderC_Set4KDongleRGB(const char*, DongleRGB*) { return false; }
bool UsbFinderC_Get4KDongleRGBValue(const char*, DongleRGB*) { return false; }
bool UsbFinderC_SetLongRangeMode(const char*, unsigned char) { return false; }
bool UsbFinderC_GetLongRangeMode(const char*, unsigned char*) { return false; }
bool UsbFinderC_SetDongleIDToMouse(const char*, unsigned char*) { return false; }
void StartUsbChanged(UsbChangedCallback, int) {}
void StopUsbChanged(void) {}
bool UsbServerC_Start(const char*, const char*, ProtocolDataCallback) { return false; }
bool UsbServer_SetPCDriverStatus(int) { return false; }
bool UsbServer_ReadAllFlashData(void) { return false; }
bool UsbServer_ReadCurrentDPI(void) { return false; }
bool UsbServer_ReadReportRate(void) { return false; }
bool UsbServer_ReadLedBar(void) { return false; }
bool UsbServer_ReadDPILed(void) { return false; }
bool UsbServer_ReadBatteryLevel(void) { return false; }
bool UsbServer_ReadVersion(void) { return false; }
bool UsbServer_ReadConfig(void) { return false; }
bool UsbServer_SetCurrentConfig(int) { return false; }
bool UsbServer_SetClearSetting(void) { return false; }
bool UsbServer_EnterDonglePairOnlyCid(unsigned char) { return false; }
bool UsbServer_ReadDonglePairStatus(void) { return false; }
void UsbServer_Exit(void) {}
bool ProtocolDataParser(const unsigned char*, FlashDataMap*) { return false; }
bool ProtocolDataUpdate(const FlashDataMap*) { return false; }
void BufferToDPILed(const unsigned char*, unsigned char*) {}
void BufferToLedBar(const unsigned char*, unsigned char*) {}
void GetDeviceBatteryStatus(const unsigned char*, unsigned char*) {}
void GetDeviceStatusChanged(const unsigned char*, unsigned char*) {}
bool UsbUpgradeC_FindBootDevices(const unsigned char*, int* count) { if (count) *count = 0; return false; }
bool UsbUpgrade_Start(const unsigned char*, UpgradeCallback, int) { return false; }
char** UsbUpgradeC_GetLogs(void) { static char empty[1] = {0}; static char* logs[8] = {empty, empty, empty, empty, empty, empty, empty, empty}; return logs; }
}

// Checks and transformations of the configuration image that the device
// link applies to what the device sends. Pure functions, no device calls.
#pragma once

#include "DeviceImage.h"

#include <QList>

// A report-rate code the device can run at: 1, 2, 4, 8, 16, 32 or 64.
bool IsValidReportRateCode(int code);

// An image the pages can show: 1..8 DPI stages and the current stage below
// the count.
bool ImageIsPlausible(const FlashDataMap& image);

// Clamps the counts of the records to what the records can hold: macro
// events to 70, macro name length to 30, key events to 6.
void ClampImageRecords(FlashDataMap& image);

// The key-defaults pass after a reset: with keep empty, every key event
// record and macro record is cleared; otherwise the records of the keys not
// in keep are cleared and those of the listed keys stay.
void ClearKeyRecords(FlashDataMap& image, const QList<int>& keep);

// Keys (0-based) whose model default in Config.ini is an event record
// ("KeyParam<i>" starting with "0x05") for model group driveIndex + 1.
QList<int> EventDefaultKeysOfModel(int driveIndex);

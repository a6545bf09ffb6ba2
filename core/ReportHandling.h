// Checks and transformations of the configuration image that the device
// link applies to what the device sends. Pure functions, no device calls.
#pragma once

#include "DeviceImage.h"
#include "ImageCheck.h"  // the rules of an image (IsValidReportRateCode, MendImage)

#include <QList>

// The key-defaults pass after a reset: with keep empty, every key event
// record and macro record is cleared; otherwise the records of the keys not
// in keep are cleared and those of the listed keys stay.
void ClearKeyRecords(FlashDataMap& image, const QList<int>& keep);

// Keys (0-based) whose model default in Config.ini is an event record
// ("KeyParam<i>" starting with "0x05") for model group driveIndex + 1.
QList<int> EventDefaultKeysOfModel(int driveIndex);

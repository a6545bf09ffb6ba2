#include "SensorRules.h"

#include "ConfigSettings.h"

namespace SensorRules {

namespace {
const int rateCodes[RateCount] = {8, 4, 2, 1, 16, 32, 64};
const int brightnessBytes[BrightnessMax] = {16, 30, 60, 90, 128, 150, 180, 210, 230, 255};
bool validRate(int index) { return index >= 0 && index < RateCount; }
}  // namespace

int RateCode(int index)
{
    return validRate(index) ? rateCodes[index] : 0;
}

int RateIndexOfCode(int code)
{
    for (int i = 0; i < RateCount; ++i) {
        if (rateCodes[i] == code)
            return i;
    }
    return -1;
}

int RateHubValue(int index)
{
    return index > Rate1000Hz ? 1 : 0;
}

int ShownRateIndex(int code, bool directMouse)
{
    const int index = RateIndexOfCode(code);
    return directMouse && index > Rate1000Hz ? Rate1000Hz : index;
}

int RateButtonsOfType(int type)
{
    // The cabled mouse and kind 3 are no receiver kinds of the model table.
    const int fallback = type == 2 ? 1 : type == 3 ? 8 : 0;
    switch (ConfigSettings::RateClassOfType(type, fallback)) {
    case 1:
        return 0;
    case 2:
        return 2;
    case 4:
        return 1;
    case 8:
        return 3;
    default:
        return -1;
    }
}

bool RateShown(int receiverClass, int index)
{
    if (!validRate(index) || receiverClass < 0 || receiverClass >= ReceiverClassCount)
        return false;
    if (index <= Rate1000Hz)
        return true;
    // 2000, 4000, 8000 Hz for the classes 0..3.
    static const bool fast[ReceiverClassCount][3] = {
        {false, false, false}, {true, true, false}, {true, false, false}, {true, true, true}};
    return fast[receiverClass][index - Rate1000Hz - 1];
}

int LevelFromLine(const QString& line)
{
    if (line.isEmpty())
        return 1;
    bool ok = false;
    const int value = line.toInt(&ok, 10);
    return ok ? value : 0;
}

int LodCodeOfIndex(int index, int itemCount)
{
    if (itemCount == 3) {
        static const int codes[3] = {3, 1, 2};
        return index >= 0 && index < 3 ? codes[index] : -1;
    }
    if (itemCount == 2)
        return index >= 0 && index < 2 ? index + 1 : -1;
    return -1;
}

int LodIndexOfValue(int value, int itemCount)
{
    if (itemCount == 3) {
        static const int indexes[3] = {1, 2, 0};
        return value >= 0 && value < 3 ? indexes[value] : -1;
    }
    if (itemCount == 2)
        return value >= 0 && value < 2 ? value : -1;
    return -1;
}

int LodCodeOfBox(int box)
{
    static const int codes[3] = {3, 1, 2};
    return box >= 0 && box < 3 ? codes[box] : -1;
}

int BrightnessByte(int step)
{
    return step >= BrightnessMin && step <= BrightnessMax ? brightnessBytes[step - 1] : -1;
}

int BrightnessStepOfByte(int byte)
{
    for (int step = BrightnessMin; step <= BrightnessMax; ++step) {
        if (brightnessBytes[step - 1] == byte)
            return step;
    }
    return -1;
}

int EffectModeOf(int on, int mode)
{
    if (on == 0)
        return 0;
    return mode == 1 || mode == 2 ? mode : -1;
}

EffectRows RowsOfMode(int mode)
{
    return EffectRows{mode == 2, mode == 1};
}

}  // namespace SensorRules

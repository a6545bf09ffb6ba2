// What a configuration image may hold: one set of rules for every image the
// program takes from outside (a settings file, the device's own dump, the
// cache), so that an image the device cannot use is never sent to it and a
// page never indexes past what it shows.
//
// Rules, by image byte (tables of the image layout and the key functions):
//   RuleReportRate    0      report-rate code 1, 2, 4, 8, 16, 32 or 64
//   RuleStageCount    1      DPI stages 1 .. the model's stage limit
//                            (ImageLimits::maxStages)
//   RuleCurrentStage  2      current DPI stage below the stage count
//   RuleLiftOff       5      lift-off code 1, 2 or 3
//   RuleDebounce      6      debounce 0 .. 20 ms
//   RuleSleepTime     8      sleep time 1 .. 240 (10 s .. 40 min in 10 s)
//   RuleLight         67..73 light mode 0 .. 6, speed and brightness 0 .. 9,
//                            light on 0 or 1
//   RuleKeyFunctions  74..121 each of the 16 key entries {type, value1,
//                            value2} one of the functions:
//                             0 disabled       {0, 0, 0}
//                             1 mouse button   value1 1, 2, 4, 8 or 16
//                             2 DPI switch     value1 1, 2 or 3
//                             3 tilt           value1 1 or 2
//                             4 fire key       value1 10..255, value2 0..3
//                             5 key events     {5, 0, 0}
//                             6 macro          value1 = the key's own index,
//                                              value2 a repeat code 1..250,
//                                              253, 254 or 255
//                             7 report rate    {7, 0, 0}
//                             8 light switch   value1 0, 1, 3 or 4
//                             9 profile        {9, 0, 0}
//                            10 DPI lock       value1 any step index
//                            11 wheel          value1 1 or 2
//                            (value2 0 where the list names none)
//   RuleRecordCounts 124..   key event records at most 6 events, macro
//                            records at most 70 events and 30 name bytes
// Bytes not named here (switches, sensor options, the DPI stage records and
// the DPI light) are the device's business and pass as they are.
//
// Two uses:
//  - the settings import takes an image only when CheckImage finds nothing
//    (ImageIsValid): anything else does not fit the device;
//  - the full read (and a cached image) shows what the device holds, after
//    MendImage has made safe what a page indexes by: the stage count (into
//    1 .. the limit), the current stage (0 when not below the count) and the
//    record counts (cut to what a record holds). Other values outside their
//    tables stay: the pages show nothing for them and the device keeps them.
// Pure functions, any thread.
#pragma once

#include "DeviceImage.h"

#include <QString>

#include <cstdint>

enum ImageRule : uint32_t {
    RuleReportRate = 1u << 0,
    RuleStageCount = 1u << 1,
    RuleCurrentStage = 1u << 2,
    RuleLiftOff = 1u << 3,
    RuleDebounce = 1u << 4,
    RuleSleepTime = 1u << 5,
    RuleLight = 1u << 6,
    RuleKeyFunctions = 1u << 7,
    RuleRecordCounts = 1u << 8,
};
// A set of broken rules (ImageRule bits); 0 = none.
using ImageProblems = uint32_t;

// The rules MendImage repairs.
constexpr ImageProblems MendableProblems = RuleStageCount | RuleCurrentStage | RuleRecordCounts;

// What the rules take from the device's model.
struct ImageLimits {
    // Most DPI stages the model offers (DPIMaxGrade, never above the 8
    // records of the image). 0, a model without the key, fits no image;
    // MendImage then keeps the count within the 8 records.
    int maxStages = DpiStageCount;
};

// The limits of model group driveIndex + 1 of Config.ini.
ImageLimits ModelImageLimits(int driveIndex);

// Every rule the image breaks.
ImageProblems CheckImage(const FlashDataMap& image, const ImageLimits& limits);
inline bool ImageIsValid(const FlashDataMap& image, const ImageLimits& limits)
{
    return CheckImage(image, limits) == 0;
}

// A report-rate code the device can run at (rule RuleReportRate).
bool IsValidReportRateCode(int code);

// One key entry against the function table; key is the entry's index
// (a macro names its own key's record).
bool KeyFunctionIsValid(const KeyFunction& function, int key);

// Repairs the MendableProblems of the image in place (see above); returns
// the rules it repaired.
ImageProblems MendImage(FlashDataMap& image, const ImageLimits& limits);

// The rules of a set by name, for the log ("stage count, light").
QString ImageProblemText(ImageProblems problems);

#include "ImageCheck.h"

#include "ConfigSettings.h"

#include <QStringList>

#include <initializer_list>

namespace {

constexpr int MaxDebounceMs = 20;
constexpr int MinSleepUnits = 1;     // 10 s
constexpr int MaxSleepUnits = 240;   // 40 min
constexpr int MaxLightMode = 6;
constexpr int MaxLightStep = 9;      // speed and brightness, shown as 1..10
constexpr int MinFireInterval = 10;
constexpr int MaxFireCount = 3;
constexpr int MaxMacroRepeatCount = 250;

bool oneOf(int value, std::initializer_list<int> allowed)
{
    for (int a : allowed) {
        if (value == a)
            return true;
    }
    return false;
}

// The stage count a mend keeps to: the model's limit, or the image's eight
// records for a model that names none.
int mendStageLimit(const ImageLimits& limits)
{
    return limits.maxStages >= 1 ? qMin(limits.maxStages, DpiStageCount) : DpiStageCount;
}

bool recordCountsFit(const FlashDataMap& image)
{
    for (int k = 0; k < KeyCount; ++k) {
        if (image.keyEvents[k].count > KeyEventRecordEvents || image.macros[k].eventCount > MacroRecordEvents
            || image.macros[k].nameLength > MacroNameBytes)
            return false;
    }
    return true;
}

bool lightFits(const FlashDataMap& image)
{
    return image.lightMode <= MaxLightMode && image.lightSpeed <= MaxLightStep
           && image.lightBrightness <= MaxLightStep && image.lightOn <= 1;
}

}  // namespace

bool IsValidReportRateCode(int code)
{
    return oneOf(code, {1, 2, 4, 8, 16, 32, 64});
}

bool KeyFunctionIsValid(const KeyFunction& function, int key)
{
    const int v1 = function.value1;
    const int v2 = function.value2;
    switch (function.type) {
    case 0: case 5: case 7: case 9:
        return v1 == 0 && v2 == 0;
    case 1:
        return oneOf(v1, {1, 2, 4, 8, 16}) && v2 == 0;
    case 2:
        return v1 >= 1 && v1 <= 3 && v2 == 0;
    case 3: case 11:
        return (v1 == 1 || v1 == 2) && v2 == 0;
    case 4:
        return v1 >= MinFireInterval && v2 <= MaxFireCount;
    case 6:
        return v1 == key && ((v2 >= 1 && v2 <= MaxMacroRepeatCount) || v2 >= 253);
    case 8:
        return oneOf(v1, {0, 1, 3, 4}) && v2 == 0;
    case 10:
        return v2 == 0;
    default:
        return false;
    }
}

ImageLimits ModelImageLimits(int driveIndex)
{
    ImageLimits limits;
    limits.maxStages = ConfigSettings::GetInstance()->ModelStageLimit(driveIndex);
    return limits;
}

ImageProblems CheckImage(const FlashDataMap& image, const ImageLimits& limits)
{
    ImageProblems problems = 0;
    if (!IsValidReportRateCode(image.reportRate))
        problems |= RuleReportRate;
    const int maxStages = qMin(limits.maxStages, DpiStageCount);
    if (image.dpiStageCount < 1 || image.dpiStageCount > maxStages)
        problems |= RuleStageCount;
    if (image.dpiStage >= image.dpiStageCount)
        problems |= RuleCurrentStage;
    if (image.liftOff < 1 || image.liftOff > 3)
        problems |= RuleLiftOff;
    if (image.debounce > MaxDebounceMs)
        problems |= RuleDebounce;
    if (image.sleepTime < MinSleepUnits || image.sleepTime > MaxSleepUnits)
        problems |= RuleSleepTime;
    if (!lightFits(image))
        problems |= RuleLight;
    for (int k = 0; k < KeyCount; ++k) {
        if (!KeyFunctionIsValid(image.keys[k], k)) {
            problems |= RuleKeyFunctions;
            break;
        }
    }
    if (!recordCountsFit(image))
        problems |= RuleRecordCounts;
    return problems;
}

ImageProblems MendImage(FlashDataMap& image, const ImageLimits& limits)
{
    ImageProblems mended = 0;
    const int maxStages = mendStageLimit(limits);
    if (image.dpiStageCount < 1 || image.dpiStageCount > maxStages) {
        image.dpiStageCount = uint8_t(qBound(1, int(image.dpiStageCount), maxStages));
        mended |= RuleStageCount;
    }
    if (image.dpiStage >= image.dpiStageCount) {
        image.dpiStage = 0;
        mended |= RuleCurrentStage;
    }
    if (!recordCountsFit(image)) {
        for (int k = 0; k < KeyCount; ++k) {
            KeyEventRecord& keys = image.keyEvents[k];
            keys.count = uint8_t(qMin(int(keys.count), KeyEventRecordEvents));
            MacroRecord& macro = image.macros[k];
            macro.nameLength = uint8_t(qMin(int(macro.nameLength), MacroNameBytes));
            macro.eventCount = uint8_t(qMin(int(macro.eventCount), MacroRecordEvents));
        }
        mended |= RuleRecordCounts;
    }
    return mended;
}

QString ImageProblemText(ImageProblems problems)
{
    static const struct {
        ImageRule rule;
        const char* name;
    } names[] = {
        {RuleReportRate, "report rate"}, {RuleStageCount, "stage count"}, {RuleCurrentStage, "current stage"},
        {RuleLiftOff, "lift-off"},       {RuleDebounce, "debounce"},      {RuleSleepTime, "sleep time"},
        {RuleLight, "light"},            {RuleKeyFunctions, "key functions"}, {RuleRecordCounts, "record counts"},
    };
    QStringList out;
    for (const auto& n : names) {
        if (problems & n.rule)
            out << QString::fromLatin1(n.name);
    }
    return out.join(QStringLiteral(", "));
}

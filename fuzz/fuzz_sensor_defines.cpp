// The sensor definition file driver_sensor.h with any content: the parser
// and file reader, the table look-ups for every sensor the file names and
// the DPI conversions and key captions that the button page builds on it.
// A line "DPIRange=<list>" of the input (ignored by the parser) is a model's
// range list: its parse, the snapping and stepping in it and the register
// codes of its values for every sensor.
#include "FuzzSupport.h"

#include "DpiModel.h"
#include "Globals.h"
#include "KeyFunctions.h"
#include "SensorDefines.h"

#include <QSet>

#include <limits>

namespace {
QString path;

class View : public keys::ButtonPageView
{
public:
    QString EntryText(const QString& objectName) const override { return objectName; }
    void SetKeyCaption(int, const QString&) override {}
    void ShowNoSubMenu() override {}
    void ClearOptionChecks() override {}
    void ShowFunctionList() override {}
};

// The range list the input gives, else the first model's.
QStringList rangeItems(const QByteArray& content)
{
    static const QByteArray key("DPIRange=");
    for (const QByteArray& line : content.split('\n')) {
        if (line.startsWith(key))
            return QString::fromUtf8(line.mid(key.size())).split(QLatin1Char(','));
    }
    return QStringLiteral("100,12750,50,12800,25500,100,0x22").split(QLatin1Char(','));
}

void checkRanges(const DpiRanges& r)
{
    if (r.count < 0 || r.count > DpiRanges::MaxRanges || r.mins.size() != r.count || r.maxs.size() != r.count
        || r.steps.size() != r.count || r.texts.size() != 3 * r.count)
        fuzz::Fail("range list of a wrong shape");
    for (int k = 0; k < r.count; ++k) {
        if (r.steps[k] < 1 || r.mins[k] < 1 || r.mins[k] > r.maxs[k])
            fuzz::Fail("an unusable range was kept");
    }
}

// The values a user can reach: each range's bounds and grid, the gaps, the
// values outside.
QVector<int> probeValues(const DpiRanges& r)
{
    QVector<int> values{0, -1, 49, 50, 800, 12800, 51200, 51250, 100000, std::numeric_limits<int>::max()};
    for (int k = 0; k < r.count; ++k) {
        values << r.mins[k] - 1 << r.mins[k] << r.maxs[k];
        if (r.maxs[k] < std::numeric_limits<int>::max())
            values << r.maxs[k] + 1;
        for (int i = 1; i < 16 && r.mins[k] <= r.maxs[k] - i * qint64(r.steps[k]); ++i)
            values << r.mins[k] + i * r.steps[k];
    }
    return values;
}

void checkSnapAndStep(const DpiRanges& r, int v)
{
    const DpiSnap s = SnapDpi(r, v);
    if (s.pageStep == 0) {
        if (s.value != v)
            fuzz::Fail("a value outside every range was moved");
        return;
    }
    bool inside = false;
    for (int k = 0; k < r.count; ++k) {
        if (s.value >= r.mins[k] && s.value <= r.maxs[k] && (s.value - r.mins[k]) % r.steps[k] == 0)
            inside = true;
    }
    if (!inside)
        fuzz::Fail("a snapped value is not on a range's grid");
    StepDpi(r, v, true);
    StepDpi(r, v, false);
}

void checkRegister(const SensorDpi& sensor, int dpi)
{
    const DpiRegister reg = sensor.Encode(dpi, 0x22);
    sensor.Encode(dpi, 0);
    const bool table = sensor.defines.HasDpiTable(sensor.sensorName);
    if (!table && SensorDpi::TenBitSensor(sensor.sensorName) && ((reg.flags >> 6) & 3) != ((reg.flags >> 2) & 3))
        fuzz::Fail("the two copies of a 10-bit code's high bits differ");
    const bool modeFlags = sensor.ranges.count > 0
                           && (sensor.ranges.mode == 0x11 || sensor.ranges.mode == 0x22 || sensor.ranges.mode == 0x33);
    if (!modeFlags && (reg.flags & 0x33) != 0)
        fuzz::Fail("a code spilled into the step or doubling flags");
    const std::optional<int> back = sensor.Decode(reg.code, reg.flags);
    if (back && *back <= 0)
        fuzz::Fail("a code decodes to no DPI but is not reported as undefined");
    if (!table && !back)
        fuzz::Fail("the formula left a code undefined");
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::SetUp(argc, argv);
    path = fuzz::Root() + QStringLiteral("/driver_sensor.h");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray content = fuzz::Bytes(data, size);
    const SensorDefines parsed = ParseSensorDefines(content);
    if (parsed.names.size() != parsed.values.size())
        fuzz::Fail("names and values differ in count");
    fuzz::WriteFile(path, content);
    const SensorDefines read = ReadSensorDefines(path);
    if (read.names != parsed.names || read.values != parsed.values || read.switches != parsed.switches)
        fuzz::Fail("file reader and parser disagree");

    // The sensors the file names ("SENSOR_<name>_DPI..."), and two it may not.
    QSet<QString> sensors{QStringLiteral("AX72"), QString()};
    for (int i = 0; i < parsed.names.size() && sensors.size() < 8; ++i) {
        const QString& name = parsed.names.at(i);
        const int at = name.indexOf(QLatin1String("SENSOR_"));
        const int end = name.indexOf(QLatin1String("_DPI"), at + 7);
        if (at >= 0 && end > at)
            sensors.insert(name.mid(at + 7, end - at - 7));
    }
    const DpiRanges ranges = ParseDpiRanges(rangeItems(content), QStringLiteral("1"));
    checkRanges(ranges);
    const QVector<int> values = probeValues(ranges);
    for (int v : values)
        checkSnapAndStep(ranges, v);
    sensors.insert(QStringLiteral("3395"));

    FlashDataMap image{};
    for (const QString& sensor : qAsConst(sensors)) {
        const SensorDpi dpi{sensor, parsed, ranges};
        for (int v : values)
            checkRegister(dpi, v);
        for (int code : {0, 1, 127, 255})
            for (int flags : {0, 0x11, 0x22, 0x33, 0xFF})
                dpi.Decode(uint8_t(code), uint8_t(flags));
        const bool table = parsed.HasDpiTable(sensor);
        for (int i = 0; i < parsed.names.size() && i < 64; ++i) {
            const QString& name = parsed.names.at(i);
            const QString prefix = SensorDefines::DpiPrefix(sensor);
            if (!name.startsWith(prefix))
                continue;
            bool ok = false;
            const int dpi = name.mid(prefix.size()).toInt(&ok);
            if (!ok)
                continue;
            const int code = parsed.DpiCode(sensor, dpi);
            // A name spelt as the look-up spells it is always found.
            if (code < 0 && name == prefix + QString::number(dpi))
                fuzz::Fail("a listed DPI has no code");
            if (!table)
                fuzz::Fail("a sensor with DPI names has no table");
            keys::DPIValueToIndex(sensor, parsed, dpi);
        }
        for (int v : {0, 1, 63, 255, 256, -1})
            parsed.DpiFromCode(sensor, v);
        for (int i = 0; i < parsed.values.size() && i < 64; ++i)
            parsed.DpiFromCode(sensor, parsed.values.at(i));
        for (int index = -1; index <= 256; index += 17)
            keys::DPIIndexToValue(sensor, parsed, index);
        for (int index = 0; index < 4; ++index)
            keys::DPIValueToIndex(sensor, parsed, keys::DPIIndexToValue(sensor, parsed, index));
        // The DPI-lock caption of a key (type 10) for a few steps.
        View view;
        for (int value1 : {0, 1, 15, 255})
            keys::ButtonFunctionCaption(view, 0, 10, value1, 0, image, QString(), sensor, parsed);
    }
    return 0;
}

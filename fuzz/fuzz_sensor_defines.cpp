// The sensor definition file driver_sensor.h with any content: the parser
// and file reader, the table look-ups for every sensor the file names and
// the DPI conversions and key captions that the button page builds on it.
#include "FuzzSupport.h"

#include "Globals.h"
#include "KeyFunctions.h"
#include "SensorDefines.h"

#include <QSet>

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
    FlashDataMap image{};
    for (const QString& sensor : qAsConst(sensors)) {
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

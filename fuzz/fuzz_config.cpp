// The model table usersetting/Config.ini read through ConfigSettings, with
// any content: every key the file holds and every key the program asks
// for, read by every accessor, then the program's own consumers of the
// table (the key defaults of each model, the device search with the ids
// the table names, matching the bench's devices to a model).
#include "FuzzSupport.h"

#include "ConfigSettings.h"
#include "Globals.h"
#include "ReportHandling.h"
#include "Worker.h"

#include <QSettings>

namespace {
QString configPath;
QStringList programKeys;  // "group/key" of the shipped table

void readAll(ConfigSettings* config, const QString& group, const QString& key)
{
    const QString text = config->GetValue(group, key);
    const QStringList list = config->GetValueList(group, key);
    const int number = config->GetInt(group, key);
    if (ConfigSettings::IsBase64Key(key)) {
        // Decoded texts carry no blanks.
        if (text.contains(QLatin1Char(' ')) || text.contains(QLatin1Char('\n')))
            fuzz::Fail("a decoded identity text holds a blank");
    }
    Q_UNUSED(list);
    Q_UNUSED(number);
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::SetUp(argc, argv);
    QSettings shipped(AppDir() + QStringLiteral("/usersetting/Config.ini"), QSettings::IniFormat);
    programKeys = shipped.allKeys();
    programKeys << QStringLiteral("Drive3/MID") << QStringLiteral("Drive9/KeyParam1");
    const QString dir = fuzz::MakeAppDirCopy(QStringLiteral("app-config"), {QStringLiteral("usersetting/Config.ini")});
    configPath = dir + QStringLiteral("/usersetting/Config.ini");
    SetAppDirOverride(dir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::WriteFile(configPath, fuzz::Bytes(data, size));
    ConfigSettings* config = ConfigSettings::GetInstance();
    config->Reload();

    QStringList keys = programKeys;
    {
        QSettings own(configPath, QSettings::IniFormat);
        own.setIniCodec("UTF8");
        const QStringList present = own.allKeys();
        for (int i = 0; i < present.size() && i < 200; ++i)
            keys << present.at(i);
    }
    for (const QString& path : qAsConst(keys)) {
        const int slash = path.indexOf(QLatin1Char('/'));
        if (slash < 0)
            readAll(config, QString(), path);
        else
            readAll(config, path.left(slash), path.mid(slash + 1));
    }

    // The consumers: key defaults of every model the table claims (bounded:
    // a table may claim any number), the device search with the table's
    // ids, the identification of the bench's devices.
    const int total = config->GetInt(QStringLiteral("Option"), QStringLiteral("DeviceTotal"));
    for (int i = 0; i < qBound(0, total, 12); ++i)
        EventDefaultKeysOfModel(i);
    CurrentDeviceInfo = DeviceAllInfo();
    FoundDevices.clear();
    Worker::HandleUsbChanged();
    fuzz::FlushPostedEvents();
    return 0;
}

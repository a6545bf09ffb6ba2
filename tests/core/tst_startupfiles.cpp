// The files the program reads by itself at start: a link to a FIFO, a FIFO or
// a file over the cap in place of any of them counts as missing, and no read
// waits. The writers of whole files (the update log too, which keeps
// the end of the old one): a link (live or dangling), a folder or a FIFO in
// the file's place is refused, without waiting, and stays as it was, its
// target untouched.
#include "Autostart.h"
#include "ConfigSettings.h"
#include "DeviceCache.h"
#include "FilePlaces.h"
#include "FirmwareUpdate.h"
#include "Globals.h"
#include "LanguageLoader.h"
#include "MacroName.h"
#include "MacroRows.h"
#include "MacroSettings.h"
#include "PickedFile.h"
#include "RegistryStore.h"
#include "Sensor.h"
#include "SensorDefines.h"
#include "SettingsFile.h"
#include "UserFixture.h"
#include "UserFolders.h"

#include <QtTest>

#include <sys/stat.h>

#include <functional>
#include <memory>

namespace {

// One kind of start-up file: where it lies, what it holds when it is good,
// and what the program's reader makes of it (in one text).
struct Kind {
    QString path;
    QByteArray good;
    std::function<QString()> read;
};

// One writer of a whole file: where it writes, and whether a write took.
struct Writer {
    QString path;
    std::function<bool()> write;
};

// The good start, then blanks to one byte over the cap: a reader of the
// whole file would still find the good values.
QByteArray padded(const QByteArray& head)
{
    return head + QByteArray(int(StartupFileMaxBytes) + 1 - head.size(), ' ');
}

}  // namespace

class StartupFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
        m_sensor = std::make_unique<Sensor>();
        QVERIFY(m_appDir.isValid() && QDir().mkpath(m_appDir.filePath("usersetting")));
        SetAppDirOverride(m_appDir.path());
        QCOMPARE(::mkfifo(QFile::encodeName(fifoTarget()).constData(), 0600), 0);
        const QString app = m_appDir.path(), language = app + Language::FileName(1);
        const QString net = app + "/Language/Net.xml", defines = app + "/driver_sensor.h", cache = "Device_probe.bin";
        m_kinds = {
            {"Config.ini", {app + "/usersetting/Config.ini", "[Option]\nDeviceTotal=2\n;", [] {
                 ConfigSettings::GetInstance()->Reload();
                 return ConfigSettings::GetInstance()->GetValue("Option", "DeviceTotal");
             }}},
            {"Macro.ini", {UserDir() + "/Macro.ini", "[Language]\nLanguage=3\n;", [] {
                 MacroSettings::GetInstance()->Reload();
                 return MacroSettings::GetInstance()->GetValue("Language", "Language");
             }}},
            {"language file", {language, "<Total><EXEIsRun><label>x</label></EXEIsRun></Total>\n",
                               [language] { return loadText(language, "Total", "EXEIsRun", "label"); }}},
            {"Net.xml", {net, "<Profile><English><Company>x</Company></English></Profile>\n",
                         [net] { return loadText(net, "Profile", "English", "Company"); }}},
            {"driver_sensor.h", {defines, "#define SENSOR_X_DPI_100\t0x01\n//",
                                 [defines] { return QString::number(ReadSensorDefines(defines).names.size()); }}},
            {"Level.ini", {UserDir() + "/usersetting/SensorPage/Level.ini", "3",
                           [this] { return QString::number(m_sensor->LoadLevel()); }}},
            {"device cache", {DeviceInfoFilePath(cache), EncodeDeviceInfo(FlashDataMap{}), [cache] {
                                  FlashDataMap image;
                                  return QString::number(ReadDeviceInfoFile(cache, image));
                              }}},
            {"registry store", {RegistryStore::FileForKey(ProgramRegistryKey()), "[Values]\nProbe=1\n;",
                                [] { return RegistryStore(ProgramRegistryKey()).value("Probe").toString(); }}},
            {"macro file", {keys::MacroFilePath("probe"), "5\n", [] {
                                const auto file = keys::ReadMacroFile("probe");
                                return file ? QString::number(file->repeatCode) : QString();
                            }}},
        };
        const QString exports = m_appDir.path() + "/chosen";
        m_writers = {
            {"Config.ini", {m_kinds["Config.ini"].path, [] {
                 ConfigSettings::GetInstance()->Reload();
                 ConfigSettings::GetInstance()->SetValue("Option", "DeviceTotal", "7");
                 return ConfigSettings::GetInstance()->GetValue("Option", "DeviceTotal") == "7";
             }}},
            {"Macro.ini", {m_kinds["Macro.ini"].path, [] {
                 MacroSettings::GetInstance()->Reload();
                 MacroSettings::GetInstance()->SetValue("Language", "Language", "4");
                 return MacroSettings::GetInstance()->GetValue("Language", "Language") == "4";
             }}},
            {"Macro.ini made at start", {m_kinds["Macro.ini"].path, [] {
                 PrepareUserFolders(UserDir());
                 return testsupport::PlaceAt(UserDir() + "/Macro.ini") == "file";
             }}},
            {"registry store", {m_kinds["registry store"].path,
                                [] { return RegistryStore(ProgramRegistryKey()).setValue("Probe", 2); }}},
            {"Level.ini", {m_kinds["Level.ini"].path, [this] { return m_sensor->SaveLevel(4); }}},
            {"device cache", {m_kinds["device cache"].path, [] { return WriteDeviceInfoFile("Device_probe.bin", {}); }}},
            {"macro file", {m_kinds["macro file"].path, [] { return keys::WriteMacroFile("probe", "5"); }}},
            {"settings export", {exports + "/settings.bin",
                                 [exports] { return WriteSettingsFile(exports + "/settings.bin", "AX72", {}); }}},
            {"macro export", {exports + "/macro.ini",
                              [exports] { return keys::ExportMacroFile(exports + "/macro.ini", "probe", 1, {}, {}); }}},
            {"autostart entry", {Autostart::EntryPath("probe"), [] { return Autostart::Enable("probe", {"t", "c", {}}); }}},
            {"update log", {UpdateLogPath(), [] { return WriteUpdateLog({"failed"}); }}},
        };
        // A settings store's write with the form at its lock file, the store's
        // own file cleared first (its rows above leave their form there).
        for (const char* store : {"Config.ini", "Macro.ini", "registry store"}) {
            const Writer writer = m_writers[store];
            m_writers.insert(QString::fromLatin1(store) + " lock", {writer.path + ".lock", [writer] {
                                 (void)(testsupport::PlaceAt(writer.path) == "folder" ? QDir(writer.path).removeRecursively()
                                                                                     : QFile::remove(writer.path));
                                 return writer.write();
                             }});
        }
    }

    void cleanupTestCase()
    {
        m_sensor.reset();
        SetAppDirOverride(QString());
        ConfigSettings::GetInstance()->Reload();
        MacroSettings::GetInstance()->Reload();
    }

    void refusedCountsAsMissing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("form");
        for (const QString& kind : m_kinds.keys()) {
            for (const char* form : {"link to a fifo", "fifo", "over the cap"})
                QTest::addRow("%s, %s", qPrintable(kind), form) << kind << QString::fromLatin1(form);
        }
    }

    void refusedCountsAsMissing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, form);
        const Kind& file = m_kinds[kind];
        QVERIFY(QDir().mkpath(QFileInfo(file.path).absolutePath()));
        QFile::remove(file.path);
        // What the program makes of the good file, and of none.
        QVERIFY(testsupport::WriteFile(file.path, file.good));
        const QString good = readWithin(file);
        QFile::remove(file.path);
        const QString missing = readWithin(file);
        QVERIFY2(good != missing, "the good file is not told from none");

        if (form == QLatin1String("link to a fifo"))
            QVERIFY(QFile::link(fifoTarget(), file.path));
        else if (form == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(file.path).constData(), 0600), 0);
        else
            QVERIFY(testsupport::WriteFile(file.path, padded(file.good)));
        QCOMPARE(readWithin(file), missing);
        QVERIFY(QFile::remove(file.path));
    }

    void writersRefuseWhatIsNoFile_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<QString>("form");
        for (const QString& writer : m_writers.keys()) {
            for (const QString& form : testsupport::PlaceForms)
                QTest::addRow("%s, %s", qPrintable(writer), qPrintable(form)) << writer << form;
        }
    }

    void writersRefuseWhatIsNoFile()
    {
        QFETCH(QString, writer);
        QFETCH(QString, form);
        const Writer& file = m_writers[writer];
        const QString target = m_appDir.filePath("target");
        QVERIFY(QDir().mkpath(QFileInfo(file.path).absolutePath()) && testsupport::PutInPlace(form, file.path, target));
        const QString place = testsupport::PlaceAt(file.path);
        QCOMPARE(testsupport::Within(file.path, [&] { return QString::number(file.write()); }), QStringLiteral("0"));
        QCOMPARE(testsupport::PlaceAt(file.path), place);
        QCOMPARE(testsupport::TargetAfter(target), QByteArray("keep"));
    }

private:
    // The load result of a labels file and the one text it was asked for.
    static QString loadText(const QString& path, const char* root, const char* section, const char* element)
    {
        QString text;
        LanguageTexts texts;
        texts.store(QString::fromLatin1(element), &text);
        LanguageLoader loader(QString::fromLatin1(root));
        loader.AddSection(QString::fromLatin1(section), texts);
        return QString::number(int(loader.Load(path))) + text;
    }

    static QString readWithin(const Kind& file) { return testsupport::Within(file.path, file.read); }

    // The FIFO, without a writer, that the links of the rows lead to.
    QString fifoTarget() const { return m_appDir.filePath("fifo-target"); }

    QTemporaryDir m_appDir;
    std::unique_ptr<Sensor> m_sensor;
    QMap<QString, Kind> m_kinds;
    QMap<QString, Writer> m_writers;
};

QTEST_MAIN(StartupFilesTest)
#include "tst_startupfiles.moc"

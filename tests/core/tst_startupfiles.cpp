// The files the program reads by itself at start: a link to /dev/zero, a FIFO
// or a file over the cap in place of any of them counts as missing, and no
// read waits.
#include "ConfigSettings.h"
#include "DeviceCache.h"
#include "Globals.h"
#include "LanguageLoader.h"
#include "MacroName.h"
#include "MacroRows.h"
#include "MacroSettings.h"
#include "PickedFile.h"
#include "RegistryStore.h"
#include "Sensor.h"
#include "SensorDefines.h"
#include "UserFixture.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
            for (const char* form : {"link to /dev/zero", "fifo", "over the cap"})
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
        writeFile(file.path, file.good);
        const QString good = readWithin(file);
        QFile::remove(file.path);
        const QString missing = readWithin(file);
        QVERIFY2(good != missing, "the good file is not told from none");

        if (form == QLatin1String("link to /dev/zero"))
            QVERIFY(QFile::link("/dev/zero", file.path));
        else if (form == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(file.path).constData(), 0600), 0);
        else
            writeFile(file.path, padded(file.good));
        QCOMPARE(readWithin(file), missing);
        QVERIFY(QFile::remove(file.path));
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

    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(out.write(bytes), qint64(bytes.size()));
    }

    // Runs the kind's reader on a helper thread: a reader stuck on a FIFO
    // fails the case (and is let go by a writer that opens and closes the
    // FIFO) instead of hanging the test.
    static QString readWithin(const Kind& file)
    {
        QString result;
        std::unique_ptr<QThread> thread(QThread::create([&] { result = file.read(); }));
        thread->start();
        if (thread->wait(5000))
            return result;
        const int writer = ::open(QFile::encodeName(file.path).constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
        thread->wait();
        return QStringLiteral("the reader waited on the file");
    }

    QTemporaryDir m_appDir;
    std::unique_ptr<Sensor> m_sensor;
    QMap<QString, Kind> m_kinds;
};

QTEST_MAIN(StartupFilesTest)
#include "tst_startupfiles.moc"

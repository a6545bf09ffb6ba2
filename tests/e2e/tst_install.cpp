// "cmake --install" into a prefix with a blank in its path: the layout, the
// menu entry and icons, the installed command started on the X server, and
// the README's removal lines.
#include "ProbeClient.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <algorithm>

#include <unistd.h>

namespace {

const QString BuildDir = QStringLiteral(INSTALL_BUILD_DIR);
const QString CMakeCommand = QStringLiteral(INSTALL_CMAKE);
const QString PluginRoot = QStringLiteral(INSTALL_PLUGIN_ROOT);
const QString Command = QStringLiteral(INSTALL_COMMAND);
const QString DesktopId = QStringLiteral(INSTALL_DESKTOP_ID);

// ASan builds are slow to start.
constexpr int StartTimeoutMs = 30000;

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

// Runs program; its exit code (-1 when it did not end normally) and output.
int run(const QString& program, const QStringList& args, QByteArray* output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    if (output)
        *output = process.readAll();
    return process.exitCode();
}

}  // namespace

class InstallTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(m_prefix));
        QByteArray output;
        QVERIFY2(run(CMakeCommand, {"--install", BuildDir, "--prefix", m_prefix}, &output) == 0, output.constData());
    }

    void nothingLandsFlatInThePrefix()
    {
        QCOMPARE(entries(m_prefix), QStringList({"bin", "lib", "share"}));
        QCOMPARE(entries(m_prefix + "/lib"), QStringList({Command}));
        QCOMPARE(entries(m_prefix + "/bin"), QStringList({Command, "hidusb-bench"}));
        QCOMPARE(entries(m_prefix + "/share"), QStringList({"applications", "icons"}));
        const QStringList beside = entries(programDir());
        for (const char* name : {"CorvaneDizadiMouse", "libHIDUsb.so", "Language", "Picture", "bin", "usersetting",
                                 "driver_sensor.h"})
            QVERIFY2(beside.contains(QLatin1String(name)), name);
    }

    void theCommandIsARelativeLinkToTheProgram()
    {
        char target[4096];
        const ssize_t length = ::readlink(QFile::encodeName(commandPath()).constData(), target, sizeof target);
        QVERIFY(length > 0);
        const QString link = QFile::decodeName(QByteArray(target, int(length)));
        QVERIFY2(QDir::isRelativePath(link), qPrintable(link));
        QCOMPARE(QFileInfo(commandPath()).canonicalFilePath(), realProgramDir() + QStringLiteral("/CorvaneDizadiMouse"));
    }

    void theMenuEntryValidates()
    {
        QCOMPARE(menuEntryValue("Name"), QStringLiteral("Corvane Dizadi Mouse"));
        QCOMPARE(menuEntryValue("Icon"), DesktopId);
        QCOMPARE(menuEntryValue("Exec"), '"' + commandPath() + '"');  // the blank is quoted
        const QString validate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (validate.isEmpty())
            QSKIP("needs desktop-file-validate (desktop-file-utils)");
        QByteArray output;
        QCOMPARE(run(validate, {menuEntryPath()}, &output), 0);
        QVERIFY2(output.trimmed().isEmpty(), output.constData());  // no warning either
    }

    void theIconsExist_data()
    {
        QTest::addColumn<int>("size");
        for (const int size : {INSTALL_ICON_SIZES})
            QTest::addRow("%d", size) << size;
    }
    void theIconsExist()
    {
        QFETCH(int, size);
        const QImage icon(m_prefix + QStringLiteral("/share/icons/hicolor/%1x%1/apps/").arg(size) + DesktopId + ".png");
        QCOMPARE(icon.size(), QSize(size, size));
    }

    void theCommandStartsTheProgramWithItsDeviceList()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server (xvfb-run was not found)");
        const QString probeDir = QDir::homePath() + QStringLiteral("/probe");
        QVERIFY(QDir().mkpath(probeDir));
        QProcess program;
        program.setProcessEnvironment(testsupport::ProbeEnvironment(PluginRoot, probeDir));
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(commandPath(), QStringList());
        QVERIFY(program.waitForStarted(10000));
        const auto ask = [&](const QString& request) { return testsupport::AskProbe(probeDir, &program, request); };
        // The default bench: the receiver and the cabled mouse.
        const auto deviceButtons = [&] {
            int visible = 0;
            for (const QJsonValue& w : ask(QStringLiteral("widgets btn[0-9]+")))
                visible += w["visible"].toBool() && w["ancestors"].toString().split('/').contains("DialogChange");
            return visible;
        };
        QVERIFY2(testsupport::WaitFor([&] { return deviceButtons() == 2; }, StartTimeoutMs),
                 "the installed program does not list the bench's two devices");

        // It found its files from its real path, not from the link's folder.
        const QJsonObject app = ask(QStringLiteral("application")).at(0).toObject();
        QCOMPARE(app.value("dir").toString(), realProgramDir());
        QCOMPARE(app.value("name").toString(), QStringLiteral("CorvaneDizadiMouse"));
        QCOMPARE(app.value("desktopFileName").toString(), DesktopId);
        QList<int> sizes;
        for (const QJsonValue& size : app.value("iconSizes").toArray())
            sizes.append(size.toInt());
        std::sort(sizes.begin(), sizes.end());
        QCOMPARE(sizes, QList<int>({INSTALL_ICON_SIZES}));
        for (const QJsonValue& w : ask(QStringLiteral("windows")))
            QVERIFY(w["icon"].toBool());
        // The desktop groups the window with its menu entry by the window's class.
        const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        const QStringList search = {"search", "--class", "^" + menuEntryValue("StartupWMClass") + "$"};
        QByteArray windows;
        const int found = xdotool.isEmpty() ? -1 : run(xdotool, search, &windows);
        program.terminate();
        QVERIFY(program.waitForFinished(StartTimeoutMs));
        if (found < 0)
            QSKIP("window class not checked: needs xdotool");
        QVERIFY2(found == 0 && !windows.trimmed().isEmpty(), "no window of the menu entry's class");
    }

    // Last: the removal lines as the README gives them, run on this prefix
    // (a private one, with a blank in its path), leave nothing behind.
    void theReadmeRemovalLeavesNothing()
    {
        QFile readme(QStringLiteral(INSTALL_README));
        QVERIFY(readme.open(QIODevice::ReadOnly | QIODevice::Text));
        const QString text = QString::fromUtf8(readme.readAll());
        const int from = text.indexOf(QStringLiteral("To remove it"));
        QVERIFY(from >= 0);
        // The first two code blocks after it: the removal, then the folders.
        QStringList script;
        int blocks = 0;
        bool inBlock = false;
        for (const QString& line : text.mid(from).split('\n')) {
            const bool code = line.startsWith(QStringLiteral("    "));
            if (code && !inBlock && ++blocks > 2)
                break;
            inBlock = code;
            if (code)
                script.append(line.startsWith(QStringLiteral("    P=")) ? "P=\"" + m_prefix + '"' : line.trimmed());
        }
        QVERIFY2(script.size() >= 6 && script.first().startsWith("P="), qPrintable(script.join('\n')));
        QByteArray output;
        QVERIFY2(run(QStringLiteral("sh"), {"-e", "-c", script.join('\n')}, &output) == 0, output.constData());
        QVERIFY2(!QFileInfo::exists(m_prefix), qPrintable(entries(m_prefix).join(' ')));
    }

private:
    QString programDir() const { return m_prefix + "/lib/" + Command; }
    QString menuEntryPath() const { return m_prefix + "/share/applications/" + DesktopId + ".desktop"; }
    // The text after "key=" on the line of key in the menu entry.
    QString menuEntryValue(const QString& key) const
    {
        QFile file(menuEntryPath());
        (void)file.open(QIODevice::ReadOnly | QIODevice::Text);  // unreadable: no text, the comparison fails
        const QRegularExpression line(QStringLiteral("^%1=(.*)$").arg(key), QRegularExpression::MultilineOption);
        return line.match(QString::fromUtf8(file.readAll())).captured(1);
    }
    QString realProgramDir() const { return QFileInfo(programDir()).canonicalFilePath(); }
    QString commandPath() const { return m_prefix + "/bin/" + Command; }

    const QString m_prefix = QDir::homePath() + QStringLiteral("/install prefix");
};

QTEST_MAIN(InstallTest)
#include "tst_install.moc"

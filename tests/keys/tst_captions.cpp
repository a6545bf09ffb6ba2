// Key captions of the button page, and what a macro key's caption does
// besides: the repeat line of the macro's file and the hand-off to the
// macro page.
#include "Globals.h"
#include "KeyFunctions.h"
#include "KeyRecords.h"
#include "MacroName.h"
#include "PostMsg.h"

#include <QDir>
#include <QDirIterator>
#include <QSignalSpy>
#include <QtTest>

#include <cstring>

using namespace keys;

namespace {

class CaptionView : public ButtonPageView
{
public:
    QMap<int, QString> captions;
    QString EntryText(const QString& objectName) const override { return "<" + objectName + ">"; }
    void SetKeyCaption(int key, const QString& caption) override { captions[key] = caption; }
    void ShowNoSubMenu() override {}
    void ClearOptionChecks() override {}
    void ShowFunctionList() override {}
};

const QString Untouched = QStringLiteral("(as it was)");

KeyEvent ev(int state, int kind, int code) { return {uint8_t(state), uint8_t(kind), uint16_t(code), 10}; }

void setMacroName(FlashDataMap& image, int key, const QByteArray& name)
{
    std::memset(image.macros[key].name, 0, MacroNameBytes);
    std::memcpy(image.macros[key].name, name.constData(), size_t(qMin(name.size(), MacroNameBytes)));
}

QStringList filesUnder(const QString& dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(dir).relativeFilePath(it.next()));
    files.sort();
    return files;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

}  // namespace

class CaptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { PostMsg::GetInstance(); }

    void plainFunctions_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("value1");
        QTest::addColumn<QString>("caption");
        QTest::newRow("disabled") << 0 << 0 << 7 << "<DPI_5>";
        QTest::newRow("left") << 1 << 1 << 1 << "<LeftKey_3>";
        QTest::newRow("right") << 1 << 1 << 2 << "<RightKey_3>";
        QTest::newRow("middle") << 1 << 1 << 4 << "<MidKey>";
        QTest::newRow("back") << 1 << 1 << 8 << "<BackKey_2>";
        QTest::newRow("forward") << 1 << 1 << 16 << "<ForWardKey>";
        QTest::newRow("no mouse button 3") << 1 << 1 << 3 << Untouched;
        QTest::newRow("dpi cycle") << 2 << 2 << 1 << "<VolumeUp_8>";
        QTest::newRow("dpi up") << 2 << 2 << 2 << "<VolumeUp_9>";
        QTest::newRow("dpi down") << 2 << 2 << 3 << "<VolumeUp_10>";
        QTest::newRow("dpi 4") << 2 << 2 << 4 << Untouched;
        QTest::newRow("tilt left") << 3 << 3 << 1 << "<VolumeUp_2>";
        QTest::newRow("tilt right") << 3 << 3 << 2 << "<VolumeDown_2>";
        QTest::newRow("tilt 0") << 3 << 3 << 0 << Untouched;
        QTest::newRow("fire") << 4 << 4 << 50 << "<DPI_6>";
        QTest::newRow("report rate") << 5 << 7 << 0 << "<DPI_2>";
        QTest::newRow("all lights") << 0 << 8 << 0 << "<VolumeUp_4>";
        QTest::newRow("dpi light") << 0 << 8 << 1 << "<VolumeUp_5>";
        QTest::newRow("light 2") << 0 << 8 << 2 << Untouched;
        QTest::newRow("strip") << 0 << 8 << 3 << "<VolumeUp_6>";
        QTest::newRow("strip effect") << 0 << 8 << 4 << "<VolumeUp_7>";
        QTest::newRow("profile") << 0 << 9 << 0 << "<DPI_3>";
        QTest::newRow("dpi lock") << 0 << 10 << 1 << "<DPI_4>-100";
        QTest::newRow("dpi lock 23") << 0 << 10 << 23 << "<DPI_4>-1200";
        QTest::newRow("wheel up") << 5 << 11 << 1 << "<VolumeUp_14>";
        QTest::newRow("wheel down") << 5 << 11 << 2 << "<VolumeDown_14>";
        QTest::newRow("wheel 3") << 5 << 11 << 3 << Untouched;
        QTest::newRow("type 12") << 0 << 12 << 0 << Untouched;
        QTest::newRow("type 255") << 0 << 255 << 0 << Untouched;
        QTest::newRow("key 6") << 6 << 0 << 0 << Untouched;
        QTest::newRow("key -1") << -1 << 0 << 0 << Untouched;
    }
    void plainFunctions()
    {
        QFETCH(int, key);
        QFETCH(int, type);
        QFETCH(int, value1);
        QFETCH(QString, caption);
        CaptionView view;
        const FlashDataMap image{};
        ShowButtonFunction(view, key, type, value1, 0, image, "M:", "AX72", SensorDefines());
        QCOMPARE(view.captions.value(key, Untouched), caption);
        QVERIFY(view.captions.size() <= 1);
    }

    void dpiLockUsesTheSensorTable()
    {
        SensorDefines d;
        d.names = {"SENSOR_IX90_DPI_800", "SENSOR_IX90_DPI_400"};
        d.values = {16, 8};
        CaptionView view;
        const FlashDataMap image{};
        ShowButtonFunction(view, 2, 10, 16, 0, image, "", "IX90", d);
        QCOMPARE(view.captions.value(2), QString("<DPI_4>-800"));
        ShowButtonFunction(view, 2, 10, 17, 0, image, "", "IX90", d);
        QCOMPARE(view.captions.value(2), QString("<DPI_4>-0"));
    }

    void eventRecords()
    {
        FlashDataMap image{};
        CaptionView view;
        auto caption = [&](int key) {
            view.captions.remove(key);
            ShowButtonFunction(view, key, 5, 0, 0, image, "", "", SensorDefines());
            return view.captions.value(key, Untouched);
        };
        // Consumer key: only the low byte of the usage is compared.
        image.keyEvents[0].count = 2;
        image.keyEvents[0].events[0] = ev(0, 2, 0x01E2);
        QCOMPARE(caption(0), QString("<VolumeUp>"));
        image.keyEvents[0] = ConsumerRecord(0x0183);
        QCOMPARE(caption(0), QString("<Player>"));
        image.keyEvents[0].events[0].code = 0x0001;
        QCOMPARE(caption(0), Untouched);

        KeyEventRecord& r = image.keyEvents[3];
        r.count = 6;
        r.events[0] = ev(0, 0, 1);
        r.events[1] = ev(0, 0, 2);
        r.events[2] = ev(0, 1, 4);
        r.events[3] = ev(1, 1, 4);
        r.events[4] = ev(1, 0, 2);
        r.events[5] = ev(1, 0, 1);
        QCOMPARE(caption(3), QString("Ctrl+Shift+A"));
        r.count = 5;
        QCOMPARE(caption(3), QString("Ctrl+Shift"));
        r.count = 0;
        QCOMPARE(caption(3), QString(""));
        // A count larger than the record reads its six events and no more.
        r.count = 255;
        QCOMPARE(caption(3), QString("Ctrl+Shift+A+A+Shift+Ctrl"));
        r.count = 14;
        QCOMPARE(caption(3), QString("Ctrl+Shift+A+A+Shift+Ctrl"));

        // What the combination writer builds comes back as its text.
        for (const QString& text : QStringList{"Ctrl+Alt+Del", "Win+Num+", "Shift+" + QString(QChar(0x2190)), "F12"}) {
            image.keyEvents[4] = *GroupKeyToRecord(text);
            QCOMPARE(caption(4), text);
        }
    }

    void macroKeys()
    {
        FlashDataMap image{};
        for (int k = 0; k < KeyCount; ++k)
            std::memset(&image.macros[k].events, 0x11, sizeof image.macros[k].events);
        QSignalSpy spy(PostMsg::GetInstance(), SIGNAL(SigButtonToMacro(FlashDataMap, int)));
        CaptionView view;

        setMacroName(image, 1, "abc");
        ShowButtonFunction(view, 1, 6, 1, 3, image, "Macro-", "", SensorDefines());
        QCOMPARE(view.captions.value(1), QString("Macro-abc"));
        QCOMPARE(readFile(MacroFolder() + "/abc.ini"), QByteArray("3\n"));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(1).toInt(), 1);
        const FlashDataMap sent = spy.at(0).at(0).value<FlashDataMap>();
        QCOMPARE(std::memcmp(&sent, &image, sizeof image), 0);

        // A second run replaces the file: the repeat line comes first.
        ShowButtonFunction(view, 1, 6, 1, 255, image, "Macro-", "", SensorDefines());
        QCOMPARE(readFile(MacroFolder() + "/abc.ini"), QByteArray("255\n"));

        // Thirty name bytes without a zero: the whole name.
        const QByteArray thirty = "abcdefghijklmnopqrstuvwxyz0123";
        setMacroName(image, 0, thirty);
        ShowButtonFunction(view, 0, 6, 0, 1, image, "", "", SensorDefines());
        QCOMPARE(view.captions.value(0), QString(thirty));
        QCOMPARE(readFile(MacroFolder() + "/" + thirty + ".ini"), QByteArray("1\n"));

        // UTF-8 names, also one whose last character the 30 bytes cut off.
        setMacroName(image, 2, QString("宏一").toUtf8());
        ShowButtonFunction(view, 2, 6, 2, 2, image, "宏:", "", SensorDefines());
        QCOMPARE(view.captions.value(2), QString("宏:宏一"));
        QCOMPARE(readFile(MacroFolder() + "/宏一.ini"), QByteArray("2\n"));
        const QByteArray cut = QByteArray("x") + QString("一二三四五六七八九十").toUtf8().left(29);
        setMacroName(image, 3, cut);
        ShowButtonFunction(view, 3, 6, 3, 1, image, "", "", SensorDefines());
        QCOMPARE(view.captions.value(3), QString("x一二三四五六七八九"));
        QCOMPARE(spy.count(), 5);
    }

    // A name from a device image never writes outside the macro folder.
    void unsafeMacroNamesWriteNothing()
    {
        const QString root = UserDir();
        QDir().mkpath(MacroFolder());
        const QStringList before = filesUnder(QDir::homePath());
        QSignalSpy spy(PostMsg::GetInstance(), SIGNAL(SigButtonToMacro(FlashDataMap, int)));
        FlashDataMap image{};
        CaptionView view;
        const QList<QByteArray> names = {"../x", "..", ".", "", "a/b", "a\\b", ".hidden", "tab\tname",
                                         "../../../../../../tmp/x", QByteArray("new\nline")};
        for (const QByteArray& name : names) {
            setMacroName(image, 4, name);
            ShowButtonFunction(view, 4, 6, 4, 1, image, "M:", "", SensorDefines());
            QCOMPARE(view.captions.value(4), "M:" + QString::fromUtf8(name));
        }
        QCOMPARE(filesUnder(QDir::homePath()), before);
        QVERIFY(!QFile::exists(root + "/usersetting/x.ini"));
        // The macro page still gets the image; its own writers refuse the name.
        QCOMPARE(spy.count(), names.size());
    }
};

QTEST_MAIN(CaptionsTest)
#include "tst_captions.moc"

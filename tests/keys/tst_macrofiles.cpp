// Macro names: the file-name check, the UTF-8 decoder and encoder of the
// 30 name bytes, and the macro file writer; the writers' check of a file's
// place, which no link passes.
#include "FilePlaces.h"
#include "Globals.h"
#include "MacroName.h"
#include "SafeFileName.h"

#include <QDir>
#include <QtTest>

#include <cstring>

using namespace keys;

class MacroFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void fileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("safe");
        QTest::newRow("plain") << "macro 1" << true;
        QTest::newRow("chinese") << "宏一" << true;
        QTest::newRow("inner dots") << "a..b" << true;
        QTest::newRow("trailing dot") << "a." << true;
        QTest::newRow("plus and minus") << "Ctrl+C -" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("leading dot") << ".x" << false;
        QTest::newRow("parent") << "../x" << false;
        QTest::newRow("slash") << "a/b" << false;
        QTest::newRow("only slash") << "/" << false;
        QTest::newRow("backslash") << "a\\b" << false;
        QTest::newRow("NUL") << QString("a") + QChar(0) + "b" << false;
        QTest::newRow("line feed") << "a\nb" << false;
        QTest::newRow("tab") << "a\tb" << false;
        QTest::newRow("escape") << "a\x1b" << false;
        QTest::newRow("delete") << "a\x7f" << false;
        QTest::newRow("C1 control") << QString("a") + QChar(0x85) << false;
    }
    void fileNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, safe);
        QCOMPARE(IsSafeFileName(name), safe);
        QCOMPARE(SafeFilePath("/f", name, ".ini").isEmpty(), !safe);
        if (safe)
            QCOMPARE(SafeFilePath("/f", name, ".ini"), "/f/" + name + ".ini");
    }

    void tooLongForTheFileSystem()
    {
        QVERIFY(!SafeFilePath("/f", QString(251, 'a'), ".ini").isEmpty());
        QVERIFY(SafeFilePath("/f", QString(252, 'a'), ".ini").isEmpty());
        QVERIFY(SafeFilePath("/f", QString(252, QChar(0x5B8F)), ".ini").isEmpty());
        QVERIFY(SafeFilePath("/f", QString(10, 'a'), "/.ini").isEmpty());
    }

    void decodeNames_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::newRow("ascii") << QByteArray("abc") << "abc";
        QTest::newRow("stops at zero") << QByteArray("ab\0cd", 5) << "ab";
        QTest::newRow("all zero") << QByteArray(30, '\0') << "";
        QTest::newRow("thirty") << QByteArray(30, 'z') << QString(30, 'z');
        QTest::newRow("utf-8") << QString("宏一").toUtf8() << "宏一";
        QTest::newRow("cut 3-byte") << QByteArray("a") + QString("宏").toUtf8().left(2) << "a";
        QTest::newRow("cut 4-byte") << QByteArray("a") + QString::fromUcs4(U"\U0001F600").toUtf8().left(3) << "a";
        QTest::newRow("whole 4-byte") << QString::fromUcs4(U"a\U0001F600").toUtf8()
                                      << QString::fromUcs4(U"a\U0001F600");
        QTest::newRow("cut before zero") << QByteArray("b") + QString("宏").toUtf8().left(1) + QByteArray(2, '\0')
                                         << "b";
    }
    void decodeNames()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QByteArray field(30, '\0');
        field.replace(0, qMin(bytes.size(), 30), bytes.left(30));
        QCOMPARE(DecodeMacroName(reinterpret_cast<const uint8_t*>(field.constData()), 30), name);
        MacroRecord record{};
        std::memcpy(record.name, field.constData(), 30);
        QCOMPARE(DecodeMacroName(record), name);
    }

    void encodeNames()
    {
        QCOMPARE(EncodeMacroName("abc"), QByteArray("abc"));
        QCOMPARE(EncodeMacroName(QString(40, 'a')), QByteArray(30, 'a'));
        // Eleven three-byte characters: ten fit, the eleventh is not cut.
        const QString eleven = QString(11, QChar(0x5B8F));
        QCOMPARE(EncodeMacroName(eleven).size(), 30);
        QCOMPARE(QString::fromUtf8(EncodeMacroName(eleven)), QString(10, QChar(0x5B8F)));
        const QString mixed = "a" + eleven;
        QCOMPARE(EncodeMacroName(mixed).size(), 28);
        QCOMPARE(EncodeMacroName(QString("ab") + QChar(0) + "cd"), QByteArray("ab"));
        // What the encoder writes, the decoder reads back whole.
        for (const QString& name : {QString("macro"), mixed, QString::fromUcs4(U"\U0001F600\U0001F600xx")}) {
            QByteArray field = EncodeMacroName(name);
            field.append(30 - field.size(), '\0');
            const QString back = DecodeMacroName(reinterpret_cast<const uint8_t*>(field.constData()), 30);
            QVERIFY(name.startsWith(back));
            QCOMPARE(back.toUtf8(), EncodeMacroName(name));
        }
    }

    void writeMacroFile()
    {
        const QString folder = UserDir() + "/usersetting/MacroPage";
        QCOMPARE(MacroFolder(), folder);
        QVERIFY(WriteMacroFile("first", "12"));
        QFile file(folder + "/first.ini");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("12\n"));
        file.close();
        QVERIFY(WriteMacroFile("first", "宏"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QString("宏\n").toUtf8());
        file.close();

        // Refused names write nothing, anywhere.
        const QStringList before = QDir(UserDir() + "/usersetting").entryList(QDir::AllEntries | QDir::Hidden);
        for (const QString& name : {QString("../first"), QString(".."), QString(), QString("a/b")})
            QVERIFY(!WriteMacroFile(name, "1"));
        QCOMPARE(QDir(UserDir() + "/usersetting").entryList(QDir::AllEntries | QDir::Hidden), before);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"first.ini"});
    }

    // What is at a path, never looking through a link.
    void fileSpots_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<int>("spot");
        QTest::newRow("nothing") << "nothing" << int(FileSpot::Free);
        QTest::newRow("regular file") << "file" << int(FileSpot::File);
        for (const QString& form : testsupport::PlaceForms)
            QTest::newRow(qPrintable(form)) << form << int(FileSpot::Other);
    }
    void fileSpots()
    {
        QFETCH(QString, form);
        QFETCH(int, spot);
        const QString dir = UserDir() + "/spots", path = dir + "/x.ini";
        QVERIFY(QDir().mkpath(dir) && testsupport::PutInPlace(form, path, dir + "/target"));
        QCOMPARE(int(SpotAt(path)), spot);
        QCOMPARE(MayWriteFileAt(path), spot != int(FileSpot::Other));
    }
};

QTEST_GUILESS_MAIN(MacroFilesTest)
#include "tst_macrofiles.moc"

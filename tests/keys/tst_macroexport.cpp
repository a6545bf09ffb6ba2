// The export file of a macro: its bytes, the round trip with real icons,
// every kind of damaged file, and mouse-button texts of other languages.
#include "Globals.h"
#include "KeyNames.h"
#include "MacroRows.h"

#include <QBuffer>
#include <QDataStream>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

using namespace keys;

Q_DECLARE_METATYPE(keys::ImportError)
Q_DECLARE_METATYPE(keys::MacroRow)

namespace {

// One row of a hand-made stream: text, icon engine key (empty: null icon)
// and state block (written only when `state` is not null).
struct StreamRow {
    QString text;
    QString iconKey;
    QByteArray state;
};

// A stream laid out field by field, so that each field can be damaged.
struct StreamSpec {
    QByteArray tag = QByteArray("Durod").leftJustified(12, '\0');
    QByteArray name = QByteArray("macro").leftJustified(48, '\0');
    QByteArray repeat = QByteArray("1").leftJustified(12, '\0');
    qint32 count = 2;
    QVector<StreamRow> rows = {{"A", "", QByteArray("0\0", 2)}, {"10ms", "", QByteArray()}};
    int keep = -1;  // bytes kept, -1 all
    bool corruptText = false;

    QByteArray bytes() const
    {
        QByteArray out;
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        QDataStream s(&buffer);
        s.setVersion(17);
        s.writeBytes(tag.constData(), uint(tag.size()));
        s.writeBytes(name.constData(), uint(name.size()));
        s.writeBytes(repeat.constData(), uint(repeat.size()));
        s << count;
        for (const StreamRow& row : rows) {
            if (corruptText)
                s << quint32(3) << quint8(0) << quint8(0x41) << quint8(0);  // odd byte length
            else
                s << row.text;
            if (row.iconKey.isEmpty())
                s << QString();
            else
                s << row.iconKey << qint32(0);
            if (!row.state.isNull())
                s.writeBytes(row.state.constData(), uint(row.state.size()));
        }
        return keep < 0 ? out : out.left(keep);
    }
};

MacroRows keyRows(int events)
{
    MacroRows rows;
    for (int i = 0; i < events; ++i)
        rows << MacroRow::Key(KindKeyboard, 0x04 + i % 26, i % 2 == 0) << MacroRow::Delay(quint32(i));
    return rows;
}

}  // namespace

class MacroExportTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    RowIcons m_icons;
    QHash<QString, int> m_mouseNames;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const char* files[] = {"MacroDown.png", "MacroUp.png", "MacroTime.png"};
        for (int i = 0; i < 3; ++i) {
            QImage image(8 + i, 8, QImage::Format_ARGB32);
            image.fill(QColor(40 * i, 100, 200));
            QVERIFY(image.save(m_dir.filePath(QLatin1String(files[i]))));
        }
        m_icons = RowIconsIn(m_dir.path());
        m_mouseNames = MouseButtonNamesOfLanguages();
    }

    void layout()
    {
        const QByteArray bytes = ExportMacro(QStringLiteral("mac"), 254, {MacroRow::Named(QStringLiteral("A"), false)}, {});
        QByteArray expected;
        expected += QByteArray::fromHex("0000000C") + QByteArray("Durod").leftJustified(12, '\0');
        expected += QByteArray::fromHex("00000030") + QByteArray("mac").leftJustified(48, '\0');
        expected += QByteArray::fromHex("0000000C") + QByteArray("254").leftJustified(12, '\0');
        expected += QByteArray::fromHex("00000001");                  // one row
        expected += QByteArray::fromHex("000000020041");              // "A"
        expected += QByteArray::fromHex("FFFFFFFF");                  // null icon
        expected += QByteArray::fromHex("00000002") + QByteArray("1\0", 2);  // released
        QCOMPARE(bytes, expected);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("repeat");
        QTest::addColumn<MacroRows>("rows");
        QTest::newRow("no rows") << "empty" << 1 << MacroRows();
        QTest::newRow("kinds") << "宏 macro" << 254
                               << MacroRows{MacroRow::Named("A", true), MacroRow::Delay(10), MacroRow::Named("LShift", false),
                                            MacroRow::Delay(0), MacroRow::Key(KindMouse, 2, true), MacroRow::Delay(65535)};
        QTest::newRow("70 events") << QString(30, 'n') << 255 << keyRows(70);
        QTest::newRow("count 250") << "x" << 250 << keyRows(1);
        QTest::newRow("until") << "y" << 253 << keyRows(2);
    }
    void roundTrip()
    {
        QFETCH(QString, name);
        QFETCH(int, repeat);
        QFETCH(MacroRows, rows);
        const QByteArray bytes = ExportMacro(name, repeat, rows, m_icons);
        QVERIFY(rows.isEmpty() || bytes.contains("IEND"));  // real pictures were skipped
        const MacroImport back = ImportMacro(bytes, m_mouseNames);
        QCOMPARE(back.error, ImportError::None);
        QCOMPARE(back.name, name);
        QCOMPARE(back.repeatCode, repeat);
        QVERIFY(back.rows == rows);
        QVERIFY(!back.cut);
    }

    void longMacrosAreCut()
    {
        bool cut = false;
        const QByteArray bytes = ExportMacro(QStringLiteral("long"), 1, keyRows(71), m_icons, &cut);
        QVERIFY(cut);
        QVERIFY(ImportMacro(bytes, m_mouseNames).rows == keyRows(70));
        StreamSpec spec;
        spec.count = 71;
        spec.rows = QVector<StreamRow>(71, StreamRow{"B", "", QByteArray("0\0", 2)});
        const MacroImport import = ImportMacro(spec.bytes(), m_mouseNames);
        QVERIFY(import.Ok());
        QVERIFY(import.cut);
        QCOMPARE(KeyRowCount(import.rows), 70);
    }

    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<ImportError>("error");
        QTest::addColumn<QString>("name");  // as far as it was read
        auto with = [](auto change) {
            StreamSpec spec;
            change(spec);
            return spec.bytes();
        };
        QTest::newRow("sound") << StreamSpec().bytes() << ImportError::None << "macro";
        QTest::newRow("empty file") << QByteArray() << ImportError::Truncated << "";
        QTest::newRow("cut in tag") << with([](StreamSpec& s) { s.keep = 10; }) << ImportError::Truncated << "";
        QTest::newRow("cut in name") << with([](StreamSpec& s) { s.keep = 30; }) << ImportError::Truncated << "";
        QTest::newRow("cut in count") << with([](StreamSpec& s) { s.keep = 86; }) << ImportError::Truncated << "macro";
        QTest::newRow("fewer rows than counted") << with([](StreamSpec& s) { s.count = 3; }) << ImportError::Truncated
                                                 << "macro";
        QTest::newRow("negative count") << with([](StreamSpec& s) { s.count = -1; }) << ImportError::BadRowCount
                                        << "macro";
        QTest::newRow("huge count") << with([](StreamSpec& s) { s.count = 0x7FFFFFFF; }) << ImportError::BadRowCount
                                    << "macro";
        QTest::newRow("wrong tag") << with([](StreamSpec& s) { s.tag = QByteArray("Other").leftJustified(12, '\0'); })
                                   << ImportError::WrongTag << "macro";
        QTest::newRow("long tag block") << with([](StreamSpec& s) { s.tag = QByteArray("Durod").leftJustified(13, '\0'); })
                                        << ImportError::WrongTag << "";
        QTest::newRow("name block 49") << with([](StreamSpec& s) { s.name = QByteArray(49, 'a'); })
                                       << ImportError::BadName << "";
        QTest::newRow("empty name") << with([](StreamSpec& s) { s.name = QByteArray(48, '\0'); }) << ImportError::BadName
                                    << "";
        QTest::newRow("no name block") << with([](StreamSpec& s) { s.name = QByteArray(""); }) << ImportError::BadName
                                       << "";
        QTest::newRow("path in name") << with([](StreamSpec& s) { s.name = QByteArray("../x").leftJustified(48, '\0'); })
                                      << ImportError::BadName << "../x";
        QTest::newRow("repeat 0") << with([](StreamSpec& s) { s.repeat = QByteArray("0"); }) << ImportError::BadRepeatCode
                                  << "macro";
        QTest::newRow("repeat 251") << with([](StreamSpec& s) { s.repeat = QByteArray("251"); })
                                    << ImportError::BadRepeatCode << "macro";
        QTest::newRow("repeat 252") << with([](StreamSpec& s) { s.repeat = QByteArray("252"); })
                                    << ImportError::BadRepeatCode << "macro";
        QTest::newRow("repeat text") << with([](StreamSpec& s) { s.repeat = QByteArray("abc"); })
                                     << ImportError::BadRepeatCode << "macro";
        QTest::newRow("other icon engine") << with([](StreamSpec& s) { s.rows[0].iconKey = "QIconLoaderEngine"; })
                                           << ImportError::BadRow << "macro";
        QTest::newRow("state block 3") << with([](StreamSpec& s) { s.rows[0].state = QByteArray("0\0\0", 3); })
                                       << ImportError::BadRow << "macro";
        QTest::newRow("delay without number") << with([](StreamSpec& s) { s.rows[1].text = "xms"; })
                                              << ImportError::BadRow << "macro";
        QTest::newRow("odd text length") << with([](StreamSpec& s) { s.corruptText = true; }) << ImportError::BadRow
                                         << "macro";
    }
    void damagedFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(ImportError, error);
        QFETCH(QString, name);
        const MacroImport import = ImportMacro(bytes, m_mouseNames);
        QCOMPARE(import.error, error);
        QCOMPARE(import.name, name);
        if (error != ImportError::None)
            QVERIFY(import.rows.isEmpty());
    }

    void stateField()
    {
        // A state block of a zero byte, or none, is a press; anything else a release.
        StreamSpec spec;
        spec.count = 3;
        spec.rows = {{"A", "", QByteArray(1, '\0')}, {"B", "", QByteArray("")}, {"C", "", QByteArray("x")}};
        const MacroImport import = ImportMacro(spec.bytes(), m_mouseNames);
        QVERIFY(import.Ok());
        QVERIFY(import.rows == (MacroRows{MacroRow::Named("A", true), MacroRow::Named("B", true), MacroRow::Named("C", false)}));
    }

    // A file made in another language imports its mouse buttons; names the
    // vocabulary does not know become the empty key.
    void mouseButtonsOfEveryLanguage()
    {
        QCOMPARE(m_mouseNames.value(QStringLiteral("左键")), 1);
        QCOMPARE(m_mouseNames.value(QStringLiteral("오른쪽 버튼")), 2);
        QCOMPARE(m_mouseNames.value(QStringLiteral("Кнопка «Назад»")), 8);
        QCOMPARE(m_mouseNames.value(QStringLiteral("戻るボタン")), 8);
        QCOMPARE(m_mouseNames.value(QStringLiteral("Forward button")), 16);
        QCOMPARE(m_mouseNames.value(QStringLiteral("Mouse Middle")), 4);
        StreamSpec spec;
        spec.count = 3;
        spec.rows = {{"오른쪽 버튼", "", QByteArray("0\0", 2)}, {"中鍵", "", QByteArray("1\0", 2)},
                     {"Nothing", "", QByteArray("0\0", 2)}};
        const MacroImport import = ImportMacro(spec.bytes(), m_mouseNames);
        QVERIFY(import.Ok());
        QVERIFY(import.rows == (MacroRows{MacroRow::Key(KindMouse, 2, true), MacroRow::Key(KindMouse, 4, false),
                                          MacroRow::Key(KindKeyboard, 0, true)}));
        QCOMPARE(import.rows[0].text, MouseButtonText(2));
    }

    void files()
    {
        const QString path = m_dir.filePath(QStringLiteral("export.ini"));
        QVERIFY(ExportMacroFile(path, QStringLiteral("file"), 255, keyRows(3), m_icons));
        const MacroImport import = ImportMacroFile(path, m_mouseNames);
        QVERIFY(import.Ok());
        QVERIFY(import.rows == keyRows(3));
        QCOMPARE(ImportMacroFile(m_dir.filePath(QStringLiteral("missing")), m_mouseNames).error, ImportError::Unreadable);
        QCOMPARE(ImportMacroFile(m_dir.path(), m_mouseNames).error, ImportError::Unreadable);  // a folder
        QFile big(m_dir.filePath(QStringLiteral("big")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(MaxExportFileBytes + 1));
        big.close();
        QCOMPARE(ImportMacroFile(big.fileName(), m_mouseNames).error, ImportError::TooLarge);
        QVERIFY(!ExportMacroFile(m_dir.filePath(QStringLiteral("no/such/folder.ini")), QStringLiteral("f"), 1, {}, m_icons));
    }
};

QTEST_MAIN(MacroExportTest)
#include "tst_macroexport.moc"

// The language loader (file choice, root check, skipping, repetition,
// faults) and the installed language files themselves.
#include "Globals.h"
#include "LanguageLoader.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

const QString unset = QStringLiteral("<unset>");

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QByteArray totalWith(const QByteArray& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Total>" + body + "</Total>\n";
}

// Section name -> element names, in a language file's structure.
using Structure = QMap<QString, QSet<QString>>;

Structure readStructure(const QString& path, const QString& root, QString* error)
{
    Structure result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot open ") + path;
        return result;
    }
    QXmlStreamReader reader(&file);
    int depth = 0;
    QString section;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            ++depth;
            if (depth == 1 && reader.name() != root)
                *error = QStringLiteral("root is ") + reader.name().toString();
            else if (depth == 2)
                section = reader.name().toString(), result[section];
            else if (depth == 3)
                result[section].insert(reader.name().toString());
        } else if (reader.isEndElement()) {
            --depth;
        }
    }
    if (reader.hasError())
        *error = reader.errorString() + QStringLiteral(" at line ") + QString::number(reader.lineNumber());
    return result;
}

}  // namespace

class LanguageTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        SetAppDirOverride(m_dir.path());
    }

    void fileNamesByIndex_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::newRow("0") << 0 << QStringLiteral("/Language/0-English.xml");
        QTest::newRow("1") << 1 << QString::fromUtf8("/Language/1-简体中文.xml");
        QTest::newRow("2") << 2 << QString::fromUtf8("/Language/2-繁体中文.xml");
        QTest::newRow("3") << 3 << QStringLiteral("/Language/3-Korea.xml");
        QTest::newRow("4") << 4 << QStringLiteral("/Language/4-Russia.xml");
        QTest::newRow("5") << 5 << QStringLiteral("/Language/5-Japanese.xml");
        QTest::newRow("6") << 6 << QStringLiteral("/Language/0-English.xml");
        QTest::newRow("7") << 7 << QStringLiteral("/Language/0-English.xml");
        QTest::newRow("-1") << -1 << QStringLiteral("/Language/0-English.xml");
    }

    void fileNamesByIndex()
    {
        QFETCH(int, index);
        QFETCH(QString, name);
        QCOMPARE(Language::FileName(index), name);
        QCOMPARE(Language::FilePath(index), m_dir.path() + name);
    }

    // Indexes outside 0..5 read the English file; a missing file changes nothing.
    void indexChoosesFile()
    {
        writeFile(m_dir.path() + Language::FileName(0), totalWith("<Win><a>english</a></Win>"));
        writeFile(m_dir.path() + Language::FileName(1), totalWith("<Win><a>chinese</a></Win>"));
        QFile::remove(m_dir.path() + Language::FileName(4));

        const QList<QPair<int, QString>> cases = {
            {7, "english"}, {-1, "english"}, {1, "chinese"}, {0, "english"}};
        for (const auto& c : cases) {
            QString a = unset;
            LanguageTexts texts;
            texts.store(QStringLiteral("a"), &a);
            QCOMPARE(LoadLanguageSection(c.first, QStringLiteral("Win"), texts), LanguageLoader::Result::Loaded);
            QCOMPARE(a, c.second);
        }
        QString a = QStringLiteral("previous language");
        LanguageTexts texts;
        texts.store(QStringLiteral("a"), &a);
        QCOMPARE(LoadLanguageSection(4, QStringLiteral("Win"), texts), LanguageLoader::Result::FileMissing);
        QCOMPARE(a, QStringLiteral("previous language"));
    }

    void loadRules_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("applicationsOfA");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("error");

        const int loaded = int(LanguageLoader::Result::Loaded);
        const int notLabels = int(LanguageLoader::Result::NotLabelsFile);
        const int readError = int(LanguageLoader::Result::ReadError);

        QTest::newRow("plain") << totalWith("<Win><a>A</a><b>B</b></Win>") << "A" << "B" << 1 << loaded << "";
        QTest::newRow("wrong root") << QByteArray("<Other><Win><a>A</a></Win></Other>") << unset << unset << 0
                                    << notLabels << "Not a labels file";
        QTest::newRow("wrong root after prolog")
            << QByteArray("<?xml version=\"1.0\"?><!-- c --><Labels><Win><a>A</a></Win></Labels>") << unset << unset
            << 0 << notLabels << "Not a labels file";
        QTest::newRow("unknown nested skipped")
            << totalWith("<Other><Win><a>wrong</a></Win><x><y><z/></y></x></Other>"
                         "<Win><zz><a>wrong too</a><b>no</b></zz><a>A</a></Win>")
            << "A" << unset << 1 << loaded << "";
        QTest::newRow("section twice, second wins")
            << totalWith("<Win><a>first</a><b>B</b></Win><Win><a>second</a></Win>") << "second" << "B" << 2 << loaded
            << "";
        QTest::newRow("element twice applied twice") << totalWith("<Win><a>1</a><a>2</a></Win>") << "2" << unset << 2
                                                      << loaded << "";
        QTest::newRow("leading spaces kept") << totalWith("<Win><a>   spaced out </a></Win>") << "   spaced out "
                                             << unset << 1 << loaded << "";
        QTest::newRow("empty element applied") << totalWith("<Win><a></a><b/></Win>") << "" << "" << 1 << loaded
                                               << "";
        QTest::newRow("entities, comments, attributes")
            << totalWith("<Win lang=\"x\"><a id=\"1\">x &amp; y<!-- note -->&lt;z&gt;</a></Win>") << "x & y<z>"
            << unset << 1 << loaded << "";
        QTest::newRow("malformed after two elements")
            << QByteArray("<Total><Win><a>A</a><b>B</b><<c>C</c></Win></Total>") << "A" << "B" << 1 << readError
            << "";
        QTest::newRow("child element inside a text")
            << totalWith("<Win><a>before<i>x</i>after</a><b>B</b></Win>") << "before" << unset << 1 << readError << "";
        QTest::newRow("no section") << totalWith("<Else><a>A</a></Else>") << unset << unset << 0 << loaded << "";
    }

    void loadRules()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, applicationsOfA);
        QFETCH(int, result);
        QFETCH(QString, error);

        const QString path = m_dir.path() + QStringLiteral("/rules.xml");
        writeFile(path, content);
        QString gotA = unset, gotB = unset, gotC = unset;
        int countA = 0;
        LanguageTexts texts;
        texts.on(QStringLiteral("a"), [&](const QString& t) { gotA = t, ++countA; });
        texts.store(QStringLiteral("b"), &gotB);
        texts.store(QStringLiteral("c"), &gotC);
        LanguageLoader loader;
        loader.AddSection(QStringLiteral("Win"), texts);
        QCOMPARE(int(loader.Load(path)), result);
        QCOMPARE(gotA, a);
        QCOMPARE(gotB, b);
        QCOMPARE(countA, applicationsOfA);
        QCOMPARE(gotC, unset);
        if (!error.isEmpty())
            QCOMPARE(loader.ErrorString(), error);
        if (result == int(LanguageLoader::Result::Loaded))
            QVERIFY(loader.ErrorString().isEmpty());
    }

    // A deeply nested unknown element is passed over without recursion.
    void deepNestingSkipped()
    {
        QByteArray deep;
        for (int i = 0; i < 20000; ++i)
            deep += "<n>";
        for (int i = 0; i < 20000; ++i)
            deep += "</n>";
        const QString path = m_dir.path() + QStringLiteral("/deep.xml");
        writeFile(path, totalWith("<Skip>" + deep + "</Skip><Win><a>A</a></Win>"));
        QString a = unset;
        LanguageTexts texts;
        texts.store(QStringLiteral("a"), &a);
        LanguageLoader loader;
        loader.AddSection(QStringLiteral("Win"), texts);
        loader.Load(path);
        QCOMPARE(a, QStringLiteral("A"));
    }

    // Another root and several sections, as the company file is read.
    void otherRootAndSections()
    {
        const QString path = m_dir.path() + QStringLiteral("/Language/Net.xml");
        writeFile(path, "<Profile><Chinese><CompanyName>zh</CompanyName></Chinese>"
                        "<English><CompanyName>en</CompanyName></English>"
                        "<Web><CompanyWeben>https://en</CompanyWeben><CompanyWebcn>https://cn</CompanyWebcn></Web>"
                        "</Profile>");
        QCOMPARE(Language::NetFilePath(), path);
        QString name, web;
        LanguageTexts company;
        company.store(QStringLiteral("CompanyName"), &name);
        LanguageTexts links;
        links.store(QStringLiteral("CompanyWeben"), &web);
        LanguageLoader loader(QStringLiteral("Profile"));
        loader.AddSection(QStringLiteral("English"), company).AddSection(QStringLiteral("Web"), links);
        QCOMPARE(loader.Load(path), LanguageLoader::Result::Loaded);
        QCOMPARE(name, QStringLiteral("en"));
        QCOMPARE(web, QStringLiteral("https://en"));

        // The same file is not a language file.
        QString other = unset;
        LanguageTexts texts;
        texts.store(QStringLiteral("CompanyName"), &other);
        LanguageLoader total;
        total.AddSection(QStringLiteral("English"), texts);
        QCOMPARE(total.Load(path), LanguageLoader::Result::NotLabelsFile);
        QCOMPARE(other, unset);
    }

    // Every installed language file parses, has the root "Total" and holds
    // the same sections and elements as the English one.
    void installedFilesAgree()
    {
        const QString dir = QStringLiteral(DIZADI_SOURCE_DIR) + QStringLiteral("/install");
        QString error;
        const Structure english = readStructure(dir + Language::FileName(0), QStringLiteral("Total"), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(!english.isEmpty());
        for (int index = 1; index < Language::Count; ++index) {
            const QString path = dir + Language::FileName(index);
            error.clear();
            const Structure other = readStructure(path, QStringLiteral("Total"), &error);
            QVERIFY2(error.isEmpty(), qPrintable(path + QStringLiteral(": ") + error));
            for (auto it = english.constBegin(); it != english.constEnd(); ++it) {
                QVERIFY2(other.contains(it.key()), qPrintable(path + QStringLiteral(" lacks section ") + it.key()));
                const QSet<QString> missing = it.value() - other.value(it.key());
                QVERIFY2(missing.isEmpty(), qPrintable(path + QStringLiteral(" lacks ") + it.key() + QLatin1Char('/')
                                                       + QStringList(missing.values()).join(QLatin1Char(','))));
                const QSet<QString> extra = other.value(it.key()) - it.value();
                QVERIFY2(extra.isEmpty(), qPrintable(path + QStringLiteral(" has extra ") + it.key() + QLatin1Char('/')
                                                     + QStringList(extra.values()).join(QLatin1Char(','))));
            }
            for (auto it = other.constBegin(); it != other.constEnd(); ++it)
                QVERIFY2(english.contains(it.key()), qPrintable(path + QStringLiteral(" has extra section ") + it.key()));
        }
    }

    // The sections and elements the common dialogs read are all there.
    void installedFilesHoldTheDialogs()
    {
        const QMap<QString, QStringList> read = {
            {"QuestionB", {"label"}},
            {"MouseOffLine", {"label", "Timeout", "Refused", "RefusedUnkept", "NewHong"}},
            {"ButtonOnly", {"label"}},
            {"MakeMacro", {"label", "NewHong"}},
            {"SameMacro", {"label", "NewHong"}},
            {"MaxThree", {"label", "NewHong"}},
            {"Limit", {"label", "NewHong"}},
            {"EXEIsRun", {"label", "NewHong", "label_2", "PleaseStop"}},
            {"InportFail", {"label", "label_1", "label_5", "NewHong"}},
            {"Question", {"label", "label_2", "NewHong", "NewHong_2"}},
            {"ContainReset", {"label", "OK", "Cancel"}},
            {"DeleteConfirm", {"label", "NewHong"}},
        };
        QString error;
        const Structure english = readStructure(QStringLiteral(DIZADI_SOURCE_DIR "/install") + Language::FileName(0),
                                                QStringLiteral("Total"), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        for (auto it = read.constBegin(); it != read.constEnd(); ++it) {
            for (const QString& element : it.value())
                QVERIFY2(english.value(it.key()).contains(element), qPrintable(it.key() + QLatin1Char('/') + element));
        }
    }

    void installedCompanyFile()
    {
        QString error;
        const Structure net = readStructure(QStringLiteral(DIZADI_SOURCE_DIR "/install/Language/Net.xml"),
                                            QStringLiteral("Profile"), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(net.value(QStringLiteral("Chinese")).contains(QStringLiteral("CompanyName")));
        QVERIFY(net.value(QStringLiteral("English")).contains(QStringLiteral("CompanyName")));
        QVERIFY(net.value(QStringLiteral("Web")).contains(QStringLiteral("CompanyWebcn")));
        QVERIFY(net.value(QStringLiteral("Web")).contains(QStringLiteral("CompanyWeben")));
    }
};

QTEST_MAIN(LanguageTest)
#include "tst_language.moc"

// Reading a file the user picked: only regular files, only up to the cap, and
// never a wait on a FIFO without a writer.
#include "PickedFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

Q_DECLARE_METATYPE(PickedFileError)

class TestPickedFile : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();

private:
    QTemporaryDir m_dir;
};

void TestPickedFile::read_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<PickedFileError>("error");
    QTest::addColumn<int>("size");

    QVERIFY(m_dir.isValid());
    auto write = [this](const QString& name, int size) {
        QFile f(m_dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(QByteArray(size, 'x')), qint64(size));
    };
    write(QStringLiteral("empty.bin"), 0);
    write(QStringLiteral("cap.bin"), 100);
    write(QStringLiteral("over.bin"), 101);
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.bin")));
    QCOMPARE(::mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("fifo.bin"))).constData(), 0600), 0);
    QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("fifo.bin")), m_dir.filePath(QStringLiteral("link.bin"))));

    QTest::newRow("empty file") << "empty.bin" << PickedFileError::None << 0;
    QTest::newRow("at the cap") << "cap.bin" << PickedFileError::None << 100;
    QTest::newRow("over the cap") << "over.bin" << PickedFileError::TooLarge << 0;
    QTest::newRow("missing") << "none.bin" << PickedFileError::Missing << 0;
    QTest::newRow("folder") << "folder.bin" << PickedFileError::NotRegular << 0;
    QTest::newRow("fifo without a writer") << "fifo.bin" << PickedFileError::NotRegular << 0;
    QTest::newRow("link to a fifo") << "link.bin" << PickedFileError::NotRegular << 0;
}

void TestPickedFile::read()
{
    QFETCH(QString, name);
    QFETCH(PickedFileError, error);
    QFETCH(int, size);

    QByteArray data("old");
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(ReadPickedFile(m_dir.filePath(name), 100, &data), error);
    QVERIFY2(clock.elapsed() < 5000, "the read waited");
    QCOMPARE(data.size(), size);
}

QTEST_GUILESS_MAIN(TestPickedFile)
#include "tst_pickedfile.moc"

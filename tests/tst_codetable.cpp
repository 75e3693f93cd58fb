#include "codetable.h"
#include "modgp.h"
#include "runtimeerror.h"

#include <QDir>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_CodeTable : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString writeFile(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(u"vl1.ini"_s);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write the test table");
        file.write(bytes);
        return path;
    }

    static QByteArray cp1251(const QString &text)
    {
        return QStringEncoder("windows-1251").encode(text);
    }

private slots:
    void load_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("entries");

        const QString zh = u"zh ж"_s, z = u"z з"_s;
        QTest::newRow("header skipped even when it looks like an entry")
                << cp1251(u"sh ш\r\nzh ж\r\nz з\r\n"_s) << QStringList{zh, z};
        QTest::newRow("header only") << QByteArray("Vertlin table\r\n") << QStringList{};
        QTest::newRow("header without line end") << QByteArray("Vertlin table") << QStringList{};
        QTest::newRow("last line without line end")
                << cp1251(u"h\r\nzh ж\r\nz з"_s) << QStringList{zh, z};
        QTest::newRow("empty lines kept at their places")
                << cp1251(u"h\r\nzh ж\r\n\r\nz з\r\n\r\n"_s) << QStringList{zh, u""_s, z, u""_s};
        QTest::newRow("lone CR ends lines") << cp1251(u"h\rzh ж\rz з\r"_s) << QStringList{zh, z};
        QTest::newRow("lone LF ends lines") << cp1251(u"h\nzh ж\nz з\n"_s) << QStringList{zh, z};
        QTest::newRow("LF CR is two line ends")
                << cp1251(u"h\nzh ж\n\rz з"_s) << QStringList{zh, u""_s, z};
        QTest::newRow("sections and keys are plain entries")
                << cp1251(u"h\r\n[main]\r\nkey=value\r\n"_s)
                << QStringList{u"[main]"_s, u"key=value"_s};
        QTest::newRow("extra words and double spaces kept whole")
                << cp1251(u"h\r\nzh  ж\r\nzh ж extra\r\n"_s)
                << QStringList{u"zh  ж"_s, u"zh ж extra"_s};
        QTest::newRow("UTF-8") << u"h\r\nzh ж\r\nz з\r\n"_s.toUtf8() << QStringList{zh, z};
        QTest::newRow("UTF-8 with BOM")
                << QByteArray("\xEF\xBB\xBF") + u"h\r\nzh ж\r\n"_s.toUtf8() << QStringList{zh};
        // Pure ASCII reads the same either way; a stray cp1251 byte that is
        // not valid UTF-8 keeps the whole file in cp1251.
        QTest::newRow("invalid UTF-8 is cp1251")
                << cp1251(u"h\r\nyo ё\r\n"_s) << QStringList{u"yo ё"_s};
    }

    void load()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, entries);
        QStringList list{u"stale"_s};
        CodeTable::load(writeFile(bytes), list);
        QCOMPARE(list, entries);
    }

    void loadFailures_data()
    {
        QTest::addColumn<bool>("createFile");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("number");

        QTest::newRow("missing file") << false << QByteArray() << int(RuntimeError::FileNotFound);
        QTest::newRow("0-byte file")
                << true << QByteArray() << int(RuntimeError::InputPastEndOfFile);
        QTest::newRow("BOM alone") << true << QByteArray("\xEF\xBB\xBF")
                                   << int(RuntimeError::InputPastEndOfFile);
    }

    void loadFailures()
    {
        QFETCH(bool, createFile);
        QFETCH(QByteArray, bytes);
        QFETCH(int, number);

        const QString path = createFile ? writeFile(bytes) : m_dir.filePath(u"absent.ini"_s);
        QStringList list{u"stale"_s};
        try {
            CodeTable::load(path, list);
            QFAIL("the load did not fail");
        } catch (const RuntimeError &error) {
            QCOMPARE(int(error.number()), number);
            QCOMPARE(error.path(), path);
            QVERIFY(error.message().contains(path));
        }
        QVERIFY(list.isEmpty());
    }

    void directoryInsteadOfFile()
    {
        const QString path = m_dir.filePath(u"folder.ini"_s);
        QVERIFY(QDir().mkpath(path));
        QStringList list;
        try {
            CodeTable::load(path, list);
            QFAIL("the load did not fail");
        } catch (const RuntimeError &error) {
            QCOMPARE(error.number(), RuntimeError::PathFileAccess);
        }
    }

    void tooManyEntries()
    {
        QByteArray bytes("header\r\n");
        bytes += QByteArray("a b\r\n").repeated(CodeTable::MaxEntries);
        QStringList list;
        CodeTable::load(writeFile(bytes), list);
        QCOMPARE(list.size(), CodeTable::MaxEntries);

        bytes += "c d\r\n";
        try {
            CodeTable::load(writeFile(bytes), list);
            QFAIL("the load did not fail");
        } catch (const RuntimeError &error) {
            QCOMPARE(error.number(), RuntimeError::Overflow);
        }
        // What was appended before the failure stays.
        QCOMPARE(list.size(), CodeTable::MaxEntries);
    }

    void fileName_data()
    {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("expected");

        const QString sep = QDir::separator();
        QTest::newRow("separator added") << u"/opt/vertlin"_s << 1 << u"/opt/vertlin"_s + sep + u"vl1.ini"_s;
        QTest::newRow("no second separator") << u"/opt/vertlin"_s + sep << 1
                                             << u"/opt/vertlin"_s + sep + u"vl1.ini"_s;
        QTest::newRow("negative number") << u""_s << -12 << u"vl-12.ini"_s;
    }

    void fileName()
    {
        QFETCH(QString, directory);
        QFETCH(int, number);
        QFETCH(QString, expected);
        QCOMPARE(CodeTable::fileName(directory, qint16(number)), expected);
    }

    void addBackslash()
    {
        const QString sep = QDir::separator();
        QCOMPARE(modGP::AddBackslash(QString()), QString());
        QCOMPARE(modGP::AddBackslash(u"dir"_s), u"dir"_s + sep);
        QCOMPARE(modGP::AddBackslash(sep), sep);
    }
};

QTEST_GUILESS_MAIN(tst_CodeTable)
#include "tst_codetable.moc"

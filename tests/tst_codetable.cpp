#include "codetable.h"
#include "modgp.h"
#include "runtimeerror.h"

#include <QDir>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_CodeTable : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // A null bytes array leaves no file at all.
    QString writeFile(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(u"vl1.ini"_s);
        QFile::remove(path);
        QFile file(path);
        if (!bytes.isNull() && (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()))
            qFatal("cannot write the test table");
        return path;
    }

    static QByteArray cp1251(const QString &text) { return QStringEncoder("windows-1251").encode(text); }

    static QByteArray lines(qsizetype n) { return QByteArray("h\n") + QByteArray("a b\n").repeated(n); }

private slots:
    void load_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("entries"); // on failure: those kept
        QTest::addColumn<int>("error");
        const QStringList two{u"zh ж"_s, u"z з"_s};
        QTest::newRow("header looks like an entry") << cp1251(u"sh ш\r\nzh ж\r\nz з\r\n"_s) << two << 0;
        QTest::newRow("header only") << QByteArray("Vertlin table\r\n") << QStringList{} << 0;
        QTest::newRow("empty lines kept at their places, lines kept whole")
                << cp1251(u"h\r\nzh  ж\r\n\r\nz з extra\r\n\r\n"_s)
                << QStringList{u"zh  ж"_s, u""_s, u"z з extra"_s, u""_s} << 0;
        QTest::newRow("lone CR, no last line end") << cp1251(u"h\rzh ж\rz з"_s) << two << 0;
        QTest::newRow("lone LF; LF CR is two line ends")
                << cp1251(u"h\nzh ж\n\rz з\n"_s) << QStringList{u"zh ж"_s, u""_s, u"z з"_s} << 0;
        QTest::newRow("UTF-8") << u"h\r\nzh ж\r\nz з\r\n"_s.toUtf8() << two << 0;
        QTest::newRow("UTF-8 with BOM") << "\xEF\xBB\xBF" + u"h\r\nzh ж\r\nz з"_s.toUtf8() << two << 0;
        // A cp1251 byte that happens to start a UTF-8 sequence must not switch decoders.
        QTest::newRow("not valid UTF-8") << cp1251(u"h\r\nyo ё\r\n"_s) << QStringList{u"yo ё"_s} << 0;
        const QStringList full(CodeTable::MaxEntries, u"a b"_s);
        QTest::newRow("32767 entries") << lines(CodeTable::MaxEntries) << full << 0;
        QTest::newRow("32768 entries") << lines(CodeTable::MaxEntries + 1) << full << 6;
        QTest::newRow("missing") << QByteArray() << QStringList{} << 53;
        QTest::newRow("0 bytes") << QByteArray("") << QStringList{} << 62;
        QTest::newRow("BOM alone") << QByteArray("\xEF\xBB\xBF") << QStringList{} << 62;
    }

    void load()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, entries);
        QFETCH(int, error);
        const QString path = writeFile(bytes);
        QStringList list{u"stale"_s};
        int number = 0;
        try {
            CodeTable::load(path, list);
        } catch (const RuntimeError &e) {
            number = e.number();
            QCOMPARE(e.path(), path);
        }
        QCOMPARE(number, error);
        QCOMPARE(list, entries);
    }

    void addBackslash()
    {
        const QString sep = QDir::separator();
        QCOMPARE(modGP::AddBackslash(QString()), QString());
        QCOMPARE(modGP::AddBackslash(u"dir"_s), u"dir"_s + sep);
        QCOMPARE(modGP::AddBackslash(u"dir"_s + sep), u"dir"_s + sep);
    }
};

QTEST_GUILESS_MAIN(tst_CodeTable)
#include "tst_codetable.moc"

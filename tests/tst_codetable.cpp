// SPDX-License-Identifier: MIT
#include "codetable.h"
#include "cp1251.h"
#include "runtimeerror.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <numeric>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

class tst_CodeTable : public QObject
{
    Q_OBJECT

    static QByteArray cp1251(const QString &text) { return Cp1251::encode(text); }
    static QByteArray withMark(QStringEncoder::Encoding encoding, const QString &text)
    {
        return QStringEncoder(encoding, QStringEncoder::Flag::WriteBom).encode(text);
    }
    static bool makeFifo(const QString &path)
    {
#ifdef Q_OS_UNIX
        return mkfifo(qPrintable(path), 0600) == 0;
#else
        Q_UNUSED(path); // Windows has no named pipes among its files
        return false;
#endif
    }
    static QByteArray lines(qsizetype n) { return QByteArray("h\n") + QByteArray("a b\n").repeated(n); }

private slots:
    void load_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("entries"); // on failure: those kept
        QTest::addColumn<int>("error");
        const QStringList two{u"zh ж"_s, u"z з"_s}, full(CodeTable::MaxEntries, u"a b"_s);
        QTest::newRow("header looks like an entry") << cp1251(u"sh ш\r\nzh ж\r\nz з\r\n"_s) << two << 0;
        QTest::newRow("empty lines kept, lines whole") << cp1251(u"h\r\nzh  ж\r\n\r\nz з x\r\n\r\n"_s)
                << QStringList{u"zh  ж"_s, u""_s, u"z з x"_s, u""_s} << 0;
        QTest::newRow("CR, no last line end") << cp1251(u"h\rzh ж\rz з"_s) << two << 0;
        QTest::newRow("LF; LF CR is two ends") << cp1251(u"h\nzh ж\n\rz з\n"_s)
                << QStringList{u"zh ж"_s, u""_s, u"z з"_s} << 0;
        QTest::newRow("UTF-8") << u"h\r\nzh ж\r\nz з\r\n"_s.toUtf8() << two << 0;
        QTest::newRow("UTF-8 with BOM") << "\xEF\xBB\xBF" + u"h\r\nzh ж\r\nz з"_s.toUtf8() << two << 0;
        QTest::newRow("32767 entries") << lines(CodeTable::MaxEntries) << full << 0;
        QTest::newRow("32768 entries") << lines(CodeTable::MaxEntries + 1) << full << 6;
        QTest::newRow("BOM alone") << QByteArray("\xEF\xBB\xBF") << QStringList{} << 62;
        const QString text = u"h\r\nzh ж\r\nz з"_s;
        QTest::newRow("UTF-16 LE") << withMark(QStringEncoder::Utf16LE, text) << two << 0;
        QTest::newRow("UTF-16 BE") << withMark(QStringEncoder::Utf16BE, text) << two << 0;
        QTest::newRow("line cut") << "h\n" + QByteArray(40000, 'x') << QStringList{QString(CodeTable::MaxLineLength, u'x')} << 0;
#ifdef Q_OS_UNIX
        QTest::newRow("named pipe") << QByteArray() << QStringList{} << 75; // a null file is made a FIFO
#endif
    }

    void load()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, entries);
        QFETCH(int, error);
        QTemporaryDir dir;
        QFile file(dir.filePath(u"vl1.ini"_s));
        QVERIFY(bytes.isNull() ? makeFifo(file.fileName())
                               : file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush());
        QStringList list{u"stale"_s};
        try {
            CodeTable::load(file.fileName(), list);
            QCOMPARE(0, error);
        } catch (const RuntimeError &e) {
            QCOMPARE(std::pair(int(e.number()), e.path()), std::pair(error, file.fileName()));
        }
        QCOMPARE(list, entries);
    }

    // The code page's own table against Qt's codec, where Qt has one.
    void cp1251()
    {
        QByteArray all(256, Qt::Uninitialized);
        std::iota(all.begin(), all.end(), char(0));
        QStringDecoder qt("windows-1251");
        if (!qt.isValid())
            QSKIP("this Qt has no windows-1251 codec (built without ICU)");
        QCOMPARE(Cp1251::decode(all), qt.decode(all));
        QCOMPARE(Cp1251::encode(QString(Cp1251::decode(all) + u"ӕ"_s)), QByteArray(all).append('?'));
    }

};

QTEST_GUILESS_MAIN(tst_CodeTable)
#include "tst_codetable.moc"

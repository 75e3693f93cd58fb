// SPDX-License-Identifier: MIT
#include "codetable.h"
#include "cp1251.h"
#include "modgp.h"
#include "runtimeerror.h"

#include <QDir>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <numeric>

using namespace Qt::StringLiterals;

class tst_CodeTable : public QObject
{
    Q_OBJECT

    static QByteArray cp1251(const QString &text) { return Cp1251::encode(text); }
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
    }

    void load()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, entries);
        QFETCH(int, error);
        QTemporaryDir dir;
        QFile file(dir.filePath(u"vl1.ini"_s));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush());
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

    void addBackslash()
    {
        const QString dir = u"dir"_s + QDir::separator();
        QCOMPARE(QStringList({modGP::AddBackslash({}), modGP::AddBackslash(u"dir"_s), modGP::AddBackslash(dir)}),
                 QStringList({QString(), dir, dir}));
    }
};

QTEST_GUILESS_MAIN(tst_CodeTable)
#include "tst_codetable.moc"

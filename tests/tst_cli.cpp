#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// vertlin-convert run as a user runs it: arguments, standard input, files.
class tst_Cli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    struct Run { int status; QByteArray out, err; };

    void write(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write a test file");
    }

    // Run in the test folder: files are named as they lie there.
    Run run(const QStringList &arguments, const QByteArray &input = {})
    {
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        process.start(qEnvironmentVariable("VERTLIN_CONVERT"), arguments);
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
            qFatal("vertlin-convert did not run to its end");
        return {process.exitCode(), process.readAllStandardOutput(),
                process.readAllStandardError()};
    }

private slots:
    void initTestCase()
    {
        // The format the window reads: a header line, then windows-1251.
        write(u"table.ini"_s, "header\r\nzh \xE6\r\nz \xE7\r\nu \xF3\r\nk \xEA\r\n");
    }

    void conversion_data()
    {
        QTest::addColumn<QString>("direction");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("output");
        QTest::newRow("to Latin, the rest untouched")
                << u"--to-latin"_s << u"Жук, 2 жука\tи «ёж»\n"_s.toUtf8()
                << u"Жuk, 2 zhukа\tи «ёzh»\n"_s.toUtf8();
        QTest::newRow("byte-order mark dropped, line ends kept")
                << u"--to-cyrillic"_s << "\xEF\xBB\xBFzhuk\r\nzuk\nkuz\rzz\n\r\n\nk"_ba
                << u"жук\r\nзук\nкуз\rзз\n\r\n\nк"_s.toUtf8();
    }

    void conversion()
    {
        QFETCH(QString, direction);
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, output);
        write(u"input.txt"_s, input);
        for (const Run &result : {run({direction, u"--table"_s, u"table.ini"_s}, input),
                                  run({u"--table"_s, u"table.ini"_s, direction, u"input.txt"_s})}) {
            QCOMPARE(result.status, 0);
            QCOMPARE(result.out, output);
            QCOMPARE(result.err, QByteArray());
        }
    }

    void failures_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("status");
        QTest::newRow("no direction") << u""_s << "zhuk"_ba << 2;
        QTest::newRow("both directions") << u"--to-latin --to-cyrillic"_s << "zhuk"_ba << 2;
        QTest::newRow("unknown option") << u"--to-latin --fast"_s << "zhuk"_ba << 2;
        QTest::newRow("two input files") << u"--to-latin a b"_s << ""_ba << 2;
        QTest::newRow("table missing") << u"--to-latin --table none.ini"_s << "zhuk"_ba << 3;
        // The line end makes it 32767 characters.
        QTest::newRow("too long") << u"--to-cyrillic"_s << QByteArray(32766, 'z') + '\n' << 4;
        QTest::newRow("input file missing") << u"--to-latin none.txt"_s << ""_ba << 5;
        QTest::newRow("input not UTF-8") << u"--to-latin"_s << "zh\xE6uk"_ba << 5;
        QTest::newRow("check with a direction") << u"--check --to-latin"_s << ""_ba << 2;
        QTest::newRow("check with an input file") << u"--check table.ini"_s << ""_ba << 2;
        QTest::newRow("sample, no check") << u"--to-latin --sample table.ini"_s << "zhuk"_ba << 2;
        QTest::newRow("check, table missing") << u"--check --table none.ini"_s << ""_ba << 3;
        QTest::newRow("check, sample missing") << u"--check --sample none.txt"_s << ""_ba << 5;
    }

    void failures()
    {
        QFETCH(QString, arguments);
        QFETCH(QByteArray, input);
        QFETCH(int, status);
        const Run result = run(arguments.split(u' ', Qt::SkipEmptyParts), input);
        QCOMPARE(result.status, status);
        QCOMPARE(result.out, QByteArray());
        QVERIFY2(result.err.startsWith("vertlin-convert: ")
                         && QString::fromUtf8(result.err).contains(QRegularExpression(u"[а-я]"_s)),
                 result.err.constData());
    }

    // The checker's report goes to standard output; its status says whether
    // the table has problems.
    void checkTable()
    {
        const Run clean = run({u"--check"_s});
        QCOMPARE(clean.status, 0);
        QVERIFY2(clean.out.contains(u"Итог: замечаний нет"_s.toUtf8()), clean.out.constData());

        write(u"starved.ini"_s, "header\r\ns \xF1\r\nsh \xF8\r\n");
        write(u"text.txt"_s, u"шик"_s.toUtf8());
        const Run problem = run(u"--check --table starved.ini --sample text.txt"_s.split(u' '));
        QCOMPARE(problem.status, 1);
        QVERIFY2(problem.out.contains(u"строка 3: замечание:"_s.toUtf8()), problem.out.constData());
        QVERIFY2(problem.out.contains(u"шик ×1 → shик → сhик"_s.toUtf8()), problem.out.constData());
        QCOMPARE(problem.err, QByteArray());
    }

    void defaultTableHelpAndVersion()
    {
        // Without --table, the table beside the program, as the window reads it.
        QCOMPARE(run({u"--to-cyrillic"_s}, "zhuk"_ba).out, u"жук"_s.toUtf8());
        const Run help = run({u"--help"_s});
        QVERIFY(help.status == 0 && help.out.contains("  4  "));
        QCOMPARE(run({u"--version"_s}).out, "vertlin-convert " VERTLIN_VERSION "\n"_ba);
    }
};

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"

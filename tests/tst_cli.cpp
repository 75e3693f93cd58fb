#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// vertlin-convert run as a user runs it: arguments, standard input, files.
class tst_Cli : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_table;

    struct Run
    {
        int status;
        QByteArray out;
        QByteArray err;
    };

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write a test file");
        file.write(bytes);
        return path;
    }

    static Run run(const QStringList &arguments, const QByteArray &input = {})
    {
        QProcess process;
        process.start(qEnvironmentVariable("VERTLIN_CONVERT"), arguments);
        if (!process.waitForStarted())
            qFatal("vertlin-convert does not start");
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(30000))
            qFatal("vertlin-convert does not finish");
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput(), process.readAllStandardError()};
    }

    static bool hasCyrillic(const QByteArray &utf8)
    {
        const QString text = QString::fromUtf8(utf8);
        return std::any_of(text.begin(), text.end(),
                           [](QChar c) { return c >= u'А' && c <= u'я'; });
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // The same table format the window reads: header, windows-1251.
        m_table = writeFile(u"table.ini"_s, "header\r\nzh \xE6\r\nz \xE7\r\nu \xF3\r\nk \xEA\r\n");
    }

    void conversion_data()
    {
        QTest::addColumn<QString>("direction");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("output");

        QTest::newRow("to Cyrillic") << u"--to-cyrillic"_s << "zhuk"_ba << u"жук"_s.toUtf8();
        QTest::newRow("to Latin") << u"--to-latin"_s << u"жук"_s.toUtf8() << "zhuk"_ba;
        // Every line end stays what it was, the last line keeps having none.
        QTest::newRow("mixed line ends")
                << u"--to-cyrillic"_s << "zhuk\r\nzuk\nkuz\rzz\n\r\n\nk"_ba
                << u"жук\r\nзук\nкуз\rзз\n\r\n\nк"_s.toUtf8();
        QTest::newRow("byte-order mark dropped")
                << u"--to-cyrillic"_s << "\xEF\xBB\xBFzhuk\r\n"_ba << u"жук\r\n"_s.toUtf8();
        QTest::newRow("other text untouched")
                << u"--to-latin"_s << u"Жук, 2 жука\tи «ёж»\n"_s.toUtf8()
                << u"Жuk, 2 zhukа\tи «ёzh»\n"_s.toUtf8();
        QTest::newRow("empty input") << u"--to-latin"_s << QByteArray() << QByteArray();
    }

    void conversion()
    {
        QFETCH(QString, direction);
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, output);

        const Run fromStdin = run({direction, u"--table"_s, m_table}, input);
        QCOMPARE(fromStdin.status, 0);
        QCOMPARE(fromStdin.out, output);
        QCOMPARE(fromStdin.err, QByteArray());

        const QString file = writeFile(u"input.txt"_s, input);
        const Run fromFile = run({u"--table"_s, m_table, direction, file});
        QCOMPARE(fromFile.status, 0);
        QCOMPARE(fromFile.out, output);
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("status");

        const QString table = u"--table"_s;
        QTest::newRow("no direction") << QStringList{table, m_table} << "zhuk"_ba << 2;
        QTest::newRow("both directions")
                << QStringList{u"--to-latin"_s, u"--to-cyrillic"_s, table, m_table} << "zhuk"_ba
                << 2;
        QTest::newRow("unknown option")
                << QStringList{u"--to-latin"_s, u"--fast"_s, table, m_table} << "zhuk"_ba << 2;
        QTest::newRow("two input files")
                << QStringList{u"--to-latin"_s, table, m_table, m_table, m_table} << QByteArray()
                << 2;
        QTest::newRow("table missing")
                << QStringList{u"--to-latin"_s, table, m_dir.filePath(u"none.ini"_s)} << "zhuk"_ba
                << 3;
        QTest::newRow("table is a folder")
                << QStringList{u"--to-latin"_s, table, m_dir.path()} << "zhuk"_ba << 3;
        QTest::newRow("text at the limit")
                << QStringList{u"--to-cyrillic"_s, table, m_table} << QByteArray(32767, 'a') << 4;
        QTest::newRow("text growing past the limit")
                << QStringList{u"--to-latin"_s, table, m_table}
                << QByteArray(32765, 'a') + u"жж"_s.toUtf8() << 4;
        QTest::newRow("input file missing")
                << QStringList{u"--to-latin"_s, table, m_table, m_dir.filePath(u"no.txt"_s)}
                << QByteArray() << 5;
        QTest::newRow("input not UTF-8")
                << QStringList{u"--to-latin"_s, table, m_table} << "zh\xE6uk"_ba << 5;
        const QString check = u"--check"_s, sample = u"--sample"_s;
        QTest::newRow("check with a direction")
                << QStringList{check, u"--to-latin"_s, table, m_table} << QByteArray() << 2;
        QTest::newRow("check with an input file")
                << QStringList{check, table, m_table, m_table} << QByteArray() << 2;
        QTest::newRow("sample without check")
                << QStringList{u"--to-latin"_s, sample, m_table, table, m_table} << "zhuk"_ba << 2;
        QTest::newRow("check, table missing")
                << QStringList{check, table, m_dir.filePath(u"none.ini"_s)} << QByteArray() << 3;
        QTest::newRow("check, sample missing")
                << QStringList{check, table, m_table, sample, m_dir.filePath(u"no.txt"_s)}
                << QByteArray() << 5;
    }

    // The checker's report goes to standard output; its status says whether
    // the table has problems.
    void checkTable()
    {
        const Run clean = run({u"--check"_s});
        QCOMPARE(clean.status, 0);
        QVERIFY2(clean.out.contains(u"Итог: замечаний нет"_s.toUtf8()), clean.out.constData());

        const QString starved = writeFile(u"starved.ini"_s, "header\r\ns \xF1\r\nsh \xF8\r\n");
        const QString text = writeFile(u"text.txt"_s, u"шик"_s.toUtf8());
        const Run problem = run({u"--check"_s, u"--table"_s, starved, u"--sample"_s, text});
        QCOMPARE(problem.status, 1);
        QVERIFY2(problem.out.contains(u"строка 3: замечание:"_s.toUtf8()), problem.out.constData());
        QVERIFY2(problem.out.contains(u"шик ×1 → shик → сhик"_s.toUtf8()), problem.out.constData());
        QCOMPARE(problem.err, QByteArray());
    }

    void failures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(int, status);

        const Run result = run(arguments, input);
        QCOMPARE(result.status, status);
        QCOMPARE(result.out, QByteArray());
        QVERIFY2(result.err.startsWith("vertlin-convert: "), result.err.constData());
        QVERIFY2(hasCyrillic(result.err), result.err.constData());
    }

    void limitItself()
    {
        const Run result =
                run({u"--to-cyrillic"_s, u"--table"_s, m_table}, QByteArray(32766, 'a') + "\n");
        QCOMPARE(result.status, 4);
        const Run fits = run({u"--to-cyrillic"_s, u"--table"_s, m_table}, QByteArray(32766, 'z'));
        QCOMPARE(fits.status, 0);
        QCOMPARE(QString::fromUtf8(fits.out), QString(32766, u'з'));
    }

    // Without --table the table beside the program is read, as the window does.
    void tableBesideTheProgram()
    {
        const Run result = run({u"--to-cyrillic"_s}, "zhuk"_ba);
        QCOMPARE(result.status, 0);
        QCOMPARE(QString::fromUtf8(result.out), u"жук"_s);
    }

    void helpAndVersion()
    {
        const Run help = run({u"--help"_s});
        QCOMPARE(help.status, 0);
        for (const char *status : {"  2  ", "  3  ", "  4  "})
            QVERIFY(help.out.contains(status));
        QVERIFY(hasCyrillic(help.out));

        const Run version = run({u"--version"_s});
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out, "vertlin-convert " VERTLIN_VERSION "\n"_ba);
    }
};

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"

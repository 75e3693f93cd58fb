// SPDX-License-Identifier: MIT
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// vertlin-convert run as a user runs it, in a folder holding the files named.
class tst_Cli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // A last argument "<FILE" is standard input, as in a shell; "<-" closes it.
    void run(QProcess &process, const QString &arguments, const QByteArray &input = {})
    {
        process.setWorkingDirectory(m_dir.path());
        QStringList list = arguments.split(u' ', Qt::SkipEmptyParts);
        if (!list.isEmpty() && list.last().startsWith(u'<')) {
            const QString from = list.takeLast().mid(1);
            if (from == u"-"_s)
                process.setChildProcessModifier([] { ::close(STDIN_FILENO); });
            else
                process.setStandardInputFile(from);
        }
        process.start(qEnvironmentVariable("VERTLIN_CONVERT"), list);
        process.write(input);
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit);
    }

private slots:
    void initTestCase()
    {
        // Tables in the format the window reads: a header line, then windows-1251.
        const std::pair<const char *, QByteArray> files[] = {
            {"table.ini", "header\r\nzh \xE6\r\nz \xE7\r\nu \xF3\r\nk \xEA\r\n"},
            {"starved.ini", "header\r\ns \xF1\r\nsh \xF8\r\n"},
            {"sample.txt", u"шик"_s.toUtf8()},
            {"input.txt", "\xEF\xBB\xBFzhuk\r\nzuk\nkuz\rzz\n\r\n\nk"},
            {"utf16.ini", QByteArray::fromHex("feff0068000d000a007a0068002004360d000a")},
            {"many.ini", "h\n" + QByteArray("a b\n").repeated(32768)}};
        for (const auto &[name, bytes] : files) {
            QFile file(m_dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        QVERIFY(mkfifo(qPrintable(m_dir.filePath(u"fifo"_s)), 0600) == 0);
        QVERIFY(QFile::link(u"loop.ini"_s, m_dir.filePath(u"loop.ini"_s)));
    }

    void runs_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("output");
        const auto row = [](const char *name, const QString &arguments, int status,
                            const QByteArray &input = {}, const QString &output = {}) {
            QTest::newRow(name) << arguments << status << input << output.toUtf8();
        };
        row("to Latin, the rest untouched", u"--to-latin --table table.ini"_s, 0,
            u"Жук, 2 жука\tи «ёж»\n"_s.toUtf8(), u"Жuk, 2 zhukа\tи «ёzh»\n"_s);
        // From a file: the byte-order mark dropped, line ends kept.
        row("from a file", u"--table table.ini --to-cyrillic input.txt"_s, 0, {},
            u"жук\r\nзук\nкуз\rзз\n\r\n\nк"_s);
        // Without --table, the table beside the program, as the window reads it.
        row("default table", u"--to-cyrillic"_s, 0, "zhuk", u"жук"_s);
        // The checker's report: only a part of it is compared.
        row("check, clean", u"--check"_s, 0, {}, u"Итог: замечаний нет"_s);
        row("check, UTF-16", u"--check --table utf16.ini"_s, 0, {},
            u"записей: 1, кодировка: UTF-16 BE с меткой порядка байтов"_s);
        row("check, a problem", u"--check --table starved.ini --sample sample.txt"_s, 1, {},
            u"шик ×1 → shик → сhик\nИтог: замечаний: 1\n"_s);
        // Failures: nothing on standard output.
        row("no direction", u""_s, 2);
        row("both directions", u"--to-latin --to-cyrillic"_s, 2);
        row("two input files", u"--to-latin a b"_s, 2);
        row("table missing", u"--to-latin --table none.ini"_s, 3);
        // The line end makes it 32767 characters.
        row("too long", u"--to-cyrillic"_s, 4, QByteArray(32766, 'z') + '\n');
        row("input file missing", u"--to-latin none.txt"_s, 5);
        row("input not UTF-8", u"--to-latin"_s, 5, "zh\xE6uk");
        row("check with a direction", u"--check --to-latin"_s, 2);
        row("check with an input file", u"--check table.ini"_s, 2);
        row("sample, no check", u"--to-latin --sample table.ini"_s, 2);
        row("check, table missing", u"--check --table none.ini"_s, 3);
        row("check, sample missing", u"--check --sample none.txt"_s, 5);
    }

    void runs()
    {
        QFETCH(QString, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, output);
        QProcess process;
        run(process, arguments, input);
        const QByteArray out = process.readAllStandardOutput();
        const QByteArray err = process.readAllStandardError();
        QCOMPARE(process.exitCode(), status);
        const bool report = arguments.startsWith(u"--check"_s) && status < 2;
        QVERIFY2(report ? out.contains(output) : out == output, out.constData());
        // Failures are told in Russian, on standard error only.
        const bool russian = QString::fromUtf8(err).contains(QRegularExpression(u"[а-я]"_s));
        QVERIFY2(status < 2 ? err.isEmpty() : err.startsWith("vertlin-convert: ") && russian,
                 err.constData());
    }

    // What only standard error tells: numerals that agree with their number,
    // and a standard output that cannot be written (a full disk), which is a
    // failure whatever was to go there.
    void messages_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        // A text over the limit: the message gives its length.
        for (const auto &[length, said] : {std::pair{32771, u"32771 знак"_s},
                                           {32773, u"32773 знака"_s},
                                           {32775, u"32775 знаков"_s},
                                           {32811, u"32811 знаков"_s}})
            QTest::newRow(qPrintable(said))
                    << u"--to-cyrillic"_s << QByteArray(length, 'a') << false << 4 << said;
        const QString unwritten = u"не удалось записать"_s;
        QTest::newRow("help") << u"--help"_s << QByteArray() << true << 6 << unwritten;
        QTest::newRow("version") << u"--version"_s << QByteArray() << true << 6 << unwritten;
        QTest::newRow("result") << u"--to-latin"_s << u"жук"_s.toUtf8() << true << 6 << unwritten;
        QTest::newRow("report") << u"--check"_s << QByteArray() << true << 6 << unwritten;
        // What cannot be read is refused at once, by its cause.
        const QString pipe = u"Это именованный канал (FIFO), а не обычный файл. Читаются только "
                             u"обычные файлы.\nФайл: fifo"_s;
        const std::tuple<const char *, const char *, int, QString> refused[] = {
            {"table a named pipe", "--to-latin --table fifo", 3, pipe},
            {"input a named pipe", "--to-latin fifo", 5, u"входной файл.\nОшибка 75"_s},
            {"endless input", "--to-latin </dev/zero", 4, u"уже в первых 98 302 байтах"_s},
            {"input closed", "--to-latin <-", 5, u"стандартный ввод закрыт"_s},
            {"input a folder", "--to-latin </", 5, u"стандартный ввод — папка"_s},
            {"too many lines", "--to-latin --table many.ini", 3,
             u"после строки заголовка их может быть не больше 32 767.\nФайл: many.ini"_s},
            {"no table name", "--to-latin --table=", 3, u"Имя файла пустое"_s},
            {"link loop", "--to-latin --table loop.ini", 3, u"в круг.\nФайл: loop.ini"_s},
            {"one dash", "-to-latin", 2, u"«-to-latin» пишется с двумя дефисами: --to-latin"_s}};
        for (const auto &[name, arguments, status, message] : refused)
            QTest::newRow(name) << QString::fromUtf8(arguments) << QByteArray() << false << status
                                << message;
    }

    void messages()
    {
        QFETCH(QString, arguments);
        QFETCH(QByteArray, input);
        QFETCH(bool, diskFull);
        QFETCH(int, status);
        QFETCH(QString, message);
        QProcess process;
        if (diskFull)
            process.setStandardOutputFile(u"/dev/full"_s);
        run(process, arguments, input);
        QCOMPARE(process.exitCode(), status);
        const QString err = QString::fromUtf8(process.readAllStandardError());
        // The whole word: "21 знак" must not be the start of "21 знака".
        const QRegularExpression word(u"(?<!\\d)"_s + QRegularExpression::escape(message) + u"(?!\\w)"_s,
                                      QRegularExpression::UseUnicodePropertiesOption);
        QVERIFY2(err.contains(word), qPrintable(err));
    }

    // The help fits a terminal of 80 columns and tells every exit status.
    void help()
    {
        QProcess process;
        run(process, u"--help"_s);
        QCOMPARE(process.exitCode(), 0);
        const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n');
        for (const QString &line : lines)
            QVERIFY2(line.size() <= 79, qPrintable(line));
        for (int status = 0; status <= 6; ++status) {
            const QRegularExpression listed(u"^  %1  \\S"_s.arg(status));
            QVERIFY2(std::any_of(lines.begin(), lines.end(),
                                 [&](const QString &l) { return l.contains(listed); }),
                     qPrintable(u"status %1 not listed"_s.arg(status)));
        }
    }
};

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"

// SPDX-License-Identifier: MIT
#include "numerals.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

// vertlin-convert run as a user runs it, in a folder holding the files named.
class tst_Cli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // ">/dev/full" among the arguments: standard output cannot be written; a
    // last argument "<FILE" is standard input, as in a shell; "<-" closes it.
    void run(QProcess &process, const QString &arguments, const QByteArray &input = {})
    {
        QStringList list = arguments.split(u' ', Qt::SkipEmptyParts);
        if (list.removeAll(u">/dev/full"_s))
            process.setStandardOutputFile(u"/dev/full"_s);
        process.setWorkingDirectory(m_dir.path());
        if (!list.isEmpty() && list.last().startsWith(u'<')) {
            const QString from = list.takeLast().mid(1);
#ifdef Q_OS_UNIX
            if (from == u"-"_s)
                process.setChildProcessModifier([] { ::close(STDIN_FILENO); });
            else
#endif
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
            {"table.ini", "header\r\nzh \xE6\r\nz \xE7\r\nu \xF3\r\nk \xEA\r\nh \xF5\r\n"},
            {"starved.ini", "header\r\ns \xF1\r\nsh \xF8\r\n"},
            {"culprit.ini", "header\r\ns%3 \xF1\r\ns%3h \xF8\r\n"}, // %3 is the user's text
            {"grows.ini", "header\r\na ab\r\n"},
            {"sample.txt", u"шик"_s.toUtf8()},
            {"words.txt", u"жук зхук Жук"_s.toUtf8()},
            {"input.txt", "\xEF\xBB\xBFzhuk\r\nzuk\nkuz\rzz\n\r\n\nk"},
            {"utf16.ini", QByteArray::fromHex("feff0068000d000a007a0068002004360d000a")},
            {"many.ini", "h\n" + QByteArray("a b\n").repeated(32768)}};
        for (const auto &[name, bytes] : files) {
            QFile file(m_dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
#ifdef Q_OS_UNIX
        QVERIFY(mkfifo(qPrintable(m_dir.filePath(u"fifo"_s)), 0600) == 0);
        QVERIFY(QFile::link(u"loop.ini"_s, m_dir.filePath(u"loop.ini"_s)));
#endif
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
        row("version", u"--version"_s, 0, {}, u"vertlin-convert " VERTLIN_VERSION "\n"_s);
        // The checker's report: only a part of it is compared. A word that
        // does not come back is information, not a problem.
        row("check, clean", u"--check"_s, 0, {}, u"Итог: замечаний нет"_s);
        row("check, a word lost", u"--check --table table.ini --sample words.txt"_s, 0, {},
            u"2 (66,6667 %)\nНе вернулись (слово, сколько раз, латиницей, обратно):\n"
            u"  зхук ×1 → zhuk → жук\nИтог: замечаний нет\n"_s);
        row("check, UTF-16", u"--check --table utf16.ini"_s, 0, {},
            u"записей: 1, кодировка: UTF-16 BE с меткой порядка байтов"_s);
        row("check, a problem", u"--check --table starved.ini --sample sample.txt"_s, 1, {},
            u"шик ×1 → shик → сhик\nИтог: замечаний: 1\n"_s);
        row("check names the culprit", u"--check --table culprit.ini"_s, 1, {},
            u"«s%3h ш» никогда не срабатывает в направлении латиница → кириллица: строка 2 («s%3 с»)"_s);
        // Such a table could take very long.
        row("check, round trip skipped", u"--check --table grows.ini --sample sample.txt"_s, 1, {},
            u"Проверка по образцу пропущена"_s);
        // Failures: nothing on standard output; "output" is a part of the message.
        row("no direction", u""_s, 2);
        row("both directions", u"--to-latin --to-cyrillic"_s, 2);
        row("two input files", u"--to-latin a b"_s, 2);
        row("table missing", u"--to-latin --table none.ini"_s, 3);
        // The line end makes it 32767 characters.
        row("too long", u"--to-cyrillic"_s, 4, QByteArray(32766, 'z') + '\n', u"в нём 32 767 знаков,"_s);
        row("input file missing", u"--to-latin none.txt"_s, 5);
        row("input not UTF-8", u"--to-latin"_s, 5, "zh\xE6uk");
        row("check with a direction", u"--check --to-latin"_s, 2);
        row("check with an input file", u"--check table.ini"_s, 2);
        row("sample, no check", u"--to-latin --sample table.ini"_s, 2);
        row("check, table missing", u"--check --table none.ini"_s, 3);
        row("check, sample missing", u"--check --sample none.txt"_s, 5);
        row("check, sample not UTF-8", u"--check --sample table.ini"_s, 5, {}, u"не в кодировке UTF-8"_s);
        // A full disk is a failure, whatever was to go there: each of these writes on its own.
        for (const QString &arguments : {u"--to-latin"_s, u"--check"_s, u"--help"_s, u"--version"_s})
            row(qPrintable(arguments + u" >/dev/full"_s), arguments + u" >/dev/full"_s, 6, u"жук"_s.toUtf8(), u"не удалось записать"_s);
        row("too many lines", u"--to-latin --table many.ini"_s, 3, {},
            u"после строки заголовка их может быть не больше 32 767.\nФайл: many.ini"_s);
        row("no table name", u"--to-latin --table="_s, 3, {}, u"Имя файла пустое"_s);
        row("one dash", u"-to-latin"_s, 2, {}, u"«-to-latin» пишется с двумя дефисами: --to-latin"_s);
#ifdef Q_OS_UNIX
        // What cannot be read is refused at once, by its cause.
        row("table a named pipe", u"--to-latin --table fifo"_s, 3, {},
            u"Это именованный канал (FIFO), а не обычный файл. Читаются только обычные файлы.\nФайл: fifo"_s);
        row("input a named pipe", u"--to-latin fifo"_s, 5, {}, u"входной файл.\nОшибка 75"_s);
        row("endless input", u"--to-latin </dev/zero"_s, 4, {}, u"уже в первых 98 302 байтах"_s);
        row("input closed", u"--to-latin <-"_s, 5, {}, u"стандартный ввод закрыт"_s);
        row("input a folder", u"--to-latin </"_s, 5, {}, u"стандартный ввод — папка"_s);
        row("link loop", u"--to-latin --table loop.ini"_s, 3, {}, u"в круг.\nФайл: loop.ini"_s);
#endif
        row("fix, to Latin", u"--to-latin --fix"_s, 2);
#ifdef VERTLIN_SPELLING
        row("fix", u"--to-cyrillic --fix"_s, 0, "eto otsy, zhuk", u"это отцы, жук"_s);
#endif
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
        // Messages are text: Windows ends their lines with CR LF.
        const QByteArray err = process.readAllStandardError().replace("\r\n", "\n");
        QCOMPARE(process.exitCode(), status);
        const bool report = arguments.startsWith(u"--check"_s) && status < 2;
        QVERIFY2(status >= 2 ? out.isEmpty() : report ? out.contains(output) : out == output, out.constData());
        // Failures are told in Russian, on standard error only.
        const bool russian = QString::fromUtf8(err).contains(QRegularExpression(u"[а-я]"_s));
        QVERIFY2(status < 2 ? err.isEmpty() : err.startsWith("vertlin-convert: ") && russian && err.contains(output),
                 err.constData());
    }

    // The noun agrees with its number, as in "в нём 32 767 знаков".
    void numerals()
    {
        QStringList said;
        for (const int n : {1, 3, 5, 11, 14, 21, 22, 111, 32771, 32773, 32775, 32811})
            said << Numerals::count(n, u"знак"_s, u"знака"_s, u"знаков"_s);
        QCOMPARE(said.join(u", "_s), u"1 знак, 3 знака, 5 знаков, 11 знаков, 14 знаков, 21 знак, 22 знака, "
                                     u"111 знаков, 32 771 знак, 32 773 знака, 32 775 знаков, 32 811 знаков"_s);
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

// SPDX-License-Identifier: MIT
// vertlin-convert: the window's conversion for files and pipes.
//
//   vertlin-convert (--to-cyrillic | --to-latin) [--table FILE] [FILE]
//   vertlin-convert --check [--table FILE] [--sample FILE] [--report FILE]...
//   vertlin-convert (--help | --version)

#include "codetable.h"
#include "conversion.h"
#include "inputdecoding.h"
#include "modgp.h"
#include "numerals.h"
#include "runtimeerror.h"
#include "tablecheck.h"
#include "tablereport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <QTranslator>

#include <algorithm>
#include <cstdio>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

using namespace Qt::StringLiterals;

namespace {

enum ExitStatus {
    Converted = 0,
    UsageError = 2,
    TableUnreadable = 3,
    TextUnconvertible = 4,
    InputUnreadable = 5,
    OutputFailed = 6,
};

const QString Program = u"vertlin-convert"_s;

// Messages go out as UTF-8 whatever the locale: the text they are about is.
void say(const QString &message)
{
    const QByteArray bytes = (Program + u": "_s + message + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

int usageError(const QString &message)
{
    say(message + u"\nСправка: "_s + Program + u" --help"_s);
    return UsageError;
}

// Qt's own listing of the options, under a usage that shows which options
// go together. Every line fits 79 columns.
QString helpText(const QCommandLineParser &parser)
{
    const QString options = parser.helpText().section(u'\n', 1);
    return u"Использование:\n"
           "  vertlin-convert (--to-cyrillic | --to-latin) [--table ФАЙЛ] [ФАЙЛ]\n"
           "  vertlin-convert --check [--table ФАЙЛ] [--sample ФАЙЛ] [--report ФАЙЛ]...\n"
           "Обязательно ровно одно из --to-cyrillic, --to-latin и --check.\n\n"_s
            + options
            + u"\nЧитает текст в UTF-8 из ФАЙЛА или со стандартного ввода и пишет\n"
              "сконвертированный текст в UTF-8 на стандартный вывод; метка порядка байтов\n"
              "в начале отбрасывается, концы строк сохраняются. По умолчанию берётся\n"
              "таблица vl1.ini из папки программы.\n\n"
              "С --check программа ничего не конвертирует: она читает таблицу так же, как\n"
              "окно, и пишет, какие её строки ничего не меняют, никогда не срабатывают,\n"
              "вызывают переполнение или повторяются; с --sample ещё и какая доля русских\n"
              "слов образца возвращается из латиницы без изменений; с --report — сводка\n"
              "по каждому виду текста.\n\n"
              "Коды завершения:\n"
              "  0  текст сконвертирован; с --check: замечаний нет (только сведения)\n"
              "  1  с --check: в таблице есть замечания\n"
              "  2  ошибка в командной строке\n"
              "  3  таблицу кодов не удалось прочитать\n"
              "  4  текст не может быть сконвертирован: он длиннее 32 766 знаков или\n"
              "     становится длиннее при конвертации\n"
              "  5  входной файл (с --check: образец) не удалось прочитать, или он не\n"
              "     в UTF-8\n"
              "  6  результат, отчёт или справку не удалось записать\n"
              "При ошибке на стандартный вывод ничего не пишется.\n"_s;
}

bool writeAll(std::FILE *stream, const QByteArray &bytes)
{
    const bool written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream)
            == size_t(bytes.size());
    return std::fflush(stream) == 0 && written;
}

// Everything goes to standard output, the help and the version too: a full
// disk or a closed pipe is a failure of the run, told as such.
bool writeOut(const QString &text, const QString &what)
{
    if (writeAll(stdout, text.toUtf8()))
        return true;
    say(u"не удалось записать %1."_s.arg(what));
    return false;
}

QString tableOption(const QCommandLineParser &parser, const QCommandLineOption &table)
{
    return parser.isSet(table)
            ? parser.value(table)
            : CodeTable::fileName(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()), 1);
}

// The figures per kind of text, after the check; a table that grows without
// end is not measured, since its conversions would never finish.
int reportTable(const QString &tablePath, const QStringList &samples, QString &report)
{
    QStringList entries;
    CodeTable::load(tablePath, entries);
    QTextStream out(&report);
    const auto findings = TableCheck::checkEntries(entries);
    if (std::any_of(findings.cbegin(), findings.cend(), [](const TableCheck::Finding &f) {
            return f.kind == TableCheck::Kind::EndlessGrowth;
        })) {
        out << u"Таблица не измерена: её строки вызывают бесконечный рост текста.\n"_s;
        return TableCheck::ProblemsFound;
    }
    QString error;
    if (!TableReport::run(entries, samples, out, error)) {
        say(u"не удалось прочитать образец.\n"_s + error);
        return TableCheck::SampleUnreadable;
    }
    return TableCheck::Clean;
}

int checkTable(const QCommandLineParser &parser, const QCommandLineOption &table,
               const QCommandLineOption &sample, const QCommandLineOption &reportOption)
{
    if (parser.isSet(u"to-cyrillic"_s) || parser.isSet(u"to-latin"_s))
        return usageError(u"--check не сочетается с --to-cyrillic и --to-latin."_s);
    if (!parser.positionalArguments().isEmpty())
        return usageError(u"с --check входной файл не указывается; образец задаёт --sample."_s);

    QString report, error;
    QTextStream out(&report);
    const TableCheck::Status status =
            TableCheck::run(tableOption(parser, table), parser.value(sample), out, error);
    out.flush();
    if (!error.isEmpty()) {
        say((status == TableCheck::TableUnreadable ? u"не удалось прочитать таблицу кодов.\n"_s
                                                   : u"не удалось прочитать образец.\n"_s)
            + error);
        return status;
    }
    if (parser.isSet(reportOption)) {
        const int reported = reportTable(tableOption(parser, table), parser.values(reportOption),
                                         report);
        if (reported == TableCheck::SampleUnreadable)
            return reported;
    }
    return writeOut(report, u"отчёт"_s) ? status : int(OutputFailed);
}

// On Windows, through the descriptor: Qt takes the end of a pipe read through
// a FILE* there for an error.
bool openStandardInput(QFile &input)
{
#ifdef Q_OS_WIN
    return input.open(_fileno(stdin), QIODevice::ReadOnly);
#else
    return input.open(stdin, QIODevice::ReadOnly);
#endif
}

// The whole input as text: a file, or standard input for "-"; Converted, or
// the status that says why it could not be read.
int readInput(const QString &inputName, QString &text)
{
    QFile input;
    const bool opened = inputName == u"-"_s
            ? openStandardInput(input)
            : (input.setFileName(inputName), input.open(QIODevice::ReadOnly));
    if (!opened) {
        say(u"не удалось открыть входной файл «%1»: %2"_s.arg(QDir::toNativeSeparators(inputName),
                                                            input.errorString()));
        return InputUnreadable;
    }
    const QByteArray bytes = input.readAll();
    if (input.error() != QFileDevice::NoError) {
        say(u"не удалось прочитать входной файл «%1»: %2"_s.arg(QDir::toNativeSeparators(inputName),
                                                              input.errorString()));
        return InputUnreadable;
    }
    const std::optional<QString> decoded = CliInput::decode(bytes);
    if (!decoded) {
        say(u"входной текст «%1» не в кодировке UTF-8."_s.arg(QDir::toNativeSeparators(inputName)));
        return InputUnreadable;
    }
    text = *decoded;
    return Converted;
}

// Converts one input through the table at tablePath to standard output.
int convertInput(const QString &tablePath, const QString &inputName, bool toCyrillic)
{
    QStringList entries;
    try {
        CodeTable::load(tablePath, entries);
    } catch (const RuntimeError &error) {
        say(u"не удалось прочитать таблицу кодов.\n"_s + error.message());
        return TableUnreadable;
    }

    QString text;
    if (const int status = readInput(inputName, text); status != Converted)
        return status;

    QString converted;
    try {
        converted = convertText(text, entries, toCyrillic);
    } catch (const RuntimeError &error) {
        const QString cause = error.overflowExplanation(u"«"_s + QDir::toNativeSeparators(tablePath) + u"»"_s);
        say(u"текст не может быть сконвертирован: "_s + error.message() + u".\n"_s
            + (cause.isEmpty()
                       ? u"Текст длиннее 32 766 знаков или становится длиннее при "
                         "конвертации (%1 на входе)."_s
                                 .arg(Numerals::count(text.size(), u"знак"_s, u"знака"_s,
                                                      u"знаков"_s))
                       : cause));
        return TextUnconvertible;
    }

    return writeOut(converted, u"результат"_s) ? Converted : OutputFailed;
}

struct Options
{
    QCommandLineOption help, version, toCyrillic, toLatin, table, check, sample, report;
};

Options addOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
            u"Конвертирует русский текст, набранный латиницей, в кириллицу и обратно\n"
            "по таблице кодов Vertlin."_s);
    Options options{
            parser.addHelpOption(),
            parser.addVersionOption(),
            {u"to-cyrillic"_s, u"Конвертировать в кириллицу."_s},
            {u"to-latin"_s, u"Конвертировать в латиницу."_s},
            {u"table"_s, u"Таблица кодов (по умолчанию vl1.ini в папке программы)."_s, u"ФАЙЛ"_s},
            {u"check"_s, u"Проверить таблицу кодов вместо конвертации."_s},
            {u"sample"_s,
             u"С --check: русский текст в UTF-8, слова которого "
             "переводятся в латиницу и обратно."_s,
             u"ФАЙЛ"_s},
            {u"report"_s,
             u"С --check: текст одного вида в UTF-8 (имя файла называет вид); таблица "
             "измеряется на нём: слова туда и обратно, прописными, частые слова в двух "
             "привычных наборах латиницей. Можно указать несколько раз."_s,
             u"ФАЙЛ"_s},
    };
    parser.addOptions({options.toCyrillic, options.toLatin, options.table, options.check,
                       options.sample, options.report});
    parser.addPositionalArgument(u"ФАЙЛ"_s,
                                 u"Текст в UTF-8; без него или «-» — стандартный ввод."_s,
                                 u"[ФАЙЛ]"_s);
    return options;
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef Q_OS_WIN
    // Bytes in, bytes out: Windows' text mode would turn LF into CR LF and
    // stop reading at a Ctrl+Z.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(Program);
    QCoreApplication::setApplicationVersion(QStringLiteral(VERTLIN_VERSION));

    // Qt's own parts of the help and its error texts in Russian too.
    QTranslator qtTranslator;
    modGP::installQtTranslations(qtTranslator);

    QCommandLineParser parser;
    const Options options = addOptions(parser);
    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(options.help) || parser.isSet(u"help-all"_s))
        return writeOut(helpText(parser), u"справку"_s) ? Converted : OutputFailed;
    if (parser.isSet(options.version))
        return writeOut(Program + u' ' + QCoreApplication::applicationVersion() + u'\n',
                        u"версию"_s)
                ? Converted
                : OutputFailed;
    if (parser.isSet(options.check))
        return checkTable(parser, options.table, options.sample, options.report);
    if (parser.isSet(options.sample) || parser.isSet(options.report))
        return usageError(u"--sample и --report действуют только вместе с --check."_s);
    if (parser.isSet(options.toCyrillic) == parser.isSet(options.toLatin))
        return usageError(u"укажите одно из направлений: --to-cyrillic или --to-latin."_s);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return usageError(u"можно указать только один входной файл."_s);

    return convertInput(tableOption(parser, options.table), files.value(0, u"-"_s),
                        parser.isSet(options.toCyrillic));
}

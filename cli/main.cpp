// SPDX-License-Identifier: MIT
// vertlin-convert: the window's conversion for files and pipes.
//
//   vertlin-convert (--to-cyrillic [--fix] | --to-latin) [--table FILE] [FILE]
//   vertlin-convert --check [--table FILE] [--sample FILE] [--report FILE]...
//   vertlin-convert (--help | --version)

#include "codetable.h"
#include "conversion.h"
#include "dictionary.h"
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
#include <cerrno>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
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
    NoDictionary = 7,
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
           "  vertlin-convert (--to-cyrillic [--fix] | --to-latin) [--table ФАЙЛ] [ФАЙЛ]\n"
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
              "  4  текст не может быть сконвертирован: он длиннее %1 или\n"
              "     становится длиннее при конвертации\n"
              "  5  входной файл (с --check: образец) не удалось прочитать, или он не\n"
              "     в UTF-8\n"
              "  6  результат, отчёт или справку не удалось записать\n"
              "  7  с --fix: не найден словарь ru_RU для Hunspell\n"
              "При ошибке на стандартный вывод ничего не пишется.\n"_s
                      .arg(RuntimeError::longestConvertible());
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

// More bytes than this are more than 32,766 characters of UTF-8, whatever
// they hold: a byte-order mark and three bytes for each character at most.
constexpr qint64 InputLimit = 3 + 3 * 32766 + 1;

// Whether standard input was closed when the program started; then
// /dev/null holds its place, lest the first file opened take it.
bool standardInputClosed = false;

void holdStandardInput()
{
#ifdef Q_OS_UNIX
    if (fcntl(STDIN_FILENO, F_GETFD) == -1 && errno == EBADF)
        standardInputClosed = open("/dev/null", O_RDONLY) == STDIN_FILENO;
#endif
}

// Everything about standard input that differs from a file is here.
int openStandardInput(QFile &input)
{
    if (standardInputClosed) {
        say(u"стандартный ввод закрыт, и текста для конвертации нет: подайте его на "
            u"стандартный ввод или укажите входной файл."_s);
        return InputUnreadable;
    }
#ifdef Q_OS_UNIX
    struct stat status;
    if (fstat(STDIN_FILENO, &status) == 0 && S_ISDIR(status.st_mode)) {
        say(u"стандартный ввод — папка, а не файл: текст читается из файла или потока."_s);
        return InputUnreadable;
    }
#endif
#ifdef Q_OS_WIN
    // Through the descriptor: Qt takes the end of a pipe read through a FILE*
    // there for an error.
    const bool opened = input.open(_fileno(stdin), QIODevice::ReadOnly);
#else
    const bool opened = input.open(stdin, QIODevice::ReadOnly);
#endif
    if (!opened) {
        say(u"не удалось открыть стандартный ввод."_s);
        return InputUnreadable;
    }
    return Converted;
}

// The input as text: a file, or standard input for "-"; Converted, or the
// status that says why it could not be read. Only its first InputLimit
// bytes are read; cut tells whether there were that many.
int readInput(const QString &inputName, QString &text, bool &cut)
{
    QFile input(inputName);
    const QString name = inputName == u"-"_s ? u"стандартный ввод"_s : u"«%1»"_s.arg(QDir::toNativeSeparators(inputName));
    if (inputName == u"-"_s) {
        if (const int status = openStandardInput(input); status != Converted)
            return status;
    } else {
        try {
            CodeTable::openForReading(input);
        } catch (const RuntimeError &error) {
            say(u"не удалось открыть входной файл.\n"_s + error.message());
            return InputUnreadable;
        }
    }
    QByteArray bytes(InputLimit, Qt::Uninitialized);
    qint64 read = 0;
    for (qint64 got = 1; got > 0 && read < InputLimit; read += got) {
        got = input.read(bytes.data() + read, InputLimit - read);
        if (got < 0) {
            say(u"не удалось прочитать %1: чтение прервалось с ошибкой."_s.arg(name));
            return InputUnreadable;
        }
    }
    bytes.truncate(read);
    cut = read == InputLimit;
    const std::optional<QString> decoded = CliInput::decode(bytes, !cut);
    if (!decoded) {
        say(u"входной текст (%1) не в кодировке UTF-8."_s.arg(name));
        return InputUnreadable;
    }
    text = *decoded;
    return Converted;
}

// The message of a conversion that failed, or of an input too long to read
// on (cut), which no table converts.
int refuse(const RuntimeError &error, const QString &tablePath, bool cut)
{
    using Cause = RuntimeError::OverflowCause;
    const Cause::Kind kind = error.overflowCause().kind;
    const QString limit = RuntimeError::longestConvertible();
    const QString cause = cut && (kind == Cause::TextTooLong || kind == Cause::Unknown)
            ? u"Текст слишком длинный для конвертации: уже в первых %1 больше %2, "
              u"а конвертировать можно текст не длиннее %2. Дальше текст не читался."_s
                      .arg(Numerals::count(InputLimit, u"байтах"_s, u"байтах"_s, u"байтах"_s), limit)
            : error.overflowExplanation(u"«"_s + QDir::toNativeSeparators(tablePath) + u"»"_s);
    say(u"текст не может быть сконвертирован: "_s + error.message() + u".\n"_s + cause);
    return TextUnconvertible;
}

// Converts one input through the table at tablePath to standard output;
// with fix, the words the dictionary corrects without asking are corrected.
int convertInput(const QString &tablePath, const QString &inputName, bool toCyrillic, bool fix)
{
    std::unique_ptr<Dictionary> dictionary;
    if (fix && !(dictionary = Dictionary::find(QCoreApplication::applicationDirPath()))) {
        say(u"--fix: не найден пригодный словарь ru_RU.aff и ru_RU.dic ни в папках словарей "
            "системы, ни в папке программы."_s
#ifndef Q_OS_WIN
            + u" В Debian его ставит пакет hunspell-ru."_s
#endif
        );
        return NoDictionary;
    }

    QStringList entries;
    try {
        CodeTable::load(tablePath, entries);
    } catch (const RuntimeError &error) {
        say(u"не удалось прочитать таблицу кодов.\n"_s + error.message());
        return TableUnreadable;
    }

    QString text;
    bool cut = false;
    if (const int status = readInput(inputName, text, cut); status != Converted)
        return status;

    QString converted;
    try {
        converted = convertText(text, entries, toCyrillic);
    } catch (const RuntimeError &error) {
        return refuse(error, tablePath, cut);
    }
    // A table that replaces nothing passes any text; that much is no text.
    if (cut)
        return refuse(RuntimeError::overflow(), tablePath, cut);
    if (dictionary)
        converted = Spelling::applied(converted, Spelling::fixes(converted, *dictionary));
    return writeOut(converted, u"результат"_s) ? Converted : OutputFailed;
}

// Qt reads "-to-latin" as the short options t, o, -, l, ... and names each
// of them; the user meant one word.
QString optionError(const QCommandLineParser &parser, const QStringList &arguments)
{
    const QStringList longNames{u"to-cyrillic"_s, u"to-latin"_s, u"table"_s, u"check"_s,
                                u"sample"_s,      u"report"_s,   u"help"_s,  u"version"_s,
                                u"fix"_s};
    for (qsizetype i = 1; i < arguments.size() && arguments.at(i) != u"--"_s; ++i) {
        const QString &argument = arguments.at(i);
        const QString name = argument.mid(1).section(u'=', 0, 0);
        // The value of an option is no option, whatever it looks like.
        if (argument == u"--table"_s || argument == u"--sample"_s || argument == u"--report"_s)
            ++i;
        if (argument.size() <= 2 || !argument.startsWith(u'-') || argument.startsWith(u"--"_s))
            continue;
        return longNames.contains(name)
                ? u"параметр «%1» пишется с двумя дефисами: --%2."_s.arg(argument, name)
                : u"неизвестный параметр «%1»."_s.arg(argument);
    }
    return parser.errorText();
}

struct Options
{
    QCommandLineOption help, version, toCyrillic, toLatin, table, check, sample, report, fix;
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
            {u"fix"_s,
             u"С --to-cyrillic: исправить по словарю слова, которые таблица прочесть не может "
             "(ето → это), где словарь знает ровно одно прочтение."_s},
    };
    parser.addOptions({options.toCyrillic, options.toLatin, options.table, options.check,
                       options.sample, options.report, options.fix});
    parser.addPositionalArgument(u"ФАЙЛ"_s,
                                 u"Текст в UTF-8; без него или «-» — стандартный ввод."_s,
                                 u"[ФАЙЛ]"_s);
    return options;
}

} // namespace

int main(int argc, char *argv[])
{
    holdStandardInput();
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
        return usageError(optionError(parser, QCoreApplication::arguments()));
    if (parser.isSet(options.help) || parser.isSet(u"help-all"_s))
        return writeOut(helpText(parser), u"справку"_s) ? Converted : OutputFailed;
    if (parser.isSet(options.version))
        return writeOut(Program + u' ' + QCoreApplication::applicationVersion() + u'\n',
                        u"версию"_s)
                ? Converted
                : OutputFailed;
    if (parser.isSet(options.check)) {
        try {
            return checkTable(parser, options.table, options.sample, options.report);
        } catch (const std::bad_alloc &) {
            // The table is read within bounds; a sample is read whole.
            say(u"не хватило памяти, чтобы прочитать образец: он слишком велик."_s);
            return TableCheck::SampleUnreadable;
        }
    }
    if (parser.isSet(options.sample) || parser.isSet(options.report))
        return usageError(u"--sample и --report действуют только вместе с --check."_s);
    if (parser.isSet(options.toCyrillic) == parser.isSet(options.toLatin))
        return usageError(u"укажите одно из направлений: --to-cyrillic или --to-latin."_s);
    if (parser.isSet(options.fix) && !parser.isSet(options.toCyrillic))
        return usageError(u"--fix действует только вместе с --to-cyrillic."_s);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return usageError(u"можно указать только один входной файл."_s);

    return convertInput(tableOption(parser, options.table), files.value(0, u"-"_s),
                        parser.isSet(options.toCyrillic), parser.isSet(options.fix));
}

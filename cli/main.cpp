// SPDX-License-Identifier: MIT
// vertlin-convert: the window's conversion for files and pipes.
//
//   vertlin-convert (--to-cyrillic | --to-latin) [--table FILE] [FILE]
//   vertlin-convert --check [--table FILE] [--sample FILE]

#include "codetable.h"
#include "conversion.h"
#include "inputdecoding.h"
#include "runtimeerror.h"
#include "tablecheck.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>

#include <cstdio>

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

QString helpText(const QCommandLineParser &parser)
{
    return parser.helpText()
            + u"\nЧитает текст в UTF-8 из ФАЙЛА или со стандартного ввода и пишет "
              "сконвертированный текст в UTF-8 на стандартный вывод; метка порядка "
              "байтов в начале отбрасывается, концы строк сохраняются. По умолчанию "
              "берётся таблица vl1.ini из папки программы.\n\n"
              "Коды завершения:\n"
              "  0  текст сконвертирован\n"
              "  2  ошибка в командной строке\n"
              "  3  таблицу кодов не удалось прочитать\n"
              "  4  текст не может быть сконвертирован: он длиннее 32 766 знаков или "
              "становится длиннее при конвертации\n"
              "  5  входной файл не удалось прочитать или он не в UTF-8\n"
              "  6  результат не удалось записать\n"
              "При ошибке на стандартный вывод ничего не пишется.\n\n"
              "С --check программа ничего не конвертирует: она читает таблицу так же, как "
              "окно, и пишет, какие её строки ничего не меняют, никогда не срабатывают, "
              "вызывают переполнение или повторяются; с --sample ещё и какая доля русских "
              "слов образца возвращается из латиницы без изменений. Коды завершения: 0 — "
              "замечаний нет (только сведения), 1 — есть замечания, 2, 3 и 5 — как выше "
              "(5 — образец).\n"_s;
}

bool writeAll(std::FILE *stream, const QByteArray &bytes)
{
    const bool written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream)
            == size_t(bytes.size());
    return std::fflush(stream) == 0 && written;
}

QString tableOption(const QCommandLineParser &parser, const QCommandLineOption &table)
{
    return parser.isSet(table) ? parser.value(table)
                               : CodeTable::fileName(QCoreApplication::applicationDirPath(), 1);
}

int checkTable(const QCommandLineParser &parser, const QCommandLineOption &table,
               const QCommandLineOption &sample)
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
    return writeAll(stdout, report.toUtf8()) ? status : int(OutputFailed);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(Program);
    QCoreApplication::setApplicationVersion(QStringLiteral(VERTLIN_VERSION));

    // Qt's own parts of the help and its error texts in Russian too.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Russian), u"qtbase"_s, u"_"_s,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);

    QCommandLineParser parser;
    parser.setApplicationDescription(
            u"Конвертирует русский текст, набранный латиницей, в кириллицу и обратно "
            "по таблице кодов Vertlin."_s);
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption toCyrillic(u"to-cyrillic"_s, u"Конвертировать в кириллицу."_s);
    const QCommandLineOption toLatin(u"to-latin"_s, u"Конвертировать в латиницу."_s);
    const QCommandLineOption table(u"table"_s,
                                   u"Таблица кодов (по умолчанию vl1.ini в папке программы)."_s,
                                   u"ФАЙЛ"_s);
    const QCommandLineOption check(u"check"_s,
                                   u"Проверить таблицу кодов вместо конвертации."_s);
    const QCommandLineOption sample(u"sample"_s,
                                    u"С --check: русский текст в UTF-8, слова которого "
                                    "переводятся в латиницу и обратно."_s,
                                    u"ФАЙЛ"_s);
    parser.addOption(toCyrillic);
    parser.addOption(toLatin);
    parser.addOption(table);
    parser.addOption(check);
    parser.addOption(sample);
    parser.addPositionalArgument(u"ФАЙЛ"_s,
                                 u"Текст в UTF-8; без него или «-» — стандартный ввод."_s,
                                 u"[ФАЙЛ]"_s);

    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(helpOption) || parser.isSet(u"help-all"_s)) {
        writeAll(stdout, helpText(parser).toUtf8());
        return Converted;
    }
    if (parser.isSet(versionOption)) {
        writeAll(stdout, (Program + u' ' + QCoreApplication::applicationVersion() + u'\n')
                                 .toUtf8());
        return Converted;
    }
    if (parser.isSet(check))
        return checkTable(parser, table, sample);
    if (parser.isSet(sample))
        return usageError(u"--sample действует только вместе с --check."_s);
    if (parser.isSet(toCyrillic) == parser.isSet(toLatin))
        return usageError(u"укажите одно из направлений: --to-cyrillic или --to-latin."_s);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return usageError(u"можно указать только один входной файл."_s);

    QStringList entries;
    const QString tablePath = tableOption(parser, table);
    try {
        CodeTable::load(tablePath, entries);
    } catch (const RuntimeError &error) {
        say(u"не удалось прочитать таблицу кодов.\n"_s + error.message());
        return TableUnreadable;
    }

    const QString inputName = files.value(0, u"-"_s);
    QFile input;
    const bool opened = inputName == u"-"_s
            ? input.open(stdin, QIODevice::ReadOnly)
            : (input.setFileName(inputName), input.open(QIODevice::ReadOnly));
    if (!opened) {
        say(u"не удалось открыть входной файл «%1»: %2"_s.arg(inputName, input.errorString()));
        return InputUnreadable;
    }
    const QByteArray bytes = input.readAll();
    if (input.error() != QFileDevice::NoError) {
        say(u"не удалось прочитать входной файл «%1»: %2"_s.arg(inputName, input.errorString()));
        return InputUnreadable;
    }
    const std::optional<QString> decoded = CliInput::decode(bytes);
    if (!decoded) {
        say(u"входной текст «%1» не в кодировке UTF-8."_s.arg(inputName));
        return InputUnreadable;
    }
    const QString &text = *decoded;

    QString converted;
    try {
        converted = convertText(text, entries, parser.isSet(toCyrillic));
    } catch (const RuntimeError &error) {
        say(u"текст не может быть сконвертирован: %1.\nТекст длиннее 32 766 знаков или "
            "становится длиннее при конвертации (%2 знаков на входе)."_s
                    .arg(error.message())
                    .arg(text.size()));
        return TextUnconvertible;
    }

    if (!writeAll(stdout, converted.toUtf8())) {
        say(u"не удалось записать результат."_s);
        return OutputFailed;
    }
    return Converted;
}

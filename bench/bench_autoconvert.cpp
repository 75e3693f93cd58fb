// SPDX-License-Identifier: MIT
// How long a typed space takes in auto-conversion mode with a long text:
// from the key event to the return of the key handler (the conversion,
// its write-back, the caret and the caption), and to the end of the key
// event (the space inserted as well). The baseline, in the same run, is a
// plain letter typed at the same size: the editor's own cost of one edit.
// Goals: median under 16 ms, one frame; a space at most 1.2 times a letter.
// Each size runs with the spelling check off and on (when a dictionary is
// found): with it on, a letter and a space take at most 1.3 times as long.
//
// Usage: bench_autoconvert [table file] [iterations] [off|on] [lines|paragraph]
// Run it offscreen: QT_QPA_PLATFORM=offscreen bench_autoconvert
// With off or on, only that setting of the spelling check runs: under
// callgrind, the inclusive instructions of typeLetter and typeSpace of an
// off run and an on run compare the two without the noise of a busy machine.

#include "codetable.h"
#include "conversion.h"
#include "frmmain.h"
#include "textbox.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTextStream>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Russian prose spelt the way the shipped table reads it.
const QString Prose =
        u"V nachale leta my poekhali k babushke v derevnyu. Tam zhil staryj zhuk, "
        u"kotoryj kazhdoe utro polz po zaboru i grelsya na solntse. Deti "
        u"smotreli na nego i sprashivali, kuda on speshit. Babushka otvechala, "
        u"chto u kazhdogo svoya doroga, i shchi varila v bol'shoj kastryule. "
        u"Vecherom my chitali knigi, pili chaj s varen'em i slushali, kak v sadu "
        u"poyut ptitsy. Ob#yasnit' e'to schast'e slovami trudno, no pomnyu ego "
        u"do sikh por. "_s;

// About `length` characters of converted text in lines of about 70, the
// way auto-conversion leaves what has been typed, or one long line.
QString convertedText(const QStringList &table, qsizetype length, bool lines)
{
    const QStringList words = convertText(Prose, table, true).split(u' ', Qt::SkipEmptyParts);
    QString text;
    qsizetype lineLength = 0;
    for (qsizetype i = 0; text.size() < length; ++i) {
        const QString &word = words.at(i % words.size());
        if (lines && lineLength > 70) {
            text += u"\r\n"_s;
            lineLength = 0;
        } else if (!text.isEmpty()) {
            text += u' ';
            ++lineLength;
        }
        text += word;
        lineLength += word.size();
    }
    return text + u' ';
}

void key(QWidget *target, QChar c)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(target, &release);
}

// Apart, so that a profiler can tell their costs.
[[gnu::noinline]] void typeLetter(QWidget *target, QChar c)
{
    key(target, c);
}

[[gnu::noinline]] void typeSpace(QWidget *target)
{
    key(target, u' ');
}

struct Figures
{
    double median, min, max;
};

Figures figures(QList<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms.at(ms.size() / 2), ms.constFirst(), ms.constLast()};
}

struct Results
{
    Figures toHandler, toInserted, engine, letter;
};

void report(QTextStream &out, const QString &title, const Results &r)
{
    out << title << u'\n';
    const auto line = [&out](const QString &what, const Figures &f) {
        out << u"  "_s << what << u" median "_s << QString::number(f.median, 'f', 2)
            << u" ms, min "_s << QString::number(f.min, 'f', 2) << u" ms, max "_s
            << QString::number(f.max, 'f', 2) << u" ms\n"_s;
    };
    line(u"key event to handler return:"_s, r.toHandler);
    line(u"key event to space inserted: "_s, r.toInserted);
    // What a menu conversion of the same text costs in the engine: a
    // typed space converts only the paragraphs edited since the last one.
    line(u"whole-text conversion alone: "_s, r.engine);
    line(u"plain letter typed:          "_s, r.letter);
    out << u"  space / letter: "_s << QString::number(r.toInserted.median / r.letter.median, 'f', 2)
        << u" (goal at most 1.20)\n"_s;
    out.flush();
}

// The window shown with text in it, auto-conversion to Cyrillic on.
TextBox *prepare(frmMain &window, const QString &text, bool wrap, bool spelling)
{
    TextBox *box = window.textBox();
    if (auto *check = window.findChild<QAction *>(u"spellCheck"_s))
        check->setChecked(spelling);
    // A pasted article: one paragraph, wrapped at the window's width.
    if (wrap)
        box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    window.show();
    window.findChild<QAction *>(u"transe"_s)->trigger();
    box->setText(text);
    box->moveCursor(QTextCursor::End);
    QCoreApplication::processEvents();
    return box;
}

Results run(QTextStream &out, const QStringList &table, const QString &name, const QString &text,
            int iterations, bool wrap, bool spelling)
{
    frmMain window(table);
    TextBox *box = prepare(window, text, wrap, spelling);

    QElapsedTimer clock;
    qint64 handlerReturned = 0;
    // Connected after the window's own handler, so it runs right after it.
    QObject::connect(box, &TextBox::keyPress, box,
                     [&](char16_t) { handlerReturned = clock.nsecsElapsed(); });

    const QStringList words = Prose.split(u' ', Qt::SkipEmptyParts);
    // The window prepares its table once; the reference figure does the same.
    const ConversionTable prepared(table);
    QList<double> toHandler, toInserted, engineOnly, letter;
    const int warmUp = 3;
    for (int i = 0; i < warmUp + iterations; ++i) {
        const QString &word = words.at(i % words.size());
        for (QChar c : word.chopped(1))
            key(box, c);
        QCoreApplication::processEvents();
        QElapsedTimer plain;
        plain.start();
        typeLetter(box, word.back());
        const qint64 plainNs = plain.nsecsElapsed();
        QCoreApplication::processEvents();

        clock.start();
        typeSpace(box);
        const qint64 inserted = clock.nsecsElapsed();
        QCoreApplication::processEvents();

        // After the space, so that it does not find its caches cold.
        QElapsedTimer engine;
        engine.start();
        const QString converted = prepared.convert(box->text(), true);
        const double engineMs = engine.nsecsElapsed() / 1e6;
        Q_UNUSED(converted);
        if (i >= warmUp) {
            toHandler.append(handlerReturned / 1e6);
            toInserted.append(inserted / 1e6);
            engineOnly.append(engineMs);
            letter.append(plainNs / 1e6);
        }
    }

    const Results results{figures(toHandler), figures(toInserted), figures(engineOnly),
                          figures(letter)};
    report(out, name + u": "_s + QString::number(box->textLength()) + u" characters at the end, "_s
                        + QString::number(iterations) + u" spaces, spelling check "_s
                        + (spelling ? u"on"_s : u"off"_s),
           results);
    return results;
}

// The same typing with the spelling check off, then on, or only one.
void compare(QTextStream &out, const QStringList &table, const QString &name,
             const QString &text, int iterations, bool wrap, const QString &only)
{
    if (!only.isEmpty()) {
        run(out, table, name, text, iterations, wrap, only == u"on"_s);
        return;
    }
    const Results off = run(out, table, name, text, iterations, wrap, false);
    const Results on = run(out, table, name, text, iterations, wrap, true);
    out << u"  check on / off: letter "_s
        << QString::number(on.letter.median / off.letter.median, 'f', 2) << u", space "_s
        << QString::number(on.toInserted.median / off.toInserted.median, 'f', 2)
        << u" (goal at most 1.30 each)\n"_s;
    out.flush();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(VERTLIN_VERSION));
    const QStringList args = QCoreApplication::arguments();
    const QString tablePath = args.size() > 1 ? args.at(1) : QStringLiteral(VERTLIN_TABLE_FILE);
    const int iterations = args.size() > 2 ? args.at(2).toInt() : 41;
    const QString only = args.value(3), size = args.value(4);

    QStringList table;
    CodeTable::load(tablePath, table);

    QTextStream out(stdout);
    out << u"Table "_s << tablePath << u", "_s << table.size() << u" entries\n"_s;
    if (size != u"paragraph"_s)
        compare(out, table, u"30,000 characters in lines of about 70"_s,
                convertedText(table, 30000, true), iterations, false, only);
    if (size != u"lines"_s)
        compare(out, table, u"30,000 characters in one paragraph, wrapped"_s,
                convertedText(table, 30000, false), iterations, true, only);
    return 0;
}

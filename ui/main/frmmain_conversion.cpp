// SPDX-License-Identifier: MIT
#include "frmmain.h"

#include "appversion.h"
#include "conversion.h"
#include "errorreport.h"
#include "runtimeerror.h"
#include "paragraphconversion.h"
#include "textbox.h"

#include <QAction>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The caption separators: the key handler's has three spaces before the
// parenthesis, the click handler's four. Users see which one wrote last.
const QString KeySeparator = u"   ---   (Напечатано символов: "_s;
const QString ClickSeparator = u"   ---    (Напечатано символов: "_s;

QString countCaption(const QString &separator, qsizetype count)
{
    return AppVersion::current().shortTitle() + separator + QString::number(count) + u')';
}

QString failureExplanation(const RuntimeError &error)
{
    const QString kept = u"Текст оставлен без изменений."_s;
    if (error.number() != RuntimeError::Overflow)
        return u"Конвертация не выполнена. "_s + kept;
    return error.overflowExplanation(u"vl1.ini"_s) + u' ' + kept;
}

// The hourglass on a window for as long as a menu conversion runs.
class BusyPointer
{
public:
    explicit BusyPointer(QWidget *window) : m_window(window)
    {
        m_window->setCursor(Qt::WaitCursor);
    }
    ~BusyPointer() { release(); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;

    void release()
    {
        if (m_window) {
            m_window->unsetCursor();
            m_window = nullptr;
        }
    }

private:
    QWidget *m_window;
};

} // namespace

// The whole text converted at once, as the edit that makes it so.
std::vector<ParagraphConversion::Edit> frmMain::wholeTextEdits(bool toCyrillic) const
{
    const QString converted = m_codeTable.convert(txtMain->text(), toCyrillic);
    const QString before = txtMain->editorText();
    const QString after = TextBox::toEditorText(converted);
    if (before == after)
        return {};
    // Only the span that differs is written: rewriting a long text would
    // cost a relayout of all of it and a copy of it in the undo history.
    const ChangedSpan span = ChangedSpan::between(before, after);
    return {{int(span.prefix), int(before.size() - span.suffix - span.prefix),
             after.mid(span.prefix, after.size() - span.suffix - span.prefix)}};
}

void frmMain::ConvertText(bool toCyrillic, Caret caret)
{
    // At a typed space, the paragraphs typed in since the last one are
    // usually all that has to be converted. A menu conversion mostly
    // follows a paste or wider edits, where one sweep of the whole text
    // costs less than one per paragraph.
    std::optional<std::vector<ParagraphConversion::Edit>> edits;
    if (caret == Caret::AtEnd)
        edits = m_paragraphs->edits(toCyrillic);
    // Throws before the text box is touched, so a failure leaves it as it was.
    if (!edits)
        edits = wholeTextEdits(toCyrillic);

    QTextCursor cursor(txtMain->document());
    if (!edits->empty()) {
        // Undoable in one step, however full the history is.
        qsizetype removing = 0;
        for (const auto &edit : *edits)
            removing += edit.length;
        txtMain->makeRoomInHistory(removing);
        // From a typed space: the space joins this edit.
        txtMain->editWithKey();
        cursor.beginEditBlock();
        // From the last, so that the positions of the others stay true.
        for (auto edit = edits->crbegin(); edit != edits->crend(); ++edit) {
            cursor.setPosition(edit->position);
            cursor.setPosition(edit->position + edit->length, QTextCursor::KeepAnchor);
            if (edit->text.isEmpty())
                cursor.removeSelectedText();
            else
                cursor.insertText(edit->text);
        }
        txtMain->closeUndoStep();
        cursor.endEditBlock();
    }
    // Like assigning the whole text, even an unchanged one: caret at the
    // start. Put straight where the caller wants it, the caret is placed
    // once: each placement in a long paragraph costs a layout of its line.
    if (caret == Caret::AtEnd)
        cursor.movePosition(QTextCursor::End);
    else
        cursor.setPosition(0);
    txtMain->placeCaret(cursor);
}

// F3 and F4: a manual conversion ends any auto-conversion mode and shows
// the hourglass while it runs.
void frmMain::convertFromMenu(bool toCyrillic)
{
    trans->setChecked(false);
    transe->setChecked(false);
    BusyPointer busy(this);
    try {
        ConvertText(toCyrillic);
    } catch (const RuntimeError &error) {
        busy.release();
        ErrorReport::show(error, this, failureExplanation(error));
    }
}

void frmMain::rus_Click()
{
    convertFromMenu(true);
}

void frmMain::eng_Click()
{
    convertFromMenu(false);
}

// Choosing the item that is already checked keeps it checked: the menu has
// unchecked it on the way, and it is set again here.
void frmMain::trans_Click()
{
    transe->setChecked(false);
    trans->setChecked(true);
}

void frmMain::transe_Click()
{
    trans->setChecked(false);
    transe->setChecked(true);
}

void frmMain::txtMain_KeyPress(char16_t keyAscii)
{
    if (keyAscii == u' ') {
        try {
            // Then the caret goes to the end of the text.
            if (trans->isChecked())
                ConvertText(false, Caret::AtEnd);
            if (transe->isChecked())
                ConvertText(true, Caret::AtEnd);
        } catch (const RuntimeError &error) {
            // The space still goes in at the caret once this returns, so
            // nothing typed is lost; but a space in this mode never replaces
            // a selection, and it must not start doing so now. The caret
            // itself stays where it is.
            QTextCursor caret = txtMain->textCursor();
            caret.clearSelection();
            txtMain->setTextCursor(caret);
            // Every later space would fail the same way: the mode goes, as
            // with a manual conversion, and the user is told once.
            trans->setChecked(false);
            transe->setChecked(false);
            ErrorReport::show(error, this,
                              failureExplanation(error)
                                      + u"\n\nАвтоконвертация выключена. Включить её снова "
                                        u"можно в меню «Конвертация»."_s);
            return;
        }
    }
    // Taken before the editor inserts the character: the count lags one key.
    setWindowTitle(countCaption(KeySeparator, txtMain->textLength()));
}

void frmMain::txtMain_Click()
{
    setWindowTitle(countCaption(ClickSeparator, txtMain->textLength()));
}

// SPDX-License-Identifier: MIT
#include "textbox.h"

#include <QAbstractUndoItem>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

using namespace Qt::StringLiterals;

static bool isLineBreak(QChar c)
{
    return c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// Both halves of a model line break.
static constexpr qsizetype LineBreakWidth = 2;

TextBox::TextBox(QWidget *parent) : QPlainTextEdit(parent)
{
    connect(document(), &QTextDocument::contentsChange, this, &TextBox::countHistory);
}

QString TextBox::rawText() const
{
    return document()->toRawText();
}

// The editor's text with each line break as CR LF.
static QString toModelText(const QString &editorText)
{
    QString model = editorText;
    model.replace(QChar::ParagraphSeparator, u"\r\n"_s);
    return model.replace(QChar::LineSeparator, u"\r\n"_s);
}

QString TextBox::editorText() const
{
    QString text = rawText();
    for (QChar &c : text) {
        if (isLineBreak(c))
            c = u'\n';
    }
    return text;
}

QString TextBox::text() const
{
    return toModelText(rawText());
}

qsizetype TextBox::textLength() const
{
    const QString raw = rawText();
    return toModelPosition(raw, raw.size());
}

QString TextBox::toEditorText(const QString &modelText)
{
    QString text = modelText;
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(u'\r', u'\n');
    return text;
}

qsizetype TextBox::toModelPosition(QStringView rawText, qsizetype documentPosition)
{
    const qsizetype end = std::clamp<qsizetype>(documentPosition, 0, rawText.size());
    const auto breaks = std::count_if(rawText.begin(), rawText.begin() + end, isLineBreak);
    return end + breaks * (LineBreakWidth - 1);
}

qsizetype TextBox::toDocumentPosition(QStringView rawText, qsizetype modelPosition,
                                      bool snapForward)
{
    qsizetype model = 0;
    for (qsizetype i = 0; i < rawText.size(); ++i) {
        if (model >= modelPosition)
            return i;
        if (isLineBreak(rawText[i])) {
            if (modelPosition < model + LineBreakWidth)
                return snapForward ? i + 1 : i;
            model += LineBreakWidth;
        } else {
            ++model;
        }
    }
    return rawText.size();
}

qsizetype TextBox::selStart() const
{
    return toModelPosition(rawText(), textCursor().selectionStart());
}

qsizetype TextBox::selLength() const
{
    const QString raw = rawText();
    const QTextCursor cursor = textCursor();
    return toModelPosition(raw, cursor.selectionEnd())
            - toModelPosition(raw, cursor.selectionStart());
}

QTextCursor TextBox::cursorForModelRange(qsizetype start, qsizetype length) const
{
    const QString raw = rawText();
    QTextCursor cursor(document());
    cursor.setPosition(int(toDocumentPosition(raw, start)));
    if (length > 0)
        cursor.setPosition(int(toDocumentPosition(raw, start + length, true)),
                           QTextCursor::KeepAnchor);
    return cursor;
}

void TextBox::setSelStart(qsizetype start)
{
    setTextCursor(cursorForModelRange(std::max<qsizetype>(start, 0), 0));
}

void TextBox::setSelLength(qsizetype length)
{
    setTextCursor(cursorForModelRange(selStart(), std::max<qsizetype>(length, 0)));
}

QString TextBox::selText() const
{
    return toModelText(textCursor().selectedText());
}

void TextBox::setSelText(const QString &text)
{
    if (!textCursor().hasSelection() && text.isEmpty())
        return;
    makeRoomInHistory(textCursor().selectionEnd() - textCursor().selectionStart());
    // A step of its own: the document would merge it with the typing before
    // it, and the typing after it with it.
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.insertText(toEditorText(text));
    closeUndoStep();
    cursor.endEditBlock();
    setTextCursor(cursor);
}

void TextBox::setText(const QString &text)
{
    makeRoomInHistory(document()->characterCount());
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(toEditorText(text));
    cursor.endEditBlock();
    cursor.movePosition(QTextCursor::Start);
    setTextCursor(cursor);
}

namespace {

// An undo item that does nothing. As the last change of an edit block it
// stops the document from merging the next typed characters into that
// block, which it otherwise does when they land right after the block's
// last insertion.
class UndoStepEnd : public QAbstractUndoItem
{
public:
    void undo() override { }
    void redo() override { }
};

} // namespace

void TextBox::closeUndoStep()
{
    document()->appendUndoItem(new UndoStepEnd);
}

// The document keeps every character it ever held for its undo history,
// however large, until it is emptied. What the history holds beyond the
// text shown is at most about the characters removed since (by edits and
// by undo alike), so that is what is counted.
void TextBox::countHistory(int position, int charsRemoved, int charsAdded)
{
    Q_UNUSED(position);
    Q_UNUSED(charsAdded);
    if (m_rebuilding)
        return;
    m_historyHeld += charsRemoved;
    // A step too large to keep: dropped once the edit that made it is over.
    if (m_historyHeld > HistoryBudget && !m_dropPending) {
        m_dropPending = true;
        QMetaObject::invokeMethod(this, &TextBox::dropHistory, Qt::QueuedConnection);
    }
}

void TextBox::makeRoomInHistory(qsizetype removing)
{
    if (m_dropPending || (removing <= HistoryBudget && m_historyHeld + removing > HistoryBudget))
        dropHistory();
}

// Only a document filled afresh lets go of what its history held: the text
// is written back, with the caret, the selection and the scrolled place.
void TextBox::dropHistory()
{
    m_dropPending = false;
    if (m_historyHeld == 0)
        return;
    const QTextCursor before = textCursor();
    const int anchor = before.anchor(), position = before.position();
    const int h = horizontalScrollBar()->value(), v = verticalScrollBar()->value();
    m_rebuilding = true;
    document()->setPlainText(rawText());
    m_rebuilding = false;
    m_historyHeld = 0;
    QTextCursor after(document());
    after.setPosition(anchor);
    after.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(after);
    horizontalScrollBar()->setValue(h);
    verticalScrollBar()->setValue(v);
}

void TextBox::setReservedShortcuts(const QList<QKeySequence> &shortcuts)
{
    m_reservedShortcuts = shortcuts;
}

bool TextBox::event(QEvent *e)
{
    // The editor claims Del, Ctrl+C and friends through ShortcutOverride;
    // refusing the override hands those keys to the window's menu.
    if (e->type() == QEvent::ShortcutOverride) {
        const QKeySequence pressed(static_cast<QKeyEvent *>(e)->keyCombination());
        if (m_reservedShortcuts.contains(pressed)) {
            e->ignore();
            return true;
        }
    }
    return QPlainTextEdit::event(e);
}

// On the desktop Alt with a key is a menu key, never text. AltGr is not
// Alt: X reports it as a level shift, Windows as Ctrl+Alt.
static bool isMenuKey(const QKeyEvent *e)
{
    const Qt::KeyboardModifiers modifiers = e->modifiers();
    return modifiers.testFlag(Qt::AltModifier)
            && !(modifiers & (Qt::ControlModifier | Qt::GroupSwitchModifier));
}

void TextBox::editWithKey()
{
    if (!m_typing || m_keyEdit)
        return;
    m_keyEdit = std::make_unique<QTextCursor>(document());
    m_keyEdit->beginEditBlock();
}

void TextBox::keyPressEvent(QKeyEvent *e)
{
    if (e->text().isEmpty()) {
        QPlainTextEdit::keyPressEvent(e);
        return;
    }
    if (isMenuKey(e)) {
        e->ignore();
        return;
    }

    makeRoomInHistory(textCursor().selectionEnd() - textCursor().selectionStart());
    m_typing = true;
    emit keyPress(e->text().front().unicode());
    m_typing = false;
    if (!m_keyEdit) {
        QPlainTextEdit::keyPressEvent(e);
        return;
    }

    // A handler changed the text in answer to this key (a space that set
    // off a conversion): the key's own edit joins that change, so the
    // document is laid out once for both, and one undo takes both back.
    const std::unique_ptr<QTextCursor> step = std::move(m_keyEdit);
    if (!m_keyCaretPlaced) {
        QPlainTextEdit::keyPressEvent(e);
        closeUndoStep();
        step->endEditBlock();
        ensureCursorVisible();
        return;
    }
    // The handler placed the caret: the key's character goes there, and the
    // caret is shown once, in the laid-out text.
    m_keyCaretPlaced = false;
    step->insertText(e->text());
    closeUndoStep();
    step->endEditBlock();
    setTextCursor(*step);
}

void TextBox::placeCaret(const QTextCursor &caret)
{
    if (!m_keyEdit) {
        setTextCursor(caret);
        return;
    }
    m_keyEdit->setPosition(caret.position());
    m_keyCaretPlaced = true;
}

// The context menu's paste, a drop and the middle button's paste.
void TextBox::insertFromMimeData(const QMimeData *source)
{
    makeRoomInHistory(textCursor().selectionEnd() - textCursor().selectionStart());
    QPlainTextEdit::insertFromMimeData(source);
}

void TextBox::mouseReleaseEvent(QMouseEvent *e)
{
    QPlainTextEdit::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton)
        emit clicked();
}

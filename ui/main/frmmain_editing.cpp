// SPDX-License-Identifier: MIT
#include "frmmain.h"

#include "errorreport.h"
#include "generaldate.h"
#include "runtimeerror.h"
#include "textbox.h"

#include <QApplication>
#include <QClipboard>
#include <QVariant>

using namespace Qt::StringLiterals;

// None of these commands goes through the text area's key handling, so
// none of them rewrites the caption or starts an auto-conversion.

namespace {

// The text area counts line breaks as CR LF; the clipboard carries the
// platform's own, so that copied text pastes cleanly into other programs.
QString withNativeLineBreaks(const QString &text)
{
#ifdef Q_OS_WIN
    return text;
#else
    QString native = text;
    return native.replace(u"\r\n"_s, u"\n"_s);
#endif
}

// Qt's clipboard never says that a write failed. What can be checked is
// the text read back: when there is no clipboard, or another program holds
// it or takes it at once, it is not the text just written.
bool writeClipboard(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    const QString native = withNativeLineBreaks(text);
    clipboard->setText(native);
    return clipboard->text() == native;
}

void reportClipboard(QWidget *parent, const QString &consequence)
{
    ErrorReport::show(RuntimeError(RuntimeError::ClipboardUnavailable), parent,
                      u"Буфер обмена занят другой программой или недоступен. "_s + consequence);
}

// The length of the focused control's text, in the text area's own terms
// (a line break counts two); -1 when there is no such text to read.
qsizetype focusedTextLength()
{
    const QWidget *focused = QApplication::focusWidget();
    if (!focused)
        return -1;
    if (const auto *box = qobject_cast<const TextBox *>(focused))
        return box->textLength();
    for (const char *name : {"text", "plainText"}) {
        const QVariant value = focused->property(name);
        if (value.typeId() == QMetaType::QString)
            return value.toString().size();
    }
    return -1;
}

} // namespace

void frmMain::cut_Click()
{
    // The clipboard first: if it cannot take the text, the text stays.
    if (!writeClipboard(txtMain->selText())) {
        reportClipboard(this, u"Текст не вырезан и остался на месте."_s);
        return;
    }
    txtMain->setSelText(QString());
}

void frmMain::copy_Click()
{
    if (!writeClipboard(txtMain->selText()))
        reportClipboard(this, u"Текст не скопирован."_s);
}

void frmMain::paste_Click()
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        reportClipboard(this, u"Текст не вставлен."_s);
        return;
    }
    // No text on the clipboard reads as empty text, which removes the selection.
    txtMain->setSelText(clipboard->text());
}

void frmMain::del_Click()
{
    // The one command that never reports: whatever cannot be read ends it
    // quietly.
    const qsizetype start = txtMain->selStart();
    const qsizetype length = focusedTextLength();
    if (length < 0 || length == start)
        return;
    if (txtMain->selLength() == 0) {
        txtMain->setSelLength(1);
        const QString selected = txtMain->selText();
        if (selected.isEmpty())
            return;
        // A line break goes as a whole, CR and LF together.
        if (selected.front() == u'\r')
            txtMain->setSelLength(2);
    }
    txtMain->setSelText(QString());
}

void frmMain::all_Click()
{
    txtMain->setSelStart(0);
    txtMain->setSelLength(txtMain->textLength());
}

void frmMain::date_Click()
{
    txtMain->setSelText(GeneralDate::toString(GeneralDate::now(), QLocale::system()));
}

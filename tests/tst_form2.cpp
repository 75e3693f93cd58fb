#include "errorreport.h"
#include "form2.h"
#include "frmmain.h"
#include "textbox.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace Qt::StringLiterals;

class tst_Form2 : public QObject
{
    Q_OBJECT

    QStringList requests; // what the program asked the desktop to open

    static Form2 *openAbout()
    {
        Form2 *form = Form2::instance();
        form->show();
        (void)QTest::qWaitForWindowExposed(form);
        return form;
    }

    static QWidget *widget(Form2 *form, const QString &name)
    {
        return name == u"Form2"_s ? form : form->findChild<QWidget *>(name);
    }

    static QString text(Form2 *form, const QString &name) { return form->findChild<QLabel *>(name)->text(); }

    // Clicked through the window (at the centre unless told), the way a real click is routed.
    static void click(Form2 *form, const QString &name, QPoint at = {})
    {
        const QWidget *w = widget(form, name);
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {},
                          w->mapTo(form, at.isNull() ? w->rect().center() : at));
    }

    // Off the screen at once, destroyed as soon as events are processed.
    static bool unloaded(const QPointer<Form2> &form)
    {
        const bool hidden = !Form2::isLoaded() && !(form && form->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return hidden && form.isNull();
    }

public slots:
    void open(const QUrl &url) { requests.append(url.toString(QUrl::FullyDecoded)); }

private slots:
    void init()
    {
        requests.clear();
        ErrorReport::setSink([](const RuntimeError &, const QString &text) { QFAIL(qPrintable(text)); });
        QCoreApplication::setApplicationVersion(u"2.0.15"_s);
        for (const QString &scheme : {u"http"_s, u"mailto"_s})
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }

    void cleanup()
    {
        if (Form2::isLoaded())
            Form2::instance()->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void cleanupTestCase()
    {
        for (const QString &scheme : {u"http"_s, u"mailto"_s})
            QDesktopServices::unsetUrlHandler(scheme);
    }

    // Every click closes; only the two links hand something to the desktop.
    void clickCloses_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QString>("request");
        QTest::addColumn<bool>("refused");
        for (const char *name : {"Image1", "Label1", "Label2", "Label3", "Label4", "Label6", "Line10", "Line2"})
            QTest::newRow(name) << QString::fromLatin1(name) << QPoint() << QString() << false;
        QTest::newRow("white space") << u"client"_s << QPoint(5, 110) << QString() << false;
        QTest::newRow("frame") << u"Form2"_s << QPoint(1, 1) << QString() << false;
        QTest::newRow("web link") << u"Label7"_s << QPoint() << u"{text}"_s << false;
        QTest::newRow("e-mail link") << u"Label5"_s << QPoint() << u"mailto:{address}?Subject={title}"_s << false;
        QTest::newRow("e-mail link, no mail program") << u"Label5"_s << QPoint() << QString() << true;
    }

    void clickCloses()
    {
        QFETCH(QString, element);
        QFETCH(QPoint, at);
        QFETCH(QString, request);
        QFETCH(bool, refused);
        if (refused) {
            QDesktopServices::setUrlHandler(u"mailto"_s, this, "noSuchSlot");
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"No such method"_s));
        }
        QCoreApplication::setApplicationVersion(u"2.00.0015"_s); // the subject too in plain numbers
        QPointer<Form2> form = openAbout();
        QStringList expected;
        if (!request.isNull())
            expected << request.replace(u"{text}"_s, text(form, element))
                                .replace(u"{address}"_s, text(form, u"Label5"_s).remove(u"e-mail: "_s))
                                .replace(u"{title}"_s, text(form, u"Label1"_s));
        click(form, element, at);
        QCOMPARE(requests, expected);
        QVERIFY(unloaded(form));
        // Silently: no message of any kind is left on the screen.
        for (const QWidget *w : QApplication::topLevelWidgets())
            QVERIFY(!w->isVisible());
    }

    void layoutAt96Dpi()
    {
        if (QGuiApplication::primaryScreen()->logicalDotsPerInchX() != 96)
            QSKIP("the screen is not at 96 dpi");
        Form2 *form = openAbout();
        QCOMPARE(form->rect(), QRect(0, 0, 325, 227));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QVERIFY((form->geometry().center() - form->screen()->availableGeometry().center()).manhattanLength() <= 2);
        QCOMPARE(widget(form, u"client"_s)->geometry(), QRect(3, 3, 319, 221));
        QCOMPARE(widget(form, u"Image1"_s)->geometry(), QRect(16, 8, 32, 32));
        QCOMPARE(widget(form, u"Line2"_s)->geometry(), QRect(16, 190, 288, 1));
        // Wrapped text must fit its fixed box, or its last lines are cut off.
        const auto *description = form->findChild<QLabel *>(u"Label2"_s);
        QCOMPARE(description->geometry(), QRect(15, 53, 296, 41));
        QVERIFY(description->heightForWidth(description->width()) <= description->height());
    }

    // Last: runs the event loop to its end.
    void aboutFromMainWindow()
    {
        frmMain main(QStringList{u"header"_s});
        main.show();
        QAction *about = main.findChild<QAction *>(u"about"_s);
        about->trigger();
        QPointer<Form2> form = Form2::instance();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QCOMPARE(text(form, u"Label1"_s), u"Vertlin v2.0.15"_s);
        // Neither modal, nor owned by the main window, nor kept above it.
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QVERIFY(!form->parentWidget() && !form->windowHandle()->transientParent());
        QVERIFY(!(form->windowFlags() & Qt::WindowStaysOnTopHint));
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTest::keyClicks(main.textBox(), u"abc"_s);
        QCOMPARE(main.textBox()->toPlainText(), u"abc"_s);

        // Asked for again while open: the same window, its title as loaded.
        QCoreApplication::setApplicationVersion(u"3.01.007"_s);
        about->trigger();
        QCOMPARE(Form2::instance(), form.data());
        QCOMPARE(text(form, u"Label1"_s), u"Vertlin v2.0.15"_s);
        // Closed and asked for again: composed afresh, in plain numbers.
        click(form, u"Label2"_s);
        QVERIFY(unloaded(form));
        about->trigger();
        form = Form2::instance();
        QCOMPARE(text(form, u"Label1"_s), u"Vertlin v3.1.7"_s);

        // Closing the main window ends the program, and the About window goes with it.
        QTimer::singleShot(0, &main, &QWidget::close);
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(2); }); // a hang fails, not the run
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(form.isNull() && !Form2::isLoaded());
    }
};

QTEST_MAIN(tst_Form2)
#include "tst_form2.moc"

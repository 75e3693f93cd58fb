#include "form2.h"
#include "frmmain.h"
#include "module1.h"
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

// Stands in for the desktop: records every address the program asks it to open.
class UrlRecorder : public QObject
{
    Q_OBJECT
public slots:
    void open(const QUrl &url) { urls.append(url); }
public:
    QList<QUrl> urls;
};

// A desktop that refuses: it has no method to take the request.
class Refuser : public QObject
{
    Q_OBJECT
};

class tst_Form2 : public QObject
{
    Q_OBJECT

    const QStringList schemes{u"http"_s, u"https"_s, u"mailto"_s, u"file"_s};
    const QStringList table{u"header"_s, u"zh ж"_s};
    UrlRecorder recorder;
    Refuser refuser;

    static Form2 *openAbout()
    {
        Form2 *form = Form2::instance();
        form->show();
        if (!QTest::qWaitForWindowExposed(form))
            qWarning("the About window was not exposed");
        return form;
    }

    static QLabel *label(Form2 *form, const QString &name) { return form->findChild<QLabel *>(name); }

    // Off the screen at once, destroyed as soon as events are processed.
    static bool unloaded(const QPointer<Form2> &form)
    {
        if (Form2::isLoaded() || (form && form->isVisible()))
            return false;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return form.isNull();
    }

    static qsizetype visibleAboutWindows()
    {
        const QWidgetList all = QApplication::topLevelWidgets();
        return std::count_if(all.begin(), all.end(), [](QWidget *w) {
            return qobject_cast<Form2 *>(w) && w->isVisible();
        });
    }

    static bool at96Dpi() { return QGuiApplication::primaryScreen()->logicalDotsPerInchX() == 96; }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationVersion(u"2.0.15"_s);
        for (const QString &scheme : schemes)
            QDesktopServices::setUrlHandler(scheme, &recorder, "open");
    }

    void cleanupTestCase()
    {
        for (const QString &scheme : schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }

    void init() { recorder.urls.clear(); }

    void cleanup()
    {
        QCoreApplication::setApplicationVersion(u"2.0.15"_s);
        QDesktopServices::setUrlHandler(u"mailto"_s, &recorder, "open");
        if (Form2::isLoaded())
            Form2::instance()->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void titleAndMailSubject_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("title");
        QTest::newRow("2.0.15") << u"2.0.15"_s << u"Vertlin v2.0.15"_s;
        QTest::newRow("leading zeros dropped") << u"2.00.0015"_s << u"Vertlin v2.0.15"_s;
        QTest::newRow("two-digit parts") << u"12.10.300"_s << u"Vertlin v12.10.300"_s;
    }

    void titleAndMailSubject()
    {
        QFETCH(QString, version);
        QFETCH(QString, title);
        QCoreApplication::setApplicationVersion(version);
        QPointer<Form2> form = openAbout();
        QCOMPARE(label(form, u"Label1"_s)->text(), title);

        QTest::mouseClick(label(form, u"Label5"_s), Qt::LeftButton);
        QCOMPARE(recorder.urls.size(), 1);
        const QUrl url = recorder.urls.first();
        QCOMPARE(url.scheme(), u"mailto"_s);
        QCOMPARE(url.query(QUrl::FullyDecoded), u"Subject="_s + title);
        // The message goes to the address the label shows.
        QCOMPARE(u"e-mail: "_s + url.path(), label(form, u"Label5"_s)->text());
        QVERIFY(unloaded(form));
    }

    void webLinkRequestsItsOwnText()
    {
        QPointer<Form2> form = openAbout();
        QLabel *web = label(form, u"Label7"_s);
        QVERIFY(web->text().startsWith(u"http://"_s));
        QTest::mouseClick(web, Qt::LeftButton);
        QCOMPARE(recorder.urls.size(), 1);
        QCOMPARE(recorder.urls.first().toString(), web->text());
        QVERIFY(unloaded(form));
    }

    // Clicked through the window at the element's centre, the way a real
    // click is routed: rules let clicks through, the icon lies over the
    // title's box.
    void otherClicksCloseWithoutRequest_data()
    {
        QTest::addColumn<QString>("element");
        for (const char *name : {"Image1", "Label1", "Label2", "Label3", "Label4", "Label6",
                                 "Line10", "Line9", "Line1", "Line2", "client", "Form2"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void otherClicksCloseWithoutRequest()
    {
        QFETCH(QString, element);
        QPointer<Form2> form = openAbout();
        QWidget *target = element == u"Form2"_s ? form.data() : form->findChild<QWidget *>(element);
        QVERIFY(target);
        QPoint at = target->rect().center();
        if (element == u"client"_s)
            at = QPoint(5, 110); // white space left of the rights text
        else if (element == u"Form2"_s)
            at = QPoint(1, 1); // the frame
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, target->mapTo(form, at));
        QVERIFY(recorder.urls.isEmpty());
        QVERIFY(unloaded(form));
    }

    void pressDraggedOffLinkIsNoClick()
    {
        QPointer<Form2> form = openAbout();
        QLabel *web = label(form, u"Label7"_s);
        QTest::mousePress(web, Qt::LeftButton);
        QTest::mouseRelease(web, Qt::LeftButton, {}, QPoint(-20, -20));
        QVERIFY(recorder.urls.isEmpty());
        QVERIFY(Form2::isLoaded() && form->isVisible());
    }

    void refusingDesktopClosesSilently()
    {
        QVERIFY(Module1::OpenDocument(u"http://www.example.com/"_s) != 0);
        QDesktopServices::setUrlHandler(u"mailto"_s, &refuser, "open");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"No such method"_s));
        QCOMPARE(Module1::OpenDocument(Form2::mailTarget()), 0);

        QPointer<Form2> form = openAbout();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"No such method"_s));
        QTest::mouseClick(label(form, u"Label5"_s), Qt::LeftButton);
        QVERIFY(unloaded(form));
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    void aboutCommandShowsOneWindowLoadedOnce()
    {
        frmMain main(table);
        main.show();
        QAction *about = main.findChild<QAction *>(u"about"_s);
        about->trigger();
        QPointer<Form2> form = Form2::instance();
        QCOMPARE(label(form, u"Label1"_s)->text(), u"Vertlin v2.0.15"_s);

        // Asked for again while open: the same window, its title as loaded.
        QCoreApplication::setApplicationVersion(u"3.1.7"_s);
        about->trigger();
        QCOMPARE(Form2::instance(), form.data());
        QCOMPARE(visibleAboutWindows(), 1);
        QCOMPARE(label(form, u"Label1"_s)->text(), u"Vertlin v2.0.15"_s);

        // Closed and asked for again: loaded afresh.
        QTest::mouseClick(label(form, u"Label2"_s), Qt::LeftButton);
        QVERIFY(unloaded(form));
        about->trigger();
        QCOMPARE(label(Form2::instance(), u"Label1"_s)->text(), u"Vertlin v3.1.7"_s);
        QCOMPARE(visibleAboutWindows(), 1);
    }

    void mainWindowStaysUsable()
    {
        frmMain main(table);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        main.findChild<QAction *>(u"about"_s)->trigger();
        Form2 *form = Form2::instance();
        QVERIFY(QTest::qWaitForWindowExposed(form));

        // Neither modal, nor owned by the main window, nor kept on top.
        QVERIFY(!form->isModal());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(form->parentWidget(), nullptr);
        QCOMPARE(form->windowHandle()->transientParent(), nullptr);
        QVERIFY(!(form->windowFlags() & Qt::WindowStaysOnTopHint));

        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTest::keyClicks(main.textBox(), u"abc"_s);
        QCOMPARE(main.textBox()->toPlainText(), u"abc"_s);
        QVERIFY(form->isVisible());
    }

    void layoutAt96Dpi_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("window") << u"Form2"_s << QRect(0, 0, 325, 227);
        QTest::newRow("client area") << u"client"_s << QRect(3, 3, 319, 221);
        QTest::newRow("icon") << u"Image1"_s << QRect(16, 8, 32, 32);
        QTest::newRow("title") << u"Label1"_s << QRect(16, 24, 297, 17);
        QTest::newRow("description") << u"Label2"_s << QRect(15, 53, 296, 41);
        QTest::newRow("rights") << u"Label3"_s << QRect(16, 98, 296, 31);
        QTest::newRow("upper rule") << u"Line10"_s << QRect(16, 45, 288, 1);
        QTest::newRow("lower rule, light") << u"Line2"_s << QRect(16, 190, 288, 1);
    }

    void layoutAt96Dpi()
    {
        QFETCH(QString, element);
        QFETCH(QRect, geometry);
        if (!at96Dpi())
            QSKIP("the screen is not at 96 dpi");
        Form2 *form = openAbout();
        const QWidget *w = element == u"Form2"_s ? form : form->findChild<QWidget *>(element);
        QCOMPARE(w == form ? form->rect() : w->geometry(), geometry);
        // Wrapped text must fit its fixed box, or its last lines are cut off.
        if (const auto *l = qobject_cast<const QLabel *>(w); l && l->wordWrap())
            QVERIFY2(l->heightForWidth(l->width()) <= l->height(), qPrintable(l->text()));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        const QPoint off = form->geometry().center()
                - QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY(off.manhattanLength() <= 2);
    }

    // One-line labels fit their text and share the window's centre line.
    void fittedLabels_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<int>("top");
        QTest::addColumn<QString>("toolTip");
        QTest::newRow("web") << u"Label7"_s << 130 << u" Посетите сайт программы!!! "_s;
        QTest::newRow("e-mail") << u"Label5"_s << 146 << u" Пишите!!! "_s;
        QTest::newRow("copyright") << u"Label6"_s << 170 << QString();
        QTest::newRow("Freeware") << u"Label4"_s << 197 << QString();
    }

    void fittedLabels()
    {
        QFETCH(QString, element);
        QFETCH(int, top);
        QFETCH(QString, toolTip);
        QLabel *l = label(openAbout(), element);
        QCOMPARE(l->toolTip(), toolTip);
        const bool link = !toolTip.isEmpty();
        QCOMPARE(l->cursor().shape(), link ? Qt::PointingHandCursor : Qt::ArrowCursor);
        QCOMPARE(l->font().underline(), link);
        if (!at96Dpi())
            QSKIP("the screen is not at 96 dpi");
        QCOMPARE(l->y(), top);
        QCOMPARE(l->size(), l->sizeHint());
        QVERIFY(qAbs(l->x() + l->width() / 2 - 164) <= 1);
    }

    // Last: these run the event loop to its end.
    void aboutGoesWithTheProgram_data()
    {
        QTest::addColumn<bool>("closeMainWindow");
        QTest::newRow("main window closed") << true;
        QTest::newRow("event loop ended directly") << false;
    }

    void aboutGoesWithTheProgram()
    {
        QFETCH(bool, closeMainWindow);
        QPointer<Form2> form;
        {
            frmMain main(table);
            main.show();
            main.findChild<QAction *>(u"about"_s)->trigger();
            form = Form2::instance();
            QVERIFY(QTest::qWaitForWindowExposed(form));
            if (closeMainWindow)
                QTimer::singleShot(0, &main, &QWidget::close);
            else
                QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
            // Should the program hang on, this fails the test rather than the run.
            QTimer guard;
            guard.setSingleShot(true);
            connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(2); });
            guard.start(5000);
            QCOMPARE(QApplication::exec(), 0);
        }
        QVERIFY(form.isNull());
        QVERIFY(!Form2::isLoaded());
    }
};

QTEST_MAIN(tst_Form2)
#include "tst_form2.moc"

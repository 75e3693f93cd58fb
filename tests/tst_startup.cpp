#include "startup.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

using namespace Qt::StringLiterals;

// Runs the real program from a directory of its own, with or without a
// table beside it.
class tst_Startup : public QObject
{
    Q_OBJECT

private:
    struct Run
    {
        bool finished;
        int exitCode;
        QString errorOutput;
    };

    static Run runInDirectory(const QTemporaryDir &dir, int waitMs)
    {
        const QString program = dir.filePath(u"vertlin"_s);
        QFile::remove(program);
        if (!QFile::copy(qEnvironmentVariable("VERTLIN_BINARY"), program))
            qFatal("cannot copy the program");
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        env.insert(u"VERTLIN_NO_DIALOGS"_s, u"1"_s);
        process.setProcessEnvironment(env);
        process.start(program, {});
        const bool finished = process.waitForFinished(waitMs);
        if (!finished) {
            process.kill();
            process.waitForFinished();
        }
        return {finished, process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("VERTLIN_BINARY"))
            QSKIP("run through ctest, which names the program in VERTLIN_BINARY");
    }

    void failsWithoutUsableTable_data()
    {
        QTest::addColumn<bool>("createTable");
        QTest::addColumn<QString>("errorText");

        QTest::newRow("no vl1.ini") << false << u"Ошибка 53: Файл не найден"_s;
        QTest::newRow("0-byte vl1.ini") << true << u"Ошибка 62: Ввод за концом файла"_s;
    }

    void failsWithoutUsableTable()
    {
        QFETCH(bool, createTable);
        QFETCH(QString, errorText);

        QTemporaryDir dir;
        if (createTable) {
            QFile table(dir.filePath(u"vl1.ini"_s));
            QVERIFY(table.open(QIODevice::WriteOnly));
        }
        const Run run = runInDirectory(dir, 30000);
        QVERIFY2(run.finished, "the program kept running without a table");
        QVERIFY(run.exitCode != 0);
        QVERIFY2(run.errorOutput.contains(errorText), qPrintable(run.errorOutput));
        QVERIFY2(run.errorOutput.contains(dir.filePath(u"vl1.ini"_s)), qPrintable(run.errorOutput));
    }

    void qtSpeaksRussian()
    {
        QTranslator translator;
        QVERIFY(modGP::installQtTranslations(translator));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), u"Отмена"_s);
        QCoreApplication::removeTranslator(&translator);
    }

    void runsWithHeaderOnlyTable()
    {
        QTemporaryDir dir;
        QFile table(dir.filePath(u"vl1.ini"_s));
        QVERIFY(table.open(QIODevice::WriteOnly));
        table.write("header\r\n");
        table.close();
        // A good start shows the window and waits for the user.
        const Run run = runInDirectory(dir, 3000);
        QVERIFY2(!run.finished, qPrintable(run.errorOutput));
    }
};

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"

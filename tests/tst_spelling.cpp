// SPDX-License-Identifier: MIT
#include "dictionary.h"
#include "spelling.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// A dictionary of a few words, any case.
class Words : public Spelling::Lexicon
{
public:
    explicit Words(const QStringList &words) : m_words(words.cbegin(), words.cend()) {}
    bool knows(const QString &word) const override { return m_words.contains(word.toLower()); }
    QStringList suggestions(const QString &) const override { return {u"suggested"_s}; }

private:
    QSet<QString> m_words;
};

} // namespace

class tst_Spelling : public QObject
{
    Q_OBJECT

private slots:
    // One row per kind of spelling the table reads one way for several.
    void readings_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("known");
        QTest::addColumn<QString>("offered");
        QTest::newRow("е/э") << u"Ето"_s << u"это"_s << u"Это suggested"_s;
        QTest::newRow("ц/тс/тц") << u"оцы"_s << u"отцы"_s << u"отцы suggested"_s;
        QTest::newRow("щ/сч/шч") << u"засчита"_s << u"защита"_s << u"защита suggested"_s;
        QTest::newRow("ь/ъ") << u"обьявления"_s << u"объявления"_s << u"объявления suggested"_s;
        QTest::newRow("sign left out") << u"ден"_s << u"день"_s << u"день suggested"_s;
        QTest::newRow("й/ы") << u"КОТОРЫЫ"_s << u"который"_s << u"КОТОРЫЙ suggested"_s;
        QTest::newRow("я/йа/ья") << u"Гаяна"_s << u"гайана"_s << u"Гайана suggested"_s;
        QTest::newRow("ые/е") << u"ыесть"_s << u"есть"_s << u"есть suggested"_s;
        QTest::newRow("ш/сх") << u"шема"_s << u"схема"_s << u"схема suggested"_s;
        QTest::newRow("ш/щ") << u"вообше"_s << u"вообще"_s << u"вообще suggested"_s;
        QTest::newRow("ех for э") << u"ехкран"_s << u"экран"_s << u"экран suggested"_s;
        QTest::newRow("иа for ия") << u"Ксениа"_s << u"ксения"_s << u"Ксения suggested"_s;
        QTest::newRow("ий/ый at the end") << u"новий"_s << u"новый"_s << u"новый suggested"_s;
        QTest::newRow("two, fewest changes first")
                << u"ец"_s << u"этс етс"_s << u"етс этс suggested"_s;
    }

    void readings()
    {
        QFETCH(QString, word);
        QFETCH(QString, known);
        QFETCH(QString, offered);
        QCOMPARE(Spelling::offers(word, Words(known.split(u' '))).join(u' '), offered);
    }

    // "Исправить все": only unknown Cyrillic words of two letters or more,
    // and only where one reading is known.
    void fixes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fixed");
        QTest::newRow("one reading each") << u"ето, оцы\nЕТО"_s << u"это, отцы\nЭТО"_s;
        QTest::newRow("two readings known: stays") << u"обяснит"_s << u"обяснит"_s;
        QTest::newRow("known word: stays") << u"ест"_s << u"ест"_s;
        QTest::newRow("not checked") << u"eto ето2 е ето-то Zhук"_s << u"eto ето2 е это-то Zhук"_s;
    }

    void fixes()
    {
        QFETCH(QString, text);
        QFETCH(QString, fixed);
        const Words words({u"это"_s, u"отцы"_s, u"объяснит"_s, u"объяснить"_s, u"ест"_s,
                           u"есть"_s, u"то"_s});
        QCOMPARE(Spelling::applied(text, Spelling::fixes(text, words)), fixed);
    }

    // Only a regular file of sane size that Hunspell reads words from is
    // taken: a pipe beside the program would stop it at start.
    void dictionaryFiles_data()
    {
        QTest::addColumn<qint64>("size"); // of ru_RU.dic; -1 the real one's, -2 a named pipe
        QTest::addColumn<bool>("usable");
        QTest::newRow("the real one") << qint64(-1) << true;
        QTest::newRow("empty") << qint64(0) << false;
        QTest::newRow("the real one, padded past 64 MB") << qint64(64 << 20) + 1 << false;
        if (QSysInfo::kernelType() != u"winnt"_s)
            QTest::newRow("named pipe") << qint64(-2) << false;
    }

    void dictionaryFiles()
    {
        QFETCH(qint64, size);
        QString real;
        for (const QString &folder : Dictionary::folders(qEnvironmentVariable("VERTLIN_DICTIONARY_DIR")))
            real = real.isEmpty() && Dictionary::findIn({folder}) ? folder + u'/' : real;
        if (real.isEmpty())
            QSKIP("no ru_RU dictionary, or built without Hunspell");
        QTemporaryDir dir;
        QFile dic(dir.filePath(u"ru_RU.dic"_s));
        QVERIFY(QFile::copy(real + u"ru_RU.aff"_s, dir.filePath(u"ru_RU.aff"_s)));
#ifdef Q_OS_UNIX
        QVERIFY(size != -2 || mkfifo(QFile::encodeName(dic.fileName()).constData(), 0600) == 0);
#endif
        QVERIFY(size == -2 || (QFile::copy(real + u"ru_RU.dic"_s, dic.fileName()) && dic.open(QIODevice::ReadWrite)
                               && dic.resize(size == -1 ? dic.size() : size)));
        QTEST(bool(Dictionary::findIn({dir.path()})), "usable");
    }
};

QTEST_GUILESS_MAIN(tst_Spelling)
#include "tst_spelling.moc"

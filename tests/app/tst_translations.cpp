#include "app/Translations.h"
#include "core/ClockText.h"

#include <QKeySequence>
#include <QTest>

// The program's translations, embedded and loaded for a locale, and Qt's own with them.
class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void texts_data();
    void texts();
};

void TestTranslations::texts_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("preferences");
    QTest::addColumn<QString>("countdown");
    QTest::addColumn<QString>("singular");
    QTest::addColumn<QString>("quit");
    QTest::newRow("German") << "de_DE"
                            << "de"
                            << "Einstellungen …"
                            << "Countdown, noch 24 Minuten 59 Sekunden"
                            << "Countdown, noch 1 Stunde 1 Sekunde"
                            << "Strg+Q";
    QTest::newRow("Austrian German") << "de_AT"
                                     << "de"
                                     << "Einstellungen …"
                                     << "Countdown, noch 24 Minuten 59 Sekunden"
                                     << "Countdown, noch 1 Stunde 1 Sekunde"
                                     << "Strg+Q";
    QTest::newRow("French") << "fr_FR"
                            << "fr"
                            << "Préférences…"
                            << "Compte à rebours, il reste 24 minutes 59 secondes"
                            << "Compte à rebours, il reste 1 heure 1 seconde"
                            << "Ctrl+Q";
    QTest::newRow("C") << "C"
                       << "en"
                       << "Preferences…"
                       << "Countdown, 24 minutes 59 seconds left"
                       << "Countdown, 1 hour 1 second left"
                       << "Ctrl+Q";
    QTest::newRow("no translation: English") << "ja_JP"
                                             << "en"
                                             << "Preferences…"
                                             << "Countdown, 24 minutes 59 seconds left"
                                             << "Countdown, 1 hour 1 second left"
                                             << "Ctrl+Q";
}

void TestTranslations::texts()
{
    QFETCH(QString, locale);
    QFETCH(QString, language);
    QFETCH(QString, preferences);
    QFETCH(QString, countdown);
    QFETCH(QString, singular);
    QFETCH(QString, quit);
    const Translations translations{QLocale(locale)};
    QCOMPARE(translations.language(), language);
    QCOMPARE(QCoreApplication::translate("Application", "Preferences…"), preferences);
    QCOMPARE(ClockText::spokenCountdown(1498.2), countdown);
    QCOMPARE(ClockText::spokenCountdown(3601), singular);
    // Key names are Qt's own texts.
    QCOMPARE(QKeySequence(Qt::CTRL | Qt::Key_Q).toString(QKeySequence::NativeText), quit);
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"

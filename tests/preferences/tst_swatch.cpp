#include "core/SettingsStore.h"
#include "preferences/Swatch.h"

#include <QTemporaryDir>
#include <QTest>

class TestSwatch : public QObject
{
    Q_OBJECT

private slots:
    void designedOrder();
    void matches_data();
    void matches();
    void tapWritesThemeAndOwnAccent();
    void tapOnSelectedSwatchRewritesSameValues();
    void tooltips();
    void colouredFillsAreTheColorSurfaces();

private:
    static const Swatch &byId(const QString &id)
    {
        for (const Swatch &swatch : Swatch::all()) {
            if (swatch.id == id)
                return swatch;
        }
        qFatal("no swatch %s", qPrintable(id));
    }
};

void TestSwatch::designedOrder()
{
    QStringList ids;
    for (const Swatch &swatch : Swatch::all())
        ids << swatch.id;
    QCOMPARE(ids, QStringList({"black", "white", "blue", "red", "glass"}));
    QCOMPARE(&Swatch::all(), &Swatch::all());

    QCOMPARE(byId("black").theme, Theme::Dark);
    QVERIFY(!byId("black").accent);
    QCOMPARE(byId("black").fill.color, QColor(Qt::black));
    QCOMPARE(byId("white").theme, Theme::Light);
    QCOMPARE(byId("white").fill.kind, Swatch::FillKind::Light);
    QCOMPARE(byId("blue").accent, std::optional(Accent::Blue));
    QCOMPARE(byId("red").accent, std::optional(Accent::Red));
    QCOMPARE(byId("glass").theme, Theme::Glass);
    QCOMPARE(byId("glass").fill.kind, Swatch::FillKind::Glass);
    QVERIFY(!byId("glass").accent);
}

void TestSwatch::matches_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QString>("accent");
    QTest::addColumn<QString>("ringed"); // the id of the one swatch that matches, or empty

    QTest::newRow("defaults") << "dark"
                              << "red"
                              << "black";
    QTest::newRow("dark ignores a blue accent") << "dark"
                                                << "blue"
                                                << "black";
    QTest::newRow("dark ignores a junk accent") << "dark"
                                                << "green"
                                                << "black";
    QTest::newRow("light") << "light"
                           << "red"
                           << "white";
    QTest::newRow("glass with blue") << "glass"
                                     << "blue"
                                     << "glass";
    QTest::newRow("color blue") << "color"
                                << "blue"
                                << "blue";
    QTest::newRow("color red") << "color"
                               << "red"
                               << "red";
    QTest::newRow("color, empty accent") << "color"
                                         << ""
                                         << "";
    QTest::newRow("color, Blue") << "color"
                                 << "Blue"
                                 << "";
    QTest::newRow("system") << "system"
                            << "red"
                            << "";
    QTest::newRow("unknown theme") << "purple"
                                   << "red"
                                   << "";
    QTest::newRow("theme in upper case") << "Dark"
                                         << "red"
                                         << "";
    QTest::newRow("empty theme") << ""
                                 << ""
                                 << "";
}

void TestSwatch::matches()
{
    QFETCH(QString, theme);
    QFETCH(QString, accent);
    QFETCH(QString, ringed);

    for (const Swatch &swatch : Swatch::all())
        QVERIFY2(swatch.matches(theme, accent) == (swatch.id == ringed), qPrintable(swatch.id));
}

void TestSwatch::tapWritesThemeAndOwnAccent()
{
    QTemporaryDir dir;
    SettingsStore store(dir.path());

    byId("blue").apply(store);
    QCOMPARE(store.value(Keys::theme), QStringLiteral("color"));
    QCOMPARE(store.value(Keys::accent), QStringLiteral("blue"));

    byId("glass").apply(store);
    QCOMPARE(store.value(Keys::theme), QStringLiteral("glass"));
    QCOMPARE(store.value(Keys::accent), QStringLiteral("blue"));
    QVERIFY(byId("glass").matches(store.value(Keys::theme), store.value(Keys::accent)));

    byId("red").apply(store);
    QCOMPARE(store.value(Keys::theme), QStringLiteral("color"));
    QCOMPARE(store.value(Keys::accent), QStringLiteral("red"));

    // What was written survives a restart of the store.
    SettingsStore reopened(dir.path());
    QCOMPARE(reopened.value(Keys::theme), QStringLiteral("color"));
    QCOMPARE(reopened.value(Keys::accent), QStringLiteral("red"));
}

void TestSwatch::tapOnSelectedSwatchRewritesSameValues()
{
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    byId("white").apply(store);
    QStringList written;
    connect(&store, &SettingsStore::written, this, [&](const QString &key) { written << key; });

    byId("white").apply(store);
    QCOMPARE(written, QStringList{"theme"});
    QCOMPARE(store.value(Keys::theme), QStringLiteral("light"));
    QVERIFY(!store.rawValue(QStringLiteral("accent")).isValid());
}

void TestSwatch::tooltips()
{
    QStringList tips;
    for (const Swatch &swatch : Swatch::all())
        tips << swatch.name();
    QCOMPARE(tips, QStringList({"Black", "White", "Blue", "Red", "Glass"}));
    QCOMPARE(Swatch::all().first().id, QStringLiteral("black"));
}

void TestSwatch::colouredFillsAreTheColorSurfaces()
{
    QCOMPARE(byId("blue").fill.color, QColor::fromRgbF(0.15f, 0.39f, 0.92f));
    QCOMPARE(byId("red").fill.color, QColor::fromRgbF(0.98f, 0.23f, 0.09f));
    QCOMPARE(byId("blue").fill.color, palette(Theme::Color, Accent::Blue, false).surface);
}

QTEST_GUILESS_MAIN(TestSwatch)
#include "tst_swatch.moc"

#include "core/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void defaultsWhenEmpty();
    void typesSurviveRestart();
    void wrongTypeReadsAsDefault_data();
    void wrongTypeReadsAsDefault();
    void nothingWrittenUntilChange();
    void everyWriteIsAnnounced();
    void writeIsOnDiskAtOnce();
    void unreadableFile_data();
    void unreadableFile();
    void unwritableStoreKeepsWorkingInMemory();
    void defaultDirectoryFollowsXdg();

private:
    static QString settingsPath(const QTemporaryDir &dir) { return dir.filePath(QStringLiteral("settings.json")); }
    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

void TestSettingsStore::defaultsWhenEmpty()
{
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    QCOMPARE(store.value(Keys::h24), false);
    QCOMPARE(store.value(Keys::showSeconds), true);
    QCOMPARE(store.value(Keys::showDate), true);
    QCOMPARE(store.value(Keys::cardWidth), 220.0);
    QCOMPARE(store.value(Keys::theme), QStringLiteral("dark"));
    QCOMPARE(store.value(Keys::accent), QStringLiteral("red"));
    QCOMPARE(store.value(Keys::sound), true);
    QVERIFY(!store.rawValue(QLatin1String(Keys::startOpen.name)).isValid());
    QVERIFY(!store.dataValue(QLatin1String(Keys::notes)).has_value());
}

void TestSettingsStore::typesSurviveRestart()
{
    QTemporaryDir dir;
    const QByteArray binary("\x00\x01\xff[]\"", 6);
    {
        SettingsStore store(dir.path());
        store.setBool(QStringLiteral("b"), false);
        store.setString(QStringLiteral("s"), QStringLiteral("false"));
        store.setDouble(QStringLiteral("d"), 271.25);
        store.setData(QStringLiteral("x"), binary);
        store.setString(QStringLiteral("looksBinary"), QStringLiteral("AAE="));
    }
    SettingsStore store(dir.path());
    QCOMPARE(store.rawValue(QStringLiteral("b")), QVariant(false));
    QCOMPARE(store.rawValue(QStringLiteral("s")), QVariant(QStringLiteral("false")));
    QCOMPARE(store.rawValue(QStringLiteral("d")), QVariant(271.25));
    QCOMPARE(store.rawValue(QStringLiteral("x")), QVariant(binary));
    QCOMPARE(store.dataValue(QStringLiteral("x")), std::optional<QByteArray>(binary));
    QCOMPARE(store.rawValue(QStringLiteral("looksBinary")).typeId(), QMetaType::QString);
    QVERIFY(!store.dataValue(QStringLiteral("looksBinary")).has_value());
}

void TestSettingsStore::wrongTypeReadsAsDefault_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("string false for booleans") << QByteArray(R"({"h24":"true","showSeconds":"false","cardWidth":"300",)"
                                                             R"("theme":1,"accent":true,"sound":0})");
    QTest::newRow("nulls and arrays") << QByteArray(R"({"h24":null,"showSeconds":[],"cardWidth":{},)"
                                                    R"("theme":null,"accent":[1],"sound":null})");
}

void TestSettingsStore::wrongTypeReadsAsDefault()
{
    QFETCH(QByteArray, json);
    QTemporaryDir dir;
    writeFile(settingsPath(dir), json);
    SettingsStore store(dir.path());
    QCOMPARE(store.value(Keys::h24), false);
    QCOMPARE(store.value(Keys::showSeconds), true);
    QCOMPARE(store.value(Keys::cardWidth), 220.0);
    QCOMPARE(store.value(Keys::theme), QStringLiteral("dark"));
    QCOMPARE(store.value(Keys::accent), QStringLiteral("red"));
    QCOMPARE(store.value(Keys::sound), true);
}

void TestSettingsStore::nothingWrittenUntilChange()
{
    QTemporaryDir dir;
    const QString sub = dir.filePath(QStringLiteral("orvanta"));
    {
        SettingsStore store(sub);
        QCOMPARE(store.value(Keys::theme), QStringLiteral("dark"));
    }
    QVERIFY(!QFileInfo::exists(sub));
}

void TestSettingsStore::everyWriteIsAnnounced()
{
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    QSignalSpy spy(&store, &SettingsStore::changed);
    store.setValue(Keys::h24, true);
    store.setValue(Keys::h24, true);
    store.setValue(Keys::theme, QStringLiteral("glass"));
    QCOMPARE(spy.count(), 3);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("h24"));
    QCOMPARE(spy.at(2).at(0).toString(), QStringLiteral("theme"));
}

void TestSettingsStore::writeIsOnDiskAtOnce()
{
    QTemporaryDir dir;
    SettingsStore writer(dir.path());
    writer.setValue(Keys::cardWidth, 300.5);
    // A second store reads the file, not the first store's memory.
    SettingsStore reader(dir.path());
    QCOMPARE(reader.value(Keys::cardWidth), 300.5);
    // No temporary files are left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("settings.json")});
}

void TestSettingsStore::unreadableFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("not json") << "text";
    QTest::newRow("truncated") << "truncated";
    QTest::newRow("binary junk") << "junk";
    QTest::newRow("json array") << "array";
    QTest::newRow("directory in its place") << "directory";
    QTest::newRow("no read permission") << "unreadable";
}

void TestSettingsStore::unreadableFile()
{
    QFETCH(QString, kind);
    if (kind == QLatin1String("unreadable") && ::geteuid() == 0)
        QSKIP("root reads files whatever their permissions");
    QTemporaryDir dir;
    const QString path = settingsPath(dir);
    QByteArray original;
    if (kind == QLatin1String("directory")) {
        QVERIFY(QDir().mkpath(path + QStringLiteral("/inside")));
    } else {
        original = kind == QLatin1String("text") ? QByteArray("h24 = true\n")
            : kind == QLatin1String("truncated") ? QByteArray(R"({"h24": true, "theme": "gl)")
            : kind == QLatin1String("array")     ? QByteArray("[true]")
            : kind == QLatin1String("junk")      ? QByteArray("\x7f\x45\x4c\x46\x00\x00\xff", 7)
                                                 : QByteArray(R"({"h24": true})");
        writeFile(path, original);
        if (kind == QLatin1String("unreadable"))
            QFile::setPermissions(path, QFileDevice::WriteOwner);
    }

    SettingsStore store(dir.path());
    QCOMPARE(store.value(Keys::h24), false);
    QCOMPARE(store.value(Keys::theme), QStringLiteral("dark"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 1);

    store.setValue(Keys::showDate, false);
    const QStringList aside
        = QDir(dir.path())
              .entryList({QStringLiteral("settings.json-*.unreadable")}, QDir::AllEntries | QDir::NoDotAndDotDot);
    QCOMPARE(aside.size(), 1);
    if (kind == QLatin1String("directory")) {
        QVERIFY(QFileInfo(dir.filePath(aside.first() + QStringLiteral("/inside"))).isDir());
    } else {
        QFile moved(dir.filePath(aside.first()));
        moved.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QVERIFY(moved.open(QIODevice::ReadOnly));
        QCOMPARE(moved.readAll(), original);
    }
    SettingsStore reread(dir.path());
    QCOMPARE(reread.value(Keys::showDate), false);
}

void TestSettingsStore::unwritableStoreKeepsWorkingInMemory()
{
    QTemporaryDir dir;
    // A file where the folder should be: nothing can ever be written there.
    const QString blocked = dir.filePath(QStringLiteral("blocked"));
    writeFile(blocked, "x");
    SettingsStore store(blocked + QStringLiteral("/orvanta"));
    QSignalSpy spy(&store, &SettingsStore::changed);
    store.setValue(Keys::theme, QStringLiteral("glass"));
    QCOMPARE(store.value(Keys::theme), QStringLiteral("glass"));
    QCOMPARE(spy.count(), 1);
}

void TestSettingsStore::defaultDirectoryFollowsXdg()
{
    QTemporaryDir dir;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    QCOMPARE(SettingsStore::defaultDirectory(), dir.path() + QStringLiteral("/orvanta"));
    qputenv("XDG_CONFIG_HOME", saved);
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"

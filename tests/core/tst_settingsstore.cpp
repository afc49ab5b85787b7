#include "core/SafeFile.h"
#include "core/SaveThrottle.h"
#include "core/SettingsStore.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FileSizeLimit.h"
#include "fakes/TinyFileSystem.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
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
    void watchersHearTheirKeyOnly_data();
    void watchersHearTheirKeyOnly();
    void watchEndsWithReceiver();
    void writeIsOnDiskAtOnce();
    void unreadableFile_data();
    void unreadableFile();
    void unwritableStoreKeepsWorkingInMemory();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void privateFoldersAndFiles();
    void staleTemporaryFiles_data();
    void staleTemporaryFiles();
    void defaultDirectoryFollowsXdg_data();
    void defaultDirectoryFollowsXdg();
    void linkToAFileIsWrittenThrough();
    void laterSaves_data();
    void laterSaves();
    void dragWritesAFewTimes();
    void handEditsWhileRunning_data();
    void handEditsWhileRunning();

private:
    static QString settingsPath(const QTemporaryDir &dir) { return dir.filePath(QStringLiteral("settings.json")); }
    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static int mode(const QString &path)
    {
        struct stat info
        {
        };
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
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
        QVERIFY(store.setAside().isEmpty());
    }
    QVERIFY(!QFileInfo::exists(sub));
}

void TestSettingsStore::everyWriteIsAnnounced()
{
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    QSignalSpy spy(&store, &SettingsStore::written);
    store.setValue(Keys::h24, true);
    store.setValue(Keys::h24, true);
    store.setValue(Keys::theme, QStringLiteral("glass"));
    QCOMPARE(spy.count(), 3);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("h24"));
    QCOMPARE(spy.at(2).at(0).toString(), QStringLiteral("theme"));
}

void TestSettingsStore::watchersHearTheirKeyOnly_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QStringList>("heard");

    QTest::newRow("Boolean") << "h24" << QVariant(true) << QStringList{"h24 true"};
    QTest::newRow("the default written") << "h24" << QVariant(false) << QStringList{"h24 false"};
    QTest::newRow("wrong type heard as default")
        << "h24" << QVariant(QStringLiteral("yes")) << QStringList{"h24 false"};
    QTest::newRow("number") << "cardWidth" << QVariant(300.5) << QStringList{"cardWidth 300.5"};
    QTest::newRow("string, member slot") << "theme" << QVariant(QStringLiteral("glass")) << QStringList{"theme glass"};
    QTest::newRow("slot without value") << "showDate" << QVariant(false) << QStringList{"showDate"};
    QTest::newRow("unwatched key") << "sound" << QVariant(false) << QStringList{};
    QTest::newRow("longer name") << "h24x" << QVariant(true) << QStringList{};
    QTest::newRow("other case") << "H24" << QVariant(true) << QStringList{};
    QTest::newRow("binary data") << "notes" << QVariant(QByteArray("[]")) << QStringList{};
}

void TestSettingsStore::watchersHearTheirKeyOnly()
{
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    QFETCH(QStringList, heard);
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    QObject receiver;
    QStringList log;
    store.watch(Keys::h24, &receiver, [&](bool on) { log << QStringLiteral("h24 ") + QVariant(on).toString(); });
    store.watch(Keys::cardWidth, &receiver, [&](double width) { log << QStringLiteral("cardWidth %1").arg(width); });
    store.watch(Keys::theme, &receiver, qOverload<const QString &>(&QObject::setObjectName));
    connect(&receiver, &QObject::objectNameChanged, this, [&](const QString &name) { log << "theme " + name; });
    store.watch(Keys::showDate, &receiver, [&] { log << QStringLiteral("showDate"); });

    switch (value.typeId()) {
    case QMetaType::Bool: store.setBool(key, value.toBool()); break;
    case QMetaType::Double: store.setDouble(key, value.toDouble()); break;
    case QMetaType::QString: store.setString(key, value.toString()); break;
    default: store.setData(key, value.toByteArray());
    }
    QCOMPARE(log, heard);
}

void TestSettingsStore::watchEndsWithReceiver()
{
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    QPointer<QObject> receiver = new QObject;
    int heard = 0;
    store.watch(Keys::h24, receiver.data(), [&] { ++heard; });
    store.watch(Keys::h24, receiver.data(), &QObject::deleteLater);
    store.setValue(Keys::h24, true);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(receiver.isNull());
    store.setValue(Keys::h24, false);
    QCOMPARE(heard, 1);
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
    QTest::newRow("named pipe in its place") << "pipe";
    QTest::newRow("larger than the store reads") << "huge";
    QTest::newRow("no read permission") << "unreadable";
    // What lies behind a link is never touched; the link itself is set aside.
    QTest::newRow("link to a named pipe") << "link to pipe";
    QTest::newRow("link to a device node") << "link to device";
    QTest::newRow("link that leads nowhere") << "dangling link";
}

void TestSettingsStore::unreadableFile()
{
    QFETCH(QString, kind);
    if (kind == QLatin1String("unreadable") && ::geteuid() == 0)
        QSKIP("root reads files whatever their permissions");
    if (kind == QLatin1String("link to device") && ::geteuid() != 0)
        QSKIP("making a device node needs root");
    QTemporaryDir dir;
    const QString path = settingsPath(dir);
    QByteArray original;
    QTemporaryDir elsewhere;
    const QByteArray linked = QFile::encodeName(elsewhere.filePath(QStringLiteral("linked")));
    if (kind.contains(QLatin1String("link"))) {
        QVERIFY(QFile::link(QFile::decodeName(linked), path));
        if (kind == QLatin1String("link to pipe"))
            QCOMPARE(::mkfifo(linked.constData(), 0600), 0);
        else if (kind == QLatin1String("link to device"))
            // The numbers of /dev/null, in a folder of the test's own.
            QCOMPARE(::mknod(linked.constData(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
    } else if (kind == QLatin1String("directory")) {
        QVERIFY(QDir().mkpath(path + QStringLiteral("/inside")));
    } else if (kind == QLatin1String("pipe")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == QLatin1String("huge")) {
        // Valid JSON, a byte too long: padded with spaces after the object.
        original = QByteArray(R"({"h24": true})");
        original.append(QByteArray(SettingsStore::kMaxFileBytes + 1 - original.size(), ' '));
        writeFile(path, original);
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
    QSignalSpy told(&store, &SettingsStore::setAsideChanged);
    QCOMPARE(store.value(Keys::h24), false);
    QCOMPARE(store.value(Keys::theme), QStringLiteral("dark"));
    // Set aside at start, and named for the user.
    const QStringList aside = QDir(dir.path())
                                  .entryList({QStringLiteral("settings.json-*.unreadable")},
                                             QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    QCOMPARE(aside.size(), 1);
    QCOMPARE(store.setAside(), aside.first());
    QVERIFY(!QFileInfo::exists(path) && !QFileInfo(path).isSymLink());
    QVERIFY(store.saveProblem().isEmpty());

    store.setValue(Keys::showDate, false);
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("settings.json-*")}, QDir::AllEntries | QDir::System), aside);
    QCOMPARE(store.setAside(), aside.first());
    store.dismissSetAside();
    QVERIFY(store.setAside().isEmpty());
    QCOMPARE(told.size(), 1);
    if (kind == QLatin1String("directory")) {
        QVERIFY(QFileInfo(dir.filePath(aside.first() + QStringLiteral("/inside"))).isDir());
    } else if (kind == QLatin1String("pipe")) {
        QVERIFY(!QFileInfo(dir.filePath(aside.first())).isFile()); // the pipe itself
    } else if (kind.contains(QLatin1String("link"))) {
        QCOMPARE(QFileInfo(dir.filePath(aside.first())).symLinkTarget(), QFile::decodeName(linked));
        struct stat info;
        const bool exists = ::lstat(linked.constData(), &info) == 0;
        QCOMPARE(exists, kind != QLatin1String("dangling link"));
        QVERIFY(!exists || (kind == QLatin1String("link to pipe") ? S_ISFIFO(info.st_mode) : S_ISCHR(info.st_mode)));
        QVERIFY(QFileInfo(path).isFile() && !QFileInfo(path).isSymLink());
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
    // Told at start, where nothing can be read either; the reason goes to standard error once,
    // not at every write that fails the same way.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("blocked/orvanta: Not a directory$")));
    SettingsStore store(blocked + QStringLiteral("/orvanta"));
    QVERIFY(store.saveProblem().contains(QStringLiteral("blocked/orvanta")));
    QSignalSpy spy(&store, &SettingsStore::written);
    QSignalSpy problems(&store, &SettingsStore::saveProblemChanged);
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    store.setValue(Keys::theme, QStringLiteral("glass"));
    QCOMPARE(store.value(Keys::theme), QStringLiteral("glass"));
    QCOMPARE(spy.count(), 1);
    store.setValue(Keys::h24, true);
    QCOMPARE(store.value(Keys::h24), true);
    QCOMPARE(problems.count(), 0);
    QVERIFY(store.saveProblem().contains(QStringLiteral("blocked/orvanta")));
    QVERIFY(!store.writeBackup(QStringLiteral("notes"), QStringLiteral(".unreadable"), "x"));
}

void TestSettingsStore::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<bool>("fullDisk");
    QTest::addColumn<int>("size");
    // Below QFile's buffer the failure shows only when the buffer is flushed; above it, at the write.
    QTest::newRow("full disk, small change") << true << 100;
    QTest::newRow("full disk, large change") << true << 100'000;
    QTest::newRow("file size limit, small change") << false << 100;
    QTest::newRow("file size limit, large change") << false << 100'000;
}

void TestSettingsStore::failedWriteKeepsOldFile()
{
    QFETCH(bool, fullDisk);
    QFETCH(int, size);
    QTemporaryDir dir;
    std::optional<TinyFileSystem> disk;
    if (fullDisk) {
        disk.emplace(dir.path(), 256);
        if (!disk->isMounted())
            QSKIP(qPrintable(QStringLiteral("no full disk to test on: ") + disk->whyNotMounted()));
    }
    const QString folder = dir.filePath(QStringLiteral("orvanta"));
    SettingsStore store(folder);
    store.setValue(Keys::theme, QStringLiteral("glass"));
    store.setData(QStringLiteral("notes"), "old notes");
    const QString path = store.filePath();
    const QByteArray old = readFile(path);
    QVERIFY(old.contains("glass"));
    QVERIFY(store.saveProblem().isEmpty());

    std::optional<FileSizeLimit> limit;
    if (fullDisk)
        QVERIFY(disk->fill());
    else
        QVERIFY(limit.emplace(old.size() / 2).isSet());
    QSignalSpy problems(&store, &SettingsStore::saveProblemChanged);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Cannot write .*settings.json: ")));
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    store.setData(QStringLiteral("notes"), QByteArray(size, 'n'));
    store.setValue(Keys::theme, QStringLiteral("dark"));
    limit.reset();

    QCOMPARE(readFile(path), old);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("settings.json")});
    QCOMPARE(problems.count(), 1);
    QVERIFY(store.saveProblem().contains(path));
    QCOMPARE(store.value(Keys::theme), QStringLiteral("dark"));

    // With room again the next write saves everything and the problem is over.
    if (fullDisk)
        QVERIFY(disk->makeRoom());
    store.setValue(Keys::h24, true);
    QCOMPARE(problems.count(), 2);
    QVERIFY(store.saveProblem().isEmpty());
    SettingsStore reread(folder);
    QCOMPARE(reread.dataValue(QStringLiteral("notes")), std::optional<QByteArray>(QByteArray(size, 'n')));
    QCOMPARE(reread.value(Keys::theme), QStringLiteral("dark"));
}

void TestSettingsStore::privateFoldersAndFiles()
{
    QTemporaryDir dir;
    const mode_t umask = ::umask(022);
    const int parentMode = mode(dir.path());
    SettingsStore store(dir.filePath(QStringLiteral("config/orvanta")));
    store.setValue(Keys::h24, true);
    QVERIFY(store.writeBackup(QStringLiteral("notes"), QStringLiteral(".unreadable"), "[1]"));
    ::umask(umask);

    QCOMPARE(mode(dir.path()), parentMode); // a folder that was there is left as it is
    QCOMPARE(mode(dir.filePath(QStringLiteral("config"))), 0700);
    QCOMPARE(mode(store.directory()), 0700);
    QCOMPARE(mode(store.filePath()), 0600);
    const QStringList backups = QDir(store.directory()).entryList({QStringLiteral("notes-*.unreadable")});
    QCOMPARE(backups.size(), 1);
    QCOMPARE(mode(store.directory() + QLatin1Char('/') + backups.first()), 0600);

    // A file an earlier version left readable by all is private from the next write on.
    QVERIFY(::chmod(QFile::encodeName(store.filePath()).constData(), 0644) == 0);
    store.setValue(Keys::h24, false);
    QCOMPARE(mode(store.filePath()), 0600);
}

void TestSettingsStore::staleTemporaryFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("removed");

    // Only what the program's own writer names: an empty name stands for one of its names.
    QTest::newRow("left between write and rename") << ""
                                                   << "file" << true;
    QTest::newRow("named as Qt's writer names it") << "settings.json.aBcDeF"
                                                   << "file" << false;
    QTest::newRow("the user's backup") << "settings.json.Backup"
                                       << "file" << false;
    QTest::newRow("the user's old one") << "settings.json.OldOne"
                                        << "file" << false;
    QTest::newRow("the user's copy") << "settings.json.backup"
                                     << "file" << false;
    QTest::newRow("capitals only") << "settings.json.BACKUP"
                                   << "file" << false;
    QTest::newRow("five letters") << "settings.json.aBcDe"
                                  << "file" << false;
    QTest::newRow("seven letters") << "settings.json.aBcDeFg"
                                   << "file" << false;
    QTest::newRow("with a digit") << "settings.json.aBcDe1"
                                  << "file" << false;
    QTest::newRow("set aside") << "settings.json-20260101-120000.unreadable"
                               << "file" << false;
    QTest::newRow("other file's") << "notes.json.aBcDeF"
                                  << "file" << false;
    QTest::newRow("a folder") << ""
                              << "folder" << false;
    QTest::newRow("a symbolic link") << ""
                                     << "link" << false;
    QTest::newRow("another user's") << ""
                                    << "foreign" << false;
    QTest::newRow("another file's") << ".notes.json.orvanta-partial-abcdef123456"
                                    << "file" << false;
    QTest::newRow("its own, spelt out") << ".settings.json.orvanta-partial-abcdef123456"
                                        << "file" << true;
    QTest::newRow("one letter short") << ".settings.json.orvanta-partial-abcdef12345"
                                      << "file" << false;
    QTest::newRow("one letter over") << ".settings.json.orvanta-partial-abcdef1234567"
                                     << "file" << false;
    QTest::newRow("a capital") << ".settings.json.orvanta-partial-abcdeF123456"
                               << "file" << false;
}

void TestSettingsStore::staleTemporaryFiles()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(bool, removed);
    if (kind == QLatin1String("foreign") && ::geteuid() != 0)
        QSKIP("giving a file to another user needs root");
    QTemporaryDir dir;
    writeFile(settingsPath(dir), R"({"h24": true})");
    writeFile(dir.filePath(QStringLiteral("elsewhere")), "kept");
    if (name.isEmpty())
        name = QFileInfo(SafeFile::temporaryPath(settingsPath(dir))).fileName();
    const QString path = dir.filePath(name);
    if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkdir(path));
    else if (kind == QLatin1String("link"))
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("elsewhere")), path));
    else
        writeFile(path, R"({"h24": fal)");
    if (kind == QLatin1String("foreign"))
        QVERIFY(::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0);

    SettingsStore store(dir.path());
    QCOMPARE(QFileInfo::exists(path) || QFileInfo(path).isSymLink(), !removed);
    QCOMPARE(store.value(Keys::h24), true);
    QCOMPARE(readFile(settingsPath(dir)), QByteArray(R"({"h24": true})"));
    QCOMPARE(readFile(dir.filePath(QStringLiteral("elsewhere"))), QByteArray("kept"));
}

void TestSettingsStore::defaultDirectoryFollowsXdg_data()
{
    QTest::addColumn<QByteArray>("configHome");
    QTest::addColumn<bool>("followed");
    QTest::newRow("absolute") << QByteArray("<temporary folder>") << true;
    // The base directory rules: a relative path is ignored, not taken from wherever it started.
    QTest::newRow("relative") << QByteArray("relcfg") << false;
    QTest::newRow("relative with dots") << QByteArray("./cfg") << false;
    QTest::newRow("empty") << QByteArray("") << false;
}

void TestSettingsStore::defaultDirectoryFollowsXdg()
{
    QFETCH(QByteArray, configHome);
    QFETCH(bool, followed);
    QTemporaryDir dir;
    QTemporaryDir home;
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    const QByteArray savedHome = qgetenv("HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("XDG_CONFIG_HOME", savedConfig);
        qputenv("HOME", savedHome);
    });
    if (configHome == "<temporary folder>")
        configHome = QFile::encodeName(dir.path());
    qputenv("XDG_CONFIG_HOME", configHome);
    qputenv("HOME", QFile::encodeName(home.path()));
    QCOMPARE(SettingsStore::defaultDirectory(),
             followed ? dir.path() + QStringLiteral("/orvanta") : home.path() + QStringLiteral("/.config/orvanta"));
}

// A dotfiles manager keeps settings.json as a link to its own copy: that copy is written, and
// the link stays.
void TestSettingsStore::linkToAFileIsWrittenThrough()
{
    QTemporaryDir dir;
    QTemporaryDir dotfiles;
    const QString kept = dotfiles.filePath(QStringLiteral("settings.json"));
    writeFile(kept, R"({"h24": true})");
    QVERIFY(QFile::link(kept, settingsPath(dir)));

    SettingsStore store(dir.path());
    QCOMPARE(store.value(Keys::h24), true);
    store.setValue(Keys::showDate, false);
    QVERIFY(store.saveProblem().isEmpty());
    QCOMPARE(QFileInfo(settingsPath(dir)).symLinkTarget(), kept);
    QCOMPARE(QDir(dotfiles.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("settings.json")});
    SettingsStore reread(dir.path());
    QCOMPARE(reread.value(Keys::h24), true);
    QCOMPARE(reread.value(Keys::showDate), false);
}

void TestSettingsStore::laterSaves_data()
{
    QTest::addColumn<QString>("end");
    QTest::addColumn<double>("width");
    QTest::newRow("saved in the background") << "background" << 300.0;
    QTest::newRow("another key saved now") << "now" << 300.0;
    QTest::newRow("flushed") << "flush" << 300.0;
    QTest::newRow("the store ends") << "end" << 300.0;
    // A background write not yet made never lands after a newer save.
    QTest::newRow("overtaken by a save now") << "overtaken" << 310.0;
    // A hand edit made meanwhile is merged, not overwritten by the older values.
    QTest::newRow("hand edit, then in the background") << "edited, background" << 300.0;
    QTest::newRow("hand edit, then flushed") << "edited, flush" << 300.0;
}

void TestSettingsStore::laterSaves()
{
    QFETCH(QString, end);
    QFETCH(double, width);
    QTemporaryDir dir;
    auto store = std::make_unique<SettingsStore>(dir.path());
    store->setValue(Keys::h24, true);
    double heard = 0;
    store->watch(Keys::cardWidth, this, [&heard](double value) { heard = value; });
    store->setValue(Keys::cardWidth, 300.0, SettingsStore::Save::Later);
    // In memory and announced at once, not yet in the file.
    QCOMPARE(store->value(Keys::cardWidth), 300.0);
    QCOMPARE(heard, 300.0);
    QCOMPARE(SettingsStore(dir.path()).value(Keys::cardWidth), Keys::cardWidth.defaultValue);

    const bool edited = end.startsWith(QLatin1String("edited"));
    if (edited) {
        const QString path = settingsPath(dir);
        writeFile(path + QStringLiteral(".new"), R"({"h24": true, "theme": "glass"})");
        QVERIFY(QFile::remove(path) && QFile::rename(path + QStringLiteral(".new"), path));
    }
    if (end == QLatin1String("edited, background")) {
        store->saveInBackground();
        store->flush();
    } else if (end == QLatin1String("background")) {
        store->saveInBackground();
        // Read from the file itself: a second store would clean up the temporary being written.
        QTRY_COMPARE(QJsonDocument::fromJson(readFile(settingsPath(dir))).object().value(QLatin1String("cardWidth")),
                     QJsonValue(width));
    } else if (end == QLatin1String("now")) {
        store->setValue(Keys::showDate, false);
    } else if (end.endsWith(QLatin1String("flush"))) {
        store->flush();
    } else if (end == QLatin1String("overtaken")) {
        store->saveInBackground();
        store->setValue(Keys::cardWidth, width);
        store->flush();
    } else {
        store.reset();
    }
    const SettingsStore reread(dir.path());
    QCOMPARE(reread.value(Keys::cardWidth), width);
    QCOMPARE(reread.value(Keys::h24), true);
    QCOMPARE(reread.value(Keys::theme), edited ? QStringLiteral("glass") : QStringLiteral("dark"));
}

// A drag of 100 moves over a second, with a large notes list: the file is written at most
// once every 250 ms, and the release writes the last width.
void TestSettingsStore::dragWritesAFewTimes()
{
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    store.setData(QStringLiteral("notes"), QByteArray(500'000, 'n'));
    FakeClock clock;
    FakeScheduler scheduler(clock);
    SaveThrottle throttle(store, scheduler);
    const auto inode = [&] {
        struct stat info;
        return ::stat(QFile::encodeName(store.filePath()).constData(), &info) == 0 ? info.st_ino : ino_t(0);
    };
    ino_t last = inode();
    int writes = 0;
    // Waits for the background write (nothing is unsaved at these moments) and counts it.
    const auto countWrite = [&] {
        store.flush();
        if (inode() != last)
            ++writes;
        last = inode();
    };
    for (int move = 1; move <= 100; ++move) {
        store.setValue(Keys::cardWidth, 220.0 + move, SettingsStore::Save::Later);
        throttle.changed();
        scheduler.advanceBy(0.01);
        if (scheduler.pendingCount() == 0)
            countWrite();
    }
    QVERIFY2(writes >= 3 && writes <= 4, qPrintable(QString::number(writes)));
    throttle.finish();
    countWrite();
    QVERIFY2(writes <= 5, qPrintable(QString::number(writes)));
    QCOMPARE(SettingsStore(dir.path()).value(Keys::cardWidth), 320.0);
}

void TestSettingsStore::handEditsWhileRunning_data()
{
    // The file starts as {"theme": "light", "h24": true}. The program may set "theme" first;
    // then the file is replaced by hand, changed at fileAge milliseconds from now. "check" looks
    // at once, "watch" waits for the folder's watcher, "save" lets the next save find it. After
    // that the program writes "sound" and the file is read back.
    QTest::addColumn<QString>("programTheme");
    QTest::addColumn<QByteArray>("edit");
    QTest::addColumn<qint64>("fileAge");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("theme");
    QTest::addColumn<bool>("heard");
    QTest::addColumn<QByteArray>("storedTheme");
    QTest::addColumn<bool>("setAside");
    const QByteArray glass = R"({"theme": "glass", "h24": true, "accent": "blue"})";
    QTest::newRow("read") << "" << glass << 0LL << "check"
                          << "glass" << true << QByteArray("\"glass\"") << false;
    QTest::newRow("read by the watcher") << "" << glass << 0LL << "watch"
                                         << "glass" << true << QByteArray("\"glass\"") << false;
    QTest::newRow("kept by a save before any look") << "" << glass << 0LL << "save"
                                                    << "glass" << true << QByteArray("\"glass\"") << false;
    QTest::newRow("key removed") << "" << QByteArray(R"({"h24": true, "accent": "blue"})") << 0LL << "check"
                                 << "dark" << true << QByteArray() << false;
    QTest::newRow("wrong type reads as default")
        << "" << QByteArray(R"({"theme": 5, "h24": true, "accent": "blue"})") << 0LL << "check"
        << "dark" << true << QByteArray("5") << false;
    QTest::newRow("same key, file changed later") << "color" << glass << 60'000LL << "check"
                                                  << "glass" << true << QByteArray("\"glass\"") << false;
    QTest::newRow("same key, program changed later") << "color" << glass << -60'000LL << "check"
                                                     << "color" << false << QByteArray("\"color\"") << false;
    QTest::newRow("same key, program changed later, found by a save")
        << "color" << glass << -60'000LL << "save"
        << "color" << false << QByteArray("\"color\"") << false;
    QTest::newRow("the program's own write") << "color" << QByteArray() << 0LL << "check"
                                             << "color" << false << QByteArray("\"color\"") << false;
    QTest::newRow("half written, then saved by the program")
        << "" << QByteArray(R"({"theme": "glass", "h2)") << 0LL << "check"
        << "light" << false << QByteArray("\"light\"") << true;
    QTest::newRow("not an object") << "" << QByteArray("[1]") << 0LL << "check"
                                   << "light" << false << QByteArray("\"light\"") << true;
}

void TestSettingsStore::handEditsWhileRunning()
{
    QFETCH(QString, programTheme);
    QFETCH(QByteArray, edit);
    QFETCH(qint64, fileAge);
    QFETCH(QString, how);
    QFETCH(QString, theme);
    QFETCH(bool, heard);
    QFETCH(QByteArray, storedTheme);
    QFETCH(bool, setAside);
    QTemporaryDir dir;
    const QString path = settingsPath(dir);
    writeFile(path, R"({"theme": "light", "h24": true})");
    SettingsStore store(dir.path());
    // The event loop runs, as in the program.
    QCoreApplication::processEvents();
    if (!programTheme.isEmpty())
        store.setValue(Keys::theme, programTheme);
    QSignalSpy written(&store, &SettingsStore::written);
    if (!edit.isEmpty()) {
        // As an editor saves: a new file renamed over the old one.
        const QString edited = dir.filePath(QStringLiteral("edited"));
        writeFile(edited, edit);
        QFile file(edited);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addMSecs(fileAge), QFileDevice::FileModificationTime));
        file.close();
        QCOMPARE(::rename(QFile::encodeName(edited).constData(), QFile::encodeName(path).constData()), 0);
    }
    const bool parses = QJsonDocument::fromJson(edit).isObject();
    if (how == QLatin1String("check")) {
        store.readOutsideChanges();
        // A file that does not parse is left as it is, for its editor to finish.
        if (!edit.isEmpty() && !parses)
            QCOMPARE(readFile(path), edit);
    } else if (how == QLatin1String("watch")) {
        QVERIFY(written.wait(10'000));
    }
    store.setValue(Keys::sound, false);

    QCOMPARE(store.value(Keys::theme), theme);
    QCOMPARE(written.contains(QVariantList{QStringLiteral("theme")}), heard);
    const QJsonObject stored = QJsonDocument::fromJson(readFile(path)).object();
    const QByteArray json
        = QJsonDocument(QJsonArray{stored.value(QStringLiteral("theme"))}).toJson(QJsonDocument::Compact);
    QCOMPARE(stored.contains(QStringLiteral("theme")) ? json.mid(1, json.size() - 2) : QByteArray(), storedTheme);
    // The rest of the hand edit, and the program's own change, are both kept.
    QCOMPARE(stored.value(QStringLiteral("sound")), QJsonValue(false));
    QCOMPARE(stored.value(QStringLiteral("h24")), QJsonValue(true));
    const QString accent = parses ? QStringLiteral("blue") : QStringLiteral("red");
    QCOMPARE(store.value(Keys::accent), accent);
    QCOMPARE(stored.value(QStringLiteral("accent")).toString(QStringLiteral("red")), accent);
    const QStringList aside = QDir(dir.path()).entryList({QStringLiteral("settings.json-*.unreadable")});
    QCOMPARE(aside.size(), setAside ? 1 : 0);
    if (setAside) {
        QCOMPARE(readFile(dir.filePath(aside.first())), edit);
        QCOMPARE(store.setAside(), aside.first());
    }
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"

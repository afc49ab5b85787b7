#include "fakes/FileSizeLimit.h"
#include "fakes/TinyFileSystem.h"
#include "platform/xdg/AutostartEntry.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

int mode(const QString &path)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

// Reads an Exec value back the way a desktop session does: string escapes first, then
// argument quoting, then field codes.
QStringList parseExec(const QString &value)
{
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            unescaped += value[i];
            continue;
        }
        const QChar next = value[++i];
        if (next == u's')
            unescaped += u' ';
        else if (next == u'n')
            unescaped += u'\n';
        else if (next == u't')
            unescaped += u'\t';
        else if (next == u'r')
            unescaped += u'\r';
        else if (next == u'\\')
            unescaped += u'\\';
        else
            unescaped += QString(u'\\') + next;
    }

    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (qsizetype i = 0; i < unescaped.size(); ++i) {
        const QChar c = unescaped[i];
        if (quoted) {
            if (c == u'"') {
                quoted = false;
            } else if (c == u'\\' && i + 1 < unescaped.size() && QStringLiteral("\"`$\\").contains(unescaped[i + 1])) {
                current += unescaped[++i];
            } else {
                current += c;
            }
        } else if (c == u' ') {
            if (inArgument)
                arguments << current;
            current.clear();
            inArgument = false;
        } else if (c == u'"') {
            quoted = inArgument = true;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (quoted)
        return {QStringLiteral("<unterminated quote>")};
    if (inArgument)
        arguments << current;

    for (QString &argument : arguments) {
        QString expanded;
        for (qsizetype i = 0; i < argument.size(); ++i) {
            if (argument[i] == u'%') {
                if (i + 1 == argument.size() || argument[i + 1] != u'%')
                    return {QStringLiteral("<field code>")};
                ++i;
            }
            expanded += argument[i];
        }
        argument = expanded;
    }
    return arguments;
}

bool writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly)
        && file.write(contents) == contents.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString execValue(const QByteArray &entry)
{
    for (const QByteArray &line : entry.split('\n')) {
        if (line.startsWith("Exec="))
            return QString::fromUtf8(line.mid(5));
    }
    return {};
}

} // namespace

class TestAutostartEntry : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void quoting_data();
    void quoting();
    void registerAndUnregister();
    void entryForRunningExecutable();
    void registeringReplacesDisabledEntry();
    void entryState_data();
    void entryState();
    void unwritableFolder_data();
    void unwritableFolder();
    void legacyEntry_data();
    void legacyEntry();
    void entryProgram_data();
    void entryProgram();
    void programMoved();
    void notAFile_data();
    void notAFile();

private:
    // An executable file at relativePath in the temporary folder; its absolute path.
    QString makeExecutable(const QString &relativePath) const;
    void writeEntry(const QString &path, const QByteArray &contents) const;

    std::unique_ptr<QTemporaryDir> m_config;
};

QString TestAutostartEntry::makeExecutable(const QString &relativePath) const
{
    const QString path = m_config->filePath(relativePath);
    if (!writeFile(path, "#!/bin/sh\n")
        || !QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
        return {};
    return path;
}

void TestAutostartEntry::writeEntry(const QString &path, const QByteArray &contents) const
{
    QVERIFY2(writeFile(path, contents), qPrintable(path));
}

void TestAutostartEntry::init()
{
    m_config = std::make_unique<QTemporaryDir>();
    QVERIFY(m_config->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config->path()));
}

void TestAutostartEntry::cleanup()
{
    // A folder left read-only by a failed test must not stop the cleanup.
    QFile::setPermissions(m_config->filePath(QStringLiteral("autostart")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    m_config.reset();
}

void TestAutostartEntry::quoting_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("value");

    QTest::newRow("plain") << "/usr/bin/orvanta"
                           << "/usr/bin/orvanta";
    QTest::newRow("space") << "/home/a b/orvanta"
                           << "\"/home/a b/orvanta\"";
    QTest::newRow("double quote") << "/opt/say\"hi/orvanta"
                                  << "\"/opt/say\\\\\"hi/orvanta\"";
    QTest::newRow("single quote") << "/opt/it's/orvanta"
                                  << "\"/opt/it's/orvanta\"";
    QTest::newRow("backslash") << "/opt/back\\slash/orvanta"
                               << "\"/opt/back\\\\\\\\slash/orvanta\"";
    QTest::newRow("dollar and backtick") << "/opt/$HOME/`id`/orvanta"
                                         << "\"/opt/\\\\$HOME/\\\\`id\\\\`/orvanta\"";
    QTest::newRow("percent") << "/opt/100%/orvanta"
                             << "/opt/100%%/orvanta";
    QTest::newRow("percent in quotes") << "/opt/100 %/orvanta"
                                       << "\"/opt/100 %%/orvanta\"";
    QTest::newRow("tab and newline") << "/opt/a\tb\nc/orvanta"
                                     << "\"/opt/a\\tb\\nc/orvanta\"";
    QTest::newRow("shell characters") << "/opt/a&b;c|d(e)<f>~g*h?i#j"
                                      << "\"/opt/a&b;c|d(e)<f>~g*h?i#j\"";
}

void TestAutostartEntry::quoting()
{
    QFETCH(QString, path);
    QFETCH(QString, value);

    QCOMPARE(desktopExecQuote(path), value);
    QCOMPARE(parseExec(desktopExecQuote(path)), QStringList{path});
    QCOMPARE(AutostartEntry::program(AutostartEntry::contents(path)), path);
}

void TestAutostartEntry::registerAndUnregister()
{
    const QString executable = makeExecutable(QStringLiteral("My Apps/orvanta"));
    QVERIFY(!executable.isEmpty());
    AutostartEntry entry(executable);
    QCOMPARE(entry.filePath(), m_config->filePath(QStringLiteral("autostart/io.github.orvanta.Orvanta.desktop")));
    QVERIFY(!entry.isEnabled());

    const mode_t umask = ::umask(022);
    QVERIFY(entry.setEnabled(true));
    ::umask(umask);
    QVERIFY(entry.isEnabled());
    // The folder made for it is the user's alone; the entry is readable as desktop entries are.
    QCOMPARE(mode(m_config->filePath(QStringLiteral("autostart"))), 0700);
    QCOMPARE(mode(entry.filePath()), 0644);
    QFile file(entry.filePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    const QList<QByteArray> lines = written.split('\n');
    QCOMPARE(lines.first(), QByteArray("[Desktop Entry]"));
    QVERIFY(lines.contains("Type=Application"));
    QVERIFY(lines.contains("Name=Orvanta"));
    QVERIFY(lines.contains("Icon=io.github.orvanta.Orvanta"));
    QVERIFY(lines.contains("X-GNOME-Autostart-enabled=true"));
    QVERIFY(!lines.contains("Hidden=true"));
    QCOMPARE(parseExec(execValue(written)), QStringList{executable});
    // Once the program is gone, the session skips the entry instead of failing at every login.
    QVERIFY(lines.contains("TryExec=" + QFile::encodeName(executable)));
    // The atomic write leaves nothing else behind.
    QCOMPARE(QDir(m_config->filePath(QStringLiteral("autostart"))).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("io.github.orvanta.Orvanta.desktop")});

    QVERIFY(entry.setEnabled(false));
    QVERIFY(!entry.isEnabled());
    QVERIFY(!QFile::exists(entry.filePath()));
    QVERIFY(entry.setEnabled(false));
}

void TestAutostartEntry::entryForRunningExecutable()
{
    AutostartEntry entry;
    QVERIFY(entry.setEnabled(true));
    QFile file(entry.filePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(parseExec(execValue(file.readAll())), QStringList{QCoreApplication::applicationFilePath()});
}

void TestAutostartEntry::registeringReplacesDisabledEntry()
{
    AutostartEntry entry(QStringLiteral("/bin/sh"));
    writeEntry(entry.filePath(), "[Desktop Entry]\nType=Application\nName=Orvanta\nExec=/bin/sh\nHidden=true\n");
    QVERIFY(!entry.isEnabled());

    QVERIFY(entry.setEnabled(true));
    QVERIFY(entry.isEnabled());
}

void TestAutostartEntry::entryState_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("enabled");

    // A program that is there, so that only the entry itself decides.
    const QByteArray head = "[Desktop Entry]\nType=Application\nName=Orvanta\nExec=/bin/sh\n";
    QTest::newRow("as written") << AutostartEntry::contents(QStringLiteral("/bin/sh")) << true;
    QTest::newRow("minimal") << head << true;
    QTest::newRow("comments and blank lines") << "# made by hand\n\n" + head + "\n# end\n" << true;
    QTest::newRow("hidden") << head + "Hidden=true\n" << false;
    QTest::newRow("hidden with spaces") << head + "Hidden = true\n" << false;
    QTest::newRow("not hidden") << head + "Hidden=false\n" << true;
    QTest::newRow("hidden, then not") << head + "Hidden=true\nHidden=false\n" << true;
    QTest::newRow("gnome disabled") << head + "X-GNOME-Autostart-enabled=false\n" << false;
    QTest::newRow("gnome enabled") << head + "X-GNOME-Autostart-enabled=true\n" << true;
    // GLib reads 1 and 0 as Booleans, KConfig also yes, no, on and off.
    QTest::newRow("hidden as 1") << head + "Hidden=1\n" << false;
    QTest::newRow("hidden as yes") << head + "Hidden=Yes\n" << false;
    QTest::newRow("gnome disabled as 0") << head + "X-GNOME-Autostart-enabled=0\n" << false;
    QTest::newRow("gnome disabled as off") << head + "X-GNOME-Autostart-enabled=off\n" << false;
    QTest::newRow("TryExec there") << head + "TryExec=/bin/sh\n" << true;
    QTest::newRow("TryExec on the PATH") << head + "TryExec=sh\n" << true;
    // The package was removed: the session skips the entry without a word.
    QTest::newRow("TryExec gone") << head + "TryExec=/usr/bin/orvanta-removed\n" << false;
    QTest::newRow("hidden in a later group") << head + "[Desktop Action quit]\nHidden=true\n" << true;
    QTest::newRow("empty file") << QByteArray() << false;
    QTest::newRow("no command") << QByteArray("[Desktop Entry]\nType=Application\nName=Orvanta\n") << false;
    QTest::newRow("empty command") << head + "Exec=\n" << false;
    QTest::newRow("other group first") << "[Other]\nKey=1\n" + head << false;
    QTest::newRow("key before group") << "Exec=/bin/sh\n" + head << false;
    QTest::newRow("not a key") << head + "garbage\n" << false;
    QTest::newRow("binary") << QByteArray("\x7f"
                                          "ELF\x02\x01\x01\0\0\0",
                                          10)
                            << false;
}

void TestAutostartEntry::entryState()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, enabled);

    AutostartEntry entry(QStringLiteral("/bin/sh"));
    QCOMPARE(AutostartEntry::isEnabledEntry(contents), enabled);
    writeEntry(entry.filePath(), contents);
    QCOMPARE(entry.isEnabled(), enabled);
}

void TestAutostartEntry::unwritableFolder_data()
{
    QTest::addColumn<QString>("kind");

    QTest::newRow("read-only folder") << "read-only";
    QTest::newRow("file where the folder belongs") << "blocked";
    QTest::newRow("full disk over a disabled entry") << "full";
    QTest::newRow("file size limit over a disabled entry") << "limit";
}

void TestAutostartEntry::unwritableFolder()
{
    QFETCH(QString, kind);

    const QString folder = m_config->filePath(QStringLiteral("autostart"));
    AutostartEntry entry(QStringLiteral("/usr/bin/orvanta"));
    std::optional<TinyFileSystem> disk;
    std::optional<FileSizeLimit> limit;
    const QByteArray disabled = "[Desktop Entry]\nType=Application\nExec=/usr/bin/orvanta\nHidden=true\n";
    if (kind == QLatin1String("read-only")) {
        if (::geteuid() == 0)
            QSKIP("permissions do not bind the superuser");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    } else if (kind == QLatin1String("blocked")) {
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    } else {
        QVERIFY(QDir().mkpath(folder));
        if (kind == QLatin1String("full")) {
            disk.emplace(folder, 64);
            if (!disk->isMounted())
                QSKIP(qPrintable(QStringLiteral("no full disk to test on: ") + disk->whyNotMounted()));
        }
        QFile old(entry.filePath());
        QVERIFY(old.open(QIODevice::WriteOnly));
        QCOMPARE(old.write(disabled), disabled.size());
        old.close();
        if (disk)
            QVERIFY(disk->fill());
        else
            QVERIFY(limit.emplace(disabled.size() / 2).isSet());
    }

    QVERIFY(!entry.setEnabled(true));
    limit.reset();
    QVERIFY(!entry.isEnabled());
    if (kind == QLatin1String("full") || kind == QLatin1String("limit")) {
        // The old entry is as it was, and nothing else is left beside it.
        QFile old(entry.filePath());
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), disabled);
        QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        left.removeAll(QStringLiteral("filler"));
        QCOMPARE(left, QStringList{QFileInfo(entry.filePath()).fileName()});
    }
}

void TestAutostartEntry::legacyEntry_data()
{
    // The entries under the current and the earlier name; empty for none. @PROGRAM@ stands
    // for a program that is there, @GONE@ for one that was moved away.
    QTest::addColumn<QByteArray>("current");
    QTest::addColumn<QByteArray>("legacy");
    QTest::addColumn<bool>("enabled");

    const QByteArray on = "[Desktop Entry]\nType=Application\nName=Orvanta\nExec=@PROGRAM@\n";
    const QByteArray gone = "[Desktop Entry]\nType=Application\nName=Orvanta\nExec=@GONE@\n";
    const QByteArray hidden = on + "Hidden=true\n";
    const QByteArray gnomeOff = on + "X-GNOME-Autostart-enabled=false\n";
    const QByteArray none;
    QTest::newRow("neither") << none << none << false;
    QTest::newRow("earlier entry only") << none << on << true;
    QTest::newRow("earlier entry switched off") << none << hidden << false;
    QTest::newRow("earlier entry's program gone") << none << gone << false;
    QTest::newRow("current entry only") << on << none << true;
    QTest::newRow("current switched off, earlier on") << hidden << on << true;
    QTest::newRow("current's program gone, earlier on") << gone << on << true;
    QTest::newRow("both switched off") << hidden << gnomeOff << false;
    const QByteArray tooLong = on + "# " + QByteArray(AutostartEntry::kMaxEntrySize, 'x') + "\n";
    QTest::newRow("current too long to be an entry") << tooLong << none << false;
}

void TestAutostartEntry::legacyEntry()
{
    QFETCH(QByteArray, current);
    QFETCH(QByteArray, legacy);
    QFETCH(bool, enabled);

    const QString executable = makeExecutable(QStringLiteral("bin/orvanta"));
    QVERIFY(!executable.isEmpty());
    const auto resolve = [&](QByteArray contents) {
        return contents.replace("@PROGRAM@", QFile::encodeName(executable))
            .replace("@GONE@", QFile::encodeName(m_config->filePath(QStringLiteral("old/orvanta"))));
    };
    AutostartEntry entry(executable);
    QCOMPARE(entry.legacyFilePath(), m_config->filePath(QStringLiteral("autostart/orvanta.desktop")));
    if (!current.isEmpty())
        writeEntry(entry.filePath(), resolve(current));
    if (!legacy.isEmpty())
        writeEntry(entry.legacyFilePath(), resolve(legacy));
    QCOMPARE(entry.isEnabled(), enabled);

    // Turning it on leaves the current entry alone, for this program.
    QVERIFY(entry.setEnabled(true));
    QVERIFY(entry.isEnabled());
    QVERIFY(!QFileInfo::exists(entry.legacyFilePath()));
    QCOMPARE(AutostartEntry::program(readFile(entry.filePath())), executable);

    // Turning it off removes both, so that neither starts the program.
    if (!legacy.isEmpty())
        writeEntry(entry.legacyFilePath(), resolve(legacy));
    QVERIFY(entry.setEnabled(false));
    QVERIFY(!entry.isEnabled());
    QVERIFY(!QFileInfo::exists(entry.filePath()));
    QVERIFY(!QFileInfo::exists(entry.legacyFilePath()));
}

void TestAutostartEntry::entryProgram_data()
{
    // @DIR@ is the temporary folder.
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("made");
    QTest::addColumn<bool>("enabled");

    const QString none;
    QTest::newRow("program there") << "@DIR@/bin/orvanta" << none << "executable" << true;
    QTest::newRow("program moved away") << "@DIR@/bin/orvanta" << none << "nothing" << false;
    QTest::newRow("not executable") << "@DIR@/bin/orvanta" << none << "file" << false;
    QTest::newRow("a folder") << "@DIR@/bin/orvanta" << none << "folder" << false;
    QTest::newRow("with arguments") << "@DIR@/bin/orvanta"
                                    << " --flag \"a b\""
                                    << "executable" << true;
    QTest::newRow("quoted") << "@DIR@/My Apps/$HOME \"100%\"/orvanta" << none << "executable" << true;
    QTest::newRow("quoted, moved away") << "@DIR@/My Apps/orvanta" << none << "nothing" << false;
    QTest::newRow("found on the PATH") << "sh" << none << "nothing" << true;
    QTest::newRow("not on the PATH") << "orvanta-no-such-program" << none << "nothing" << false;
    // Switched on from a build folder, then installed: the entry starts the other copy.
    QTest::newRow("another copy") << "@DIR@/build/orvanta" << none << "another copy" << false;
    QTest::newRow("this copy through a link") << "@DIR@/link/orvanta" << none << "link" << true;
}

void TestAutostartEntry::entryProgram()
{
    QFETCH(QString, program);
    QFETCH(QString, arguments);
    QFETCH(QString, made);
    QFETCH(bool, enabled);

    program.replace(QStringLiteral("@DIR@"), m_config->path());
    // The running executable, which the entry must start to count.
    QString running = program.contains(u'/') ? program : QStandardPaths::findExecutable(program);
    if (made == QLatin1String("another copy") || made == QLatin1String("link")) {
        running = makeExecutable(QStringLiteral("bin/orvanta"));
        QVERIFY(!running.isEmpty());
    }
    if (made == QLatin1String("executable") || made == QLatin1String("another copy"))
        QCOMPARE(makeExecutable(QDir(m_config->path()).relativeFilePath(program)), program);
    else if (made == QLatin1String("link"))
        QVERIFY(QDir().mkpath(QFileInfo(program).path()) && QFile::link(running, program));
    else if (made == QLatin1String("file"))
        QVERIFY(writeFile(program, "#!/bin/sh\n"));
    else if (made == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(program));

    const QByteArray contents = "[Desktop Entry]\nType=Application\nName=Orvanta\nExec="
        + (desktopExecQuote(program) + arguments).toUtf8() + "\n";
    QCOMPARE(AutostartEntry::program(contents), program);
    AutostartEntry entry(running);
    writeEntry(entry.filePath(), contents);
    QCOMPARE(entry.isEnabled(), enabled);
    if (made == QLatin1String("another copy")) {
        // Turning it on points the entry here.
        QVERIFY(entry.setEnabled(true));
        QVERIFY(entry.isEnabled());
        QCOMPARE(AutostartEntry::program(readFile(entry.filePath())), running);
    }
}

void TestAutostartEntry::notAFile_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::newRow("named pipe") << QByteArray("pipe");
    QTest::newRow("link to a named pipe") << QByteArray("link to pipe");
    QTest::newRow("link to a device node") << QByteArray("link to device");
    QTest::newRow("link that leads nowhere") << QByteArray("dangling link");
}

// Something else in the entry's place: the switch reads off at once (a pipe is never waited
// on), turning it on fails and touches nothing, and turning it off clears the name.
void TestAutostartEntry::notAFile()
{
    QFETCH(QByteArray, kind);
    if (kind == "link to device" && ::geteuid() != 0)
        QSKIP("making a device node needs root");
    AutostartEntry entry(QStringLiteral("/bin/sh"));
    QVERIFY(QDir().mkpath(QFileInfo(entry.filePath()).path()));
    const QByteArray name = QFile::encodeName(entry.filePath());
    const QByteArray linked = QFile::encodeName(m_config->filePath(QStringLiteral("linked")));
    if (kind == "pipe")
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
    if (kind == "link to pipe")
        QCOMPARE(::mkfifo(linked.constData(), 0600), 0);
    if (kind == "link to device")
        // The numbers of /dev/null, in a folder of the test's own.
        QCOMPARE(::mknod(linked.constData(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
    if (kind != "pipe")
        QCOMPARE(::symlink(linked.constData(), name.constData()), 0);

    QVERIFY(!entry.isEnabled());
    QVERIFY(!entry.setEnabled(true));
    QVERIFY(!entry.isEnabled());
    struct stat info;
    if (kind == "pipe") {
        QVERIFY(::lstat(name.constData(), &info) == 0 && S_ISFIFO(info.st_mode));
    } else {
        QVERIFY(::lstat(name.constData(), &info) == 0 && S_ISLNK(info.st_mode));
        const bool exists = ::lstat(linked.constData(), &info) == 0;
        QCOMPARE(exists, kind != "dangling link");
        QVERIFY(!exists || (kind == "link to pipe" ? S_ISFIFO(info.st_mode) : S_ISCHR(info.st_mode)));
    }
    QVERIFY(entry.setEnabled(false));
    QVERIFY(::lstat(name.constData(), &info) != 0);
}

// The program was moved since the entry was written: the switch shows off, and turning it on
// again points the entry at the new place.
void TestAutostartEntry::programMoved()
{
    const QString before = makeExecutable(QStringLiteral("before/orvanta"));
    const QString after = makeExecutable(QStringLiteral("after/orvanta"));
    QVERIFY(!before.isEmpty() && !after.isEmpty());
    QVERIFY(AutostartEntry(before).setEnabled(true));
    QVERIFY(QFile::remove(before));

    AutostartEntry moved(after);
    QVERIFY(!moved.isEnabled());
    QVERIFY(moved.setEnabled(true));
    QVERIFY(moved.isEnabled());
    QCOMPARE(parseExec(execValue(readFile(moved.filePath()))), QStringList{after});
}

QTEST_GUILESS_MAIN(TestAutostartEntry)
#include "tst_autostartentry.moc"

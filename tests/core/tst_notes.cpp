#include "core/AppModel.h"
#include "core/NotesCodec.h"
#include "core/SettingsStore.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeSoundPlayer.h"
#include "fakes/FileSizeLimit.h"
#include "fakes/TinyFileSystem.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

Q_DECLARE_METATYPE(NoteList)

namespace {
const QUuid kIdA = QUuid::fromString(QLatin1String("0f8fad5b-d9cb-469f-a165-70867728950e"));
const QUuid kIdB = QUuid::fromString(QLatin1String("7C9E6679-7425-40DE-944B-E07FC1F90AE7"));
const QString kNotes = QStringLiteral("notes");
} // namespace

class TestNotes : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void encodesExactBytes();
    void encodesEscapes();
    void decodeAccepts_data();
    void decodeAccepts();
    void decodeRejects_data();
    void decodeRejects();

    void addTrims_data();
    void addTrims();
    void addStopsAtLimit();
    void largeStoredListLoadsInFull();
    void toggleAndDelete();
    void eachChangePublishesOnceAndStores();
    void survivesRestart();
    void unreadableListIsBackedUpBeforeReplaced_data();
    void unreadableListIsBackedUpBeforeReplaced();
    void stringInsteadOfDataLoadsEmpty();
    void unreadableListStaysWhenItsBackupFails_data();
    void unreadableListStaysWhenItsBackupFails();
    void longestNotesSurviveRestart();
    void handEditedList_data();
    void handEditedList();

private:
    std::unique_ptr<AppModel> makeModel();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_store;
    FakeClock m_clock;
    FakeScheduler m_scheduler{m_clock};
    FakeSoundPlayer m_sound;
};

void TestNotes::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_store = std::make_unique<SettingsStore>(m_dir->path());
}

void TestNotes::cleanup()
{
    m_store.reset();
    m_dir.reset();
}

std::unique_ptr<AppModel> TestNotes::makeModel()
{
    return std::make_unique<AppModel>(AppModel::Services{m_clock, m_scheduler, m_sound, *m_store});
}

void TestNotes::encodesExactBytes()
{
    const NoteList notes{{kIdA, QStringLiteral("Buy milk"), false}, {kIdB, QStringLiteral("Call Élodie ☎"), true}};
    const QByteArray expected
        = "[{\"id\":\"0F8FAD5B-D9CB-469F-A165-70867728950E\",\"text\":\"Buy milk\",\"done\":false},"
          "{\"id\":\"7C9E6679-7425-40DE-944B-E07FC1F90AE7\",\"text\":\"Call \xC3\x89lodie \xE2\x98\x8E\","
          "\"done\":true}]";
    QCOMPARE(NotesCodec::encode(notes), expected);
    QCOMPARE(NotesCodec::encode({}), QByteArray("[]"));
}

void TestNotes::encodesEscapes()
{
    const NoteList notes{{kIdA, QStringLiteral("a\"b\\c\nd\te\u0001f/g"), false}};
    const QByteArray bytes = NotesCodec::encode(notes);
    QVERIFY2(bytes.contains(R"("text":"a\"b\\c\nd\te\u0001f/g")"), bytes.constData());
    QCOMPARE(NotesCodec::decode(bytes), std::optional<NoteList>(notes));
}

void TestNotes::decodeAccepts_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<NoteList>("expected");

    const QByteArray a = "0F8FAD5B-D9CB-469F-A165-70867728950E";
    QTest::newRow("empty array") << QByteArray("[]") << NoteList{};
    QTest::newRow("other member order") << ("[{\"done\":true,\"text\":\"x\",\"id\":\"" + a + "\"}]")
                                        << NoteList{{kIdA, "x", true}};
    QTest::newRow("unknown member") << ("[{\"id\":\"" + a + "\",\"color\":\"red\",\"text\":\"x\",\"done\":false}]")
                                    << NoteList{{kIdA, "x", false}};
    QTest::newRow("lower-case id") << ("[{\"id\":\"" + a.toLower() + "\",\"text\":\"x\",\"done\":false}]")
                                   << NoteList{{kIdA, "x", false}};
    QTest::newRow("whitespace between tokens")
        << ("[ {\n \"id\" : \"" + a + "\", \"text\":\"\", \"done\":false } ]") << NoteList{{kIdA, "", false}};
}

void TestNotes::decodeAccepts()
{
    QFETCH(QByteArray, json);
    QFETCH(NoteList, expected);
    QCOMPARE(NotesCodec::decode(json), std::optional<NoteList>(expected));
}

void TestNotes::decodeRejects_data()
{
    QTest::addColumn<QByteArray>("json");

    const QByteArray id = "\"id\":\"0F8FAD5B-D9CB-469F-A165-70867728950E\"";
    QTest::newRow("missing done") << ("[{" + id + ",\"text\":\"x\"}]");
    QTest::newRow("missing text") << ("[{" + id + ",\"done\":true}]");
    QTest::newRow("missing id") << QByteArray("[{\"text\":\"x\",\"done\":true}]");
    QTest::newRow("done as number") << ("[{" + id + ",\"text\":\"x\",\"done\":1}]");
    QTest::newRow("text as number") << ("[{" + id + ",\"text\":5,\"done\":true}]");
    QTest::newRow("id as number") << QByteArray("[{\"id\":5,\"text\":\"x\",\"done\":true}]");
    QTest::newRow("id in braces") << QByteArray(
        "[{\"id\":\"{0F8FAD5B-D9CB-469F-A165-70867728950E}\",\"text\":\"x\",\"done\":true}]");
    QTest::newRow("id too short") << QByteArray(
        "[{\"id\":\"0F8FAD5B-D9CB-469F-A165-70867728950\",\"text\":\"x\",\"done\":true}]");
    QTest::newRow("id not hex") << QByteArray(
        "[{\"id\":\"0F8FAD5B-D9CB-469F-A165-70867728950G\",\"text\":\"x\",\"done\":true}]");
    QTest::newRow("id without hyphens") << QByteArray(
        "[{\"id\":\"0F8FAD5BD9CB469FA16570867728950E0000\",\"text\":\"x\",\"done\":true}]");
    QTest::newRow("element not an object") << QByteArray("[1]");
    QTest::newRow("object at top") << QByteArray("{}");
    QTest::newRow("truncated") << ("[{" + id + ",\"text\":\"x\",\"do");
    QTest::newRow("binary junk") << QByteArray("\x00\xff\xfe junk", 8);
    QTest::newRow("one bad element spoils all") << ("[{" + id + ",\"text\":\"x\",\"done\":true},{" + id + "}]");
}

void TestNotes::decodeRejects()
{
    QFETCH(QByteArray, json);
    QVERIFY(!NotesCodec::decode(json).has_value());
}

void TestNotes::addTrims_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");

    QTest::newRow("spaces around") << "  word  "
                                   << "word";
    QTest::newRow("tabs around") << "\tx\t"
                                 << "x";
    QTest::newRow("no-break and ideographic spaces") << "\u00A0x\u3000"
                                                     << "x";
    QTest::newRow("inner spaces kept") << " a  b "
                                       << "a  b";
    QTest::newRow("line breaks kept") << "\nx\n"
                                      << "\nx\n";
}

void TestNotes::addTrims()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    auto model = makeModel();
    model->addNote(typed);
    QCOMPARE(model->notes().size(), 1);
    QCOMPARE(model->notes().first().text, stored);
    QVERIFY(!model->notes().first().done);
    QCOMPARE(NotesCodec::decode(*m_store->dataValue(kNotes)), std::optional<NoteList>(model->notes()));
}

void TestNotes::addStopsAtLimit()
{
    auto model = makeModel();
    QSignalSpy published(model.get(), &AppModel::notesChanged);
    model->addNote(QStringLiteral("   "));
    model->addNote(QStringLiteral("\t"));
    QCOMPARE(published.count(), 0);
    QVERIFY(!m_store->rawValue(kNotes).isValid());

    for (int i = 0; i < 6; ++i)
        model->addNote(QString::number(i));
    QCOMPARE(model->notes().size(), AppModel::maxNotes);
    QCOMPARE(model->notes().last().text, QStringLiteral("4"));
    QCOMPARE(published.count(), AppModel::maxNotes);

    model->deleteNote(model->notes().first().id);
    model->addNote(QStringLiteral("again"));
    QCOMPARE(model->notes().size(), AppModel::maxNotes);
    QCOMPARE(model->notes().last().text, QStringLiteral("again"));

    // The longest note: the spaces around a text are not counted, one character more is refused.
    model->deleteNote(model->notes().first().id);
    model->addNote(QString(AppModel::maxNoteLength + 1, u'x'));
    QCOMPARE(model->notes().size(), AppModel::maxNotes - 1);
    model->addNote(QStringLiteral("  ") + QString(AppModel::maxNoteLength, u'y') + QStringLiteral("  "));
    QCOMPARE(model->notes().size(), AppModel::maxNotes);
    QCOMPARE(model->notes().last().text, QString(AppModel::maxNoteLength, u'y'));
}

void TestNotes::largeStoredListLoadsInFull()
{
    NoteList seven;
    for (int i = 0; i < 7; ++i)
        seven.append({QUuid::createUuid(), QString::number(i), i % 2 == 0});
    m_store->setData(kNotes, NotesCodec::encode(seven));
    auto model = makeModel();
    QCOMPARE(model->notes(), seven);
    model->addNote(QStringLiteral("refused"));
    QCOMPARE(model->notes().size(), 7);
    model->deleteNote(seven[0].id);
    model->deleteNote(seven[1].id);
    model->addNote(QStringLiteral("still refused at five"));
    QCOMPARE(model->notes().size(), 5);
    model->deleteNote(seven[2].id);
    model->addNote(QStringLiteral("taken"));
    QCOMPARE(model->notes().size(), 5);
    QCOMPARE(model->notes().last().text, QStringLiteral("taken"));
}

void TestNotes::toggleAndDelete()
{
    auto model = makeModel();
    model->addNote(QStringLiteral("a"));
    model->addNote(QStringLiteral("b"));
    model->addNote(QStringLiteral("c"));
    const NoteList before = model->notes();

    model->toggleNote(before[1].id);
    QVERIFY(model->notes()[1].done);
    QVERIFY(!model->notes()[0].done && !model->notes()[2].done);
    model->toggleNote(before[1].id);
    QCOMPARE(model->notes(), before);

    model->deleteNote(before[1].id);
    QCOMPARE(model->notes(), (NoteList{before[0], before[2]}));
}

void TestNotes::eachChangePublishesOnceAndStores()
{
    auto model = makeModel();
    model->addNote(QStringLiteral("a"));
    const QUuid id = model->notes().first().id;
    QSignalSpy published(model.get(), &AppModel::notesChanged);
    QSignalSpy stored(m_store.get(), &SettingsStore::written);

    model->toggleNote(QUuid::createUuid()); // matches nothing: no publication, no write
    QCOMPARE(published.count(), 0);
    QCOMPARE(stored.count(), 0);

    model->toggleNote(id);
    QCOMPARE(published.count(), 1);
    QCOMPARE(stored.count(), 1);

    model->deleteNote(QUuid::createUuid()); // matches nothing: publishes and stores the same list
    QCOMPARE(published.count(), 2);
    QCOMPARE(stored.count(), 2);
    QCOMPARE(NotesCodec::decode(*m_store->dataValue(kNotes)), std::optional<NoteList>(model->notes()));
}

void TestNotes::survivesRestart()
{
    NoteList saved;
    {
        auto model = makeModel();
        model->addNote(QStringLiteral("first"));
        model->addNote(QStringLiteral("second"));
        model->toggleNote(model->notes().last().id);
        saved = model->notes();
    }
    m_store = std::make_unique<SettingsStore>(m_dir->path());
    auto model = makeModel();
    QCOMPARE(model->notes(), saved);
}

void TestNotes::unreadableListIsBackedUpBeforeReplaced_data()
{
    // The "notes" value as settings.json holds it, and what its backup must hold: binary data
    // decoded, a string's text, anything else as JSON (members in alphabetical order).
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("kept");
    const QByteArray broken = "[{\"id\":\"0F8FAD5B-D9CB-469F-A165-70867728950E\",\"text\":\"precious\"}]";
    const QByteArray plain = "[{\"done\":false,\"id\":\"0F8FAD5B-D9CB-469F-A165-70867728950E\",\"text\":\"precious\"}]";
    QTest::newRow("element without done") << "{\"base64\":\"" + broken.toBase64() + "\"}" << broken;
    QTest::newRow("plain JSON array") << plain << plain;
    QTest::newRow("object without base64")
        << QByteArray("{\"text\":\"precious\"}") << QByteArray("{\"text\":\"precious\"}");
    QTest::newRow("base64 that does not decode")
        << QByteArray("{\"base64\":\"pre*cious\"}") << QByteArray("{\"base64\":\"pre*cious\"}");
    QTest::newRow("number") << QByteArray("5") << QByteArray("5");
    QTest::newRow("Boolean") << QByteArray("true") << QByteArray("true");
    QTest::newRow("null") << QByteArray("null") << QByteArray("null");
    QTest::newRow("string") << QByteArray("\"precious\"") << QByteArray("precious");
}

void TestNotes::unreadableListIsBackedUpBeforeReplaced()
{
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, kept);
    {
        QFile file(m_store->filePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\"notes\": " + stored + "}");
    }
    m_store = std::make_unique<SettingsStore>(m_dir->path());
    const QByteArray before = *m_store->storedBytes(kNotes);
    auto model = makeModel();
    QVERIFY(model->notes().isEmpty());
    // Kept at start, so that the card can say where; the stored value stays until a change.
    QDir dir(m_dir->path());
    const QStringList backups = dir.entryList({QStringLiteral("notes-*")});
    QCOMPARE(backups.size(), 1);
    QCOMPARE(m_store->setAside(), backups.first());
    QFile backup(dir.filePath(backups.first()));
    QVERIFY(backup.open(QIODevice::ReadOnly));
    QCOMPARE(backup.readAll(), kept);
    QCOMPARE(SettingsStore(m_dir->path()).storedBytes(kNotes), std::optional<QByteArray>(before));

    model->addNote(QStringLiteral("new"));
    QCOMPARE(model->notes().size(), 1);
    QCOMPARE(NotesCodec::decode(*m_store->dataValue(kNotes))->size(), 1);

    // Only the unreadable bytes are kept: later saves make no further backups.
    model->addNote(QStringLiteral("newer"));
    QCOMPARE(dir.entryList({QStringLiteral("notes-*")}), backups);
    m_store->dismissSetAside();
    QVERIFY(m_store->setAside().isEmpty());

    // A second unreadable list in the same second gets a file of its own, and is told.
    model.reset();
    m_store->setData(kNotes, "junk");
    auto second = makeModel();
    QCOMPARE(dir.entryList({QStringLiteral("notes-*")}).size(), 2);
    QVERIFY(!m_store->setAside().isEmpty() && m_store->setAside() != backups.first());
}

void TestNotes::stringInsteadOfDataLoadsEmpty()
{
    m_store->setString(kNotes, QStringLiteral("[]"));
    auto model = makeModel();
    QVERIFY(model->notes().isEmpty());
    model->addNote(QStringLiteral("x"));
    QCOMPARE(NotesCodec::decode(*m_store->dataValue(kNotes))->size(), 1);
}

void TestNotes::unreadableListStaysWhenItsBackupFails_data()
{
    QTest::addColumn<bool>("nearlyFullDisk");
    QTest::newRow("nearly full disk") << true;
    QTest::newRow("file size limit") << false;
}

// The backup of an unreadable list fails where a small new list would still fit: the stored
// list stays as it was, and the user hears why.
void TestNotes::unreadableListStaysWhenItsBackupFails()
{
    QFETCH(bool, nearlyFullDisk);
    m_store.reset();
    std::optional<TinyFileSystem> disk;
    if (nearlyFullDisk) {
        disk.emplace(m_dir->path(), 256);
        if (!disk->isMounted())
            QSKIP(qPrintable(QStringLiteral("no full disk to test on: ") + disk->whyNotMounted()));
    }
    const QByteArray precious = "\"" + QByteArray(64 * 1024, 'p') + "\"";
    {
        QFile file(m_dir->filePath(QStringLiteral("settings.json")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write("{\"notes\": " + precious + "}"), precious.size() + 11);
    }
    m_store = std::make_unique<SettingsStore>(m_dir->path());

    std::optional<FileSizeLimit> limit;
    if (nearlyFullDisk) {
        QVERIFY(disk->fill());
        QVERIFY(disk->leaveRoom(16 * 1024));
    } else {
        QVERIFY(limit.emplace(16 * 1024).isSet());
    }
    // Fails at start, and again before the first change would replace the list.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Cannot write .*notes-")));
    auto model = makeModel();
    QVERIFY(model->notes().isEmpty());
    QVERIFY(m_store->setAside().isEmpty());
    model->addNote(QStringLiteral("new"));
    limit.reset();

    QCOMPARE(model->notes().size(), 1);
    QVERIFY(!m_store->saveProblem().isEmpty());
    QVERIFY(m_store->setAside().isEmpty());
    QVERIFY(QDir(m_dir->path()).entryList({QStringLiteral("notes-*")}).isEmpty());
    SettingsStore reread(m_dir->path());
    QCOMPARE(reread.storedBytes(kNotes), std::optional<QByteArray>(precious.mid(1, precious.size() - 2)));
}

// Five notes at the length limit, each character one that JSON escapes, are the largest list
// the program writes: the store reads them back rather than set them aside.
void TestNotes::longestNotesSurviveRestart()
{
    NoteList saved;
    {
        auto model = makeModel();
        for (int i = 0; i < AppModel::maxNotes; ++i)
            model->addNote(QStringLiteral("x") + QString(AppModel::maxNoteLength - 2, QChar(0x01))
                           + QStringLiteral("x"));
        QCOMPARE(model->notes().size(), AppModel::maxNotes);
        QVERIFY(m_store->saveProblem().isEmpty());
        saved = model->notes();
    }
    QVERIFY(QFileInfo(m_store->filePath()).size() < SettingsStore::kMaxFileBytes);
    m_store = std::make_unique<SettingsStore>(m_dir->path());
    auto model = makeModel();
    QCOMPARE(model->notes(), saved);
}

void TestNotes::handEditedList_data()
{
    // The "notes" member as the hand edit leaves it (nothing: removed), or no edit at all.
    QTest::addColumn<bool>("edit");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<NoteList>("shown");
    QTest::addColumn<bool>("keptAside");
    const NoteList two{Note{kIdA, QStringLiteral("by hand"), false}, Note{kIdB, QStringLiteral("too"), true}};
    const auto data = [](const QByteArray &bytes) { return "{\"base64\":\"" + bytes.toBase64() + "\"}"; };
    const NoteList mine{Note{kIdB, QStringLiteral("mine"), false}};
    QTest::newRow("two notes written by hand") << true << data(NotesCodec::encode(two)) << two << false;
    QTest::newRow("an empty list") << true << data("[]") << NoteList() << false;
    QTest::newRow("the member removed") << true << QByteArray() << NoteList() << false;
    // Kept in a file of its own, and the list shown is stored again.
    QTest::newRow("a list that cannot be read")
        << true << data(R"([{"id":"0F8FAD5B-D9CB-469F-A165-70867728950E","text":"x"}])") << mine << true;
    QTest::newRow("a string") << true << QByteArray("\"x\"") << mine << true;
    QTest::newRow("the model's own save") << false << QByteArray() << mine << false;
}

void TestNotes::handEditedList()
{
    QFETCH(bool, edit);
    QFETCH(QByteArray, stored);
    QFETCH(NoteList, shown);
    QFETCH(bool, keptAside);
    auto model = makeModel();
    model->addNote(QStringLiteral("mine"));
    NoteList expected = shown;
    if (!edit || keptAside)
        expected.first().id = model->notes().first().id;
    QSignalSpy changed(model.get(), &AppModel::notesChanged);
    if (edit) {
        QFile file(m_store->filePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QJsonObject values = QJsonDocument::fromJson(file.readAll()).object();
        file.close();
        if (stored.isEmpty())
            values.remove(kNotes);
        else
            values.insert(kNotes, QJsonDocument::fromJson("[" + stored + "]").array().first());
        QFile edited(m_store->filePath() + QStringLiteral(".new"));
        QVERIFY(edited.open(QIODevice::WriteOnly));
        QVERIFY(edited.write(QJsonDocument(values).toJson()) > 0);
        // Saved after the model's last change. Flushed first: closing would write the buffered
        // text and stamp the file with the time of that write.
        QVERIFY(edited.flush());
        QVERIFY(edited.setFileTime(QDateTime::currentDateTime().addSecs(1), QFileDevice::FileModificationTime));
        edited.close();
        QVERIFY(QFile::remove(m_store->filePath()) && edited.rename(m_store->filePath()));
    }
    m_store->readOutsideChanges();

    QCOMPARE(model->notes(), expected);
    QCOMPARE(changed.size(), edit && !keptAside ? 1 : 0);
    const QStringList backups = QDir(m_dir->path()).entryList({QStringLiteral("notes-*")});
    QCOMPARE(backups.size(), keptAside ? 1 : 0);
    if (keptAside) {
        QCOMPARE(m_store->setAside(), backups.first());
        QCOMPARE(NotesCodec::decode(*SettingsStore(m_dir->path()).dataValue(kNotes)), std::optional(expected));
    }
}

QTEST_GUILESS_MAIN(TestNotes)
#include "tst_notes.moc"

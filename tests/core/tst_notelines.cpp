#include "core/NoteLines.h"

#include <QTest>

class TestNoteLines : public QObject
{
    Q_OBJECT

private slots:
    void split_data();
    void split();
};

void TestNoteLines::split_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("lines");

    const QString replacement(QChar::ReplacementCharacter);
    QTest::newRow("plain") << QStringLiteral("Buy milk") << QStringList{QStringLiteral("Buy milk")};
    QTest::newRow("empty") << QString() << QStringList{QString()};
    QTest::newRow("LF") << QStringLiteral("line one\nline two")
                        << QStringList{QStringLiteral("line one"), QStringLiteral("line two")};
    QTest::newRow("CR LF is one break") << QStringLiteral("a\r\nb")
                                        << QStringList{QStringLiteral("a"), QStringLiteral("b")};
    QTest::newRow("LF CR is two") << QStringLiteral("a\n\rb")
                                  << QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")};
    QTest::newRow("lone CR") << QStringLiteral("a\rb") << QStringList{QStringLiteral("a"), QStringLiteral("b")};
    QTest::newRow("blank line kept") << QStringLiteral("a\n\nb")
                                     << QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")};
    QTest::newRow("trailing break") << QStringLiteral("a\n") << QStringList{QStringLiteral("a"), QString()};
    QTest::newRow("VT, FF, NEL, LS, PS") << QStringLiteral("a\vb\fc\u0085d\u2028e\u2029f")
                                         << QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                                                        QStringLiteral("d"), QStringLiteral("e"), QStringLiteral("f")};
    QTest::newRow("tab stays") << QStringLiteral("tab\there") << QStringList{QStringLiteral("tab\there")};
    QTest::newRow("C0 controls") << QStringLiteral("bell\aesc\x1b"
                                                   "end")
                                 << QStringList{QStringLiteral("bell") + replacement + QStringLiteral("esc")
                                                + replacement + QStringLiteral("end")};
    QTest::newRow("NUL") << QString(QChar(0)) + QStringLiteral("x") << QStringList{replacement + QStringLiteral("x")};
    QTest::newRow("DEL and C1") << QStringLiteral("a\u007f\u0080\u009fb")
                                << QStringList{QStringLiteral("a") + replacement + replacement + replacement
                                               + QStringLiteral("b")};
    // Format characters are not controls: joiners and marks keep their work.
    QTest::newRow("joiner and direction mark")
        << QStringLiteral("a\u200db\u200fc") << QStringList{QStringLiteral("a\u200db\u200fc")};
    QTest::newRow("surrogate pair") << QStringLiteral("\U0001F600 ok") << QStringList{QStringLiteral("\U0001F600 ok")};
}

void TestNoteLines::split()
{
    QFETCH(QString, stored);
    QFETCH(QStringList, lines);
    QCOMPARE(NoteLines::split(stored), lines);
}

QTEST_GUILESS_MAIN(TestNoteLines)
#include "tst_notelines.moc"

#include "core/DurationParser.h"

#include <QTest>

#include <optional>

using Seconds = std::optional<double>;
Q_DECLARE_METATYPE(Seconds)

class TestDurationParser : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void filter_data();
    void filter();
};

void TestDurationParser::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Seconds>("expected");

    const Seconds absent;
    QTest::newRow("minutes:seconds") << "25:00" << Seconds(1500);
    QTest::newRow("minutes") << "25" << Seconds(1500);
    QTest::newRow("minutes above 59") << "90" << Seconds(5400);
    QTest::newRow("1:30") << "1:30" << Seconds(90);
    QTest::newRow("0:45") << "0:45" << Seconds(45);
    QTest::newRow("smallest") << "00:01" << Seconds(1);
    QTest::newRow("hours") << "1:00:00" << Seconds(3600);
    QTest::newRow("no leading zeros") << "1:2:3" << Seconds(3723);
    QTest::newRow("seconds above 59") << "5:75" << Seconds(375);
    QTest::newRow("spaces around fields") << " 5 : 30 " << Seconds(330);
    QTest::newRow("tab and no-break space") << "\t7\u00A0" << Seconds(420);
    QTest::newRow("ideographic and thin spaces") << "\u30007\u2009" << Seconds(420);
    QTest::newRow("plus sign") << "+2" << Seconds(120);
    QTest::newRow("negative field subtracts") << "1:-30" << Seconds(30);
    QTest::newRow("negative total") << "-5" << absent;
    QTest::newRow("zero") << "0" << absent;
    QTest::newRow("zero m:ss") << "0:00" << absent;
    QTest::newRow("negative seconds") << "0:0:-5" << absent;
    QTest::newRow("empty") << "" << absent;
    QTest::newRow("empty second piece") << "5:" << absent;
    QTest::newRow("empty first piece") << ":30" << absent;
    QTest::newRow("two colons") << "::" << absent;
    QTest::newRow("four pieces") << "1:2:3:4" << absent;
    QTest::newRow("decimal point") << "1.5" << absent;
    QTest::newRow("unit letter") << "10m" << absent;
    QTest::newRow("inner space") << "1 0" << absent;
    QTest::newRow("line feed not trimmed") << "7\n" << absent;
    QTest::newRow("carriage return not trimmed") << "\r7" << absent;
    QTest::newRow("line separator not trimmed") << "7\u2028" << absent;
    QTest::newRow("arabic-indic digit") << "\u0663" << absent;
    QTest::newRow("fullwidth digit") << "\uFF15" << absent;
    QTest::newRow("lone sign") << "-" << absent;
    QTest::newRow("two signs") << "--5" << absent;
    QTest::newRow("sign after space inside") << "- 5" << absent;
    QTest::newRow("colon with combining mark does not split") << "1:\u030130" << absent;
    QTest::newRow("leading zeros") << "0007" << Seconds(420);
    // 64-bit bounds: a field may use the whole range, the total must not leave it.
    QTest::newRow("largest seconds field") << "0:9223372036854775807" << Seconds(9223372036854775807.0);
    QTest::newRow("one past int64") << "9223372036854775808" << absent;
    QTest::newRow("most negative field") << "1:-9223372036854775808" << absent;
    QTest::newRow("below int64") << "-9223372036854775809" << absent;
    QTest::newRow("minutes overflow on times 60") << "153722867280912931" << absent;
    QTest::newRow("largest minutes that fit") << "153722867280912930" << Seconds(9223372036854775800.0);
    QTest::newRow("hours overflow") << "9223372036854775807:0:0" << absent;
    QTest::newRow("sum overflows") << "153722867280912930:9223372036854775807" << absent;
    QTest::newRow("most negative hours") << "-9223372036854775808:0:0" << absent;
    QTest::newRow("huge seconds cancel huge minutes") << "-153722867280912930:9223372036854775807" << Seconds(7);
}

void TestDurationParser::parse()
{
    QFETCH(QString, text);
    QFETCH(Seconds, expected);
    QCOMPARE(parseDuration(text), expected);
}

void TestDurationParser::filter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");

    QTest::newRow("letters between digits") << "1a:3b0"
                                            << "1:30";
    QTest::newRow("pasted words") << "5 min"
                                  << "5";
    QTest::newRow("signs and points") << "-1.5+"
                                      << "15";
    QTest::newRow("vulgar fraction") << "\u00BD"
                                     << "\u00BD";
    QTest::newRow("ideographic numerals") << "\u4E09\u5341"
                                          << "\u4E09\u5341";
    QTest::newRow("arabic-indic digits") << "\u0661\u0662"
                                         << "\u0661\u0662";
    QTest::newRow("roman numeral") << "\u2167"
                                   << "\u2167";
    QTest::newRow("superscript and circled") << "\u00B2\u2460"
                                             << "\u00B2\u2460";
    QTest::newRow("digit beyond the BMP") << "\U0001D7D8"
                                          << "\U0001D7D8";
    QTest::newRow("spaces and tabs") << " 1\t2\u00A0"
                                     << "12";
    QTest::newRow("line breaks") << "1\n2"
                                 << "12";
    QTest::newRow("emoji") << "1\U0001F600"
                           << "1";
    QTest::newRow("already clean") << "25:00"
                                   << "25:00";
    QString printable;
    for (char16_t c = 0x20; c < 0x7F; ++c)
        printable += QChar(c);
    QTest::newRow("every printable ASCII character") << printable << "0123456789:";
    QTest::newRow("digit with a combining accent") << "1\u0301a"
                                                   << "1\u0301";
}

void TestDurationParser::filter()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    QCOMPARE(keepDurationCharacters(typed), kept);
}

QTEST_GUILESS_MAIN(TestDurationParser)
#include "tst_durationparser.moc"

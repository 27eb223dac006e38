#include "formats/WorkbookCellText.h"

#include <QtTest>
#include <limits>

// Numbers, dates and formats as every workbook reader turns them into text.
class TestWorkbookCellText : public QObject {
    Q_OBJECT
private slots:
    void numbersInTheShortestExactForm_data();
    void numbersInTheShortestExactForm();
    void datesFromSerials_data();
    void datesFromSerials();
    void formatsThatShowDates_data();
    void formatsThatShowDates();
};

void TestWorkbookCellText::numbersInTheShortestExactForm_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole") << 12.0 << "12";
    QTest::newRow("half") << 3.5 << "3.5";
    QTest::newRow("small") << 1e-07 << "1e-07";
    QTest::newRow("tenth") << 0.1 << "0.1";
    QTest::newRow("sum needing 17 digits") << 0.1 + 0.2 << "0.30000000000000004";
    QTest::newRow("third needing 16 digits") << 1.0 / 3 << "0.3333333333333333";
    QTest::newRow("large") << 123456789012345678.0 << "1.2345678901234568e+17";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << "#NUM!";
}

void TestWorkbookCellText::numbersInTheShortestExactForm() {
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(WorkbookCellText::Number(value), expected);
}

void TestWorkbookCellText::datesFromSerials_data() {
    QTest::addColumn<double>("serial");
    QTest::addColumn<bool>("date1904");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first day") << 1.0 << false << "1900-01-01";
    QTest::newRow("the phantom leap day") << 60.0 << false << "1900-02-29";
    QTest::newRow("after it") << 61.0 << false << "1900-03-01";
    QTest::newRow("time of day dropped") << 45366.75 << false << "2024-03-15";
    QTest::newRow("1904 system") << 43904.0 << true << "2024-03-15";
    QTest::newRow("1904 first day") << 0.0 << true << "1904-01-01";
    QTest::newRow("negative stays a number") << -3.0 << false << "-3";
    QTest::newRow("past 9999 stays a number") << 3e6 << false << "3000000";
}

void TestWorkbookCellText::datesFromSerials() {
    QFETCH(double, serial);
    QFETCH(bool, date1904);
    QFETCH(QString, expected);
    QCOMPARE(WorkbookCellText::Date(serial, date1904), expected);
}

void TestWorkbookCellText::formatsThatShowDates_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("isDate");
    QTest::newRow("built-in 14") << 14 << "" << true;
    QTest::newRow("built-in 22") << 22 << "" << true;
    QTest::newRow("built-in 2") << 2 << "" << false;
    QTest::newRow("custom date") << 164 << "yyyy-mm-dd" << true;
    QTest::newRow("upper case") << 164 << "DD/MM/YYYY" << true;
    QTest::newRow("letters in quotes") << 164 << "0 \"days\"" << false;
    QTest::newRow("colour and locale in brackets") << 164 << "[Red][$-409]0.00" << false;
    QTest::newRow("escaped letter") << 164 << "0\\d" << false;
    QTest::newRow("general") << 164 << "General" << false;
    QTest::newRow("a code overrides its id") << 14 << "0.00" << false;
}

void TestWorkbookCellText::formatsThatShowDates() {
    QFETCH(int, id);
    QFETCH(QString, code);
    QFETCH(bool, isDate);
    QCOMPARE(WorkbookCellText::IsDateFormat(id, code), isDate);
}

QTEST_GUILESS_MAIN(TestWorkbookCellText)
#include "tst_WorkbookCellText.moc"

#include "StoreFixture.h"

#include "store/TFieldLink.h"

#include <QAbstractItemModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTableView>

namespace {
QList<TestCard> fruit() {
    return {{"pear", "a green fruit", 1},
            {"Apple", "a red fruit", 2},
            {"fig", "", 0},
            {"apricot", "an orange fruit", -1}};
}
} // namespace

class TestLinks : public QObject {
    Q_OBJECT
private slots:
    void modelShowsPresentedRows();
    void modelFollowsFilterSortAndHook();
    void modelIsBigButCheap();
    void disableControlsHoldsModelResets();
    void gridKeepsItsColumnLayout();
    void fieldLinksShowAndEditTheCurrentRow();
    void hiddenLinkCatchesUpWhenShown();
};

void TestLinks::modelShowsPresentedRows() {
    StoreFixture f(fruit());
    QAbstractItemModel *m = f.table()->Model();
    QCOMPARE(m->rowCount(), 0);
    f.open();
    QCOMPARE(m->rowCount(), 4);
    QCOMPARE(m->columnCount(), 4);
    QStringList headers;
    for (int c = 0; c < 4; ++c)
        headers << m->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(headers, QStringList({"ID", "Word", "ImportanceField", "Definition"}));
    QCOMPARE(m->data(m->index(1, 1)).toString(), QString("Apple"));
    QCOMPARE(m->data(m->index(3, 2)).toString(), QString("-1"));
    QCOMPARE(m->data(m->index(3, 2), Qt::EditRole).toInt(), -1);
    QVERIFY(!(m->flags(m->index(0, 1)) & Qt::ItemIsEditable));
    QVERIFY(!m->setData(m->index(0, 1), "changed"));
    f.data->CloseDatabase();
    QCOMPARE(m->rowCount(), 0);
}

void TestLinks::modelFollowsFilterSortAndHook() {
    StoreFixture f(fruit());
    f.open();
    TTable *t = f.table();
    QAbstractItemModel *m = t->Model();
    t->SetFilter("Word Like '%p%'");
    t->SetFiltered(true);
    QCOMPARE(m->rowCount(), 3);
    t->SetSort("Word ASC");
    QStringList words;
    for (int r = 0; r < m->rowCount(); ++r)
        words << m->data(m->index(r, 1)).toString();
    QCOMPARE(words, QStringList({"Apple", "apricot", "pear"}));
    t->SetOnGetText("Definition", [](const QVariant &v) {
        return v.isNull() ? QString() : "<" + v.toString() + ">";
    });
    QCOMPARE(m->data(m->index(0, 3)).toString(), QString("<a red fruit>"));
    t->SetFilter("ID=3 OR ID=-1");
    QCOMPARE(m->rowCount(), 1);
    QCOMPARE(m->data(m->index(0, 3)).toString(), QString("<>"));
    t->SetFiltered(false);
    QCOMPARE(m->rowCount(), 4);
}

void TestLinks::modelIsBigButCheap() {
    StoreFixture f(TestLibrary::numbered(30000));
    f.open();
    QTableView view;
    view.setModel(f.table()->Model());
    view.resize(400, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.model()->rowCount(), 30000);
    view.scrollToBottom();
    QCOMPARE(view.model()->data(view.model()->index(29999, 1)).toString(), QString("word30000"));
    // Posting keeps the grid's place: same shape, only repainted.
    QSignalSpy resets(view.model(), &QAbstractItemModel::modelReset);
    QVERIFY(f.table()->Locate("ID", 29990));
    f.table()->Edit();
    f.table()->SetFieldValue("Word", "edited");
    f.table()->Post();
    QCOMPARE(resets.count(), 0);
    QCOMPARE(view.model()->data(view.model()->index(29989, 1)).toString(), QString("edited"));
}

void TestLinks::disableControlsHoldsModelResets() {
    StoreFixture f(fruit());
    f.open();
    TTable *t = f.table();
    QAbstractItemModel *m = t->Model();
    int told = 0;
    const auto count = [&] { ++told; };
    connect(m, &QAbstractItemModel::modelReset, this, count);
    connect(m, &QAbstractItemModel::rowsInserted, this, count);
    connect(m, &QAbstractItemModel::rowsRemoved, this, count);
    connect(m, &QAbstractItemModel::dataChanged, this, count);
    t->DisableControls();
    t->Close();
    t->SetTableName("TotalTime");
    t->Open();
    t->Close();
    t->SetTableName("Library");
    t->Open();
    QCOMPARE(told, 0);
    t->EnableControls();
    QCOMPARE(told, 1); // once, and only a repaint: same rows, same columns
    QCOMPARE(m->rowCount(), 4);
    t->SetFilter("ID=1");
    t->SetFiltered(true);
    QCOMPARE(m->rowCount(), 1);
    QCOMPARE(m->data(m->index(0, 1)).toString(), QString("pear"));
}

void TestLinks::gridKeepsItsColumnLayout() {
    StoreFixture f(fruit());
    f.open();
    TTable *t = f.table();
    QTableView view;
    view.setModel(t->Model());
    view.setColumnHidden(0, true);
    view.setColumnWidth(1, 123);
    t->Append();
    t->SetFieldValue("Word", "kiwi");
    t->SetFieldValue("ImportanceField", 0);
    t->SetFieldValue("Definition", "small");
    t->Post();
    QCOMPARE(view.model()->rowCount(), 5);
    f.data->GetRecordByID(1); // closes the table
    QCOMPARE(view.model()->rowCount(), 0);
    t->Open();
    QCOMPARE(view.model()->rowCount(), 5);
    QVERIFY(view.isColumnHidden(0));
    QCOMPARE(view.columnWidth(1), 123);
}

void TestLinks::fieldLinksShowAndEditTheCurrentRow() {
    StoreFixture f(fruit());
    QLineEdit word;
    QPlainTextEdit definition;
    TFieldLink wordLink(f.table(), "Word", &word, "text");
    TFieldLink definitionLink(f.table(), "Definition", &definition, "plainText");
    word.show();
    definition.show();
    f.open();
    TTable *t = f.table();
    QCOMPARE(word.text(), QString("pear"));
    t->Next();
    QCOMPARE(word.text(), QString("Apple"));
    QCOMPARE(definition.toPlainText(), QString("a red fruit"));
    // Typing in browse mode writes nothing.
    word.setText("typed");
    QCOMPARE(t->FieldAsString("Word"), QString("Apple"));
    t->Edit();
    QCOMPARE(word.text(), QString("Apple"));
    word.selectAll();
    QTest::keyClicks(&word, "Pomme");
    definition.setPlainText("une pomme");
    QCOMPARE(t->FieldAsString("Word"), QString("Pomme"));
    t->Post();
    QCOMPARE(f.data->GetRecordByID(2).Word, QString("Pomme"));
    QCOMPARE(f.data->GetRecordByID(2).Definition, QString("une pomme"));
    QCOMPARE(word.text(), QString()); // GetRecordByID closed the table
    t->Open();
    t->Append();
    QCOMPARE(word.text(), QString());
    word.setText("kiwi");
    definition.setPlainText("small");
    t->SetFieldValue("ImportanceField", 0);
    t->Post();
    QCOMPARE(f.data->GetRecordByID(5).Word, QString("kiwi"));
    t->Open();
    t->Last();
    t->Edit();
    word.setText("changed my mind");
    t->Cancel();
    QCOMPARE(word.text(), QString("kiwi"));
}

void TestLinks::hiddenLinkCatchesUpWhenShown() {
    StoreFixture f(fruit());
    QLineEdit word;
    TFieldLink link(f.table(), "Word", &word, "text");
    f.open();
    for (f.table()->First(); !f.table()->Eof(); f.table()->Next()) {
    }
    QCOMPARE(word.text(), QString()); // hidden: not rewritten for every row
    word.show();
    QCOMPARE(word.text(), QString("apricot"));
}

QTEST_MAIN(TestLinks)
#include "tst_Links.moc"

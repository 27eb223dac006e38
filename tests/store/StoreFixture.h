#pragma once

#include "platform/LexomatError.h"
#include "store/TTable.h"
#include "store/Tdm.h"
#include "tests/support/TestLibrary.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

// A library file in a temporary folder and a data module attached to it.
struct StoreFixture {
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<Tdm> data;

    explicit StoreFixture(const QList<TestCard> &cards, std::optional<int> totalTime = std::nullopt,
                          const QString &name = "lib.mdb") {
        path = dir.filePath(name);
        TestLibrary::create(path, cards, totalTime);
        data = std::make_unique<Tdm>();
        data->SetDatabasePath(path);
    }
    TTable *table() { return data->tb_library; }
    void open() { data->OpenDatabase(); }
};

// Runs f and returns the LexomatError's message, or "(no error)".
template <typename F> QString errorOf(F f) {
    try {
        f();
    } catch (const LexomatError &e) {
        return e.message();
    }
    return "(no error)";
}

inline QStringList wordsOf(TTable *t) {
    QStringList words;
    for (t->First(); !t->Eof(); t->Next())
        words << t->FieldAsString("Word");
    return words;
}

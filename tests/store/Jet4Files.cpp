#include "tests/store/Jet4Files.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <sqlite3.h>

namespace {
QJsonObject expectedFile(const QString &name) {
    static const QJsonObject files = [] {
        QFile file(Jet4Files::original(QStringLiteral("expected.json")));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("expected.json of the Jet 4 test files is missing");
        return QJsonDocument::fromJson(file.readAll()).object().value("files").toObject();
    }();
    return files.value(name).toObject();
}

QJsonArray expectedCards(const QString &name) {
    return expectedFile(name)["tables"].toObject()["Library"].toObject()["rows"].toArray();
}

bool hasNull(const QJsonObject &row) {
    for (const char *column : {"ID", "Word", "ImportanceField", "Definition"})
        if (row.value(column).isNull())
            return true;
    return false;
}
} // namespace

namespace Jet4Files {

QString original(const QString &name) {
    return QStringLiteral(LEXOMAT_JET4_DIR "/") + name;
}

QString copyInto(const QString &folder, const QString &name) {
    const QString path = QDir(folder).filePath(name);
    QFile::copy(original(name), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

QString compareWithExpected(const QString &copyPath, const QString &name) {
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(copyPath).constData(), &db, SQLITE_OPEN_READONLY,
                        nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return "the copy cannot be opened";
    }
    QStringList differences;
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "SELECT ID, Word, ImportanceField, Definition FROM Library ORDER BY ID",
                       -1, &st, nullptr);
    QList<QJsonObject> expected;
    for (const QJsonValue &row : expectedCards(name))
        if (!hasNull(row.toObject()))
            expected.append(row.toObject());
    std::sort(expected.begin(), expected.end(), [](const QJsonObject &a, const QJsonObject &b) {
        return a["ID"].toInteger() < b["ID"].toInteger();
    });
    qsizetype i = 0;
    for (; st && sqlite3_step(st) == SQLITE_ROW; ++i) {
        if (i >= expected.size()) {
            differences << QString("extra row ID %1").arg(sqlite3_column_int64(st, 0));
            continue;
        }
        const QJsonObject &row = expected[i];
        auto text = [&](int c) {
            return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)),
                                     sqlite3_column_bytes(st, c));
        };
        const bool same = sqlite3_column_int64(st, 0) == row["ID"].toInteger() &&
                          text(1) == row["Word"].toString() &&
                          sqlite3_column_type(st, 2) == SQLITE_INTEGER &&
                          sqlite3_column_int64(st, 2) == row["ImportanceField"].toInteger() &&
                          text(3) == row["Definition"].toString();
        if (!same)
            differences << QString("row ID %1 differs from expected ID %2")
                               .arg(sqlite3_column_int64(st, 0))
                               .arg(row["ID"].toInteger());
    }
    sqlite3_finalize(st);
    if (i < expected.size())
        differences << QString("%1 rows missing").arg(expected.size() - i);

    sqlite3_prepare_v2(db, "SELECT TotalTime FROM TotalTime", -1, &st, nullptr);
    QList<qint64> times;
    QStringList timeTexts;
    while (st && sqlite3_step(st) == SQLITE_ROW) {
        times << sqlite3_column_int64(st, 0);
        timeTexts << QString::number(times.last());
    }
    sqlite3_finalize(st);
    const qint64 expectedTime = expectedFile(name)["total_time"].toInteger(0);
    if (times != QList<qint64>{expectedTime})
        differences << QString("study time rows %1, expected one row %2")
                           .arg(timeTexts.join(','))
                           .arg(expectedTime);
    sqlite3_close(db);
    return differences.join("; ");
}

QList<qint64> idsWithNulls(const QString &name) {
    QList<qint64> ids;
    for (const QJsonValue &row : expectedCards(name))
        if (hasNull(row.toObject()))
            ids << row.toObject()["ID"].toInteger();
    return ids;
}

QByteArray checksum(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}

QStringList listing(const QString &folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace Jet4Files

#include "tests/store/Jet4Files.h"
#include "formats/JetReaderProcess.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <map>
#include <sqlite3.h>

namespace Jet4Files {

void UseBuiltReader() {
    JetReaderProcess::SetProgram(QStringLiteral(LEXOMAT_EXE));
}

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
    QFile json(original("expected.json"));
    if (!json.open(QIODevice::ReadOnly))
        return "expected.json is missing";
    const QJsonObject file = QJsonDocument::fromJson(json.readAll())["files"][name].toObject();
    // One line per card, "ID|Word|Level|Definition", in ID order; NULL rows are left out.
    std::map<qint64, QString> expected, found;
    for (const QJsonValue &v : file["tables"]["Library"]["rows"].toArray()) {
        const QJsonObject r = v.toObject();
        if (!r["ImportanceField"].isNull() && !r["Definition"].isNull() && !r["Word"].isNull())
            expected[r["ID"].toInteger()] = QString("%1|%2|%3")
                                                .arg(r["Word"].toString())
                                                .arg(r["ImportanceField"].toInteger())
                                                .arg(r["Definition"].toString());
    }
    sqlite3 *db = nullptr;
    sqlite3_stmt *st = nullptr;
    qint64 time = -1;
    int timeRows = 0;
    if (sqlite3_open_v2(QFile::encodeName(copyPath).constData(), &db, SQLITE_OPEN_READONLY,
                        nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "SELECT ID, Word, ImportanceField, Definition FROM Library", -1, &st,
                           nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW)
            found[sqlite3_column_int64(st, 0)] =
                QString("%1|%2|%3")
                    .arg(QString::fromUtf8(
                        reinterpret_cast<const char *>(sqlite3_column_text(st, 1))))
                    .arg(sqlite3_column_type(st, 2) == SQLITE_INTEGER ? sqlite3_column_int64(st, 2)
                                                                      : -999)
                    .arg(QString::fromUtf8(
                        reinterpret_cast<const char *>(sqlite3_column_text(st, 3))));
        sqlite3_finalize(st);
        sqlite3_prepare_v2(db, "SELECT TotalTime FROM TotalTime", -1, &st, nullptr);
        for (; st && sqlite3_step(st) == SQLITE_ROW; ++timeRows)
            time = sqlite3_column_int64(st, 0);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    if (found != expected) {
        for (const auto &[id, card] : expected)
            if (found.count(id) == 0 || found[id] != card)
                return QString("card %1 is missing or differs").arg(id);
        return QString("%1 cards more than expected").arg(found.size() - expected.size());
    }
    if (timeRows != 1 || time != file["total_time"].toInteger(0))
        return QString("%1 study time rows, the last %2").arg(timeRows).arg(time);
    return {};
}

QByteArray checksum(const QString &path) {
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (file.open(QIODevice::ReadOnly))
        hash.addData(&file);
    return hash.result().toHex();
}

QStringList listing(const QString &folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace Jet4Files

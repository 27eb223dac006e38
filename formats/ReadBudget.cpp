#include "formats/ReadBudget.h"
#include "platform/LexomatError.h"

qint64 ReadBudget::MemoryLimitFor(qint64 fileBytes) {
    return qMin(CeilingBytes, BytesPerFileByte * qMax<qint64>(fileBytes, 0) + ConstantBytes);
}

ReadBudget::ReadBudget(qint64 fileBytes)
    : memoryLimit(MemoryLimitFor(fileBytes)),
      characterLimit(CharactersPerFileByte * qMax<qint64>(fileBytes, 0) + ConstantCharacters) {
    Keep(fileBytes);
}

void ReadBudget::Keep(qint64 bytes) {
    memoryUsed += bytes;
    if (memoryUsed > memoryLimit)
        throw LexomatError(QStringLiteral("The workbook would need more than %1 MiB of memory to "
                                          "read, far more than its size explains.")
                               .arg(memoryLimit >> 20));
}

void ReadBudget::HandOut(qint64 characters) {
    charactersUsed += characters;
    if (charactersUsed > characterLimit)
        throw LexomatError(QStringLiteral("The sheet repeats its texts far more often than its "
                                          "size explains (more than %1 million characters).")
                               .arg(characterLimit / 1000000));
}

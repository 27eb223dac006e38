#include "formats/TextFileOutput.h"
#include "platform/LexomatError.h"

namespace {
constexpr qsizetype FlushBytes = 1 << 20;
}

TextFileOutput::TextFileOutput(const QString &path) : file(path) {
    // Unbuffered: each write reaches the system at once and fails with its reason.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        Fail(file.errorString());
}

TextFileOutput::~TextFileOutput() {
    if (!finished) {
        file.close();
        file.remove();
    }
}

void TextFileOutput::WriteOutIfFull() {
    if (out.size() >= FlushBytes)
        WriteOut();
}

void TextFileOutput::Finish() {
    WriteOut();
    if (!file.flush())
        Fail(file.errorString());
    file.close();
    if (file.error() != QFileDevice::NoError)
        Fail(file.errorString());
    finished = true;
}

void TextFileOutput::Fail(const QString &reason) const {
    throw LexomatError(
        QString("The file \"%1\" cannot be written: %2").arg(file.fileName(), reason));
}

void TextFileOutput::WriteOut() {
    // A write cut short by a full disk reports no error of its own: the next one, of
    // nothing at all, tells why.
    qsizetype done = 0;
    while (done < out.size()) {
        const qint64 written = file.write(out.constData() + done, out.size() - done);
        if (written <= 0)
            Fail(file.error() == QFileDevice::ResourceError ? QStringLiteral("the disk is full")
                                                            : file.errorString());
        done += qsizetype(written);
    }
    out.clear();
}

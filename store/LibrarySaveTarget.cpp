#include "store/LibrarySaveTarget.h"

#include "platform/DurableFiles.h"

#include "platform/FileIdentity.h"
#include "platform/LexomatError.h"

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

LibrarySaveTarget::LibrarySaveTarget(const QString &from, const QString &chosenName)
    : chosen(chosenName) {
    // The file itself, not the path: a link to the library is the library.
    if (SameFile(from, chosen))
        Fail("it is the library being saved.");
    const QFileInfo info(chosen);
    if (info.isDir())
        Fail("a folder of that name is in the way.");
    path = !info.isSymLink()                    ? info.absoluteFilePath()
           : info.canonicalFilePath().isEmpty() ? info.symLinkTarget()
                                                : info.canonicalFilePath();
}

mode_t LibrarySaveTarget::Mode() const {
    return DurableFiles::ModeFor(path);
}

void LibrarySaveTarget::Fail(const QString &reason, const QString &detail) const {
    throw LexomatError(QString("The library could not be saved as \"%1\": %2").arg(chosen, reason),
                       detail);
}

#include "widgets/DroppedFile.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

QString DroppedFile(const QMimeData *data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return QString();
    const QUrl url = data->urls().constFirst();
    if (!url.isLocalFile())
        return QString();
    const QString path = url.toLocalFile();
    return QFileInfo(path).isFile() ? path : QString();
}

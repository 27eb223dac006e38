#pragma once

#include <QString>

class QMimeData;

// The one local file a drag from a file manager carries; empty for a folder, for
// several files or for anything that is no local file, so such drops are refused.
QString DroppedFile(const QMimeData *data);

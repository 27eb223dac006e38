#include "tests/support/FileCallLog.h"

#include <QFile>
#include <QMutex>
#include <atomic>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace {
std::atomic<bool> recording{false};
QMutex mutex;
QStringList &log() {
    static QStringList calls;
    return calls;
}

void Note(const QString &call) {
    if (!recording)
        return;
    QMutexLocker lock(&mutex);
    log() << call;
}

QString PathOf(int fd) {
    char target[4096];
    const ssize_t size = readlink(QByteArray("/proc/self/fd/" + QByteArray::number(fd)).constData(),
                                  target, sizeof target - 1);
    return size > 0 ? QFile::decodeName(QByteArray(target, int(size))) : QString("fd?");
}

template <typename F> F Next(const char *name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
} // namespace

extern "C" {
int fsync(int fd) {
    Note("fsync " + PathOf(fd));
    static auto real = Next<int (*)(int)>("fsync");
    return real(fd);
}

int fdatasync(int fd) {
    Note("fsync " + PathOf(fd));
    static auto real = Next<int (*)(int)>("fdatasync");
    return real(fd);
}

int rename(const char *from, const char *to) {
    Note("rename " + QFile::decodeName(from) + " -> " + QFile::decodeName(to));
    static auto real = Next<int (*)(const char *, const char *)>("rename");
    return real(from, to);
}

int renameat2(int fromDir, const char *from, int toDir, const char *to, unsigned flags) {
    Note("rename " + QFile::decodeName(from) + " -> " + QFile::decodeName(to));
    static auto real = Next<int (*)(int, const char *, int, const char *, unsigned)>("renameat2");
    return real(fromDir, from, toDir, to, flags);
}

int unlink(const char *path) {
    Note("unlink " + QFile::decodeName(path));
    static auto real = Next<int (*)(const char *)>("unlink");
    return real(path);
}
}

FileCallLog::FileCallLog() {
    QMutexLocker lock(&mutex);
    log().clear();
    recording = true;
}

FileCallLog::~FileCallLog() {
    recording = false;
}

QStringList FileCallLog::calls() const {
    QMutexLocker lock(&mutex);
    return log();
}

int FileCallLog::find(const QString &prefix, int from) const {
    const QStringList all = calls();
    for (int i = std::max(0, from); i < all.size(); ++i)
        if (all[i].startsWith(prefix))
            return i;
    return -1;
}

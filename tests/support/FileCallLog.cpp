#include "tests/support/FileCallLog.h"

#include <QFile>
#include <QList>
#include <QMutex>
#include <QPair>
#include <atomic>
#include <cerrno>
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

// Calls to fail, each once: the start of the call as written down, and the error.
QList<QPair<QString, int>> &failures() {
    static QList<QPair<QString, int>> calls;
    return calls;
}

// Writes the call down; the error it is to fail with, or 0.
int Note(const QString &call) {
    if (!recording)
        return 0;
    QMutexLocker lock(&mutex);
    log() << call;
    for (qsizetype i = 0; i < failures().size(); ++i)
        if (call.startsWith(failures()[i].first))
            return failures().takeAt(i).second;
    return 0;
}

int Failed(int error) {
    errno = error;
    return -1;
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
    if (const int error = Note("fsync " + PathOf(fd)))
        return Failed(error);
    static auto real = Next<int (*)(int)>("fsync");
    return real(fd);
}

int fdatasync(int fd) {
    if (const int error = Note("fsync " + PathOf(fd)))
        return Failed(error);
    static auto real = Next<int (*)(int)>("fdatasync");
    return real(fd);
}

int rename(const char *from, const char *to) {
    if (const int error =
            Note("rename " + QFile::decodeName(from) + " -> " + QFile::decodeName(to)))
        return Failed(error);
    static auto real = Next<int (*)(const char *, const char *)>("rename");
    return real(from, to);
}

int renameat2(int fromDir, const char *from, int toDir, const char *to, unsigned flags) {
    if (const int error =
            Note("rename " + QFile::decodeName(from) + " -> " + QFile::decodeName(to)))
        return Failed(error);
    static auto real = Next<int (*)(int, const char *, int, const char *, unsigned)>("renameat2");
    return real(fromDir, from, toDir, to, flags);
}

int unlink(const char *path) {
    if (const int error = Note("unlink " + QFile::decodeName(path)))
        return Failed(error);
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
    QMutexLocker lock(&mutex);
    failures().clear();
}

void FileCallLog::failOnce(const QString &prefix, int error) {
    QMutexLocker lock(&mutex);
    failures().append({prefix, error});
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

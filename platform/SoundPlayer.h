#pragma once

#include <QObject>
#include <QString>
#include <memory>

// Plays a short sound file asynchronously. A new Play while one is sounding starts it
// again from the beginning. With no audio device nothing happens; a file that is
// missing or unreadable gives the platform's alert instead.
class SoundPlayer : public QObject {
    Q_OBJECT
public:
    explicit SoundPlayer(QObject *parent = nullptr);
    ~SoundPlayer() override;

    void Play(const QString &path);

    // For tests: how many plays were asked for, and how many fell back to the alert.
    int PlayCount() const;
    int AlertCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

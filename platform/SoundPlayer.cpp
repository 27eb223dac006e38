#include "platform/SoundPlayer.h"

// Placeholder until the audio layer lands: counts plays only.
struct SoundPlayer::Impl {
    int plays = 0;
    int alerts = 0;
};

SoundPlayer::SoundPlayer(QObject *parent) : QObject(parent), d(std::make_unique<Impl>()) {}
SoundPlayer::~SoundPlayer() = default;
void SoundPlayer::Play(const QString &) { ++d->plays; }
int SoundPlayer::PlayCount() const { return d->plays; }
int SoundPlayer::AlertCount() const { return d->alerts; }

#include "platform/SoundPlayer.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QFile>
#include <QHash>
#include <QMediaDevices>
#include <sndfile.h>

namespace {
// Far more than any feedback sound; keeps a damaged header from asking for gigabytes.
constexpr sf_count_t MaxSamples = sf_count_t(1) << 25;

struct DecodedSound {
    QAudioFormat format;
    QByteArray samples; // interleaved 16-bit PCM
};

// Decodes the whole file with libsndfile; false when it cannot be opened or holds no
// sound.
bool decode(const QString &path, DecodedSound &sound) {
    SF_INFO info{};
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return false;
    // libsndfile takes a file with no header it knows for raw samples by its name;
    // such a file is damaged, not a sound.
    const bool raw = (info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_RAW;
    bool ok = !raw && info.frames > 0 && info.channels > 0 && info.samplerate > 0 &&
              info.frames <= MaxSamples / info.channels;
    if (ok) {
        QByteArray samples(static_cast<qsizetype>(info.frames * info.channels * sizeof(short)),
                           Qt::Uninitialized);
        const sf_count_t read =
            sf_readf_short(file, reinterpret_cast<short *>(samples.data()), info.frames);
        ok = read > 0;
        samples.truncate(static_cast<qsizetype>(read * info.channels * sizeof(short)));
        sound.samples = samples;
        sound.format.setSampleRate(info.samplerate);
        sound.format.setChannelCount(info.channels);
        sound.format.setSampleFormat(QAudioFormat::Int16);
    }
    sf_close(file);
    return ok;
}
} // namespace

struct SoundPlayer::Impl {
    int plays = 0;
    int alerts = 0;
    QHash<QString, DecodedSound> decoded;
    QBuffer source;
    QAudioSink *sink = nullptr;

    void stop() {
        if (sink) {
            sink->stop();
            delete sink;
            sink = nullptr;
        }
        source.close();
    }
};

SoundPlayer::SoundPlayer(QObject *parent) : QObject(parent), d(std::make_unique<Impl>()) {}

SoundPlayer::~SoundPlayer() {
    d->stop();
}

void SoundPlayer::Play(const QString &path) {
    ++d->plays;
    auto found = d->decoded.find(path);
    if (found == d->decoded.end()) {
        DecodedSound sound;
        if (!decode(path, sound)) {
            // The platform's default alert stands in for a sound that cannot be played.
            ++d->alerts;
            if (qobject_cast<QApplication *>(QCoreApplication::instance()))
                QApplication::beep();
            return;
        }
        found = d->decoded.insert(path, sound);
    }

    // A new play cuts the one still sounding and starts from the beginning.
    d->stop();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return;
    d->source.setData(found->samples);
    d->source.open(QIODevice::ReadOnly);
    d->sink = new QAudioSink(device, found->format, this);
    QAudioSink *sink = d->sink;
    connect(sink, &QAudioSink::stateChanged, this, [this, sink](QAudio::State state) {
        // Release the device once the sound has run out or failed to start.
        if (sink == d->sink && state == QAudio::IdleState)
            sink->stop();
    });
    sink->start(&d->source);
}

int SoundPlayer::PlayCount() const {
    return d->plays;
}

int SoundPlayer::AlertCount() const {
    return d->alerts;
}

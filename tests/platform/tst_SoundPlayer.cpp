#include "platform/SoundPlayer.h"
#include "tests/support/TestWorkspace.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QtEndian>
#include <QtTest>

class TestSoundPlayer : public QObject {
    Q_OBJECT
private slots:
    void missingOrDamagedFileGivesTheAlert();
    void playableFilePlaysWithoutAlert();
    void bundledSoundIsPlayable();
};

namespace {
// A Sun .au file of 16-bit linear PCM, mono: a short rising ramp.
void writeAu(const QString &path, int frames) {
    QByteArray data;
    auto put32 = [&data](quint32 v) {
        char b[4];
        qToBigEndian(v, b);
        data.append(b, 4);
    };
    data.append(".snd");
    put32(24);
    put32(static_cast<quint32>(frames * 2));
    put32(3);    // 16-bit linear
    put32(8000); // rate
    put32(1);    // channels
    for (int i = 0; i < frames; ++i) {
        char b[2];
        qToBigEndian(static_cast<qint16>((i % 64) * 256 - 8192), b);
        data.append(b, 2);
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}
} // namespace

void TestSoundPlayer::missingOrDamagedFileGivesTheAlert() {
    TestWorkspace workspace(false);
    SoundPlayer player;
    player.Play(workspace.file("wrong.au"));
    QCOMPARE(player.PlayCount(), 1);
    QCOMPARE(player.AlertCount(), 1);

    QFile damaged(workspace.file("damaged.au"));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write("this is no sound at all");
    damaged.close();
    player.Play(workspace.file("damaged.au"));
    QCOMPARE(player.AlertCount(), 2);

    // A file that appears later is played, not remembered as missing.
    writeAu(workspace.file("wrong.au"), 800);
    player.Play(workspace.file("wrong.au"));
    QCOMPARE(player.PlayCount(), 3);
    QCOMPARE(player.AlertCount(), 2);
}

void TestSoundPlayer::playableFilePlaysWithoutAlert() {
    TestWorkspace workspace(false);
    writeAu(workspace.file("short.au"), 2400);
    if (QMediaDevices::defaultAudioOutput().isNull())
        qInfo("no audio device: plays are silent");
    SoundPlayer player;
    // Repeated plays, each cutting the one before, and time for the sink to run out.
    for (int i = 0; i < 5; ++i)
        player.Play(workspace.file("short.au"));
    QTest::qWait(50);
    player.Play(workspace.file("short.au"));
    QTest::qWait(400);
    QCOMPARE(player.PlayCount(), 6);
    QCOMPARE(player.AlertCount(), 0);
}

void TestSoundPlayer::bundledSoundIsPlayable() {
    SoundPlayer player;
    player.Play(TestWorkspace::dataDir() + "/wrong.au");
    QCOMPARE(player.AlertCount(), 0);
}

QTEST_MAIN(TestSoundPlayer)
#include "tst_SoundPlayer.moc"

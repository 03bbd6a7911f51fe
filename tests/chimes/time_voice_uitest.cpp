#include "chimes/time_voice.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include "chimes/core/time_voice_clips.h"
#include "platform/clip_sink.h"
#include "platform/core/clock.h"
#include "platform/core/program_dir.h"
#include "support/fake_clock.h"

// Readable failure messages.
static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

// Records what it is asked to do; the test decides when a clip ends.
class FakeSink : public CClipSink {
public:
    void Play(const QString& file) override {
        calls << "play " + QFileInfo(file).completeBaseName();
        files << file;
    }
    void Stop() override { calls << "stop"; }
    void Finish() { emit Finished(); }
    void Fail() { emit Failed(QStringLiteral("broken")); }

    QStringList calls;
    QStringList files;
};

QStringList Names(const std::vector<std::string>& clips) {
    QStringList out;
    for (const auto& c : clips)
        out << QFileInfo(QString::fromStdString(c)).completeBaseName();
    return out;
}

QStringList Plays(const QStringList& names) {
    QStringList out;
    for (const auto& n : names)
        out << "play " + n;
    return out;
}

class TimeVoiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dataDir.isValid());
        QDir().mkpath(dataDir.filePath("sound"));
        for (const auto& clip : zorvel::AllTimeVoiceClips()) {
            QFile f(dataDir.filePath(QString::fromStdString(clip)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        sink = new FakeSink;
        voice = std::make_unique<CTimeVoice>(sink, clock,
                                             zorvel::DataDirs::In(dataDir.path().toStdString()));
    }
    void TearDown() override { voice.reset(); }

    // Ends the playing clip and lets the announcer go on to the next.
    void FinishClip() {
        sink->Finish();
        QCoreApplication::processEvents();
    }
    void FinishAll() {
        for (int i = 0; i < 20 && voice->IsPlaying(); ++i)
            FinishClip();
    }

    QTemporaryDir dataDir;
    FakeSink* sink = nullptr;
    zorvel::test::FakeClock clock;
    std::unique_ptr<CTimeVoice> voice;
};

TEST_F(TimeVoiceTest, PlaysEachClipOnlyAfterThePreviousEnded) {
    QSignalSpy finished(voice.get(), &CTimeVoice::Finished);
    voice->Start(23, 59);
    EXPECT_EQ(sink->calls, QStringList{"play zhong"});  // Start returns while the bell plays
    FinishClip();
    EXPECT_EQ(sink->calls, (QStringList{"play zhong", "play TIMENOW"}));

    FinishAll();
    EXPECT_EQ(sink->calls, Plays(Names(zorvel::TimeVoiceClips(23, 59))));
    EXPECT_FALSE(voice->IsPlaying());
    EXPECT_EQ(finished.count(), 1);
}

TEST_F(TimeVoiceTest, ClipsComeFromTheDataDirectoryNotTheCurrentOne) {
    QString before = QDir::currentPath();
    QDir::setCurrent(QDir::homePath());  // as when started from a desktop autostart entry
    voice->Start(8, 0);
    QDir::setCurrent(before);
    ASSERT_EQ(sink->files.size(), 1);
    EXPECT_EQ(sink->files[0], dataDir.filePath("sound/zhong.wav"));
}

TEST_F(TimeVoiceTest, NewAnnouncementStopsTheOldOneCleanly) {
    QSignalSpy finished(voice.get(), &CTimeVoice::Finished);
    voice->Start(8, 0);
    FinishClip();
    // The old clip ends just as the new announcement starts: its pending step must not move
    // the new announcement on.
    sink->Finish();
    voice->Start(14, 30);
    QCoreApplication::processEvents();
    EXPECT_EQ(sink->calls, (QStringList{"play zhong", "play TIMENOW", "play zhong"}));

    sink->calls.clear();
    voice->Start(9, 5);  // again, this time with a clip playing
    EXPECT_EQ(sink->calls, (QStringList{"stop", "play zhong"}));
    sink->calls.clear();
    FinishAll();
    EXPECT_EQ(sink->calls, Plays(Names(zorvel::TimeVoiceClips(9, 5))).mid(1));
    EXPECT_EQ(finished.count(), 1);  // only the announcement that ran to its end
}

TEST_F(TimeVoiceTest, UnplayableOrMissingClipIsSkippedAndTheRestPlays) {
    QFile::remove(dataDir.filePath("sound/AM1.wav"));
    QSignalSpy skipped(voice.get(), &CTimeVoice::ClipSkipped);
    voice->Start(9, 5);  // zhong TIMENOW AM1 T09 POINT T00 T05 MIN
    FinishClip();
    sink->Fail();  // TIMENOW cannot be played
    QCoreApplication::processEvents();
    FinishAll();
    EXPECT_EQ(sink->calls, Plays({"zhong", "TIMENOW", "T09", "POINT", "T00", "T05", "MIN"}));
    ASSERT_EQ(skipped.count(), 2);
    EXPECT_EQ(skipped[0][0].toString(), "sound/TIMENOW.wav");
    EXPECT_EQ(skipped[1][0].toString(), "sound/AM1.wav");
}

TEST_F(TimeVoiceTest, StuckClipIsGivenUp) {
    voice->SetClipTimeout(std::chrono::milliseconds(30));
    voice->Start(8, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return sink->calls.size() >= 3; }, 2000));
    EXPECT_EQ(sink->calls.mid(0, 3), (QStringList{"play zhong", "stop", "play TIMENOW"}));
    voice->Stop();
}

TEST_F(TimeVoiceTest, StartNowSpeaksTheTimeOfItsClock) {
    clock.Set(zorvel::MakeLocalTime(2024, 5, 6, 10, 17, 42));
    voice->StartNow();
    FinishAll();
    EXPECT_EQ(sink->calls, Plays(Names(zorvel::TimeVoiceClips(10, 17))));
}

}  // namespace

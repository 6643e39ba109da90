// darvelle-cli animate run as a user runs it: the frames from first to last
// contact, the video through ffmpeg, and what happens without ffmpeg.

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <string>

#include "../support/run_process.h"
#include "compute_fixture.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;
using darvelle::testing::RunProcess;

class AnimateCommand : public testing::CliComputeTest {
 protected:
  std::string Animate(const std::string& args) const {
    return std::string(DARVELLE_CLI_PATH) + " animate --date 2024-04-08 --data " + data_.string() +
           " --out " + (dir_ / "frames").string() + " --size 200 --step 1800 " + args;
  }
};

TEST_F(AnimateCommand, FramesCoverTheEclipseAndJoinIntoAVideo) {
  const bool haveFfmpeg = RunProcess("ffmpeg -version").exitStatus == 0;
  const fs::path video = dir_ / "eclipse.mp4";
  const auto run = RunProcess(Animate(haveFfmpeg ? "--video " + video.string() : ""));
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  // 2024 April 8: some 5.2 hours from first to last contact, a frame every
  // half hour from the first contact on.
  int frames = 0;
  for (const auto& entry : fs::directory_iterator(dir_ / "frames")) {
    ++frames;
    const QImage frame(QString::fromStdString(entry.path().string()));
    EXPECT_EQ(frame.size(), QSize(200, 200)) << entry.path();
  }
  EXPECT_EQ(frames, 11);
  EXPECT_TRUE(fs::exists(dir_ / "frames" / "frame_0011.png"));
  if (!haveFfmpeg) GTEST_SKIP() << "ffmpeg is missing: tools/setup.sh installs it";
  const auto probe = RunProcess("ffprobe -v error -count_frames -show_entries "
                                "stream=nb_read_frames -of csv=p=0 " + video.string());
  EXPECT_EQ(probe.out, "11\n") << probe.err;
}

TEST_F(AnimateCommand, SaysSoWhenFfmpegIsMissing) {
  const auto run = RunProcess("PATH=/nonexistent " + Animate("--video " + (dir_ / "e.webm").string()));
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_NE(run.err.find("ffmpeg is not installed"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(dir_ / "e.webm"));
}

}  // namespace
}  // namespace darvelle

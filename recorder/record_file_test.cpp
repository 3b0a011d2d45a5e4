// The record file's bytes: header, lines, appending.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "app/file_bytes_test.h"
#include "app/program_state.h"
#include "recorder/recorder.h"

namespace {

using testfiles::FileBytes;

constexpr const char* kTitles =
    "DATE\tTIME\tRED\tGREEN\tBLUE\tX s\tY i\tINT M\tdelta C\tCOLOR\tGROUP\tTRIGGER\tTEMP\r\n";

TEST(RecordHeader, WithoutPanelIdTheEmptyLineFollowsTheTitleLine) {
  EXPECT_EQ(RecordHeaderText(""), std::string("\nRECORD RESULTS OF: CHROMIK4-ANA-Scope V1.2\r\n\r\n") + kTitles);
}

TEST(RecordHeader, APanelIdGetsItsOwnLine) {
  EXPECT_EQ(RecordHeaderText("Line 4 sorter"),
            std::string("\nRECORD RESULTS OF: CHROMIK4-ANA-Scope V1.2\r\nPANEL ID: Line 4 sorter\r\n\r\n") + kTitles);
}

TEST(RecordLine, DeltaCIsSignedAndEveryOtherColumnUnsigned) {
  MeasuredValuesRecord m{};
  m.Red = 65535;
  m.Green = 0;
  m.Blue = 4095;
  m.X = 40000;
  m.Y = 12;
  m.Int = 1;
  m.DeltaC = -1;
  m.ColorNo = 255;
  m.GroupNo = 3;
  m.Trigger = 1;
  m.Temp = 32768;
  m.RawRed = 999;  // not part of the line
  EXPECT_EQ(RecordLineText(m, "12-31-2026", "23:59:58"),
            "12-31-2026\t23:59:58\t65535\t0\t4095\t40000\t12\t1\t-1\t255\t3\t1\t32768\r\n");
  m.DeltaC = 32767;
  m.Temp = 0;
  EXPECT_EQ(RecordLineText(m, "01-02-2027", "00:00:00"),
            "01-02-2027\t00:00:00\t65535\t0\t4095\t40000\t12\t1\t32767\t255\t3\t1\t0\r\n");
}

class RecordAppend : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/recfile_XXXXXX";
    dir_ = mkdtemp(pattern);
    Recorder = RecorderState{};
    MeasuredValues = MeasuredValuesRecord{};
  }
  void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }
  std::string dir_;
};

TEST_F(RecordAppend, LinesAreAppendedBehindTheHeaderAndCounted) {
  State.RecordFilePath = dir_ + "/RecordFile.dat";
  State.PanelId = "";
  ASSERT_EQ(WriteRecordHeader(), 1);
  MeasuredValues.Red = 7;
  ASSERT_EQ(AppendRecordLine(), 1);
  ASSERT_EQ(AppendRecordLine(), 1);
  const std::string bytes = FileBytes(State.RecordFilePath);
  const std::string header = RecordHeaderText("");
  ASSERT_EQ(bytes.compare(0, header.size(), header), 0);
  const std::string lines = bytes.substr(header.size());
  // Two lines of 13 fields: date (10 characters) TAB time (8) TAB ...
  ASSERT_EQ(lines.size() % 2, 0u);
  const std::string first = lines.substr(0, lines.size() / 2);
  EXPECT_EQ(first.size(), 10 + 1 + 8 + 1 + std::string("7\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\r\n").size());
  EXPECT_EQ(first[2], '-');
  EXPECT_EQ(first[5], '-');
  EXPECT_EQ(first[13], ':');
  EXPECT_EQ(first.substr(20), "7\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\r\n");
  EXPECT_EQ(Recorder.LinesWritten, 2);
  EXPECT_EQ(Recorder.LinesLost, 0);
}

TEST_F(RecordAppend, ALineThatCannotBeWrittenIsCountedNotDropped) {
  // A regular file where the folder should be: no one can create the record file, not even root.
  std::ofstream(dir_ + "/plain") << "x";
  State.RecordFilePath = dir_ + "/plain/RecordFile.dat";
  EXPECT_EQ(WriteRecordHeader(), -1);
  EXPECT_EQ(AppendRecordLine(), -1);
  EXPECT_EQ(AppendRecordLine(), -1);
  EXPECT_EQ(Recorder.LinesLost, 2);
  EXPECT_EQ(Recorder.LinesWritten, 0);
  State.RecordFilePath = "";
  EXPECT_EQ(AppendRecordLine(), -1);
  EXPECT_EQ(Recorder.LinesLost, 3);
}

TEST_F(RecordAppend, AFullDiskIsALostLine) {
  std::FILE* probe = std::fopen("/dev/full", "ab");
  if (!probe) GTEST_SKIP() << "no /dev/full here";
  std::fclose(probe);
  State.RecordFilePath = "/dev/full";
  EXPECT_EQ(AppendRecordLine(), -1);
  EXPECT_EQ(Recorder.LinesLost, 1);
}

}  // namespace

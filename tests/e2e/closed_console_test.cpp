// A console that goes away must not take the game with it: output failures pass silently (no
// SIGPIPE on Linux; Windows has no such signal), and the score record is still written.
#include <unistd.h>

#include "expected_output.h"
#include "game_run.h"

namespace {

using ClosedConsole = GameRunTest;

TEST_F(ClosedConsole, GameStillPlaysToTheEndAndKeepsItsRecord) {
  // The reader is gone before the game writes its first byte.
  ASSERT_TRUE(Launch("8\n", Pictures::Present, nullptr, ChildProcess::Sink::ReaderGone));
  Frame over;
  ASSERT_TRUE(WaitForStateText(StateText::GameOver, &over));
  EXPECT_EQ(ScoreFile(), Lines(ScoreRecord(1, 8)));
  EXPECT_EQ(SettledBells(1), 1);
  EXPECT_TRUE(game().Running()) << "the game ended by itself"
                                << (game().signal() != 0
                                        ? ", killed by signal " + std::to_string(game().signal())
                                        : std::string());
}

}  // namespace

// The battle message window on the headless console: shifting, clearing, the
// typing pace and its skip, and the texts composed for it.
#include <gtest/gtest.h>

#include <string>

#include "console/console.h"
#include "console/message_log.h"
#include "console/texts.h"
#include "tests/test_support.h"

namespace {

class MessageLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        HeadlessReset();
        viewColumn = 25;
        ResetMessageLog();
    }
    void TearDown() override { viewColumn = 25; }
    // The window's row of line n (columns 27..77), trailing blanks removed.
    static std::string Row(int n) {
        std::string text = ScreenText(kLogFirstRow + n, 27, 78);
        while (!text.empty() && text.back() == ' ') text.pop_back();
        return text;
    }
    static std::string Line(int n) { return messageLog.logLines[n].bytes; }
};

TEST_F(MessageLogTest, AfterAClearOnlyTheNewLineShowsAndEachByteTakesFiftyMs) {
    SetLogLine(3, "old text on row sixteen");
    ClearMessageLog();
    for (int n = 0; n < kLogLineCount; ++n) EXPECT_EQ(Line(n), " ");
    long long start = HeadlessMilliseconds();
    EXPECT_EQ(start, 0);  // clearing does not pause
    LogMessage("GAME OVER");
    EXPECT_EQ(HeadlessMilliseconds(), 9 * 50);
    EXPECT_EQ(Row(0), "GAME OVER");
    EXPECT_EQ(ScreenText(13, 26, 37), " GAME OVER ");
    for (int n = 1; n < kLogLineCount; ++n) EXPECT_EQ(Row(n), "");
    EXPECT_EQ(CursorColumn(), 36);

    // Ten double-byte characters: 20 bytes, 100 ms each character.
    LogMessage(kTextBattleWon);
    EXPECT_EQ(HeadlessMilliseconds(), 450 + 1000);
    EXPECT_EQ(Row(0), "バトルに勝ちました。");
    EXPECT_EQ(Row(1), "GAME OVER");
}

TEST_F(MessageLogTest, ADoubleByteCharacterShowsAfterItsSecondByte) {
    HeadlessSetTimeLimit(75);  // stops in the pause after the second byte
    EXPECT_THROW(LogMessage(kTextBattleWon), HeadlessStop);
    EXPECT_EQ(Row(0), "バ");
    HeadlessReset();
    HeadlessSetTimeLimit(25);  // stops in the pause after the lead byte
    EXPECT_THROW(LogMessage(kTextBattleWon), HeadlessStop);
    EXPECT_EQ(Row(0), "");
}

TEST_F(MessageLogTest, AConfirmKeySkipsTheTypingAndIsConsumed) {
    HeadlessPushKey(KeyEnter, 120);  // read after the third byte's pause
    HeadlessPushKey(KeyDown, 5000);
    ShowMessage(kTextBattleWon);
    EXPECT_EQ(Row(0), "バトルに勝ちました。");
    // Three pauses, then the rest at once; the wait needed the second key.
    EXPECT_EQ(HeadlessMilliseconds(), 5000);
    EXPECT_EQ(HeadlessKeysLeft(), 0u);

    HeadlessReset();
    HeadlessPushKey(KeyRight, 120);
    LogMessage(kTextBattleWon);
    EXPECT_EQ(HeadlessMilliseconds(), 150);
    EXPECT_EQ(HeadlessKeysLeft(), 0u);
    EXPECT_THROW(WaitForConfirmKey(), HeadlessStop);  // nothing left to end the wait
}

TEST_F(MessageLogTest, OtherKeysAreDroppedWhileTypingGoesOn) {
    HeadlessPushKey('a', 60);
    HeadlessPushKey(KeySpace, 60);
    HeadlessPushArrow(KeyUp, 200);
    HeadlessPushArrow(KeyLeft, 200);
    LogMessage("GAME OVER");
    EXPECT_EQ(HeadlessMilliseconds(), 450);
    EXPECT_EQ(HeadlessKeysLeft(), 0u);
    EXPECT_EQ(Row(0), "GAME OVER");

    // The right arrow's prefix is dropped, its scan code stops the pauses.
    HeadlessReset();
    HeadlessPushArrow(KeyRight, 60);  // 224 read at 100 ms, 77 at 150 ms
    LogMessage("GAME OVER");
    EXPECT_EQ(HeadlessMilliseconds(), 150);
    EXPECT_EQ(Row(0), "GAME OVER");
}

TEST_F(MessageLogTest, OlderLinesMoveDownAndTheSixthDropsTheFirst) {
    ClearMessageLog();
    LogMessage("a long first message of the battle");
    LogMessage("second");
    LogMessage("third, longer than the second");
    EXPECT_EQ(Row(0), "third, longer than the second");
    EXPECT_EQ(Row(1), "second");  // no remains of the first message
    EXPECT_EQ(Row(2), "a long first message of the battle");
    EXPECT_EQ(Row(3), "");
    LogMessage("4");
    LogMessage("5");
    LogMessage("6");
    const char* expected[] = {"6", "5", "4", "third, longer than the second", "second"};
    for (int n = 0; n < kLogLineCount; ++n) {
        EXPECT_EQ(Row(n), expected[n]) << "row " << n;
        EXPECT_EQ(Line(n), expected[n]);
    }
}

TEST_F(MessageLogTest, ShiftingDrawsNothingAndLeavesTheNewestInPlace) {
    SetLogLine(0, "zero");
    SetLogLine(4, "four");
    long long writes = HeadlessWriteCount();
    ShiftMessageLog();
    EXPECT_EQ(HeadlessWriteCount(), writes);
    EXPECT_EQ(Line(0), "zero");
    EXPECT_EQ(Line(1), "zero");
    EXPECT_EQ(Line(4), " ");
}

TEST_F(MessageLogTest, ClearingStaysInsideTheFrameAndFollowsTheViewColumn) {
    for (int row = 13; row <= 17; ++row) {
        SetCursor(26, row);
        WriteText("|");
        SetCursor(78, row);
        WriteText("|");
    }
    LogMessage("hello");
    LogMessage(std::string(51, 'x').c_str());
    ClearMessageLog();
    for (int row = 13; row <= 17; ++row) EXPECT_EQ(ScreenText(row, 26, 79), "|" + std::string(51, ' ') + "|");
    ClearLogRow(0);  // outside 1..5: nothing
    ClearLogLine(6);
    SetLogLine(-1, "nowhere");

    viewColumn = 5;
    LogMessage("moved");
    EXPECT_EQ(ScreenText(13, 7, 12), "moved");
}

TEST_F(MessageLogTest, NumbersTakeTheFirstBlank) {
    EXPECT_EQ(std::string(InsertNumber(kTextDamageToEnemy, 0).bytes), Sjis("相手に0のダメージ!!"));
    EXPECT_EQ(std::string(InsertNumber(kTextDamageToEnemy, 7).bytes), Sjis("相手に7のダメージ!!"));
    EXPECT_EQ(std::string(InsertNumber(kTextDamageToEnemy, 10).bytes), Sjis("相手に10のダメージ!!"));
    EXPECT_EQ(std::string(InsertNumber(kTextExpGained, 32767).bytes), Sjis("経験値32767を得ました。"));
    // Beyond the 16-bit range the true number is written; below 0 it is 0.
    EXPECT_EQ(std::string(InsertNumber(kTextExpGained, 65535).bytes), Sjis("経験値65535を得ました。"));
    EXPECT_EQ(std::string(InsertNumber(kTextExpGained, 4294967295LL).bytes), Sjis("経験値4294967295を得ました。"));
    EXPECT_EQ(std::string(InsertNumber(kTextDamageToHero, -3).bytes), Sjis("主人公に0のダメージ!!"));
    EXPECT_EQ(std::string(InsertNumber("a b c", 9223372036854775807LL).bytes), "a9223372036854775807b c");
}

TEST_F(MessageLogTest, NamesTakeTheFirstBlankAndComposeBeforeNumbers) {
    std::string pawn = Sjis("ポーン");
    EXPECT_EQ(std::string(InsertName(kTextEnemyAttacks, pawn.c_str()).bytes), Sjis("ポーンの攻撃!!"));
    std::string name = Sjis("勇者あああああ") + "X";  // 15 bytes, the longest hero name
    ASSERT_EQ(name.size(), 15u);
    LogText heal = InsertNumber(InsertName(kTextHpRestored, name.c_str()), 12);
    EXPECT_EQ(std::string(heal.bytes), name + Sjis("の体力が12回復しました。"));
    LogMessage(heal);
    EXPECT_EQ(Row(0), "勇者あああああXの体力が12回復しました。");
    EXPECT_EQ(Row(0).size(), std::string("勇者あああああXの体力が12回復しました。").size());
    EXPECT_EQ(std::string(InsertName("noblank", "N").bytes), "noblank");
}

TEST_F(MessageLogTest, CompositionNeverOverrunsItsTexts) {
    std::string longName(500, 'N');
    LogText text = InsertName(kTextEnemyAttacks, longName.c_str());
    EXPECT_EQ(std::string(text.bytes), std::string(kLogTextSize - 1, 'N'));
    // A cut never splits a double-byte character.
    std::string wide;
    for (int i = 0; i < 100; ++i) wide += Sjis("あ");
    text = InsertName("xy ", wide.c_str());  // room for 125 more bytes: 62 characters
    std::string cut = text.bytes;
    EXPECT_EQ(cut.size(), kLogTextSize - 2);
    EXPECT_EQ(cut, "xy" + wide.substr(0, kLogTextSize - 4));
    text = InsertNumber(std::string(200, ' ').c_str(), 32767);
    EXPECT_EQ(std::string(text.bytes), "32767" + std::string(kLogTextSize - 6, ' '));
    // A line keeps its own copy: the composing buffer may go away.
    {
        LogText gone = InsertNumber(kTextDamageToEnemy, 42);
        LogMessage(gone);
    }
    EXPECT_EQ(Line(0), Sjis("相手に42のダメージ!!"));
    SetLogLine(1, messageLog.logLines[0].bytes);
    EXPECT_EQ(Line(1), Line(0));
}

}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/terminal_keys.h"

namespace {

std::vector<int> Decode(KeyDecoder& decoder, const std::string& bytes) {
    FeedKeyBytes(decoder, bytes.data(), bytes.size());
    std::vector<int> codes;
    int code = 0;
    while (TakeKeyCode(decoder, code)) codes.push_back(code);
    return codes;
}

std::vector<int> Decode(const std::string& bytes) {
    KeyDecoder decoder;
    return Decode(decoder, bytes);
}

const std::vector<int> kUp = {224, 72};
const std::vector<int> kDown = {224, 80};
const std::vector<int> kRight = {224, 77};
const std::vector<int> kLeft = {224, 75};

}  // namespace

TEST(TerminalKeys, ArrowsFromEitherCursorKeyMode) {
    EXPECT_EQ(Decode("\x1b[A"), kUp);
    EXPECT_EQ(Decode("\x1b[B"), kDown);
    EXPECT_EQ(Decode("\x1b[C"), kRight);
    EXPECT_EQ(Decode("\x1b[D"), kLeft);
    EXPECT_EQ(Decode("\x1bOA"), kUp);
    EXPECT_EQ(Decode("\x1bOB"), kDown);
    EXPECT_EQ(Decode("\x1bOC"), kRight);
    EXPECT_EQ(Decode("\x1bOD"), kLeft);
}

TEST(TerminalKeys, ArrowsWithModifiersAreArrows) {
    EXPECT_EQ(Decode("\x1b[1;5A"), kUp);    // Ctrl
    EXPECT_EQ(Decode("\x1b[1;2D"), kLeft);  // Shift
    EXPECT_EQ(Decode("\x1b[1;3C"), kRight); // Alt
}

TEST(TerminalKeys, EnterSpaceAndLettersAsThemselves) {
    EXPECT_EQ(Decode("\r"), std::vector<int>{13});
    EXPECT_EQ(Decode("\n"), std::vector<int>{13});
    EXPECT_EQ(Decode(" "), std::vector<int>{32});
    EXPECT_EQ(Decode("HKMPx"), (std::vector<int>{'H', 'K', 'M', 'P', 'x'}));
    EXPECT_EQ(Decode("\x1bOM"), std::vector<int>{13});  // keypad Enter
    EXPECT_EQ(Decode(std::string("\x7f\x01", 2)), (std::vector<int>{127, 1}));
}

TEST(TerminalKeys, CarriageReturnLineFeedIsOneEnter) {
    EXPECT_EQ(Decode("\r\n"), std::vector<int>{13});
    EXPECT_EQ(Decode(std::string("\r\0", 2)), std::vector<int>{13});
    EXPECT_EQ(Decode("\r\r"), (std::vector<int>{13, 13}));
    EXPECT_EQ(Decode("\n\n"), (std::vector<int>{13, 13}));
    // The pair may arrive in two reads.
    KeyDecoder decoder;
    EXPECT_EQ(Decode(decoder, "\r"), std::vector<int>{13});
    EXPECT_EQ(Decode(decoder, "\n "), std::vector<int>{32});
}

TEST(TerminalKeys, SeveralKeysInOneRead) {
    std::vector<int> expected = {224, 72, 13, 224, 80, 32, 224, 77};
    EXPECT_EQ(Decode("\x1b[A\r\x1bOB \x1b[1;5C"), expected);
}

TEST(TerminalKeys, UnknownSequencesAreDropped) {
    EXPECT_EQ(Decode("\x1b[3~\x1b[15~\x1b[200~\x1b[H\x1bOP\x1b[I"), std::vector<int>{});
    EXPECT_EQ(Decode("\x1b[2~ "), std::vector<int>{32});
}

TEST(TerminalKeys, SequenceSplitAcrossReadsWaitsForItsEnd) {
    KeyDecoder decoder;
    EXPECT_EQ(Decode(decoder, "\x1b"), std::vector<int>{});
    EXPECT_TRUE(KeyDecoderWaiting(decoder));
    EXPECT_EQ(Decode(decoder, "["), std::vector<int>{});
    EXPECT_EQ(Decode(decoder, "1;5"), std::vector<int>{});
    EXPECT_EQ(Decode(decoder, "A\r"), (std::vector<int>{224, 72, 13}));
    EXPECT_FALSE(KeyDecoderWaiting(decoder));
}

TEST(TerminalKeys, LoneEscapeOnceTheTerminalIsQuiet) {
    KeyDecoder decoder;
    EXPECT_EQ(Decode(decoder, "\x1b"), std::vector<int>{});
    SettleKeyDecoder(decoder);
    EXPECT_EQ(Decode(decoder, ""), std::vector<int>{27});
    EXPECT_FALSE(KeyDecoderWaiting(decoder));

    // Escape then '[' typed by hand, and a sequence cut off for good.
    EXPECT_EQ(Decode(decoder, "\x1b["), std::vector<int>{});
    SettleKeyDecoder(decoder);
    EXPECT_EQ(Decode(decoder, ""), (std::vector<int>{27, '['}));
    EXPECT_EQ(Decode(decoder, "\x1b[1;5"), std::vector<int>{});
    SettleKeyDecoder(decoder);
    EXPECT_EQ(Decode(decoder, "\r"), std::vector<int>{13});
}

TEST(TerminalKeys, EscapeBeforeAnOrdinaryKey) {
    EXPECT_EQ(Decode("\x1bx"), (std::vector<int>{27, 'x'}));
    EXPECT_EQ(Decode("\x1b\x1b[A"), (std::vector<int>{27, 224, 72}));
    EXPECT_EQ(Decode("\x1bO "), (std::vector<int>{27, 'O', ' '}));
}

TEST(TerminalKeys, MalformedAndOverlongSequencesDoNotSwallowKeys) {
    // A control byte cuts a sequence short and is read as a key.
    EXPECT_EQ(Decode("\x1b[12\r"), std::vector<int>{13});
    // A sequence that never ends is dropped once it is too long.
    KeyDecoder decoder;
    EXPECT_EQ(Decode(decoder, "\x1b[" + std::string(40, '1')), std::vector<int>{});
    EXPECT_FALSE(KeyDecoderWaiting(decoder));
    EXPECT_EQ(Decode(decoder, " "), std::vector<int>{32});
}

TEST(TerminalKeys, CursorReportIsNoKey) {
    KeyDecoder decoder;
    EXPECT_EQ(Decode(decoder, " \x1b[1;3R\r"), (std::vector<int>{32, 13}));
    EXPECT_TRUE(decoder.hasCursorReport);
    EXPECT_EQ(decoder.reportRow, 1);
    EXPECT_EQ(decoder.reportColumn, 3);

    KeyDecoder other;
    EXPECT_EQ(Decode(other, "\x1b[5R\x1b[?1;2R"), std::vector<int>{});
    EXPECT_FALSE(other.hasCursorReport);
}

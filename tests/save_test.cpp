// The save file (its layout, every field back as saved, every kind of bad save)
// and saving in play: the safe points, continuing, and a folder that cannot be
// written.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "battle/battle_state.h"
#include "console/console.h"
#include "field/field_screen.h"
#include "field/world_map.h"
#include "game/game.h"
#include "game/game_state.h"
#include "records/records.h"
#include "game/save_file.h"
#include "game/saving.h"
#include "game/world_identity.h"
#include "platform/console_io.h"
#include "platform/state_files.h"
#include "tests/field_test_support.h"
#include "tests/scripted_player.h"
#include "tests/test_support.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Every number of the hero record that the save holds, in file order, then the screen.
std::vector<long long> Numbers(const HeroStatus& h) {
    return {h.maxHp,          h.attack,         h.defense,        h.magicAttack,    h.magicDefense,   h.speed,
            h.nextLevelExp,   h.exp,            h.level,          h.spare1,         h.spare2,         h.spare3,
            h.spare4,         h.items[0].held,  h.items[0].count, h.items[1].held,  h.items[1].count, h.items[2].held,
            h.items[2].count, h.fieldX,         h.fieldY,         h.screenNo};
}

// The shipped hero on screen 2, the gate closed, in a save of the world given.
SavedGame ShippedHeroOnScreen2(const std::string& world) {
    SavedGame game{};
    std::snprintf(game.hero.name, sizeof game.hero.name, "%s", Sjis("勇者").c_str());
    const uint16_t stats[6] = {40, 10, 8, 5, 5, 6};
    uint16_t* fields[6] = {&game.hero.maxHp, &game.hero.attack, &game.hero.defense,
                           &game.hero.magicAttack, &game.hero.magicDefense, &game.hero.speed};
    for (int i = 0; i < 6; ++i) *fields[i] = stats[i];
    game.hero.nextLevelExp = 30;
    game.hero.level = 1;
    game.hero.items[0] = {1, 5};
    game.hero.items[1] = {1, 3};
    game.hero.items[2] = {1, 3};
    game.hero.fieldY = 10;
    game.hero.screenNo = 2;
    game.layout = 2;
    game.world = world;
    return game;
}

class SaveFileTest : public ::testing::Test {
protected:
    TempTree tree;
    SaveProblems problems;
    // Writes the text as a file and reads it as a save.
    bool Read(const std::string& text, SavedGame& game) {
        tree.Write("save.txt", text);
        std::FILE* file = std::fopen((tree.root + "/save.txt").c_str(), "rb");
        bool read = ReadSave(file, game, problems);
        std::fclose(file);
        return read;
    }
    std::string FirstProblem() { return problems.empty() ? "" : DescribeProblem(problems.front()); }
};

TEST_F(SaveFileTest, TheSaveIsTheHeroFilesLayoutFollowedByItsOwnItems) {
    SavedGame game = ShippedHeroOnScreen2("0123456789abcdef");
    game.gateOpen = true;
    const std::string text = ComposeSave(game);
    // The check is 32-bit FNV-1a over the items, each with a line break,
    // worked out apart from the game.
    EXPECT_EQ(text, Sjis("勇者") +
                        "\n40 10 8 5 5 6\n30 0 1\n0 0 0 0\n1 5 1 3 1 3\n0 10\nCHESSRPG_SAVE_2\n2 1\n"
                        "0123456789abcdef\nb3936f9e\n");
    EXPECT_EQ(SaveFileName("0123456789abcdef"), "save-0123456789abcdef.txt");

    // A save of an earlier version names its data tree's path, and is named
    // after it: it is still read, as it was written.
    const std::string earlier = Sjis("勇者") +
                                "\n40 10 8 5 5 6\n30 0 1\n0 0 0 0\n1 5 1 3 1 3\n0 10\nCHESSRPG_SAVE_1\n2 1\n"
                                "/games/my%20world\n2312eb95\n";
    SavedGame back;
    ASSERT_TRUE(Read(earlier, back)) << FirstProblem();
    EXPECT_EQ(back.layout, 1);
    EXPECT_EQ(back.world, "/games/my world");
    EXPECT_EQ(ComposeSave(back), earlier);
    EXPECT_EQ(SaveFileNameOfLayout1("/games/my world"), "save-f6ee8189d7ba1814.txt");

    // The game's hero loader reads a save as a hero file.
    tree.Write("Hero_Info/Hero_Status_Info.txt", text);
    HeadlessReset(tree.root);
    ClearRecords();
    ASSERT_EQ(LoadHeroStatus(), 1);
    game.hero.screenNo = 0;
    EXPECT_EQ(Numbers(hero), Numbers(game.hero));
    EXPECT_EQ(std::string(hero.name), Sjis("勇者"));
}

TEST_F(SaveFileTest, EveryFieldComesBackAsSavedUpToTheLargestValues) {
    // A name of 16 bytes is cut by the hero loader at the character boundary
    // before it; one of exactly 15 bytes is whole.
    const std::pair<std::string, std::string> names[] = {{"勇者勇者勇者勇者", "勇者勇者勇者勇"},
                                                         {"A勇者勇者勇者勇", "A勇者勇者勇者勇"}};
    for (const auto& name : names) {
        tree.Write("Hero_Info/Hero_Status_Info.txt",
                   Sjis(name.first) + " 65535 1 2 3 4 5 2147483647 2147483646 65535 6 7 8 9 10 11 12 13 14 15 58 19\n");
        HeadlessReset(tree.root);
        ClearRecords();
        ASSERT_EQ(LoadHeroStatus(), 1);
        ASSERT_EQ(std::string(hero.name), Sjis(name.second));
        hero.screenNo = 9;
        SavedGame game{hero, true, 2, "fedcba9876543210"};
        SavedGame back;
        ASSERT_TRUE(Read(ComposeSave(game), back)) << FirstProblem();
        EXPECT_EQ(std::string(back.hero.name), Sjis(name.second));
        EXPECT_EQ(Numbers(back.hero), Numbers(hero));
        EXPECT_TRUE(back.gateOpen);
        EXPECT_EQ(back.world, game.world);
        SavedGame earlier{hero, true, 1, "/home/田中/my games/100%"};
        ASSERT_TRUE(Read(ComposeSave(earlier), back)) << FirstProblem();
        EXPECT_EQ(back.world, earlier.world) << "a data tree's path, whatever its bytes";
    }

    // Experience past what the reader keeps comes back as the most it keeps.
    SavedGame game = ShippedHeroOnScreen2("0000000000000000");
    game.hero.exp = 4294967295u;
    SavedGame back;
    ASSERT_TRUE(Read(ComposeSave(game), back)) << FirstProblem();
    EXPECT_EQ(back.hero.exp, 2147483647u);
}

TEST_F(SaveFileTest, ASaveCutShortAnywhereOrWithAnyByteChangedIsRefused) {
    const std::string text = ComposeSave(ShippedHeroOnScreen2("0000000000000000"));
    SavedGame game;
    ASSERT_TRUE(Read(text.substr(0, text.size() - 1), game)) << "only the last line break is missing";
    for (std::size_t size = 0; size + 1 < text.size(); ++size) {
        EXPECT_FALSE(Read(text.substr(0, size), game)) << "cut to " << size << " bytes";
    }
    EXPECT_EQ(FirstProblem(), "item 27: check 66774be does not match the items before it (66774be9): the save was "
                              "damaged, or changed by hand");
    Read(text.substr(0, text.find("0 0 0 0")), game);
    EXPECT_EQ(FirstProblem(), "item 11: missing: the file ends after item 10 (27 items): the save was cut short");
    Read("", game);
    EXPECT_EQ(FirstProblem(), "the file is empty (27 items)");

    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == ' ' || text[at] == '\n') continue;
        std::string changed = text;
        changed[at] = text[at] == '7' ? '8' : '7';
        EXPECT_FALSE(Read(changed, game)) << "byte " << at << " changed";
    }
    EXPECT_FALSE(Read(text + "more\n", game));
    EXPECT_EQ(FirstProblem(), "item 28: text after the check item (27 items)");
}

TEST_F(SaveFileTest, ValuesTheGameCannotUseAreRefusedWithTheirItem) {
    struct Case {
        void (*spoil)(SavedGame&);
        const char* problem;
    };
    const Case cases[] = {
        {[](SavedGame& g) { g.hero.fieldX = 59; }, "item 21: hero column 59 is off the screen (0 to 58)"},
        {[](SavedGame& g) { g.hero.fieldY = 20; }, "item 22: hero row 20 is off the screen (0 to 19)"},
        {[](SavedGame& g) { g.hero.screenNo = 0; }, "item 24: screen 0 is not one of the nine screens (1 to 9)"},
        {[](SavedGame& g) { g.hero.screenNo = 10; }, "item 24: screen 10 is not one of the nine screens (1 to 9)"},
    };
    for (const Case& c : cases) {
        SavedGame game = ShippedHeroOnScreen2("0000000000000000");
        c.spoil(game);
        SavedGame back;
        EXPECT_FALSE(Read(ComposeSave(game), back));
        EXPECT_EQ(FirstProblem(), c.problem);
    }
    std::string text = ComposeSave(ShippedHeroOnScreen2("0000000000000000"));
    SavedGame back;
    EXPECT_FALSE(Read(text.replace(text.find("\n2 0\n"), 5, "\n2 5\n"), back));
    EXPECT_EQ(FirstProblem(), "item 25: gate 5 is neither closed (0) nor open (1) (0 to 1)");
    EXPECT_EQ(problems.size(), 2u) << "and the check no longer matches";
}

TEST_F(SaveFileTest, ASaveFitsOnlyItsOwnWorldOrForAnEarlierVersionItsOwnTree) {
    SavedGame game = ShippedHeroOnScreen2("1111111111111111");
    EXPECT_TRUE(CheckSaveFits(game, "1111111111111111", "/anywhere", problems)) << FirstProblem();
    EXPECT_FALSE(CheckSaveFits(game, "2222222222222222", "/anywhere", problems));
    EXPECT_EQ(FirstProblem(), "item 26: the save belongs to the world 1111111111111111, not to this one "
                              "(2222222222222222): the world's map was changed");
    game.layout = 1;
    game.world = "/here";
    EXPECT_TRUE(CheckSaveFits(game, "2222222222222222", "/here", problems)) << FirstProblem();
    EXPECT_FALSE(CheckSaveFits(game, "2222222222222222", "/there", problems));
    EXPECT_EQ(FirstProblem(), "item 26: the save belongs to the data tree /here, not to this one (/there)");
    EXPECT_FALSE(Read(ComposeSave(ShippedHeroOnScreen2("not-an-identity")), game));
    EXPECT_EQ(FirstProblem(), "item 26: world \"not-an-identity\" is not a world's identity (16 hex digits)");
}

TEST_F(SaveFileTest, ASaveThatGoesOnPastTheFirstMegabyteIsRefused) {
    // Blanks up to the reader's limit, then anything: the reader stops at the
    // limit, and the rest must not pass unseen.
    const std::string text = ComposeSave(ShippedHeroOnScreen2("0000000000000000"));
    SavedGame game;
    EXPECT_FALSE(Read(text + std::string((1 << 20) - text.size(), ' ') + "x", game));
    EXPECT_EQ(FirstProblem(), "the file goes on past 1048576 bytes: not a save");
    EXPECT_TRUE(Read(text + std::string(1000, ' '), game)) << FirstProblem();
}

TEST_F(SaveFileTest, TheFuzzCorpusIsReadAndWhatIsAcceptedComesBackTheSame) {
    int accepted = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(CHESSRPG_SOURCE_DIR) + "/tests/fuzz/corpus/fuzz_save")) {
        SCOPED_TRACE(entry.path().filename().string());
        SavedGame game, back;
        if (!Read(ReadFile(entry.path().string()), game)) {
            EXPECT_FALSE(problems.empty());
            continue;
        }
        ++accepted;
        ASSERT_TRUE(Read(ComposeSave(game), back));
        EXPECT_EQ(std::string(back.hero.name), std::string(game.hero.name));
        EXPECT_EQ(Numbers(back.hero), Numbers(game.hero));
        EXPECT_EQ(back.world, game.world);
    }
    EXPECT_GT(accepted, 0);
}

// Play on the shipped world with the state folder in a temporary tree.
class SavingTest : public ::testing::Test {
protected:
    TempTree data;
    TempTree state;
    std::string world;     // the shipped world's identity
    std::string saveName;  // its save's name
    std::string base;      // the name without ".txt"
    void SetUp() override {
        CopyShippedData(data);
        HeadlessReset(data.root);
        ResetGameState();
        setenv("XDG_STATE_HOME", state.root.c_str(), 1);
        LoadGame();
        world = WorldIdentity();
        saveName = SaveFileName(world);
        base = saveName.substr(0, saveName.size() - 4);
        ResetGameState();
    }
    void TearDown() override {
        unsetenv("XDG_STATE_HOME");
        ResetGameState();
    }
    std::string StatePath(const std::string& name) const { return state.root + "/chessrpg/" + name; }
    std::string SaveText() const { return ReadFile(StatePath(saveName)); }
    void WriteSave(const std::string& text) const { state.Write("chessrpg/" + saveName, text); }
    SavedGame Saved() const {
        SavedGame game;
        SaveProblems problems;
        std::FILE* file = std::fopen(StatePath(saveName).c_str(), "rb");
        EXPECT_TRUE(file && ReadSave(file, game, problems));
        if (file) std::fclose(file);
        return game;
    }
    static std::string Tree() {
        char tree[4096];
        PlatformDataTreePath(tree, sizeof tree);
        return tree;
    }
    static void Begin(JourneyStart how) { BeginJourney(how, "chessrpg --continue"); }
    // A run of the program again, on the data tree given.
    static void Restart(const std::string& root) {
        ResetGameState();
        HeadlessReset(root);
    }
    // The hero on the right edge of screen 1, then into screen 2.
    static void WalkIntoScreen2() {
        hero.fieldX = 57;
        ChangeScreen(KeyRight);
    }
};

TEST_F(SavingTest, ANewGameSetsTheJourneySavedBeforeAsideAtItsFirstSafePoint) {
    WriteSave("an earlier journey\n");
    Begin(JourneyStart::kNew);
    EXPECT_EQ(SaveText(), "an earlier journey\n") << "untouched until the first safe point";
    WalkIntoScreen2();
    SavedGame game = Saved();
    EXPECT_EQ(game.hero.screenNo, 2);
    EXPECT_EQ(game.hero.fieldX, 0);
    EXPECT_EQ(game.hero.fieldY, 10);
    EXPECT_EQ(ReadFile(StatePath(base + ".aside-1.txt")), "an earlier journey\n");

    SaveOnQuit();
    EXPECT_EQ(HeadlessLeftLines(),
              std::vector<std::string>({Sjis("進行状況を保存しました。続きから遊ぶには: chessrpg --continue"),
                                        Sjis("控えに移した前の冒険: ") + StatePath(base + ".aside-1.txt")}));
}

TEST_F(SavingTest, TheJourneysSetAsideAreKeptNewestFirstUpToTen) {
    WriteSave("the journey now\n");
    for (int n = 1; n <= 10; ++n) state.Write("chessrpg/" + base + ".aside-" + std::to_string(n) + ".txt", std::to_string(n));
    Begin(JourneyStart::kNew);
    WalkIntoScreen2();
    EXPECT_EQ(ReadFile(StatePath(base + ".aside-1.txt")), "the journey now\n");
    for (int n = 2; n <= 10; ++n) {
        EXPECT_EQ(ReadFile(StatePath(base + ".aside-" + std::to_string(n) + ".txt")), std::to_string(n - 1)) << n;
    }
    EXPECT_FALSE(std::filesystem::exists(StatePath(base + ".aside-11.txt")));
}

TEST_F(SavingTest, WithASaveTheGameAsksFirstAndEnterContinues) {
    SavedGame game = ShippedHeroOnScreen2(world);
    game.hero.level = 7;
    WriteSave(ComposeSave(game));
    HeadlessPushKey(KeyEnter);
    Begin(JourneyStart::kAsk);
    EXPECT_EQ(HeadlessHintsAtKeyReads(), std::vector<std::string>{Sjis("↑↓ えらぶ　　Enter/→ 決める")});
    EXPECT_EQ(hero.level, 7);
    EXPECT_EQ(hero.screenNo, 2);
    EXPECT_EQ(ScreenText(10, 0, 2), "●");
}

TEST_F(SavingTest, ANewGameIsAskedOnceMoreAndStepsBackToTheQuestion) {
    WriteSave(ComposeSave(ShippedHeroOnScreen2(world)));
    std::vector<std::vector<std::string>> screens;  // rows 6, 7, 10 and 12 at each key read
    HeadlessSetKeySource([&screens] {
        screens.push_back({ScreenLine(6), ScreenLine(7), ScreenLine(10), ScreenLine(12)});
        // New game; Enter on "stop" goes back; new game, then yes.
        const int keys[] = {KeyDown, KeyEnter, KeyEnter, KeyDown, KeyEnter, KeyDown, KeyEnter};
        return screens.size() <= 7 ? keys[screens.size() - 1] : -1;
    });
    HeadlessSetTimeLimit(1000);
    Begin(JourneyStart::kAsk);
    ASSERT_EQ(screens.size(), 7u);
    EXPECT_EQ(screens[0], std::vector<std::string>({"      セーブした冒険があります。", "",
                                                    "      ＞ 続きから遊ぶ", "         新しいゲームを始める"}));
    EXPECT_EQ(screens[2], std::vector<std::string>({"      新しいゲームを始めると、セーブした冒険は控えに移ります。",
                                                    "      （控えは新しいものから10まで残り、あとで戻せます。）",
                                                    "      ＞ やめる", "         新しいゲームを始める"}));
    EXPECT_EQ(screens[3][2], "      ＞ 続きから遊ぶ") << "back to the first question";
    EXPECT_EQ(hero.screenNo, 1) << "a new game";
    EXPECT_EQ(HeadlessHintsAtKeyReads()[2], Sjis("↑↓ えらぶ　　Enter/→ 決める　　Space/← もどる"));
    EXPECT_EQ(ScreenLine(6).find("冒険"), std::string::npos) << "the question is gone";
    WalkIntoScreen2();
    EXPECT_TRUE(std::filesystem::exists(StatePath(base + ".aside-1.txt")));
}

TEST_F(SavingTest, AnyCopyOfTheWorldGoesOnWithItsJourneyAndAnEditedMapBeginsItsOwn) {
    Begin(JourneyStart::kNew);
    hero.level = 9;
    WalkIntoScreen2();
    TempTree elsewhere;
    CopyShippedData(elsewhere);
    Restart(elsewhere.root);
    Begin(JourneyStart::kContinue);
    EXPECT_EQ(hero.level, 9) << "the same world in another folder";
    EXPECT_TRUE(HeadlessLeftLines().empty());

    // One cell of screen 5 changed: another world, which has no journey yet.
    std::string layout = ReadFile(elsewhere.root + "/map_form/map1/5.txt");
    layout[layout.find(' ')] = '#';
    elsewhere.Write("map_form/map1/5.txt", layout);
    Restart(elsewhere.root);
    Begin(JourneyStart::kContinue);
    EXPECT_EQ(hero.level, 1);
    EXPECT_EQ(HeadlessHint(), Sjis("セーブがないため新しいゲームを始めます。"));
    EXPECT_EQ(Saved().hero.level, 9) << "the journey of the world before the edit stays";
}

TEST_F(SavingTest, ASaveOfAnEarlierVersionGoesOnAndIsSavedUnderTheWorld) {
    SavedGame game = ShippedHeroOnScreen2(Tree());
    game.layout = 1;
    game.hero.level = 6;
    state.Write("chessrpg/" + SaveFileNameOfLayout1(Tree()), ComposeSave(game));
    Begin(JourneyStart::kContinue);
    EXPECT_EQ(hero.level, 6);
    EXPECT_EQ(hero.screenNo, 2);
    SaveAtSafePoint();
    EXPECT_EQ(Saved().hero.level, 6);
    EXPECT_EQ(Saved().world, world);
}

TEST_F(SavingTest, AQuitDuringTheScrollSavesTheHeroWhereTheScrollTakesHim) {
    Begin(JourneyStart::kNew);
    int frames = 0;
    HeadlessSetFrameWatcher([&frames] {
        if (++frames == 30) SaveOnQuit();
    });
    WalkIntoScreen2();
    EXPECT_EQ(frames, 60);
    SavedGame game = Saved();
    EXPECT_EQ(game.hero.screenNo, 2);
    EXPECT_EQ(game.hero.fieldX, 0);
}

TEST_F(SavingTest, ContinuingPutsTheHeroOnTheSavedScreenAndCellWithTheGateAsItWas) {
    SavedGame game = ShippedHeroOnScreen2(world);
    game.hero.level = 7;
    game.hero.fieldX = 4;
    game.gateOpen = true;
    WriteSave(ComposeSave(game));
    Begin(JourneyStart::kContinue);
    EXPECT_EQ(hero.level, 7);
    EXPECT_EQ(hero.screenNo, 2);
    EXPECT_EQ(ScreenText(10, 4, 6), "●");
    EXPECT_TRUE(GateIsOpen());
    EXPECT_EQ(HeadlessHint(), Sjis("↑↓←→ 移動　　Ctrl+C 終わる")) << "the field's key help";
    EXPECT_TRUE(HeadlessLeftLines().empty());

    // In a battle the quit leaves the save of the last safe point.
    hero.level = 8;
    battleState.enemiesLeft = 1;
    SaveOnQuit();
    EXPECT_EQ(Saved().hero.level, 7);
    EXPECT_EQ(HeadlessLeftLines().back(), Sjis("戦闘中に終わったため、この戦闘の前までを保存してあります。"
                                               "続きから遊ぶには: chessrpg --continue"));
    battleState.enemiesLeft = 0;
    SaveOnQuit();
    EXPECT_EQ(Saved().hero.level, 8);
}

TEST_F(SavingTest, AnUnusableSaveIsKeptAsACopyAndReplacedOnlyAtTheFirstSafePoint) {
    const std::string bad = ComposeSave(ShippedHeroOnScreen2("0123456789abcdef"));
    WriteSave(bad);
    state.Write("chessrpg/" + base + ".bad-1.txt", "an older bad save");
    Begin(JourneyStart::kContinue);
    EXPECT_EQ(hero.screenNo, 1) << "a new game";
    const std::string line = Sjis("セーブを読み込めないため新しいゲームを始めます: ") +
                             "item 26: the save belongs to the world 0123456789abcdef, not to this one (" + world +
                             "): the world's map was changed";
    EXPECT_EQ(HeadlessHint(), line);
    const std::string copy = StatePath(base + ".bad-2.txt");
    EXPECT_EQ(HeadlessLeftLines(), std::vector<std::string>({line, Sjis("読み込めなかったセーブの写し: ") + copy}));
    EXPECT_EQ(ReadFile(copy), bad);

    EXPECT_EQ(SaveText(), bad);
    WalkIntoScreen2();
    EXPECT_EQ(Saved().world, world);
    EXPECT_FALSE(std::filesystem::exists(StatePath(base + ".aside-1.txt")));
}

TEST_F(SavingTest, WithoutASaveContinuingSaysSoAndStartsNew) {
    Begin(JourneyStart::kContinue);
    EXPECT_EQ(hero.screenNo, 1);
    EXPECT_EQ(HeadlessHint(), Sjis("セーブがないため新しいゲームを始めます。"));
    EXPECT_EQ(HeadlessLeftLines(),
              std::vector<std::string>({Sjis("セーブがないため新しいゲームを始めました: ") + StatePath(saveName)}));
}

TEST_F(SavingTest, AFolderThatCannotBeWrittenIsToldOnceAndPlayGoesOn) {
    state.Write("blocked", "a file where the folder should be");
    setenv("XDG_STATE_HOME", (state.root + "/blocked/state").c_str(), 1);
    Begin(JourneyStart::kNew);
    WalkIntoScreen2();
    const std::string why = "cannot make the folder " + state.root + "/blocked: a file of that name is in the way";
    EXPECT_EQ(HeadlessHint(), Sjis("進行状況を保存できません: ") + why);
    PlatformShowHint("");
    hero.fieldX = 57;
    ChangeScreen(KeyRight);
    EXPECT_EQ(hero.screenNo, 3) << "play goes on";
    EXPECT_EQ(HeadlessHint(), "") << "said once";
    SaveOnQuit();
    EXPECT_EQ(HeadlessLeftLines(), std::vector<std::string>({Sjis("進行状況を保存できません: ") + why}));
}

TEST_F(SavingTest, TheBoostsStillRunningAreNotSavedWithTheStatistics) {
    Begin(JourneyStart::kNew);
    hero.attack = 20;
    hero.defense = 30;
    attackBoosts[1].turnsLeft = 4;
    defenseBoosts[0].turnsLeft = 9;
    defenseBoosts[2].turnsLeft = 1;
    SaveAtSafePoint();
    EXPECT_EQ(Saved().hero.attack, 15);
    EXPECT_EQ(Saved().hero.defense, 20);
    EXPECT_EQ(hero.attack, 20) << "the game in play keeps its boosts";
}

TEST_F(SavingTest, EverySaveOfAPlayedGameLoadsAndFitsItsWorld) {
    HeadlessSetSeconds(1700000000);
    ScriptedPlayer player;
    player.battleLimit = 25;
    HeadlessSetKeySource([&player] { return PlayerKey(player); });
    Begin(JourneyStart::kNew);
    std::string last;
    int saves = 0;
    try {
        for (;;) {
            MainLoopPass();
            std::string text = SaveText();
            if (text.empty() || text == last) continue;
            last = text;
            ++saves;
            SavedGame game = Saved();
            SaveProblems problems;
            ASSERT_TRUE(CheckSaveFits(game, world, Tree(), problems)) << DescribeProblem(problems.front());
        }
    } catch (const HeadlessStop&) {
    }
    HeadlessSetKeySource(nullptr);
    EXPECT_EQ(player.failure, "no fifth ability after 25 battles") << "stopped by the battle limit, not a fault";
    EXPECT_GE(player.watch.battles, 20);
    EXPECT_GE(saves, player.watch.battles) << "a save at the end of every battle";
}

TEST_F(SavingTest, AHeroTheWorldPutsInAWallIsSavedAndContinuedThere) {
    data.WriteSjis("Hero_Info/Hero_Status_Info.txt", "勇者\n40 10 8 5 5 6\n30 0 4\n0 0 0 0\n1 5 1 3 1 3\n0 0\n");
    Begin(JourneyStart::kNew);
    SaveAtSafePoint();
    Restart(data.root);
    Begin(JourneyStart::kContinue);
    EXPECT_TRUE(HeadlessLeftLines().empty()) << "the save is taken as it is";
    EXPECT_EQ(hero.level, 4);
    EXPECT_EQ(ScreenText(0, 0, 2), "●");
}

TEST_F(SavingTest, AnUnusableSaveThatCannotBeCopiedIsNeverOverwritten) {
    const std::string bad = "not a save\n";
    WriteSave(bad);
    for (int n = 1; n <= 999; ++n) state.Write("chessrpg/" + base + ".bad-" + std::to_string(n) + ".txt", "");
    Begin(JourneyStart::kContinue);
    const std::string refusal = Sjis("読み込めなかったセーブは写せないためそのまま残し、このゲームでは保存しません: ") +
                                "every name for a copy is taken (" + base + ".bad-1.txt to .bad-999.txt)";
    EXPECT_EQ(HeadlessHint(), refusal);
    WalkIntoScreen2();
    SaveOnQuit();
    EXPECT_EQ(SaveText(), bad);
    EXPECT_EQ(HeadlessLeftLines().back(), refusal);
}

TEST_F(SavingTest, AJourneyThatCannotBeSetAsideIsNotReplaced) {
    WriteSave("an earlier journey\n");
    std::filesystem::create_directories(StatePath(base + ".aside-1.txt"));
    Begin(JourneyStart::kNew);
    WalkIntoScreen2();
    EXPECT_EQ(SaveText(), "an earlier journey\n");
    const std::string refusal = Sjis("セーブした冒険を控えに移せないためそのまま残し、このゲームでは保存しません: ") +
                                "cannot read " + StatePath(base + ".aside-1.txt") + ": not a regular file";
    EXPECT_EQ(HeadlessHint(), refusal);
    SaveOnQuit();
    EXPECT_EQ(SaveText(), "an earlier journey\n");
    EXPECT_EQ(HeadlessLeftLines(), std::vector<std::string>({refusal}));
}

TEST_F(SavingTest, ASecondGameOnTheSameSavePlaysWithoutSaving) {
    // Another game holds the lock: an open file of its own with the lock on it.
    std::filesystem::create_directories(state.root + "/chessrpg");
    const std::string lock = StatePath(base + ".lock");
    int other = open(lock.c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    WriteSave("the other game's journey\n");
    Begin(JourneyStart::kNew);
    const std::string refusal = Sjis("この冒険はほかのゲームで遊ばれているため、このゲームでは保存しません。");
    EXPECT_EQ(HeadlessHint(), refusal);
    WalkIntoScreen2();
    SaveOnQuit();
    EXPECT_EQ(SaveText(), "the other game's journey\n");
    EXPECT_FALSE(std::filesystem::exists(StatePath(base + ".aside-1.txt")));
    EXPECT_EQ(HeadlessLeftLines(), std::vector<std::string>({refusal}));
    close(other);
}

}  // namespace

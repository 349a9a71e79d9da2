#include "tools/recording_check.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/command_line.h"
#include "game/game.h"
#include "game/recording.h"
#include "game/tree_identity.h"
#include "platform/journal.h"
#include "platform/posix_data_file.h"
#include "tools/tool_command.h"
#include "tools/tool_platform.h"

namespace {

std::string checkedPath;
bool inEnglish = false;
int worstBefore = 0;

[[noreturn]] void Say(const std::string& line, int status) {
    bool printed = PrintText(checkedPath + ": " + line + "\n");
    int worst = status > worstBefore ? status : worstBefore;
    std::exit(printed ? worst : 2);
}

// The replay has stopped (its end, its cut, or where it parted).
void ReplayStopped(int) {
    const ReplayOutcome& outcome = JournalReplayOutcome();
    const std::string where = std::to_string(outcome.key) + " (" + RecordingTime(outcome.ms) + ")";
    if (outcome.state == ReplayOutcome::kParted) {
        Say(Pick(inEnglish, "キー ", "leaves the recording at key ") + where +
                Pick(inEnglish, " で録画からずれます: ", ": ") + outcome.why,
            1);
    }
    const char* cut = outcome.state == ReplayOutcome::kCut ? Pick(inEnglish, "（途中で切れた録画）", " (cut short)") : "";
    Say(Pick(inEnglish, "最後まで再生できます: キー ", "replays to its end: ") + std::to_string(outcome.key) +
            Pick(inEnglish, "、", " keys, ") + RecordingTime(outcome.ms) + Pick(inEnglish, "", " of play") + cut,
        0);
}

std::string ReadAll(const char* path, bool& read) {
    std::string text;
    std::FILE* file = OpenRegularFile(path);
    read = file != nullptr;
    if (!file) return text;
    char block[65536];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;) text.append(block, got);
    std::fclose(file);
    return text;
}

}  // namespace

void CheckRecording(const char* path, bool english, int worst) {
    checkedPath = path;
    inEnglish = english;
    worstBefore = worst;
    bool read = false;
    const std::string text = ReadAll(path, read);
    if (!read) Say(Pick(english, "開けません（録画）", "cannot be opened (a recording)"), 1);
    Recording recording;
    std::string why;
    if (!ParseRecording(text, recording, why)) Say(why, 1);
    if (recording.program != ProgramAndVersion()) {
        Say(Pick(english, "別の版の録画です: ", "recorded by another version: ") + recording.program, 1);
    }
    if (recording.tree != DataTreeIdentity()) {
        Say(Pick(english, "このデータツリーの録画ではありません（ファイルが違います）",
                 "not a recording of this data tree (its files differ)"),
            1);
    }
    SetToolConsoleQuiet(true);
    SetToolExitHook(ReplayStopped);
    ReplaySettings settings;
    settings.watched = false;
    settings.exitAtStop = true;
    BeginReplay(recording, settings);
    MainLoop();
}

#include "tests/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/sjis_utf8.h"

namespace fs = std::filesystem;

TempTree::TempTree() {
    std::string pattern = (fs::temp_directory_path() / "chessrpg-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    root = made ? made : pattern;
}

TempTree::~TempTree() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

void TempTree::Write(const std::string& path, const std::string& bytes) const {
    fs::path full = fs::path(root) / path;
    fs::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary);
    out << bytes;
}

void TempTree::WriteSjis(const std::string& path, const std::string& utf8) const { Write(path, Sjis(utf8)); }

void TempTree::Remove(const std::string& path) const { fs::remove(fs::path(root) / path); }

void CopyShippedData(const TempTree& tree) {
    fs::copy(CHESSRPG_DATA_DIR, tree.root, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

std::string ScreenText(int row, int from, int to) {
    const MemoryConsole& screen = HeadlessScreen();
    std::string bytes;
    for (int x = from; x < to; ++x) bytes += static_cast<char>(screen.cells[row][x].byte);
    return SjisToUtf8(bytes);
}

std::string ScreenLine(int row) {
    std::string text = ScreenText(row);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

std::string ScreenVisible(int row) {
    std::string text = ScreenText(row);
    const std::string fullWidthBlank = "\xE3\x80\x80";
    for (std::size_t at = text.find(fullWidthBlank); at != std::string::npos; at = text.find(fullWidthBlank)) {
        text.replace(at, fullWidthBlank.size(), "  ");
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

unsigned ScreenAttribute(int column, int row) { return HeadlessScreen().cells[row][column].attribute; }
int CursorColumn() { return HeadlessScreen().cursorX; }
int CursorRow() { return HeadlessScreen().cursorY; }

std::string Sjis(const std::string& utf8) { return Utf8ToSjis(utf8); }

std::string Blanks(int count) { return std::string(static_cast<std::size_t>(count), ' '); }

std::string Repeat(const std::string& piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

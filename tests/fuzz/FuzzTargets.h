#pragma once
// The fuzz targets as plain functions: libFuzzer drives them through the
// entry files in this folder, and the regression suite replays the saved
// inputs through them under the normal build. A broken invariant aborts
// with a line on standard error; a bad settings table is an expected outcome.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// What the first byte of a settings input selects (modulo the count).
enum class SettingsTarget : std::uint8_t { Window, EditField, StaticText, Canvas, Separator };
inline constexpr std::uint8_t kSettingsTargetCount = 5;

// The settings decoder on the fuzz window (selector 0) or one of its
// controls; the rest of the input is the table. Needs a QApplication.
int FuzzSettings(const std::uint8_t* data, std::size_t size);
// As FuzzSettings; true when the table was applied, false when it was refused.
bool SettingsAccepted(const std::uint8_t* data, std::size_t size);

// fw::Val on the bytes as UTF-8 text.
int FuzzVal(const std::uint8_t* data, std::size_t size);

// fw::Format: the first 8 bytes are the double, each further byte one
// pattern character ("0.#"[byte % 3], so the characters themselves map to
// themselves).
int FuzzFormat(const std::uint8_t* data, std::size_t size);

// Settings inputs made from the program's own tables, each with the selector
// of the class it configures: (file name, bytes). Needs a QApplication;
// builds the program's windows to learn the class of each control.
std::vector<std::pair<std::string, std::string>> ProgramSettingsSeeds();

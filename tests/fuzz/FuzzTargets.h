#pragma once
// The fuzz targets as plain functions: libFuzzer drives them (fuzz_main.cpp)
// and test_fuzz_regressions replays the saved inputs through them. A broken
// invariant aborts; a refused settings table is an expected outcome.

#include <cstddef>
#include <cstdint>

// The first byte of a settings input picks the target, modulo the count.
enum SettingsTarget : std::uint8_t { kWindow, kEditField, kStaticText, kCanvas, kSeparator, kSettingsTargetCount };

// A settings table on a hidden window or one of its controls. Needs a QApplication.
int FuzzSettings(const std::uint8_t* data, std::size_t size);
// fw::Val on the bytes as UTF-8 text.
int FuzzVal(const std::uint8_t* data, std::size_t size);
// fw::DecodePicture on the bytes as a file's content, its chunks' CRCs put right.
int FuzzPicture(const std::uint8_t* data, std::size_t size);
// fw::Format: 8 bytes of a double, then one pattern character per byte ("0.#"[byte % 3]).
int FuzzFormat(const std::uint8_t* data, std::size_t size);

// Ranges and defaults of the learner's settings, declared once for the settings validation,
// the widgets and the core.
#pragma once

#include "support/Language.h"

namespace vantrel {

// Text types, numbered as the entries of the text type group and as stored; the group has
// nothing selected at None.
enum class TextType : int {
    None = -1,
    Digits = 0,
    Letters = 1,
    File = 2,
    Keyboard = 3,
    Contact = 4,
    Lesson = 5,
    WeakCharacters = 6,
    LatinLetters = 7,
};

}  // namespace vantrel

namespace vantrel::limits {

// Speed in groups per minute (SpeedTrackBar).
inline constexpr int kSpeedMin = 3;
inline constexpr int kSpeedMax = 30;
inline constexpr int kSpeedDefault = 12;

// Extra dots after every character (SpacingTrackBar).
inline constexpr int kSpacingMin = 0;
inline constexpr int kSpacingMax = 7;
inline constexpr int kSpacingDefault = 0;

// Pitch track bar position; the tone is 100 Hz per step.
inline constexpr int kPitchMin = 4;
inline constexpr int kPitchMax = 16;
inline constexpr int kPitchDefault = 8;
inline constexpr int kPitchFormValue = 10;

// Volume track bar position; 0 (top) is the loudest.
inline constexpr int kVolumeMin = 0;
inline constexpr int kVolumeMax = 8;
inline constexpr int kVolumeDefault = 0;

inline constexpr int kTextTypeFirst = static_cast<int>(TextType::Digits);
inline constexpr int kTextTypeLast = static_cast<int>(TextType::LatinLetters);
inline constexpr int kTextTypeDefault = static_cast<int>(TextType::Digits);

// Koch lessons: the alphabet (0 Latin, 1 Cyrillic) and the lesson, 1 up to the alphabet's last.
inline constexpr int kKochAlphabetDefault = 0;
inline constexpr int kLessonDefault = 1;

// The interface's language; a first start speaks Russian.
inline constexpr int kLanguageFirst = static_cast<int>(Language::Russian);
inline constexpr int kLanguageLast = static_cast<int>(Language::English);
inline constexpr int kLanguageDefault = static_cast<int>(Language::Russian);

// Silence before the first element of a run, in whole seconds.
inline constexpr int kStartDelayMin = 0;
inline constexpr int kStartDelayMax = 3;
inline constexpr int kStartDelayDefault = 0;

// Interference level scroll bar (samples).
inline constexpr int kNoiseLevelMin = 0;
inline constexpr int kNoiseLevelMax = 18000;

// Keyed audio: signed 16-bit mono.
inline constexpr int kKeyedSampleRate = 8000;

}  // namespace vantrel::limits

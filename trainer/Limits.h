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

// The recognition drills key at speeds of their own (groups per minute, the dot still 9600 div
// speed samples): the character drill at 10 to 60, the call-sign sprint at 10 to 100, its speed
// moving by one step after each call.
inline constexpr int kCharacterDrillSpeedMin = 10;
inline constexpr int kCharacterDrillSpeedMax = 60;
inline constexpr int kCharacterDrillSpeedDefault = 20;
inline constexpr int kSprintSpeedMin = 10;
inline constexpr int kSprintSpeedMax = 100;
inline constexpr int kSprintSpeedDefault = 20;
inline constexpr int kSprintSpeedStep = 2;
// The character drill: the response time under which a character counts as known, and the
// pause after a right answer before the next character, both in milliseconds.
inline constexpr int kResponseTargetMinMs = 200;
inline constexpr int kResponseTargetMaxMs = 3000;
inline constexpr int kResponseTargetDefaultMs = 700;
inline constexpr int kDrillPauseMinMs = 0;
inline constexpr int kDrillPauseMaxMs = 1000;
inline constexpr int kDrillPauseDefaultMs = 300;

// Keyed audio: signed 16-bit mono.
inline constexpr int kKeyedSampleRate = 8000;

}  // namespace vantrel::limits

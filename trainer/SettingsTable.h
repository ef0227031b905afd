// Every value the trainer keeps between runs, declared once: its name under the program's key,
// its default and the range a stored value is brought into when it is read. One load reads them
// all and one save writes them all, so adding a stored value is one row of kStoredDwords.
//
// Besides the dwords the key holds "WindowPos", the main window's 20-byte position record,
// which the load restores first and the save writes first (see support/Settings.h).
#pragma once

#include <array>
#include <limits>
#include <string_view>

#include "band/BandSettings.h"
#include "progress/CharacterDrill.h"
#include "progress/KochLessons.h"
#include "support/Settings.h"
#include "trainer/Limits.h"

namespace vantrel {

inline constexpr std::string_view kSettingsKey = "Software\\Quorbit\\Vantrel";
inline constexpr std::string_view kWindowPosSetting = "WindowPos";

// The learner's choices as they are stored: track bar positions, the text type entry, the
// Koch alphabet and lesson, the start delay in seconds; the recognition drills' set, speeds
// (groups per minute), response target and pause (milliseconds); the interface's language; the
// band conditions (band::BandSettings as numbers, booleans 0 or 1).
struct TrainerSettings {
    int speed = 0;
    int spacing = 0;
    int textType = 0;
    int pitch = 0;
    int volume = 0;
    int kochAlphabet = 0;
    int lesson = 0;
    int startDelay = 0;
    int drillSet = 0;
    int drillSpeed = 0;
    int responseTarget = 0;
    int drillPause = 0;
    int sprintSpeed = 0;
    int language = 0;
    int bandOn = 0;
    int bandProfile = 0;
    int bandSnrDb = 0;
    int bandFading = 0;
    int bandDepth = 0;
    int bandStatic = 0;
    int bandStations = 0;
    int bandFilter = 0;
    int bandAgc = 0;

    friend bool operator==(const TrainerSettings&, const TrainerSettings&) = default;
};

// A stored signed 32-bit value (a dword; -1 is stored as 0xFFFFFFFF).
struct StoredDword {
    std::string_view name;
    int TrainerSettings::*field;
    int defaultValue;
    int min;
    int max;
};

// In the order they are read and written.
inline constexpr std::array kStoredDwords = {
    StoredDword{"Speed", &TrainerSettings::speed, limits::kSpeedDefault, limits::kSpeedMin,
                limits::kSpeedMax},
    StoredDword{"Spacing", &TrainerSettings::spacing, limits::kSpacingDefault, limits::kSpacingMin,
                limits::kSpacingMax},
    // Below the first entry nothing is selected; above the last, the last entry is.
    StoredDword{"Test", &TrainerSettings::textType, limits::kTextTypeDefault,
                static_cast<int>(TextType::None), limits::kTextTypeLast},
    StoredDword{"Pitch", &TrainerSettings::pitch, limits::kPitchDefault, limits::kPitchMin,
                limits::kPitchMax},
    StoredDword{"Volume", &TrainerSettings::volume, limits::kVolumeDefault, limits::kVolumeMin,
                limits::kVolumeMax},
    StoredDword{"KochAlphabet", &TrainerSettings::kochAlphabet, limits::kKochAlphabetDefault,
                progress::kFirstKochAlphabet, progress::kLastKochAlphabet},
    // Bounded above by the alphabet's last lesson (Clamped).
    StoredDword{"Lesson", &TrainerSettings::lesson, limits::kLessonDefault, progress::kFirstLesson,
                std::numeric_limits<int>::max()},
    StoredDword{"StartDelay", &TrainerSettings::startDelay, limits::kStartDelayDefault,
                limits::kStartDelayMin, limits::kStartDelayMax},
    StoredDword{"DrillSet", &TrainerSettings::drillSet, progress::kFirstDrillSet,
                progress::kFirstDrillSet, progress::kLastDrillSet},
    StoredDword{"DrillSpeed", &TrainerSettings::drillSpeed, limits::kCharacterDrillSpeedDefault,
                limits::kCharacterDrillSpeedMin, limits::kCharacterDrillSpeedMax},
    StoredDword{"DrillTarget", &TrainerSettings::responseTarget, limits::kResponseTargetDefaultMs,
                limits::kResponseTargetMinMs, limits::kResponseTargetMaxMs},
    StoredDword{"DrillPause", &TrainerSettings::drillPause, limits::kDrillPauseDefaultMs,
                limits::kDrillPauseMinMs, limits::kDrillPauseMaxMs},
    StoredDword{"SprintSpeed", &TrainerSettings::sprintSpeed, limits::kSprintSpeedDefault,
                limits::kSprintSpeedMin, limits::kSprintSpeedMax},
    StoredDword{"Language", &TrainerSettings::language, limits::kLanguageDefault,
                limits::kLanguageFirst, limits::kLanguageLast},
    // The band conditions, off by default; the enumerations are brought into range by
    // band::Clamped (Clamped), which takes an unknown one to its default.
    StoredDword{"Band", &TrainerSettings::bandOn, 0, 0, 1},
    StoredDword{"BandProfile", &TrainerSettings::bandProfile,
                static_cast<int>(band::BandSettings{}.profile), std::numeric_limits<int>::min(),
                std::numeric_limits<int>::max()},
    StoredDword{"BandSnr", &TrainerSettings::bandSnrDb, band::BandSettings{}.snrDb, band::kSnrMinDb,
                band::kSnrMaxDb},
    StoredDword{"BandFading", &TrainerSettings::bandFading,
                static_cast<int>(band::BandSettings{}.fading), std::numeric_limits<int>::min(),
                std::numeric_limits<int>::max()},
    StoredDword{"BandDepth", &TrainerSettings::bandDepth, band::BandSettings{}.depthPercent,
                band::kDepthMin, band::kDepthMax},
    StoredDword{"BandStatic", &TrainerSettings::bandStatic, band::BandSettings{}.staticPercent,
                band::kStaticMin, band::kStaticMax},
    StoredDword{"BandStations", &TrainerSettings::bandStations, band::BandSettings{}.stations,
                band::kStationsMin, band::kStationsMax},
    StoredDword{"BandFilter", &TrainerSettings::bandFilter,
                static_cast<int>(band::BandSettings{}.bandwidth), std::numeric_limits<int>::min(),
                std::numeric_limits<int>::max()},
    StoredDword{"BandAgc", &TrainerSettings::bandAgc, band::BandSettings{}.agc, 0, 1},
};

// Every value at its default.
TrainerSettings DefaultTrainerSettings();
// Brings every value into its range (the lesson also into its alphabet's, the band conditions
// through band::Clamped; a named profile whose values are not its own becomes Custom).
TrainerSettings Clamped(TrainerSettings settings);

// The band conditions of the stored values, and the stored values of band conditions.
band::BandSettings BandConditions(const TrainerSettings& settings);
void KeepBandConditions(TrainerSettings& settings, const band::BandSettings& conditions);

// Restores the window's position (not its size), then reads every value, each brought into
// its range; a value that is missing or not a dword gives its default.
TrainerSettings LoadTrainerSettings(settings::SettingsBackend& store, WindowGeometry& window);
// Stores the window's position and every value, together in one write.
void SaveTrainerSettings(settings::SettingsBackend& store, const TrainerSettings& settings,
                         WindowGeometry& window);

}  // namespace vantrel

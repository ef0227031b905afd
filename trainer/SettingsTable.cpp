#include "trainer/SettingsTable.h"

#include <algorithm>

namespace vantrel {

TrainerSettings DefaultTrainerSettings() {
    TrainerSettings settings;
    for (const StoredDword& value : kStoredDwords) {
        settings.*value.field = value.defaultValue;
    }
    return settings;
}

TrainerSettings Clamped(TrainerSettings settings) {
    for (const StoredDword& value : kStoredDwords) {
        settings.*value.field = std::clamp(settings.*value.field, value.min, value.max);
    }
    settings.lesson = progress::ClampLesson(progress::KochAlphabetFromNumber(settings.kochAlphabet),
                                            settings.lesson);
    band::BandSettings conditions = band::Clamped(BandConditions(settings));
    if (conditions.profile != band::Profile::Custom &&
        band::MatchingProfile(conditions) != conditions.profile) {
        conditions.profile = band::Profile::Custom;
    }
    KeepBandConditions(settings, conditions);
    return settings;
}

band::BandSettings BandConditions(const TrainerSettings& s) {
    return {s.bandOn != 0,  static_cast<band::Profile>(s.bandProfile),
            s.bandSnrDb,    static_cast<band::FadingKind>(s.bandFading),
            s.bandDepth,    s.bandStatic,
            s.bandStations, static_cast<band::Bandwidth>(s.bandFilter),
            s.bandAgc != 0};
}

void KeepBandConditions(TrainerSettings& s, const band::BandSettings& conditions) {
    s.bandOn = conditions.enabled ? 1 : 0;
    s.bandProfile = static_cast<int>(conditions.profile);
    s.bandSnrDb = conditions.snrDb;
    s.bandFading = static_cast<int>(conditions.fading);
    s.bandDepth = conditions.depthPercent;
    s.bandStatic = conditions.staticPercent;
    s.bandStations = conditions.stations;
    s.bandFilter = static_cast<int>(conditions.bandwidth);
    s.bandAgc = conditions.agc ? 1 : 0;
}

TrainerSettings LoadTrainerSettings(settings::SettingsBackend& store, WindowGeometry& window) {
    LoadWindowPos(store, kSettingsKey, kWindowPosSetting, window, false);
    TrainerSettings settings;
    for (const StoredDword& value : kStoredDwords) {
        settings.*value.field = ReadIntSetting(store, kSettingsKey, value.name, value.defaultValue);
    }
    return Clamped(settings);
}

void SaveTrainerSettings(settings::SettingsBackend& store, const TrainerSettings& settings,
                         WindowGeometry& window) {
    settings::SettingsBatch batch(store);
    SaveWindowPos(store, kSettingsKey, kWindowPosSetting, window);
    for (const StoredDword& value : kStoredDwords) {
        WriteIntSetting(store, kSettingsKey, value.name, settings.*value.field);
    }
}

}  // namespace vantrel

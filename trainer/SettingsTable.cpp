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
    return settings;
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

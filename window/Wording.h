// What the core reports, worded in the interface's language (Qt's translation functions, Russian
// being the language of the texts here): the run's status and the pause caption, the copy check
// and the lesson offer, the track bar hints, the errors of the comparison, the sound device's
// open error, the errors of files.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <filesystem>
#include <vector>

#include "platform/audio/WaveOut.h"
#include "platform/files/FileError.h"
#include "progress/CheckComparison.h"
#include "progress/HistoryStore.h"
#include "trainer/AudioExport.h"
#include "trainer/CopyCheck.h"
#include "trainer/PlaybackEngine.h"
#include "trainer/TrackBarHints.h"

namespace vantrel {

class Wording {
    Q_DECLARE_TR_FUNCTIONS(Wording)

  public:
    // "Тест начат", "Возобновлен", "Тест окончен", "Тестирование остановлено", "Не выбран файл!".
    static QString Status(RunStatus status);
    // "&Пауза" or "&Возобновить".
    static QString Pause(PauseCaption caption);
    // "Ошибка открытия аудио!", a line break, the device's error text.
    static QString AudioOpenError(audio::MMResult result);

    // "Ничего не ввели!"
    static QString EmptyCopy();
    // "Количество ошибок:1. Оценка: 4. Нормально:)"
    static QString CheckResult(const CopyCheckResult& result);
    // "Верно не меньше 90% знаков. Можно переходить к уроку 2: ..."
    static QString LessonOffer(int lesson);

    // "12 гр./мин."
    static QString SpeedHint(int groupsPerMinute);
    // "Нормальные паузы", "Увеличенные паузы", "Длинные паузы".
    static QString SpacingHint(int spacing);
    // "800 Гц", rounded to whole hertz.
    static QString PitchHint(long double toneFrequencyHz);
    // The volume level alone: "8".
    static QString VolumeHint(int volumeLevel);

    // A character of the comparison for people: "Ж".
    static QString Character(unsigned char cp1251);
    // "5 принято как 4: 3 раза", "7 пропущено: 1 раз", "лишнее Q: 2 раза", "5 принято верно: 9
    // раз".
    static QString Pair(const progress::PairCount& pair);
    // "Ошибки: 5→4 ×3, пропущено 7 ×1, лишнее Q ×1", the most frequent first; "Ошибок нет".
    static QString Summary(const std::vector<progress::PairCount>& pairs);

    // "Не удалось открыть файл «path»: нет такого файла или каталога", the system's reason in the
    // interface's language.
    static QString FileError(const files::FileError& error);
    // "Не удалось сохранить историю проверок в файл «path»."
    static QString CsvNotSaved(const std::filesystem::path& file);
    static QString AudioExportFailed(const AudioExportError& error);
    // "Файл истории проверок «path» повреждён (...). Он сохранён как «aside», начата новая
    // история." and the like, one line each.
    static QString HistoryNotices(const std::vector<progress::HistoryNotice>& notices);
};

}  // namespace vantrel

// What the core reports, worded from the same values in each language.
#include "window/Wording.h"

#include <gtest/gtest.h>

#include "tests/window/QtTestEnvironment.h"
#include "window/Translations.h"

namespace vantrel {
namespace {

// Russian, then English.
using Worded = std::pair<QString, QString>;

void ExpectWorded(const std::function<QString()>& word, const Worded& expected) {
    for (auto [language, text] :
         {std::pair{Language::Russian, expected.first}, {Language::English, expected.second}}) {
        translations::Use(language);
        EXPECT_EQ(word(), text);
    }
    translations::Use(Language::Russian);
}

// A check, a file error and a store error; the run's texts and hints; plural forms.
TEST(WordingTest, CoreResultsAreWordedInEachLanguage) {
    const files::FileError denied{files::Operation::Write, "/x/log.txt",
                                  std::make_error_code(std::errc::permission_denied)};
    const std::vector<std::pair<std::function<QString()>, Worded>> cases = {
        {[] {
             return Wording::CheckResult({1, 4});
         },
         {"Количество ошибок:1. Оценка: 4. Нормально:)", "Errors: 1. Grade: 4. Well done :)"}},
        {[&] { return Wording::FileError(denied); },
         {"Не удалось записать файл «/x/log.txt»: отказано в доступе",
          "Could not write the file “/x/log.txt”: permission denied"}},
        {[] {
             using Event = progress::HistoryNotice::Event;
             progress::HistoryNotice damaged(Event::Damaged, "/x/h.sqlite",
                                             "file is not a database");
             damaged.aside = "/x/h-1.sqlite";
             progress::HistoryNotice folder(Event::FolderNotMade, "/y");
             folder.systemError = std::make_error_code(std::errc::read_only_file_system);
             folder.sessionOnly = true;
             return Wording::HistoryNotices({damaged, folder});
         },
         {"Файл истории проверок «/x/h.sqlite» повреждён (file is not a database). Он сохранён как "
          "«/x/h-1.sqlite», начата новая история.\nПапку истории проверок «/y» не удаётся создать "
          "(файловая система доступна только для чтения). Результаты проверок этого сеанса не "
          "будут сохранены.",
          "The check history file “/x/h.sqlite” is damaged (file is not a database). It is kept as "
          "“/x/h-1.sqlite”, and a new history has been started.\nThe folder of the check history "
          "“/y” cannot be made (read-only file system). The results of this session’s checks "
          "will not be kept."}},
        {[] { return Wording::CsvNotSaved("/x/h.csv"); },
         {"Не удалось сохранить историю проверок в файл «/x/h.csv».",
          "Could not save the check history to the file “/x/h.csv”."}},
        {[] {
             return Wording::AudioExportFailed({AudioExportError::Kind::NotWritten, "/x/a.wav"});
         },
         {"Не удалось сохранить файл «a.wav» в папке «/x». Проверьте, что папка существует, "
          "доступна для записи и на диске есть место. Ничего не записано.",
          "Could not save the file “a.wav” in the folder “/x”. Check that the folder exists and "
          "can be written to and that the disk has room. Nothing was written."}},
        {[] { return Wording::LessonOffer(2); },
         {"Верно не меньше 90% знаков. Можно переходить к уроку 2: кнопка «Следующий урок» на "
          "вкладке «Урок».",
          "At least 90% of the characters are right. You can go on to lesson 2: the button “Next "
          "lesson” on the tab “Lesson”."}},
        {[] {
             return Wording::Status(RunStatus::NoFileChosen) + Wording::Pause(PauseCaption::Resume);
         },
         {"Не выбран файл!&Возобновить", "No file chosen!&Resume"}},
        {[] { return Wording::AudioOpenError(audio::MMSYSERR_NODRIVER); },
         {"Ошибка открытия аудио!\r\nno device driver present",
          "Cannot open the audio device!\r\nno device driver present"}},
        {[] {
             return Wording::SpeedHint(13) + '|' + Wording::SpacingHint(4) + '|' +
                    Wording::PitchHint(401.5L) + '|' + Wording::VolumeHint(8);
         },
         {"13 гр./мин.|Длинные паузы|402 Гц|8", "13 groups/min|Long spacing|402 Hz|8"}},
        {[] {
             return Wording::Pair({'5', '4', 3}) + '|' + Wording::Pair({'7', 0, 1}) + '|' +
                    Wording::Pair({0, 'Q', 12}) + '|' + Wording::Pair({'1', '1', 22});
         },
         {"5 принято как 4: 3 раза|7 пропущено: 1 раз|лишнее Q: 12 раз|1 принято верно: 22 раза",
          "5 copied as 4: 3 times|7 missed: 1 time|extra Q: 12 times|1 copied right: 22 times"}},
    };
    for (const auto& [word, expected] : cases) {
        ExpectWorded(word, expected);
    }
}

}  // namespace
}  // namespace vantrel

// What the core reports, worded from the same values in each language.
#include "window/Wording.h"

#include <gtest/gtest.h>

#include "tests/window/QtTestEnvironment.h"
#include "window/Translations.h"

namespace vantrel {
namespace {

// A check, file errors (the system's reason in the language too) and a store error; the run's
// texts and hints (pitch rounded half to even, the spacing's kinds at their edges); plurals.
QStringList WordEverything() {
    using Event = progress::HistoryNotice::Event;
    progress::HistoryNotice damaged(Event::Damaged, "/x/h.sqlite", "file is not a database");
    damaged.aside = "/x/h-1.sqlite";
    progress::HistoryNotice folder(Event::FolderNotMade, "/y");
    folder.systemError = std::make_error_code(std::errc::read_only_file_system);
    folder.sessionOnly = true;
    return {Wording::CheckResult({1, 4}) + '|' + Wording::LessonOffer(2),
            Wording::FileError({files::Operation::Write, "/x/log.txt",
                                std::make_error_code(std::errc::no_space_on_device)}) +
                '|' +
                Wording::FileError({files::Operation::Open, "/x/fifo",
                                    files::MakeErrorCode(files::FileProblem::NotARegularFile)}),
            Wording::HistoryNotices({damaged, folder}),
            Wording::CsvNotSaved("/x/h.csv") + '|' +
                Wording::AudioExportFailed({AudioExportError::Kind::NotWritten, "/x/a.wav"}),
            Wording::Status(RunStatus::NoFileChosen) + Wording::Pause(PauseCaption::Resume) +
                Wording::AudioOpenError(audio::MMSYSERR_NODRIVER),
            Wording::SpeedHint(13) + '|' + Wording::SpacingHint(1) + '|' + Wording::SpacingHint(4) +
                '|' + Wording::PitchHint(400.5L) + '|' + Wording::PitchHint(401.5L) + '|' +
                Wording::VolumeHint(8),
            Wording::Pair({'5', '4', 3}) + '|' + Wording::Pair({'7', 0, 1}) + '|' +
                Wording::Pair({0, 'Q', 12}) + '|' + Wording::Pair({'1', '1', 22})};
}

TEST(WordingTest, CoreResultsAreWordedInEachLanguage) {
    EXPECT_EQ(
        WordEverything(),
        (QStringList{
            "Количество ошибок:1. Оценка: 4. Нормально:)|Верно не меньше 90% знаков. Можно "
            "переходить к уроку 2: кнопка «Следующий урок» на вкладке «Урок».",
            "Не удалось записать файл «/x/log.txt»: на устройстве не осталось свободного места|Не "
            "удалось открыть файл «/x/fifo»: это не обычный файл",
            "Файл истории проверок «/x/h.sqlite» повреждён (file is not a database). Он сохранён "
            "как «/x/h-1.sqlite», начата новая история.\nПапку истории проверок «/y» не удаётся "
            "создать (файловая система доступна только для чтения). Результаты проверок этого "
            "сеанса не будут сохранены.",
            "Не удалось сохранить историю проверок в файл «/x/h.csv».|Не удалось сохранить файл "
            "«a.wav» в папке «/x». Проверьте, что папка существует, доступна для записи и на "
            "диске есть место. Ничего не записано.",
            "Не выбран файл!&ВозобновитьОшибка открытия аудио!\r\nno device driver present",
            "13 гр./мин.|Увеличенные паузы|Длинные паузы|400 Гц|402 Гц|8",
            "5 принято как 4: 3 раза|7 пропущено: 1 раз|лишнее Q: 12 раз|1 принято верно: 22 "
            "раза"}));
    translations::Use(Language::English);
    EXPECT_EQ(
        WordEverything(),
        (QStringList{
            "Errors: 1. Grade: 4. Well done :)|At least 90% of the characters are right. You can "
            "go on to lesson 2: the button “Next lesson” on the tab “Lesson”.",
            "Could not write the file “/x/log.txt”: no space left on device|Could not open the "
            "file “/x/fifo”: not a regular file",
            "The check history file “/x/h.sqlite” is damaged (file is not a database). It is kept "
            "as “/x/h-1.sqlite”, and a new history has been started.\nThe folder of the check "
            "history “/y” cannot be made (read-only file system). The results of this session’s "
            "checks will not be kept.",
            "Could not save the check history to the file “/x/h.csv”.|Could not save the file "
            "“a.wav” in the folder “/x”. Check that the folder exists and can be written to and "
            "that the disk has room. Nothing was written.",
            "No file chosen!&ResumeCannot open the audio device!\r\nno device driver present",
            "13 groups/min|Increased spacing|Long spacing|400 Hz|402 Hz|8",
            "5 copied as 4: 3 times|7 missed: 1 time|extra Q: 12 times|1 copied right: 22 times"}));
    translations::Use(Language::Russian);
}

}  // namespace
}  // namespace vantrel

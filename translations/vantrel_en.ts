<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>Wording</name>
    <message>
        <source>Тест начат</source>
        <translation>Test started</translation>
    </message>
    <message>
        <source>Возобновлен</source>
        <translation>Resumed</translation>
    </message>
    <message>
        <source>Тест окончен</source>
        <translation>Test finished</translation>
    </message>
    <message>
        <source>Тестирование остановлено</source>
        <translation>Test stopped</translation>
    </message>
    <message>
        <source>Не выбран файл!</source>
        <translation>No file chosen!</translation>
    </message>
    <message>
        <source>&amp;Возобновить</source>
        <translation>&amp;Resume</translation>
    </message>
    <message>
        <source>&amp;Пауза</source>
        <translation>&amp;Pause</translation>
    </message>
    <message>
        <source>Ошибка открытия аудио!</source>
        <translation>Cannot open the audio device!</translation>
    </message>
    <message>
        <source>Ничего не ввели!</source>
        <translation>Nothing was entered!</translation>
    </message>
    <message>
        <source>Количество ошибок:%1. Оценка: %2. Нормально:)</source>
        <translation>Errors: %1. Grade: %2. Well done :)</translation>
    </message>
    <message>
        <source>Верно не меньше 90% знаков. Можно переходить к уроку %1: кнопка «Следующий урок» на вкладке «Урок».</source>
        <translation>At least 90% of the characters are right. You can go on to lesson %1: the button “Next lesson” on the tab “Lesson”.</translation>
    </message>
    <message>
        <source>%1 гр./мин.</source>
        <translation>%1 groups/min</translation>
    </message>
    <message>
        <source>Нормальные паузы</source>
        <translation>Normal spacing</translation>
    </message>
    <message>
        <source>Увеличенные паузы</source>
        <translation>Increased spacing</translation>
    </message>
    <message>
        <source>Длинные паузы</source>
        <translation>Long spacing</translation>
    </message>
    <message>
        <source>%1 Гц</source>
        <translation>%1 Hz</translation>
    </message>
    <message numerus="yes">
        <source>лишнее %1: %n раз(а)</source>
        <translation>
            <numerusform>extra %1: %n time</numerusform>
            <numerusform>extra %1: %n times</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 пропущено: %n раз(а)</source>
        <translation>
            <numerusform>%1 missed: %n time</numerusform>
            <numerusform>%1 missed: %n times</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 принято верно: %n раз(а)</source>
        <translation>
            <numerusform>%1 copied right: %n time</numerusform>
            <numerusform>%1 copied right: %n times</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 принято как %2: %n раз(а)</source>
        <translation>
            <numerusform>%1 copied as %2: %n time</numerusform>
            <numerusform>%1 copied as %2: %n times</numerusform>
        </translation>
    </message>
    <message>
        <source>Ошибок нет</source>
        <translation>No errors</translation>
    </message>
    <message>
        <source>лишнее %1</source>
        <translation>extra %1</translation>
    </message>
    <message>
        <source>пропущено %1</source>
        <translation>missed %1</translation>
    </message>
    <message>
        <source>Ошибки: %1</source>
        <translation>Errors: %1</translation>
    </message>
    <message>
        <source>Не удалось открыть файл «%1»: %2</source>
        <translation>Could not open the file “%1”: %2</translation>
    </message>
    <message>
        <source>Не удалось записать файл «%1»: %2</source>
        <translation>Could not write the file “%1”: %2</translation>
    </message>
    <message>
        <source>Не удалось сохранить историю проверок в файл «%1».</source>
        <translation>Could not save the check history to the file “%1”.</translation>
    </message>
    <message>
        <source>Текст слишком длинный для одного звукового файла (больше 4 ГБ). Сохраните его частями.</source>
        <translation>The text is too long for one sound file (over 4 GB). Save it in parts.</translation>
    </message>
    <message>
        <source>Не удалось сохранить файл «%1» в папке «%2». Проверьте, что папка существует, доступна для записи и на диске есть место. Ничего не записано.</source>
        <translation>Could not save the file “%1” in the folder “%2”. Check that the folder exists and can be written to and that the disk has room. Nothing was written.</translation>
    </message>
    <message>
        <source>Папку истории проверок «%1» не удаётся создать (%2).</source>
        <translation>The folder of the check history “%1” cannot be made (%2).</translation>
    </message>
    <message>
        <source>Файл истории проверок «%1» не открывается (%2).</source>
        <translation>The check history file “%1” does not open (%2).</translation>
    </message>
    <message>
        <source>Файл истории проверок «%1» повреждён (%2).</source>
        <translation>The check history file “%1” is damaged (%2).</translation>
    </message>
    <message>
        <source>Файл истории проверок «%1» записан более новой версией программы (версия %2).</source>
        <translation>The check history file “%1” was written by a newer version of the program (version %2).</translation>
    </message>
    <message>
        <source>История проверок очищена.</source>
        <translation>The check history has been cleared.</translation>
    </message>
    <message>
        <source>История проверок не читается (%1).</source>
        <translation>The check history cannot be read (%1).</translation>
    </message>
    <message>
        <source>Результат проверки не записан в историю (%1).</source>
        <translation>The check was not stored in the history (%1).</translation>
    </message>
    <message>
        <source>Ответы упражнения не записаны в историю (%1).</source>
        <translation>The drill’s answers were not stored in the history (%1).</translation>
    </message>
    <message>
        <source>Результат спринта не записан в историю (%1).</source>
        <translation>The sprint’s result was not stored in the history (%1).</translation>
    </message>
    <message>
        <source> Отложить его не удаётся (%1).</source>
        <translation> It cannot be kept aside (%1).</translation>
    </message>
    <message>
        <source> Прежняя история сохранена в файле «%1».</source>
        <translation> The old history is kept in the file “%1”.</translation>
    </message>
    <message>
        <source> Он сохранён как «%1», начата новая история.</source>
        <translation> It is kept as “%1”, and a new history has been started.</translation>
    </message>
    <message>
        <source> Новый файл не создаётся (%1).</source>
        <translation> A new file cannot be made (%1).</translation>
    </message>
    <message>
        <source> Результаты проверок этого сеанса не будут сохранены.</source>
        <translation> The results of this session’s checks will not be kept.</translation>
    </message>
</context>
<context>
    <name>vantrel::AudioExportCommand</name>
    <message>
        <source>Сохранить как звук</source>
        <translation>Save as sound</translation>
    </message>
    <message>
        <source>Звук WAV (*.wav)</source>
        <translation>WAV sound (*.wav)</translation>
    </message>
    <message>
        <source>Файл «%1» уже есть. Заменить его текстом упражнения?</source>
        <translation>The file “%1” already exists. Replace it with the practice text?</translation>
    </message>
    <message>
        <source>Сохранение звука...</source>
        <translation>Saving the sound...</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Сохранение звука</source>
        <translation>Saving the sound</translation>
    </message>
</context>
<context>
    <name>vantrel::BandTab</name>
    <message>
        <source>Условия &amp;эфира</source>
        <translation>Band &amp;conditions</translation>
    </message>
    <message>
        <source>Условия эфира</source>
        <translation>Band conditions</translation>
    </message>
    <message>
        <source>Замирания, шум, треск и другие станции в принимаемом сигнале</source>
        <translation>Fading, noise, static and other stations in the received signal</translation>
    </message>
    <message>
        <source>Чистый эфир</source>
        <translation>Clear band</translation>
    </message>
    <message>
        <source>Замирания</source>
        <translation>Fading</translation>
    </message>
    <message>
        <source>Летний вечер</source>
        <translation>Summer evening</translation>
    </message>
    <message>
        <source>Контест</source>
        <translation>Contest</translation>
    </message>
    <message>
        <source>Полярное сияние</source>
        <translation>Aurora</translation>
    </message>
    <message>
        <source>Свой</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>Профиль задаёт все условия сразу; изменённое условие делает профиль своим</source>
        <translation>A profile sets every condition at once; changing one makes the profile custom</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>None</translation>
    </message>
    <message>
        <source>Медленные</source>
        <translation>Slow</translation>
    </message>
    <message>
        <source>Обычные</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Флаттер</source>
        <translation>Flutter</translation>
    </message>
    <message>
        <source>%1 Гц</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>&amp;АРУ</source>
        <translation>A&amp;GC</translation>
    </message>
    <message>
        <source>АРУ</source>
        <translation>AGC</translation>
    </message>
    <message>
        <source>Автоматическая регулировка усиления приёмника</source>
        <translation>The receiver&apos;s automatic gain control</translation>
    </message>
    <message>
        <source>П&amp;рофиль:</source>
        <translation>P&amp;rofile:</translation>
    </message>
    <message>
        <source>Профиль</source>
        <translation>Profile</translation>
    </message>
    <message>
        <source>Сигнал/&amp;шум:</source>
        <translation>Signal/&amp;noise:</translation>
    </message>
    <message>
        <source>Сигнал/шум</source>
        <translation>Signal/noise</translation>
    </message>
    <message>
        <source>&amp;Замирания:</source>
        <translation>Fa&amp;ding:</translation>
    </message>
    <message>
        <source>&amp;Глубина замираний:</source>
        <translation>Fading dep&amp;th:</translation>
    </message>
    <message>
        <source>Глубина замираний</source>
        <translation>Fading depth</translation>
    </message>
    <message>
        <source>&amp;Треск:</source>
        <translation>Stat&amp;ic:</translation>
    </message>
    <message>
        <source>Треск</source>
        <translation>Static</translation>
    </message>
    <message>
        <source>&amp;Мешающие станции:</source>
        <translation>Other stati&amp;ons:</translation>
    </message>
    <message>
        <source>Мешающие станции</source>
        <translation>Other stations</translation>
    </message>
    <message>
        <source>П&amp;олоса приёмника:</source>
        <translation>Receiver &amp;bandwidth:</translation>
    </message>
    <message>
        <source>Полоса приёмника</source>
        <translation>Receiver bandwidth</translation>
    </message>
    <message>
        <source>%1 дБ</source>
        <translation>%1 dB</translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation>%1 %</translation>
    </message>
</context>
<context>
    <name>vantrel::CharacterDrillWindow</name>
    <message>
        <source>Набор знаков</source>
        <translation>Character set</translation>
    </message>
    <message>
        <source>Скорость знаков</source>
        <translation>Character speed</translation>
    </message>
    <message>
        <source> гр./мин.</source>
        <translation> groups/min</translation>
    </message>
    <message>
        <source>Цель времени ответа</source>
        <translation>Response time target</translation>
    </message>
    <message>
        <source> мс</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>Пауза после верного ответа</source>
        <translation>Pause after a right answer</translation>
    </message>
    <message>
        <source>Ответ</source>
        <translation>Answer</translation>
    </message>
    <message>
        <source>Результат</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>Итог</source>
        <translation>Totals</translation>
    </message>
    <message>
        <source>Узнавание знаков</source>
        <translation>Character recognition</translation>
    </message>
    <message>
        <source>Знаки урока</source>
        <translation>Lesson characters</translation>
    </message>
    <message>
        <source>Латинские буквы</source>
        <translation>Latin letters</translation>
    </message>
    <message>
        <source>Русские буквы</source>
        <translation>Russian letters</translation>
    </message>
    <message>
        <source>Цифры</source>
        <translation>Digits</translation>
    </message>
    <message>
        <source>Знаки препинания</source>
        <translation>Punctuation</translation>
    </message>
    <message>
        <source>Напечатайте услышанный знак</source>
        <translation>Type the character you heard</translation>
    </message>
    <message>
        <source>Знак узнаётся, когда 19 из 20 последних ответов верны и их медиана быстрее цели</source>
        <translation>A character is recognised when 19 of its last 20 answers are right and their median is faster than the target</translation>
    </message>
    <message>
        <source>&amp;Знаки:</source>
        <translation>&amp;Characters:</translation>
    </message>
    <message>
        <source>&amp;Скорость:</source>
        <translation>Spee&amp;d:</translation>
    </message>
    <message>
        <source>&amp;Цель ответа:</source>
        <translation>Response &amp;target:</translation>
    </message>
    <message>
        <source>&amp;Пауза:</source>
        <translation>Pa&amp;use:</translation>
    </message>
    <message>
        <source>О&amp;твет:</source>
        <translation>&amp;Answer:</translation>
    </message>
    <message>
        <source>Упражнение остановлено</source>
        <translation>Drill stopped</translation>
    </message>
    <message>
        <source>Упражнение начато. Печатайте каждый услышанный знак</source>
        <translation>Drill started. Type each character you hear</translation>
    </message>
    <message>
        <source>Верно, %1: %2 мс</source>
        <translation>Right, %1: %2 ms</translation>
    </message>
    <message>
        <source>Неверно: это %1, принято %2</source>
        <translation>Wrong: it was %1, you typed %2</translation>
    </message>
    <message>
        <source>Ответов: %1, верно: %2. Знак %3: верно %4 из %5, медиана %6 мс%7</source>
        <translation>Answers: %1, right: %2. Character %3: %4 of %5 right, median %6 ms%7</translation>
    </message>
    <message>
        <source>, узнаётся</source>
        <translation>, recognised</translation>
    </message>
</context>
<context>
    <name>vantrel::CheckComparisonView</name>
    <message>
        <source>пробел</source>
        <translation>blank</translation>
    </message>
    <message>
        <source>после знака %1 лишнее %2</source>
        <translation>after character %1 extra %2</translation>
    </message>
    <message>
        <source>знак %1: передано %2, пропущено</source>
        <translation>character %1: sent %2, missed</translation>
    </message>
    <message>
        <source>знак %1: передано %2, принято %3</source>
        <translation>character %1: sent %2, copied %3</translation>
    </message>
    <message>
        <source>и ещё %1</source>
        <translation>and %1 more</translation>
    </message>
    <message>
        <source>Передано: %1
Принято: %2
%3</source>
        <translation>Sent: %1
Copied: %2
%3</translation>
    </message>
    <message>
        <source>Ошибок нет</source>
        <translation>No errors</translation>
    </message>
    <message>
        <source>Ошибки: %1</source>
        <translation>Errors: %1</translation>
    </message>
    <message>
        <source>Сравнение копии с переданным текстом</source>
        <translation>The copy compared with the sent text</translation>
    </message>
    <message>
        <source>Итог сравнения</source>
        <translation>Comparison summary</translation>
    </message>
    <message>
        <source>Передано</source>
        <translation>Sent</translation>
    </message>
    <message>
        <source>Принято</source>
        <translation>Copied</translation>
    </message>
</context>
<context>
    <name>vantrel::DrillWindow</name>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>&amp;Остановить</source>
        <translation>St&amp;op</translation>
    </message>
    <message>
        <source>&amp;Начать</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <source>Остановить</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Начать</source>
        <translation>Start</translation>
    </message>
</context>
<context>
    <name>vantrel::LearnerProgress</name>
    <message>
        <source>Статистика</source>
        <translation>Statistics</translation>
    </message>
</context>
<context>
    <name>vantrel::LessonTab</name>
    <message>
        <source>&amp;Алфавит:</source>
        <translation>&amp;Alphabet:</translation>
    </message>
    <message>
        <source>Алфавит</source>
        <translation>Alphabet</translation>
    </message>
    <message>
        <source>Латинский</source>
        <translation>Latin</translation>
    </message>
    <message>
        <source>Русский</source>
        <translation>Russian</translation>
    </message>
    <message>
        <source>&amp;Урок:</source>
        <translation>Less&amp;on:</translation>
    </message>
    <message>
        <source>Урок</source>
        <translation>Lesson</translation>
    </message>
    <message>
        <source>Урок N учит первые N + 1 знаков порядка Коха</source>
        <translation>Lesson N teaches the first N + 1 characters of the Koch order</translation>
    </message>
    <message>
        <source>Следующий урок</source>
        <translation>Next lesson</translation>
    </message>
    <message>
        <source>Доступна после проверки, в которой верно не меньше 90% знаков</source>
        <translation>Available after a check with at least 90% of the characters right</translation>
    </message>
    <message>
        <source>Знаки урока:</source>
        <translation>Lesson characters:</translation>
    </message>
    <message>
        <source>Знаки урока</source>
        <translation>Lesson characters</translation>
    </message>
    <message>
        <source>&amp;Задержка начала:</source>
        <translation>Start &amp;delay:</translation>
    </message>
    <message>
        <source>Задержка начала</source>
        <translation>Start delay</translation>
    </message>
    <message>
        <source> с</source>
        <translation> s</translation>
    </message>
    <message>
        <source>Секунды тишины перед первым знаком, для медленно включающихся устройств</source>
        <translation>Seconds of silence before the first character, for devices that are slow to start</translation>
    </message>
    <message>
        <source>Узнаются:</source>
        <translation>Recognised:</translation>
    </message>
    <message>
        <source>Узнаются в упражнении</source>
        <translation>Recognised in the drill</translation>
    </message>
    <message>
        <source>пока ни один</source>
        <translation>none yet</translation>
    </message>
    <message>
        <source>все знаки урока</source>
        <translation>every character of the lesson</translation>
    </message>
</context>
<context>
    <name>vantrel::RecognitionDrills</name>
    <message>
        <source>Узнавание знаков</source>
        <translation>Character recognition</translation>
    </message>
    <message>
        <source>Позывные</source>
        <translation>Call signs</translation>
    </message>
</context>
<context>
    <name>vantrel::SprintWindow</name>
    <message>
        <source>Начальная скорость</source>
        <translation>Starting speed</translation>
    </message>
    <message>
        <source> гр./мин.</source>
        <translation> groups/min</translation>
    </message>
    <message>
        <source>Позывной</source>
        <translation>Call sign</translation>
    </message>
    <message>
        <source>Состояние</source>
        <translation>State</translation>
    </message>
    <message>
        <source>Позывные спринта</source>
        <translation>The sprint’s call signs</translation>
    </message>
    <message>
        <source>Позывные</source>
        <translation>Call signs</translation>
    </message>
    <message>
        <source>Напечатайте позывной и нажмите Enter; F6 повторяет позывной один раз</source>
        <translation>Type the call sign and press Enter; F6 repeats the call sign once</translation>
    </message>
    <message>
        <source>Передан</source>
        <translation>Sent</translation>
    </message>
    <message>
        <source>Принят</source>
        <translation>Copied</translation>
    </message>
    <message>
        <source>Ошибок</source>
        <translation>Errors</translation>
    </message>
    <message>
        <source>Скорость</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>Очки</source>
        <translation>Points</translation>
    </message>
    <message>
        <source>Ошибки отмечены скобками: [_] пропущенный знак</source>
        <translation>Errors are marked in brackets: [_] a missed character</translation>
    </message>
    <message>
        <source>&amp;Скорость:</source>
        <translation>Spee&amp;d:</translation>
    </message>
    <message>
        <source>&amp;Позывной:</source>
        <translation>&amp;Call sign:</translation>
    </message>
    <message>
        <source>Спринт остановлен</source>
        <translation>Sprint stopped</translation>
    </message>
    <message>
        <source>Спринт начат: 50 позывных</source>
        <translation>Sprint started: 50 call signs</translation>
    </message>
    <message>
        <source>Повтор</source>
        <translation>Repeat</translation>
    </message>
    <message>
        <source>Повтор этого позывного уже был</source>
        <translation>This call sign has been repeated already</translation>
    </message>
    <message>
        <source>Позывной %1 из %2, скорость %3 гр./мин.</source>
        <translation>Call sign %1 of %2, speed %3 groups/min</translation>
    </message>
    <message>
        <source>Верно</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>Неверно: %1</source>
        <translation>Wrong: %1</translation>
    </message>
    <message>
        <source>Спринт окончен. Очки: %1, высшая скорость: %2 гр./мин., верно %3 из %4</source>
        <translation>Sprint finished. Points: %1, top speed: %2 groups/min, %3 of %4 right</translation>
    </message>
</context>
<context>
    <name>vantrel::StatisticsWindow</name>
    <message>
        <source>Проверок нет</source>
        <translation>No checks</translation>
    </message>
    <message>
        <source>Проверок: %1; точность от %2 до %3 %, в последней %4 %</source>
        <translation>Checks: %1; accuracy from %2 to %3 %, in the last %4 %</translation>
    </message>
    <message>
        <source>Сохранить историю проверок</source>
        <translation>Save the check history</translation>
    </message>
    <message>
        <source>CSV (*.csv);;Все файлы (*)</source>
        <translation>CSV (*.csv);;All files (*)</translation>
    </message>
    <message>
        <source>Статистика</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <source>Последняя проверка</source>
        <translation>Last check</translation>
    </message>
    <message>
        <source>Последние 7 дней</source>
        <translation>Last 7 days</translation>
    </message>
    <message>
        <source>Всё время</source>
        <translation>All time</translation>
    </message>
    <message>
        <source>&amp;Период:</source>
        <translation>&amp;Period:</translation>
    </message>
    <message>
        <source>Период</source>
        <translation>Period</translation>
    </message>
    <message>
        <source>Итоги периода</source>
        <translation>Period totals</translation>
    </message>
    <message>
        <source>З&amp;наки</source>
        <translation>C&amp;haracters</translation>
    </message>
    <message>
        <source>П&amp;утаница</source>
        <translation>C&amp;onfusions</translation>
    </message>
    <message>
        <source>П&amp;рогресс</source>
        <translation>P&amp;rogress</translation>
    </message>
    <message>
        <source>Точность по знакам</source>
        <translation>Accuracy by character</translation>
    </message>
    <message>
        <source>Знак</source>
        <translation>Character</translation>
    </message>
    <message>
        <source>Передано</source>
        <translation>Sent</translation>
    </message>
    <message>
        <source>Верно</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>Точность, %</source>
        <translation>Accuracy, %</translation>
    </message>
    <message>
        <source>Какие знаки приняты как какие</source>
        <translation>Which characters were copied as which</translation>
    </message>
    <message>
        <source>Строки: переданный знак; столбцы: принятый знак или «пропущено».</source>
        <translation>Rows: the sent character; columns: the copied character or “missed”.</translation>
    </message>
    <message>
        <source>Точность и скорость по проверкам</source>
        <translation>Accuracy and speed by check</translation>
    </message>
    <message>
        <source>График успехов</source>
        <translation>Progress chart</translation>
    </message>
    <message>
        <source>&amp;Экспорт в CSV…</source>
        <translation>&amp;Export to CSV…</translation>
    </message>
    <message>
        <source>&amp;Сбросить историю…</source>
        <translation>Re&amp;set history…</translation>
    </message>
    <message>
        <source>&amp;Закрыть</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>Проверок: %1, знаков: %2</source>
        <translation>Checks: %1, characters: %2</translation>
    </message>
    <message>
        <source>%1: %2 %, верно %3 из %4</source>
        <translation>%1: %2 %, %3 of %4 right</translation>
    </message>
    <message>
        <source>пропущено</source>
        <translation>missed</translation>
    </message>
    <message>
        <source>Скорость, гр./мин.</source>
        <translation>Speed, groups/min</translation>
    </message>
    <message>
        <source>Дата</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>гр./мин.</source>
        <translation>groups/min</translation>
    </message>
    <message>
        <source>Очистить историю проверок? Прежняя история не удаляется: она останется в отдельном файле рядом с новой.</source>
        <translation>Clear the check history? The old history is not deleted: it stays in a separate file beside the new one.</translation>
    </message>
    <message>
        <source>Время ответа по знакам</source>
        <translation>Response time by character</translation>
    </message>
    <message>
        <source>Упражнение «Узнавание знаков»: медиана времени верных ответов, самые медленные первыми, и её ход по упражнениям</source>
        <translation>The drill “Character recognition”: the median time of right answers, the slowest first, and its course over the drills</translation>
    </message>
    <message>
        <source>Ответов</source>
        <translation>Answers</translation>
    </message>
    <message>
        <source>Медиана, мс</source>
        <translation>Median, ms</translation>
    </message>
    <message>
        <source>По упражнениям, мс</source>
        <translation>By drill, ms</translation>
    </message>
    <message>
        <source>%1: медиана %2 мс, верно %3 из %4</source>
        <translation>%1: median %2 ms, %3 of %4 right</translation>
    </message>
    <message>
        <source>%1 по упражнениям: %2 мс</source>
        <translation>%1 by drill: %2 ms</translation>
    </message>
    <message>
        <source>&amp;Ответы</source>
        <translation>&amp;Answers</translation>
    </message>
    <message>
        <source>Все проверки</source>
        <translation>All checks</translation>
    </message>
    <message>
        <source>В условиях эфира</source>
        <translation>Under band conditions</translation>
    </message>
    <message>
        <source>Без условий эфира</source>
        <translation>Without band conditions</translation>
    </message>
    <message>
        <source>Ус&amp;ловия:</source>
        <translation>Con&amp;ditions:</translation>
    </message>
    <message>
        <source>Условия эфира</source>
        <translation>Band conditions</translation>
    </message>
    <message>
        <source>Сигнал/&amp;шум</source>
        <translation>Signal/&amp;noise</translation>
    </message>
    <message>
        <source>Точность по отношению сигнал/шум</source>
        <translation>Accuracy by signal-to-noise ratio</translation>
    </message>
    <message>
        <source>Проверки в условиях эфира, от худшего сигнала к лучшему</source>
        <translation>Checks under band conditions, from the weakest signal to the strongest</translation>
    </message>
    <message>
        <source>Сигнал/шум, дБ</source>
        <translation>Signal/noise, dB</translation>
    </message>
    <message>
        <source>Проверок</source>
        <translation>Checks</translation>
    </message>
    <message>
        <source>Знаков</source>
        <translation>Characters</translation>
    </message>
    <message>
        <source>%1 дБ: %2 %, верно %3 из %4</source>
        <translation>%1 dB: %2 %, %3 of %4 right</translation>
    </message>
</context>
<context>
    <name>vantrel::TForm1</name>
    <message>
        <source>О программе...</source>
        <translation>About...</translation>
    </message>
    <message>
        <source>Программа  для обучения приема/передачи азбукой морзе.</source>
        <translation>A program for learning to receive and send Morse code.</translation>
    </message>
    <message>
        <source>Настройки: </source>
        <translation>Settings: </translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>vantrel::TMorseMain</name>
    <message>
        <source>Select text file for test</source>
        <translation>Select text file for test</translation>
    </message>
    <message>
        <source>Text files (*.txt);;All files (*.*)</source>
        <translation>Text files (*.txt);;All files (*.*)</translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>&amp;Файл</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Справка</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Пуск</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Открыть файл</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Сохранить как звук...</source>
        <translation>Save as sound...</translation>
    </message>
    <message>
        <source>Проверить</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>Очистить</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Панель инструментов: начать передачу (Ctrl+Enter)</source>
        <translation>Toolbar: start sending (Ctrl+Enter)</translation>
    </message>
    <message>
        <source>Панель инструментов: пауза или продолжение (Ctrl+P)</source>
        <translation>Toolbar: pause or resume (Ctrl+P)</translation>
    </message>
    <message>
        <source>Очистить окно контроля</source>
        <translation>Clear the copy window</translation>
    </message>
    <message>
        <source>Очистить текст для передачи</source>
        <translation>Clear the text to send</translation>
    </message>
    <message>
        <source> Генератор кода</source>
        <translation> Code generator</translation>
    </message>
    <message>
        <source>Принятый текст</source>
        <translation>Received text</translation>
    </message>
    <message>
        <source>&amp;Пуск</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <source>Начать передачу (Ctrl+Enter)</source>
        <translation>Start sending (Ctrl+Enter)</translation>
    </message>
    <message>
        <source>Пауза или продолжение (Ctrl+P)</source>
        <translation>Pause or resume (Ctrl+P)</translation>
    </message>
    <message>
        <source> Настройки </source>
        <translation> Settings </translation>
    </message>
    <message>
        <source>Окно контроля</source>
        <translation>Copy window</translation>
    </message>
    <message>
        <source>Ввод</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>Урок</source>
        <translation>Lesson</translation>
    </message>
    <message>
        <source> Скорость (гр.)</source>
        <translation> Speed (groups)</translation>
    </message>
    <message>
        <source>Скорость, гр./мин.</source>
        <translation>Speed, groups/min</translation>
    </message>
    <message>
        <source> Паузы </source>
        <translation> Spacing </translation>
    </message>
    <message>
        <source>Паузы</source>
        <translation>Spacing</translation>
    </message>
    <message>
        <source>Станд.</source>
        <translation>Norm.</translation>
    </message>
    <message>
        <source>Длин.</source>
        <translation>Long</translation>
    </message>
    <message>
        <source>Тон (Гц)</source>
        <translation>Tone (Hz)</translation>
    </message>
    <message>
        <source>Тон, Гц</source>
        <translation>Tone, Hz</translation>
    </message>
    <message>
        <source> Громкость </source>
        <translation> Volume </translation>
    </message>
    <message>
        <source>Громкость</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source> Генерируемый текст </source>
        <translation> Practice text </translation>
    </message>
    <message>
        <source>Цифры</source>
        <translation>Digits</translation>
    </message>
    <message>
        <source>Буквы</source>
        <translation>Cyrillic letters</translation>
    </message>
    <message>
        <source>Текст из файла</source>
        <translation>Text from file</translation>
    </message>
    <message>
        <source>Набор с клавиатуры</source>
        <translation>Typed text</translation>
    </message>
    <message>
        <source>Радиообмен</source>
        <translation>Radio contact</translation>
    </message>
    <message>
        <source>Слабые знаки</source>
        <translation>Weak characters</translation>
    </message>
    <message>
        <source>Латинские буквы</source>
        <translation>Latin letters</translation>
    </message>
    <message>
        <source>Выбрать файл</source>
        <translation>Choose file</translation>
    </message>
    <message>
        <source>Показывать текст</source>
        <translation>Show text</translation>
    </message>
    <message>
        <source> Шумы </source>
        <translation> Noise </translation>
    </message>
    <message>
        <source>Гауссовский</source>
        <translation>Gaussian</translation>
    </message>
    <message>
        <source>Тональный</source>
        <translation>Tonal</translation>
    </message>
    <message>
        <source>Уровень шумов</source>
        <translation>Noise level</translation>
    </message>
    <message>
        <source>Текст для передачи</source>
        <translation>Text to send</translation>
    </message>
    <message>
        <source>Строка состояния</source>
        <translation>Status bar</translation>
    </message>
    <message>
        <source>Тренажер для изучения азбуки морзе</source>
        <translation>A trainer for learning Morse code</translation>
    </message>
    <message>
        <source>Эфир</source>
        <translation>Band</translation>
    </message>
</context>
</TS>

#include "window/Wording.h"

#include "support/MMErrorText.h"
#include "support/SystemErrorText.h"
#include "window/Translations.h"

namespace vantrel {

QString Wording::Status(RunStatus status) {
    switch (status) {
        case RunStatus::Started:
            return tr("Тест начат");
        case RunStatus::Resumed:
            return tr("Возобновлен");
        case RunStatus::Finished:
            return tr("Тест окончен");
        case RunStatus::Stopped:
            return tr("Тестирование остановлено");
        case RunStatus::NoFileChosen:
            return tr("Не выбран файл!");
    }
    return {};
}

QString Wording::Pause(PauseCaption caption) {
    return caption == PauseCaption::Resume ? tr("&Возобновить") : tr("&Пауза");
}

QString Wording::AudioOpenError(audio::MMResult result) {
    return tr("Ошибка открытия аудио!") + QStringLiteral("\r\n") +
           QString::fromUtf8(MMErrorText(result));
}

QString Wording::EmptyCopy() {
    return tr("Ничего не ввели!");
}

QString Wording::CheckResult(const CopyCheckResult& result) {
    return tr("Количество ошибок:%1. Оценка: %2. Нормально:)")
        .arg(result.errorCount)
        .arg(result.grade);
}

QString Wording::LessonOffer(int lesson) {
    return tr("Верно не меньше 90% знаков. Можно переходить к уроку %1: кнопка «Следующий урок» "
              "на вкладке «Урок».")
        .arg(lesson);
}

QString Wording::SpeedHint(int groupsPerMinute) {
    return tr("%1 гр./мин.").arg(groupsPerMinute);
}

QString Wording::SpacingHint(int spacing) {
    switch (SpacingKindOf(spacing)) {
        case SpacingKind::Normal:
            return tr("Нормальные паузы");
        case SpacingKind::Increased:
            return tr("Увеличенные паузы");
        case SpacingKind::Long:
            break;
    }
    return tr("Длинные паузы");
}

QString Wording::PitchHint(long double toneFrequencyHz) {
    return tr("%1 Гц").arg(PitchHintHertz(toneFrequencyHz));
}

QString Wording::VolumeHint(int volumeLevel) {
    return QString::number(volumeLevel);
}

QString Wording::Character(unsigned char cp1251) {
    return QString::fromStdString(progress::CharacterText(cp1251));
}

QString Wording::Pair(const progress::PairCount& pair) {
    if (pair.sent == 0) {
        return tr("лишнее %1: %n раз(а)", "", pair.count).arg(Character(pair.copied));
    }
    if (pair.copied == 0) {
        return tr("%1 пропущено: %n раз(а)", "", pair.count).arg(Character(pair.sent));
    }
    if (pair.IsRight()) {
        return tr("%1 принято верно: %n раз(а)", "", pair.count).arg(Character(pair.sent));
    }
    return tr("%1 принято как %2: %n раз(а)", "", pair.count)
        .arg(Character(pair.sent), Character(pair.copied));
}

QString Wording::Summary(const std::vector<progress::PairCount>& pairs) {
    const std::vector<progress::PairCount> errors = progress::ErrorsInOrder(pairs);
    if (errors.empty()) {
        return tr("Ошибок нет");
    }
    QStringList items;
    for (const progress::PairCount& pair : errors) {
        QString item;
        if (pair.sent == 0) {
            item = tr("лишнее %1").arg(Character(pair.copied));
        } else if (pair.copied == 0) {
            item = tr("пропущено %1").arg(Character(pair.sent));
        } else {
            item = Character(pair.sent) + QStringLiteral("→") + Character(pair.copied);
        }
        items << item + QStringLiteral(" ×") + QString::number(pair.count);
    }
    return tr("Ошибки: %1").arg(items.join(QStringLiteral(", ")));
}

namespace {

QString PathText(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

}  // namespace

QString Wording::FileError(const files::FileError& error) {
    const QString reason =
        QString::fromStdString(SystemErrorText(error.code, translations::Current()));
    return (error.op == files::Operation::Open ? tr("Не удалось открыть файл «%1»: %2")
                                               : tr("Не удалось записать файл «%1»: %2"))
        .arg(PathText(error.path), reason);
}

QString Wording::CsvNotSaved(const std::filesystem::path& file) {
    return tr("Не удалось сохранить историю проверок в файл «%1».").arg(PathText(file));
}

QString Wording::AudioExportFailed(const AudioExportError& error) {
    if (error.kind == AudioExportError::Kind::TooLong) {
        return tr(
            "Текст слишком длинный для одного звукового файла (больше 4 ГБ). Сохраните его "
            "частями.");
    }
    return tr("Не удалось сохранить файл «%1» в папке «%2». Проверьте, что папка существует, "
              "доступна для записи и на диске есть место. Ничего не записано.")
        .arg(PathText(error.file.filename()), PathText(error.file.parent_path()));
}

namespace {

QString NoticeText(const progress::HistoryNotice& notice) {
    using Event = progress::HistoryNotice::Event;
    const QString file = PathText(notice.file);
    const QString reason = QString::fromStdString(notice.reason);
    const QString system =
        QString::fromStdString(SystemErrorText(notice.systemError, translations::Current()));
    QString text;
    switch (notice.event) {
        case Event::FolderNotMade:
            text = Wording::tr("Папку истории проверок «%1» не удаётся создать (%2).")
                       .arg(file, system);
            break;
        case Event::Unopenable:
            text = Wording::tr("Файл истории проверок «%1» не открывается (%2).").arg(file, reason);
            break;
        case Event::Damaged:
            text = Wording::tr("Файл истории проверок «%1» повреждён (%2).").arg(file, reason);
            break;
        case Event::Newer:
            text = Wording::tr(
                       "Файл истории проверок «%1» записан более новой версией программы "
                       "(версия %2).")
                       .arg(file, reason);
            break;
        case Event::Reset:
            text = Wording::tr("История проверок очищена.");
            break;
        case Event::Unreadable:
            return Wording::tr("История проверок не читается (%1).").arg(reason);
        case Event::CheckNotStored:
            return Wording::tr("Результат проверки не записан в историю (%1).").arg(reason);
        case Event::DrillNotStored:
            return Wording::tr("Ответы упражнения не записаны в историю (%1).").arg(reason);
        case Event::SprintNotStored:
            return Wording::tr("Результат спринта не записан в историю (%1).").arg(reason);
    }
    if (notice.event != Event::FolderNotMade && notice.aside.empty()) {
        text += Wording::tr(" Отложить его не удаётся (%1).").arg(system);
    } else if (notice.event == Event::Reset) {
        text += Wording::tr(" Прежняя история сохранена в файле «%1».").arg(PathText(notice.aside));
    } else if (notice.event != Event::FolderNotMade) {
        text +=
            Wording::tr(" Он сохранён как «%1», начата новая история.").arg(PathText(notice.aside));
    }
    if (notice.newFileFailed) {
        text += Wording::tr(" Новый файл не создаётся (%1).")
                    .arg(QString::fromStdString(*notice.newFileFailed));
    }
    if (notice.sessionOnly) {
        text += Wording::tr(" Результаты проверок этого сеанса не будут сохранены.");
    }
    return text;
}

}  // namespace

QString Wording::HistoryNotices(const std::vector<progress::HistoryNotice>& notices) {
    QStringList lines;
    for (const progress::HistoryNotice& notice : notices) {
        lines << NoticeText(notice);
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace vantrel

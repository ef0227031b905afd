#include "trainer/TrainerSession.h"

#include <utility>

#include "platform/audio/WorkerWaveSystem.h"
#include "progress/KochLessons.h"
#include "trainer/AudioExport.h"
#include "trainer/ContactData.h"
#include "trainer/InterferenceControls.h"
#include "trainer/PracticeTextBuilder.h"
#include "trainer/Random.h"

namespace vantrel {

TrainerSession::TrainerSession(audio::WaveOutSystem& audio, NotificationQueue& queue,
                               SessionView& view, settings::SettingsBackend& store)
    : store_(store),
      view_(view),
      keyingAudio_(std::make_unique<audio::WorkerWaveSystem>(audio)),
      random_(std::make_unique<Random>(Random::FromClock())),
      contactTexts_(std::make_shared<const ContactTexts>()),
      builder_(std::make_unique<PracticeTextBuilder>(*random_, *contactTexts_)),
      engine_(std::make_unique<PlaybackEngine>(keyer_, *keyingAudio_, queue,
                                               static_cast<PlaybackView&>(*this),
                                               static_cast<PlaybackHost&>(*this))),
      interference_(std::make_unique<InterferenceControls>(
          audio, signal::TSLClockService::Instance(), InterferenceControls::Switching::Background)),
      drillSound_(std::make_unique<DrillSound>(*keyingAudio_, queue)),
      characterDrill_(std::make_unique<CharacterDrillController>(MakeDrillContext())),
      sprint_(std::make_unique<SprintController>(MakeDrillContext())) {
    engine_->SetBand(&runBand_);
    drillSound_->SetBand([this] { return NewBand(drillSound_->Keying()); });
    UseHistoryFile({});
}

TrainerSession::~TrainerSession() {
    StopDrills();
}

DrillContext TrainerSession::MakeDrillContext() {
    return DrillContext{*drillSound_,
                        *random_,
                        *contactTexts_,
                        [this]() -> progress::HistoryStore& { return *history_; },
                        [this] { return wallClock_(); },
                        [this]() -> const TrainerSettings& { return settings_; },
                        [this] {
                            StopDrills();
                            return engine_->DeviceClosed() || engine_->StopNow();
                        }};
}

void TrainerSession::StopDrills() {
    characterDrill_->Stop();
    sprint_->Stop();
}

void TrainerSession::SeedRandom(uint64_t seed) {
    *random_ = Random(seed);
}

LessonMastery TrainerSession::LessonKnowledge() {
    LessonMastery mastery;
    const auto alphabet = progress::KochAlphabetFromNumber(settings_.kochAlphabet);
    mastery.characters = progress::LessonCharacters(alphabet, settings_.lesson);
    const std::vector<progress::DrillAnswer> answers =
        history_->RecentDrillAnswers(progress::kMasteryAnswers);
    const auto known = progress::MasteryByCharacter(answers, settings_.responseTarget);
    for (char c : mastery.characters) {
        const auto found = known.find(static_cast<unsigned char>(c));
        mastery.known.push_back(found != known.end() && found->second.known);
    }
    mastery.earnsNextLesson = settings_.lesson < progress::LastLesson(alphabet) &&
                              progress::DrillEarnsNextLesson(alphabet, settings_.lesson, answers,
                                                             settings_.responseTarget);
    return mastery;
}

const TrainerSettings& TrainerSession::LoadSettings(WindowGeometry& window) {
    const TrainerSettings stored = LoadTrainerSettings(store_, window);
    SetSpeed(stored.speed);
    SetSpacing(stored.spacing);
    SetTextType(static_cast<TextType>(stored.textType));
    SetPitchPosition(stored.pitch);
    SetVolumePosition(stored.volume);
    SetKochAlphabet(stored.kochAlphabet);
    SetLesson(stored.lesson);
    SetStartDelay(stored.startDelay);
    KeepBandConditions(settings_, vantrel::BandConditions(stored));
    SetDrillSet(stored.drillSet);
    SetDrillSpeed(stored.drillSpeed);
    SetResponseTarget(stored.responseTarget);
    SetDrillPause(stored.drillPause);
    SetSprintSpeed(stored.sprintSpeed);
    SetLanguage(static_cast<Language>(stored.language));
    textFile_.clear();
    return settings_;
}

void TrainerSession::SaveSettings(WindowGeometry& window) {
    SaveTrainerSettings(store_, settings_, window);
}

int TrainerSession::Keep(int TrainerSettings::*field, int value) {
    TrainerSettings changed = settings_;
    changed.*field = value;
    settings_ = Clamped(changed);
    return settings_.*field;
}

void TrainerSession::SetSpeed(int groupsPerMinute) {
    keyer_.SetSpeed(Keep(&TrainerSettings::speed, groupsPerMinute));
}

void TrainerSession::SetSpacing(int spacing) {
    keyer_.SetSpacing(Keep(&TrainerSettings::spacing, spacing));
}

void TrainerSession::SetPitchPosition(int position) {
    keyer_.SetPitchPosition(Keep(&TrainerSettings::pitch, position));
    runBand_.Retune(static_cast<double>(keyer_.ToneFrequency()));
}

void TrainerSession::SetVolumePosition(int position) {
    keyer_.SetVolumePosition(Keep(&TrainerSettings::volume, position));
    runBand_.SetKeyDownAmplitude(KeyDownAmplitude(keyer_));
}

void TrainerSession::SetTextType(TextType textType) {
    Keep(&TrainerSettings::textType, static_cast<int>(textType));
}

void TrainerSession::SetKochAlphabet(int alphabet) {
    Keep(&TrainerSettings::kochAlphabet, alphabet);
}

void TrainerSession::SetLesson(int lesson) {
    Keep(&TrainerSettings::lesson, lesson);
}

void TrainerSession::SetStartDelay(int seconds) {
    engine_->SetStartDelay(Keep(&TrainerSettings::startDelay, seconds));
}

band::BandSettings TrainerSession::SetBandConditions(const band::BandSettings& wanted) {
    KeepBandConditions(settings_, band::Changed(BandConditions(), wanted));
    settings_ = Clamped(settings_);
    return BandConditions();
}

KeyedBand TrainerSession::NewBand(const Keyer& keyer) {
    const band::BandSettings conditions = BandConditions();
    if (!conditions.enabled) {
        return {};
    }
    return KeyedBand(conditions, keyer, random_->NextSeed(), contactTexts_);
}

void TrainerSession::SetLanguage(Language language) {
    Keep(&TrainerSettings::language, static_cast<int>(language));
}

void TrainerSession::Start(std::string keyboardCp1251) {
    keyboardText_ = std::move(keyboardCp1251);
    StopDrills();
    engine_->StartBtnClick();
}

void TrainerSession::Pause() {
    engine_->PauseBtnClick();
}

bool TrainerSession::StopNow() {
    StopDrills();
    return engine_->StopNow();
}

void TrainerSession::ApplyTiming() {
    keyer_.SetSpeed(settings_.speed);
    keyer_.SetSpacing(settings_.spacing);
}

bool TrainerSession::BuildPracticeText(std::string& text, int32_t& cursor) {
    if (!BuildText(text, cursor)) {
        return false;
    }
    if (!text.empty()) {
        runBand_ = NewBand(keyer_);
        const band::BandSettings conditions = BandConditions();
        runConditions_.reset();
        if (conditions.enabled) {
            runConditions_ = progress::CheckConditions{static_cast<int>(conditions.profile),
                                                       conditions.snrDb,
                                                       static_cast<int>(conditions.fading),
                                                       conditions.staticPercent,
                                                       conditions.stations,
                                                       band::BandwidthHz(conditions.bandwidth)};
        }
    }
    return true;
}

bool TrainerSession::BuildText(std::string& text, int32_t& cursor) {
    PracticeTextRequest request{ChosenTextType(), textFile_, keyboardText_};
    request.alphabet = progress::KochAlphabetFromNumber(settings_.kochAlphabet);
    request.lesson = settings_.lesson;
    request.history = history_.get();
    PracticeTextResult result = builder_->Build(request);
    switch (result.status) {
        case PracticeTextResult::Status::NoFileChosen:
            view_.SetStatus(RunStatus::NoFileChosen);
            break;
        case PracticeTextResult::Status::FileError:
            view_.ShowFileError(*result.fileError);
            return false;
        case PracticeTextResult::Status::Built:
            break;
    }
    text = std::move(result.text);
    if (!text.empty()) {
        cursor = 1;
    }
    return true;
}

void TrainerSession::ShowKeyedText(const std::string& cp1251, int caret) {
    shownText_ = cp1251;
    view_.ShowKeyedText(cp1251, caret);
}

void TrainerSession::ClearKeyedText() {
    shownText_.clear();
    view_.ClearKeyedText();
}

CheckOutcome TrainerSession::Check(std::string_view copyCp1251) {
    CheckOutcome outcome;
    if (copyCp1251.empty()) {
        return outcome;
    }
    outcome.copied = true;
    outcome.result = CheckCopy(shownText_, copyCp1251);
    outcome.logError =
        resultLog_.Append({settings_.speed, outcome.result.errorCount, outcome.result.grade});

    outcome.comparison = progress::CompareCopy(shownText_, copyCp1251);
    history_->Append(progress::CheckEntry(wallClock_(),
                                          {settings_.textType, settings_.speed, settings_.spacing,
                                           static_cast<int>(keyer_.ToneFrequency())},
                                          outcome.comparison, outcome.result.errorCount,
                                          outcome.result.grade, runConditions_));
    outcome.historyNotices = history_->TakeNotices();

    const auto alphabet = progress::KochAlphabetFromNumber(settings_.kochAlphabet);
    if (ChosenTextType() == TextType::Lesson && settings_.lesson < progress::LastLesson(alphabet) &&
        progress::OffersNextLesson(outcome.comparison.rightCount, outcome.comparison.sentCount)) {
        outcome.offeredLesson = settings_.lesson + 1;
    }
    return outcome;
}

std::unique_ptr<AudioExport> TrainerSession::PrepareExport(std::string keyboardCp1251) {
    keyboardText_ = std::move(keyboardCp1251);
    std::string text;
    int32_t cursor = 0;
    if (!BuildText(text, cursor) || text.empty()) {
        return nullptr;
    }
    // With the band, the start delay sounds as it does before a run: the band before the text.
    KeyedBand band = NewBand(keyer_);
    const std::size_t leadIn =
        band.On() ? static_cast<std::size_t>(settings_.startDelay) * limits::kKeyedSampleRate : 0;
    return std::make_unique<AudioExport>(keyer_, std::move(text), std::move(band), leadIn);
}

void TrainerSession::UseHistoryFile(std::filesystem::path file) {
    history_ =
        std::make_unique<progress::HistoryStore>(std::move(file), [this] { return wallClock_(); });
}

}  // namespace vantrel

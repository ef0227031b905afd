#include "window/AudioExportCommand.h"

#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

#include "trainer/AudioExport.h"
#include "window/MessagePresenter.h"
#include "window/Widgets.h"
#include "window/Wording.h"

namespace vantrel {

namespace {

std::optional<std::filesystem::path> ChooseWavFile(QWidget* parent) {
    QString file =
        QFileDialog::getSaveFileName(parent, AudioExportCommand::tr("Сохранить как звук"),
                                     QString(), AudioExportCommand::tr("Звук WAV (*.wav)"));
    if (file.isEmpty()) {
        return std::nullopt;
    }
    if (!file.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive)) {
        file += QLatin1String(".wav");
    }
    const std::filesystem::path wav = PathFromDialog(file);
    // The dialog has asked about the WAV; the text beside it may replace a file too.
    const QString text = DialogPath(ExportTextPath(wav));
    if (QFileInfo::exists(text) &&
        QMessageBox::question(
            parent, AudioExportCommand::tr("Сохранить как звук"),
            AudioExportCommand::tr("Файл «%1» уже есть. Заменить его текстом упражнения?")
                .arg(QFileInfo(text).fileName())) != QMessageBox::Yes) {
        return std::nullopt;
    }
    return wav;
}

}  // namespace

AudioExportCommand::AudioExportCommand(QWidget* window, MessagePresenter& messages)
    : QObject(window),
      window_(window),
      messages_(messages),
      chooseFile_(ChooseWavFile),
      timer_(new QTimer(this)) {
    setObjectName(QLatin1String("AudioExportCommand"));
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, &AudioExportCommand::RenderStep);
}

AudioExportCommand::~AudioExportCommand() = default;

void AudioExportCommand::Start(std::unique_ptr<AudioExport> job) {
    if (Running() || !job) {
        return;
    }
    std::optional<std::filesystem::path> file = chooseFile_(window_);
    if (!file) {
        return;
    }
    export_ = std::move(job);
    if (const std::optional<AudioExportError> error = export_->Begin(*file)) {
        export_.reset();
        messages_.ShowError(Wording::AudioExportFailed(*error).toStdString());
        return;
    }

    progress_ = new QProgressDialog(window_);
    progress_->setRange(0, static_cast<int>(export_->Text().size()));
    progress_->setObjectName(QLatin1String("ExportProgress"));
    RetranslateProgress();
    // Not modal: a modal progress dialog runs the event loop inside setValue, which would let
    // the next step start inside this one.
    progress_->setWindowModality(Qt::NonModal);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    // Only an export that takes a while shows the dialog.
    progress_->setMinimumDuration(400);
    connect(progress_, &QProgressDialog::canceled, this, &AudioExportCommand::Cancel);
    progress_->setValue(0);
    timer_->start();
}

// The window hands its language change on to its children, this command among them.
bool AudioExportCommand::event(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        RetranslateProgress();
    }
    return QObject::event(event);
}

void AudioExportCommand::RetranslateProgress() {
    if (progress_ != nullptr) {
        progress_->setLabelText(tr("Сохранение звука..."));
        progress_->setCancelButtonText(tr("Отмена"));
        progress_->setAccessibleName(tr("Сохранение звука"));
    }
}

void AudioExportCommand::RenderStep() {
    if (!export_) {
        return;
    }
    const bool done = export_->RenderSome(kCharactersPerStep);
    progress_->setValue(static_cast<int>(export_->RenderedCharacters()));
    if (!done) {
        return;
    }
    timer_->stop();
    const std::optional<AudioExportError> error = export_->Commit();
    Finish(!error);
    if (error) {
        messages_.ShowError(Wording::AudioExportFailed(*error).toStdString());
    }
}

void AudioExportCommand::Cancel() {
    if (Running()) {
        Finish(false);
    }
}

void AudioExportCommand::Finish(bool written) {
    timer_->stop();
    export_.reset();
    if (progress_ != nullptr) {
        progress_->disconnect(this);
        progress_->deleteLater();
        progress_ = nullptr;
    }
    emit finished(written);
}

}  // namespace vantrel

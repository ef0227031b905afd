// The menu command "Сохранить как звук...": asks for a WAV file, renders the practice text into
// it in steps driven by the event loop (a progress dialog shows them and can cancel), then puts
// the WAV and the text beside it in place. Nothing waits: the window stays responsive throughout,
// and a second export cannot start while one runs.
#pragma once

#include <QObject>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QProgressDialog;
class QTimer;
class QWidget;

namespace vantrel {

class AudioExport;
class MessagePresenter;

class AudioExportCommand : public QObject {
    Q_OBJECT
  public:
    // Asks for the WAV file to write; nothing when the learner cancels.
    using SaveChooser = std::function<std::optional<std::filesystem::path>(QWidget* parent)>;

    // Characters rendered per step of the event loop.
    static constexpr std::size_t kCharactersPerStep = 40;

    AudioExportCommand(QWidget* window, MessagePresenter& messages);
    ~AudioExportCommand() override;

    // Replaces the save dialog (tests).
    void SetSaveChooser(SaveChooser chooser) { chooseFile_ = std::move(chooser); }

    // Asks for a file, then starts rendering `job` into it; returns at once. Nothing happens
    // without a job or while another export runs.
    void Start(std::unique_ptr<AudioExport> job);
    bool Running() const { return export_ != nullptr; }

  signals:
    // The export has ended: written, cancelled or failed.
    void finished(bool written);

  protected:
    bool event(QEvent* event) override;

  private:
    void RetranslateProgress();
    void RenderStep();
    void Cancel();
    void Finish(bool written);

    QWidget* window_;
    MessagePresenter& messages_;
    SaveChooser chooseFile_;
    QTimer* timer_;
    QProgressDialog* progress_ = nullptr;
    std::unique_ptr<AudioExport> export_;
};

}  // namespace vantrel

// Vantrel: a trainer for receiving Morse code by ear.
//
// Set VANTREL_SCREENSHOT to a PNG path to have the window save a picture of itself shortly
// after it is shown and then close (used for the documentation and the smoke test). Set
// VANTREL_STARTUP_TIMES to have the times to the shown window and from closing to the end
// printed on standard error. VANTREL_AUDIO=pulse or VANTREL_AUDIO=portaudio forces a sound
// backend; by default the sound server is used when one answers, else PortAudio.
//
// "--language en" or "--language ru" shows the interface in that language for this run, without
// storing it as the learner's choice.
#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "about/help.h"
#include "app/ExitWatchdog.h"
#include "platform/audio/DeferredWaveSystem.h"
#include "platform/audio/SoundSystemChoice.h"
#include "platform/settings/SettingsBackend.h"
#include "progress/HistoryStore.h"
#include "window/MainForm.h"
#include "window/MessagePresenter.h"

namespace {

void ScreenshotIfAsked(QWidget& window) {
    const QString path = qEnvironmentVariable("VANTREL_SCREENSHOT");
    if (path.isEmpty()) {
        return;
    }
    bool ok = false;
    int delayMs = qEnvironmentVariableIntValue("VANTREL_SCREENSHOT_DELAY_MS", &ok);
    if (!ok) {
        delayMs = 700;
    }
    QTimer::singleShot(delayMs, &window, [&window, path] {
        if (!window.grab().save(path, "PNG")) {
            qWarning("Could not save the screenshot to %s", qPrintable(path));
            QCoreApplication::exit(1);
        }
        window.close();
    });
}

// The language asked for on the command line; exits with a usage message for anything else.
std::optional<vantrel::Language> LanguageOption(const QApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A trainer for receiving Morse code by ear."));
    parser.addHelpOption();
    const QCommandLineOption language(
        QStringLiteral("language"),
        QStringLiteral("The interface's language for this run: en or ru (not stored)."),
        QStringLiteral("en|ru"));
    parser.addOption(language);
    parser.process(app);
    if (!parser.isSet(language)) {
        return std::nullopt;
    }
    const QString value = parser.value(language);
    if (value == QLatin1String("en")) {
        return vantrel::Language::English;
    }
    if (value == QLatin1String("ru")) {
        return vantrel::Language::Russian;
    }
    std::fprintf(stderr, "--language takes en or ru, not \"%s\"\n", qPrintable(value));
    std::exit(2);
}

}  // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer clock;
    clock.start();
    const bool printTimes = qEnvironmentVariableIsSet("VANTREL_STARTUP_TIMES");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    QApplication::setOrganizationName(QStringLiteral("Quorbit"));
    // Task bars and docks group the window under the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral(VANTREL_APP_ID));
    const std::optional<vantrel::Language> language = LanguageOption(app);

    int result = 0;
    // Closing the window always ends the program, even with a sound system that hangs.
    vantrel::ExitWatchdog watchdog;
    {
        vantrel::audio::DeferredWaveSystem audio(
            [choice = qEnvironmentVariable("VANTREL_AUDIO").toStdString()] {
                return vantrel::audio::OpenSoundSystem(choice);
            });
        std::unique_ptr<vantrel::settings::SettingsBackend> settings =
            vantrel::settings::OpenUserSettings();
        vantrel::QtMessagePresenter messages;

        vantrel::TMorseMain window(audio, *settings, messages);
        if (language) {
            window.UseLanguageForThisRun(*language);
        }
        window.Session().UseHistoryFile(vantrel::progress::DefaultHistoryFile());
        messages.SetParent(&window);
        vantrel::TForm1 about(&window);
        window.SetAboutWindow(&about);

        window.show();
        // The sound system comes up while the window is being drawn.
        audio.StartLoading();
        if (printTimes) {
            QTimer::singleShot(0, &window, [&clock] {
                std::fprintf(stderr, "window shown after %lld ms\n",
                             static_cast<long long>(clock.elapsed()));
            });
            QObject::connect(&app, &QApplication::lastWindowClosed, [&clock] { clock.restart(); });
        }
        ScreenshotIfAsked(window);
        result = app.exec();
        watchdog.Arm(std::chrono::milliseconds(1500), result);
    }
    if (printTimes) {
        std::fprintf(stderr, "closed and shut down in %lld ms\n",
                     static_cast<long long>(clock.elapsed()));
    }
    return result;
}

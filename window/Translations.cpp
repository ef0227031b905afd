#include "window/Translations.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTranslator>

namespace vantrel::translations {
namespace {

class Translator final : public QTranslator {
  public:
    explicit Translator(QObject* parent) : QTranslator(parent) {
        // Built in as resources by translations/CMakeLists.txt, so they are always there.
        if (!english_.load(QStringLiteral(":/translations/vantrel_en.qm")) ||
            !russian_.load(QStringLiteral(":/translations/vantrel_ru.qm"))) {
            qWarning("The built-in translations are missing; the texts stay as in the sources");
        }
    }

    void SetLanguage(Language language) { language_ = language; }
    Language CurrentLanguage() const { return language_; }

    QString translate(const char* context, const char* source, const char* disambiguation,
                      int n) const override {
        const QTranslator& chosen = language_ == Language::English ? english_ : russian_;
        return chosen.translate(context, source, disambiguation, n);
    }
    bool isEmpty() const override { return false; }

  private:
    QTranslator english_;
    QTranslator russian_;
    Language language_ = Language::Russian;
};

Translator* installed = nullptr;

}  // namespace

void Use(Language language) {
    if (installed == nullptr) {
        installed = new Translator(QCoreApplication::instance());
        QObject::connect(installed, &QObject::destroyed, [] { installed = nullptr; });
        installed->SetLanguage(language);
        QCoreApplication::installTranslator(installed);
        return;
    }
    if (installed->CurrentLanguage() == language) {
        return;
    }
    installed->SetLanguage(language);
    // As installing a translator does: the application posts the change to every window.
    QEvent changed(QEvent::LanguageChange);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &changed);
}

Language Current() {
    return installed != nullptr ? installed->CurrentLanguage() : Language::Russian;
}

}  // namespace vantrel::translations

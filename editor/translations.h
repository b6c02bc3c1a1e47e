// The editor in the user's language: its own texts from the shared catalogue,
// and Qt's translations for Qt's own dialogs and buttons.
#pragma once

#include "i18n.h"

#include <QTranslator>

#include <memory>

namespace editor {

// Sets the language of every text and, while it lives, translates the
// application's tr() texts into it. English needs no translator.
class Translations {
public:
    explicit Translations(i18n::Language language);
    ~Translations();
    Translations(const Translations &) = delete;
    Translations &operator=(const Translations &) = delete;

private:
    std::unique_ptr<QTranslator> catalogue_;
    std::unique_ptr<QTranslator> qt_;
};

} // namespace editor

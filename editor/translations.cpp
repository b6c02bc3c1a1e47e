// Qt's tr() answered from the catalogue that the tools use too.
#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace editor {

namespace {

class CatalogueTranslator : public QTranslator {
public:
    QString translate(const char *, const char *sourceText, const char *, int) const override
    {
        // An empty answer lets Qt ask the next translator, then keep the source.
        const char *text = sourceText ? i18n::translation(i18n::language(), sourceText) : nullptr;
        return text ? QString::fromUtf8(text) : QString();
    }
    bool isEmpty() const override { return false; }
};

} // namespace

Translations::Translations(i18n::Language language)
{
    i18n::setLanguage(language);
    if (language != i18n::Language::SimplifiedChinese)
        return;
    catalogue_ = std::make_unique<CatalogueTranslator>();
    QCoreApplication::installTranslator(catalogue_.get());
    // Debian's qt6-translations-l10n; without it Qt's buttons stay English.
    qt_ = std::make_unique<QTranslator>();
    if (qt_->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt_.get());
    else
        qt_.reset();
}

Translations::~Translations() { i18n::setLanguage(i18n::Language::English); }

} // namespace editor

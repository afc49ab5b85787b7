#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace {
const QString kFolder = QStringLiteral(":/i18n");
const QString kName = QStringLiteral("orvanta");
} // namespace

Translations::Translations(const QLocale &locale)
{
    // English has a file too: it holds the plural forms ("1 minute", "2 minutes").
    if (!m_program.load(locale, kName, QStringLiteral("_"), kFolder)
        && !m_program.load(kName + QStringLiteral("_en"), kFolder))
        return;
    QCoreApplication::installTranslator(&m_program);
    // Qt's texts in the language the program speaks, not merely the locale's, so that
    // a user whose language has no translation here reads English throughout.
    if (m_qt.load(QLocale(language()), QStringLiteral("qtbase"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&m_qt);
}

Translations::~Translations()
{
    QCoreApplication::removeTranslator(&m_qt);
    QCoreApplication::removeTranslator(&m_program);
}

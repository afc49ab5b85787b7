#pragma once

#include <QLocale>
#include <QTranslator>

// The program's texts in the user's language, with Qt's own for its stock texts (a
// text field's context menu, the names of keys in shortcuts), installed into the
// application for as long as this lives. English, the program's own language, when
// none of the user's languages has a translation.
class Translations
{
public:
    explicit Translations(const QLocale &locale = QLocale());
    ~Translations();

    Translations(const Translations &) = delete;
    Translations &operator=(const Translations &) = delete;

    // The language the program speaks, as its translation names it ("de", "en").
    QString language() const { return m_program.language(); }

private:
    QTranslator m_program;
    QTranslator m_qt;
};

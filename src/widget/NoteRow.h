#pragma once

#include "appearance/Palette.h"
#include "core/Note.h"

#include <QWidget>

class NoteText;
class SymbolButton;

// One note: its check mark (a click toggles), its text, and a cross that deletes it.
class QVBoxLayout;

class NoteRow : public QWidget
{
    Q_OBJECT

public:
    explicit NoteRow(QWidget *parent = nullptr);

    void setNote(const Note &note);
    void setLook(qreal scale, const Palette &palette);
    // The row's height at a width: the wrapped text, or the check mark if taller.
    int heightAt(int width) const;

    QUuid id() const { return m_note.id; }
    SymbolButton *checkMark() const { return m_check; }
    NoteText *textView() const { return m_text; }
    SymbolButton *deleteButton() const { return m_delete; }

signals:
    void toggleRequested(const QUuid &id);
    void deleteRequested(const QUuid &id);

private:
    void refreshCheckMark();

    Note m_note;
    Palette m_palette;
    qreal m_scale = 1.0;
    SymbolButton *m_check;
    NoteText *m_text;
    SymbolButton *m_delete;
    QVBoxLayout *m_checkColumn;
    QVBoxLayout *m_deleteColumn;
};

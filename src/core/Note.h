#pragma once

#include <QList>
#include <QString>
#include <QUuid>

struct Note
{
    QUuid id;
    QString text;
    bool done = false;

    friend bool operator==(const Note &, const Note &) = default;
};

using NoteList = QList<Note>;

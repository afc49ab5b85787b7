#pragma once

#include "core/Note.h"

#include <QByteArray>

#include <optional>

// The stored notes list: a compact UTF-8 JSON array of {"id","text","done"}
// objects, members in that order, ids as upper-case canonical UUIDs.
namespace NotesCodec {

QByteArray encode(const NoteList &notes);

// Accepts any member order, ignores unknown members and lower-case ids; a missing
// member, a member of the wrong JSON type or a malformed id rejects the whole document.
std::optional<NoteList> decode(const QByteArray &bytes);

} // namespace NotesCodec

#pragma once

#include "core/SoundPlayer.h"

#include <QString>
#include <QStringList>

class FakeSoundPlayer final : public SoundPlayer
{
public:
    void play(const QString &name) override { played.append(name); }

    QStringList played;
};

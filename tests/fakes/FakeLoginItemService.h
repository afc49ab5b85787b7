#pragma once

#include "core/LoginItemService.h"

#include <QList>

// A login item kept in memory. With failing set, every change is refused and
// the state stays as it was.
class FakeLoginItemService final : public LoginItemService
{
public:
    bool isEnabled() const override
    {
        ++reads;
        return enabled;
    }

    bool setEnabled(bool on) override
    {
        requests.append(on);
        if (failing)
            return false;
        enabled = on;
        return true;
    }

    bool enabled = false;
    bool failing = false;
    QList<bool> requests;
    mutable int reads = 0;
};

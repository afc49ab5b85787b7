#pragma once

// Whether the program starts when the user logs in.
class LoginItemService
{
public:
    virtual ~LoginItemService() = default;

    virtual bool isEnabled() const = 0;
    // Returns false when the change could not be made.
    virtual bool setEnabled(bool enabled) = 0;
};

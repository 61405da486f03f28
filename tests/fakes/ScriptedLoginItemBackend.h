#pragma once

#include "platform/LoginItemBackend.h"

// A login-item backend whose status the test sets; it counts what it is asked to do and
// registers nothing anywhere.
class ScriptedLoginItemBackend final : public LoginItemBackend
{
public:
    explicit ScriptedLoginItemBackend(int initialStatus = notRegistered)
        : currentStatus(initialStatus)
    {
    }

    int status() const override { return currentStatus; }
    void registerItem() override
    {
        ++registrations;
        currentStatus = enabled;
    }
    void unregisterItem() override
    {
        ++unregistrations;
        currentStatus = notRegistered;
    }
    void openSettings() override { ++settingsOpened; }

    int currentStatus;
    int registrations = 0;
    int unregistrations = 0;
    int settingsOpened = 0;
};

#pragma once

// How the program registers itself to start at login on this platform. Registration
// errors are thrown as AppError values.
class LoginItemBackend
{
public:
    // The registration statuses, as the login-item service reports them.
    static constexpr int notRegistered = 0;
    static constexpr int enabled = 1;
    static constexpr int requiresApproval = 2;
    static constexpr int notFound = 3;

    virtual ~LoginItemBackend() = default;

    // Read live at each call.
    virtual int status() const = 0;
    virtual void registerItem() = 0;
    virtual void unregisterItem() = 0;
    // Shows the user where login items are managed.
    virtual void openSettings() = 0;
};

#pragma once

// The About window's life: at most one, loaded on demand, shown again rather than
// duplicated, closed only when it is loaded. Portable, so the rules are checked on the host.

namespace tarnvale::about {

// What the toolkit does for the lifecycle.
class AboutHost {
public:
    virtual ~AboutHost() = default;
    // Creates the window hidden and runs its load steps; false when it could not be made.
    virtual bool Load() = 0;
    // Shows the loaded window and brings it to the front.
    virtual void Show() = 0;
    // Destroys the loaded window.
    virtual void Unload() = 0;
};

class AboutLifecycle {
public:
    explicit AboutLifecycle(AboutHost& host) : host_(host) {}

    // "&About...": loads the window when it is not loaded, then shows it.
    void Show();
    // Dismiss, the close box and the exit sequence: unloads it if loaded, else nothing.
    void Close();
    // The window went by some other way (the system destroyed it).
    void OnGone() { loaded_ = false; }

    bool loaded() const { return loaded_; }

private:
    AboutHost& host_;
    bool loaded_ = false;
};

}  // namespace tarnvale::about

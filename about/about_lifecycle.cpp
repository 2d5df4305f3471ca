#include "about/about_lifecycle.h"

namespace tarnvale::about {

void AboutLifecycle::Show()
{
    if (!loaded_) {
        loaded_ = host_.Load();
        if (!loaded_)
            return;
    }
    host_.Show();
}

void AboutLifecycle::Close()
{
    if (!loaded_)
        return;
    // Cleared first: unloading reports the window's end through OnGone, from inside.
    loaded_ = false;
    host_.Unload();
}

}  // namespace tarnvale::about

#include "about/about_lifecycle.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tarnvale::about {
namespace {

using Steps = std::vector<std::string>;

class RecordingHost final : public AboutHost {
public:
    bool Load() override
    {
        steps.push_back("load");
        return loads;
    }
    void Show() override { steps.push_back("show"); }
    void Unload() override
    {
        steps.push_back("unload");
        if (whileUnloading)
            whileUnloading();
    }

    Steps steps;
    bool loads = true;
    std::function<void()> whileUnloading;
};

class AboutLifecycleTest : public ::testing::Test {
protected:
    RecordingHost host;
    AboutLifecycle about{host};
};

TEST_F(AboutLifecycleTest, ShowingAgainShowsTheSameWindow)
{
    about.Show();
    about.Show();
    about.Show();
    EXPECT_EQ(host.steps, (Steps{"load", "show", "show", "show"}));
    EXPECT_TRUE(about.loaded());
}

TEST_F(AboutLifecycleTest, ClosingWhatIsNotLoadedDoesNothing)
{
    about.Close();
    EXPECT_TRUE(host.steps.empty()) << "closing must never create the window";
    about.Show();
    about.Close();
    about.Close();
    EXPECT_EQ(host.steps, (Steps{"load", "show", "unload"}));
    EXPECT_FALSE(about.loaded());
}

TEST_F(AboutLifecycleTest, ShowAfterCloseLoadsAfresh)
{
    about.Show();
    about.Close();
    about.Show();
    EXPECT_EQ(host.steps, (Steps{"load", "show", "unload", "load", "show"}));
}

TEST_F(AboutLifecycleTest, UnloadThatReportsTheEndFromInsideStillUnloadsOnce)
{
    host.whileUnloading = [this] {
        about.OnGone();
        about.Close();  // the window's own destruction handler closing again
    };
    about.Show();
    about.Close();
    EXPECT_EQ(host.steps, (Steps{"load", "show", "unload"}));
    EXPECT_FALSE(about.loaded());
}

TEST_F(AboutLifecycleTest, WindowDestroyedFromOutsideIsLoadedAgainNextTime)
{
    about.Show();
    about.OnGone();
    EXPECT_FALSE(about.loaded());
    about.Close();
    about.Show();
    EXPECT_EQ(host.steps, (Steps{"load", "show", "load", "show"}));
}

TEST_F(AboutLifecycleTest, FailedLoadShowsNothingAndIsTriedAgain)
{
    host.loads = false;
    about.Show();
    EXPECT_FALSE(about.loaded());
    about.Close();
    host.loads = true;
    about.Show();
    EXPECT_EQ(host.steps, (Steps{"load", "load", "show"}));
}

}  // namespace
}  // namespace tarnvale::about

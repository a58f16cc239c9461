// The splash's timer and keys.
#include "behaviour/frm_splash.h"

#include <gtest/gtest.h>

TEST(FrmSplashBehaviour, TicksGoOnOnlyOncePaintedAndNeverIntoARunningTick) {
    int ticks = 0;
    int keys = 0;
    tavrix::behaviour::frmSplash* self = nullptr;
    tavrix::behaviour::frmSplash splash(
        [&] {
            ++ticks;
            self->Timer1_Timer();  // a tick arriving while the scan runs
        },
        [&] { ++keys; });
    self = &splash;
    splash.Timer1_Timer();
    EXPECT_EQ(ticks, 0);
    splash.Form_KeyPress();
    EXPECT_EQ(keys, 1);
    splash.Form_Paint();
    splash.Timer1_Timer();
    splash.Timer1_Timer();
    EXPECT_EQ(ticks, 2);
}

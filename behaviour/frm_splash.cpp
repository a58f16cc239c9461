#include "behaviour/frm_splash.h"

namespace tavrix::behaviour {

void frmSplash::Timer1_Timer() {
    if (!painted_ || ticking_ || !tick_) return;
    struct Ticking {
        bool& flag;
        ~Ticking() { flag = false; }
    } ticking{ticking_ = true};
    tick_();
}

}  // namespace tavrix::behaviour

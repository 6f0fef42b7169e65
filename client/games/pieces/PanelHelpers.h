// What the turntable kind does to panels of any style.
#pragma once

#include "ZqLib.h"

// The panel's own hit test at (x, y) in back-buffer coordinates; it posts the panel's over or
// not-over message.
int HitTestPanelAt(CZqUIPanel* panel, int x, int y);
// One pass of the panel's current animation from its first frame.
void PlayPanelToEnd(CZqUIPanel* panel);

// The whole platform layer.
#pragma once

#include "zqplatform/types.h"
#include "zqplatform/base.h"
#include "zqplatform/window.h"
#include "zqplatform/gdi.h"
#include "zqplatform/display.h"
#include "zqplatform/audio.h"
#include "zqplatform/media.h"
#include "zqplatform/net.h"
#include "zqplatform/profile.h"
#include "zqplatform/shell.h"

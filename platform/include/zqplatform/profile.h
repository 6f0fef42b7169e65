// Platform module 'profile' (stub: its owner fills it in).
#pragma once

#include "zqplatform/types.h"

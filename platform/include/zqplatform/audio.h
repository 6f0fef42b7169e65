// Platform module 'audio' (stub: its owner fills it in).
#pragma once

#include "zqplatform/types.h"

// engine object: CZqEngine (device, frame pipeline, messages, registries, painter) (not yet built).
#pragma once

#include "ZqDefs.h"

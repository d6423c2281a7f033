#pragma once

// The loopback site server is shared with the demo site program.
#include "loopback/LoopbackServer.h"

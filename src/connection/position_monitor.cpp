#include "connection/position_monitor.h"

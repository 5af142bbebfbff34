#include "connection/position_math.h"

#include "params/resolution.h"

#include "params/configuration_register.h"

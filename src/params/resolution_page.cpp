#include "params/resolution_page.h"

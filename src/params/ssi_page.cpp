#include "params/ssi_page.h"

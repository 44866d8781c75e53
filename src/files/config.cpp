#include "files/config.h"

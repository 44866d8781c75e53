#include "render/line.h"

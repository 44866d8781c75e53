#include "render/fill.h"

#include "render/raster.h"

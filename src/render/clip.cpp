#include "render/clip.h"

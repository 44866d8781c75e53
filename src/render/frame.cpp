#include "render/frame.h"

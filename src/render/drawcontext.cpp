#include "render/drawcontext.h"

#include "files/lineimage.h"

#include "files/textfile.h"

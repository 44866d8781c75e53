#include "lists/listvertex.h"

#include "lists/listobject.h"

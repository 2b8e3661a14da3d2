#include "globals.h"

bool dataModified = false;

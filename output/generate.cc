#include "output/generate.h"

#include "output/component_reader.h"

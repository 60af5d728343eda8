#include "output/component_writer.h"

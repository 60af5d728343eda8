#include "import/split_line.h"

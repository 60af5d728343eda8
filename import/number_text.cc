#include "import/number_text.h"
